#!/usr/bin/env bash
# Cross-builds the Windows layer (platform/win32 and the command runner) with
# MinGW-w64 and runs its tests under Wine, in a fresh Wine prefix each time.
# Installs the Debian packages it needs when they are missing (as root).
#
# Usage: scripts/test-win32.sh        (build folder: build-win32)
# Needs no display and no network: Wine runs with its null display driver, and
# the download tests fetch from servers on 127.0.0.1 started here: one over
# http, one over https with a certificate from a test authority that the Wine
# prefix's root store trusts, and one over https with a certificate from an
# authority it does not know.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$repo/build-win32"
started=$(date +%s)

log() { printf '[test-win32] %s\n' "$*"; }

# --- packages ---------------------------------------------------------------
# command -> Debian 12 package. wine64 alone runs the 64-bit tests, so the
# i386 architecture is not needed.
missing=()
need() {
    command -v "$1" >/dev/null 2>&1 && return
    case " ${missing[*]} " in *" $2 "*) ;; *) missing+=("$2") ;; esac
}
need x86_64-w64-mingw32-g++ g++-mingw-w64-x86-64-win32
need cmake cmake
need make make
need python3 python3
need wine wine
need wineserver wine
need openssl openssl
[ -x /usr/lib/wine/wine64 ] || missing+=(wine64)

if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "missing packages: ${missing[*]} (run as root to install them)" >&2
        exit 1
    fi
    log "installing ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# --- scratch space, and clean-up on every way out ---------------------------
scratch=$(mktemp -d /tmp/bmc-win32.XXXXXX)
export WINEPREFIX="$scratch/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
# Tests never talk to a display: the same run here, in CI and on a desktop.
unset DISPLAY WAYLAND_DISPLAY
server_pids=()
ctest_pid=""

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    if [ -n "$ctest_pid" ]; then
        kill "$ctest_pid" 2>/dev/null || true
        wait "$ctest_pid" 2>/dev/null || true
    fi
    for pid in "${server_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
    rm -rf "$scratch"
    log "finished in $(($(date +%s) - started)) s"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# --- build --------------------------------------------------------------------
log "configuring $build_dir"
cmake --fresh -S "$repo" -B "$build_dir" \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-mingw-w64.cmake" \
    -DBMC_WIN32_LAYER_ONLY=ON >"$scratch/configure.log" 2>&1 ||
    { cat "$scratch/configure.log"; exit 1; }
log "building"
cmake --build "$build_dir" -j2

# --- fresh Wine prefix --------------------------------------------------------
log "creating Wine prefix $WINEPREFIX"
# Without the .NET and HTML engines: their installers would ask to download.
WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init >"$scratch/wineboot.log" 2>&1 ||
    { cat "$scratch/wineboot.log"; exit 1; }
wineserver -w

# A screen resolution other than Wine's default of 96, so the screen test
# sees that the setting is really read.
expected_dpi=144
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$expected_dpi" /f \
    >"$scratch/reg.log" 2>&1 || { cat "$scratch/reg.log"; exit 1; }
wineserver -w

# --- test certificate authorities -----------------------------------------------
# "trusted" goes into the prefix's root store, as an administrator would add
# a root on Windows; "stranger" signs a certificate for the same server name
# that nothing trusts.
certs="$scratch/certs"
for name in trusted stranger; do
    bash "$repo/scripts/make-certificates.sh" "$certs" "$name"
done
wine "$build_dir/bin/trustroot.exe" "Z:${certs//\//\\}\\trusted-root.pem" ||
    { echo "could not add the test authority to the prefix's root store" >&2; exit 1; }
wineserver -w

# --- servers on free loopback ports ------------------------------------------------
www="$scratch/www"
mkdir -p "$www"
# Starts a server of the folder (with a certificate name for https); prints its port.
start_server() {
    local name=$1 tls=()
    shift
    [ $# -gt 0 ] && tls=("$certs/$1-server.pem" "$certs/$1-server.key")
    python3 "$repo/tests/win32/http_test_server.py" "$www" "$scratch/$name.port" "${tls[@]}" \
        >"$scratch/$name.log" 2>&1 &
    server_pids+=($!)
    for _ in $(seq 100); do
        [ -s "$scratch/$name.port" ] && break
        kill -0 "$!" 2>/dev/null || { cat "$scratch/$name.log" >&2; exit 1; }
        sleep 0.1
    done
    [ -s "$scratch/$name.port" ] || { echo "$name server did not start" >&2; exit 1; }
}
start_server http
start_server https trusted
start_server stranger stranger
port=$(cat "$scratch/http.port")
log "servers on 127.0.0.1: http $port, https $(cat "$scratch/https.port"),"\
" https of an unknown authority $(cat "$scratch/stranger.port")"

export BMC_TEST_HTTP_URL="http://127.0.0.1:$port/"
# By name: Wine checks a certificate's DNS names only, never its addresses.
export BMC_TEST_HTTPS_URL="https://localhost:$(cat "$scratch/https.port")/"
export BMC_TEST_STRANGER_URL="https://localhost:$(cat "$scratch/stranger.port")/"
# Links for the work-file tests, made as Linux symbolic links: Wine shows them
# as reparse points, and makes none of its own (tests/win32/WorkFilesTest.cpp).
links="$scratch/links"
mkdir -p "$links/outside" "$links/tree/inner"
echo "not the tool's to delete" >"$links/outside/keep.txt"
echo "the tool's" >"$links/tree/inner/file.txt"
ln -s "$links/outside" "$links/alone"
ln -s "$links/outside/keep.txt" "$links/filelink"
ln -s "$links/outside" "$links/tree/link"
export BMC_TEST_LINKS="Z:${links//\//\\}"
# The served folder as the tests see it: Wine maps / to drive Z:.
export BMC_TEST_HTTP_ROOT="Z:${www//\//\\}"
export BMC_TEST_EXPECTED_DPI=$expected_dpi

# --- tests --------------------------------------------------------------------
log "running the tests under Wine"
cd "$build_dir"
# In the background, so that an interrupt ends the run at once and cleans up.
ctest --output-on-failure &
ctest_pid=$!
wait "$ctest_pid"

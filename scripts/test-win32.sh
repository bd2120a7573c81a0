#!/usr/bin/env bash
# The Windows layer's tests, cross-built into build-win32, under Wine: no display, no network.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$repo/build-win32"
started=$(date +%s)
log() { printf '[test-win32] %s\n' "$*"; }

bash "$repo/scripts/install-deps.sh" g++-mingw-w64-x86-64-win32 cmake make python3 wine wine64 \
    openssl
source "$repo/tests/wine/run-lib.sh"
unset DISPLAY WAYLAND_DISPLAY

log "configuring $build_dir"
quiet cmake --fresh -S "$repo" -B "$build_dir" \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-mingw-w64.cmake" -DBMC_WIN32_LAYER_ONLY=ON
cmake --build "$build_dir" -j2

new_prefix "$build_dir/bin/trustroot.exe"
# Not Wine's default of 96: the screen test sees the setting really read.
export BMC_TEST_EXPECTED_DPI=144
quiet wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
    /d "$BMC_TEST_EXPECTED_DPI" /f
wineserver -w

www="$scratch/www" && mkdir -p "$www"
for server in http "https trusted" "stranger stranger"; do start_server $server; done
export BMC_TEST_HTTP_URL="http://127.0.0.1:$(cat "$scratch/http.port")/"
# By name: Wine checks a certificate's DNS names only, never its addresses.
export BMC_TEST_HTTPS_URL="https://localhost:$(cat "$scratch/https.port")/"
export BMC_TEST_STRANGER_URL="https://localhost:$(cat "$scratch/stranger.port")/"
export BMC_TEST_HTTP_ROOT=$(winpath "$www")
# Wine makes no links of its own.
links="$scratch/links" && mkdir -p "$links/outside" "$links/tree/inner"
echo "not the tool's to delete" >"$links/outside/keep.txt"
echo "the tool's" >"$links/tree/inner/file.txt"
ln -s "$links/outside/keep.txt" "$links/filelink"
for link in alone tree/link; do ln -s "$links/outside" "$links/$link"; done
export BMC_TEST_LINKS=$(winpath "$links")

log "running the tests under Wine"
# In the background: an interrupt ends the run at once.
ctest --test-dir "$build_dir" --output-on-failure & pids+=($!) && wait $!

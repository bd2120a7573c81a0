# Sourced by scripts/test-win32.sh and scripts/test-wine-app.sh (after they
# set repo, started and log): a scratch folder with a fresh Wine prefix, the
# two test authorities, servers on 127.0.0.1, and clean-up on every way out
# of everything started (pids) and of the prefix's processes.
scratch=$(mktemp -d /tmp/bmc-wine.XXXXXX)
export WINEPREFIX="$scratch/prefix" WINEARCH=win64 WINEDEBUG=-all
pids=()
cleanup() {
    local status=$?
    trap - EXIT INT TERM
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$scratch"
    log "finished in $(($(date +%s) - started)) s"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A Linux path as the Windows programs see it: Wine maps / to drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
wait_file() { for _ in $(seq 100); do [ -s "$1" ] && return 0; sleep 0.1; done; return 1; }
# Runs a set-up command quietly; shows its output and ends the run if it fails.
quiet() { "$@" >"$scratch/setup.log" 2>&1 || { cat "$scratch/setup.log" >&2; exit 1; }; }

# The prefix, without the .NET and HTML engines (their installers would ask
# to download); then the authority "trusted" in its root store, as an
# administrator adds a root on Windows, through TRUSTROOT_EXE. "stranger"
# signs a certificate for the same server name that nothing trusts.
new_prefix() {
    log "creating Wine prefix $WINEPREFIX"
    quiet env WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init
    wineserver -w
    certs="$scratch/certs"
    for name in trusted stranger; do
        bash "$repo/scripts/make-certificates.sh" "$certs" "$name"
    done
    quiet wine "$1" "$(winpath "$certs/trusted-root.pem")"
    wineserver -w
}

# Serves $www on a free port of 127.0.0.1, over https with the certificate
# of the authority named second; its port goes to $scratch/NAME.port and the
# requests to $scratch/NAME.log.
start_server() {
    local tls=()
    [ $# -gt 1 ] && tls=("$certs/$2-server.pem" "$certs/$2-server.key")
    python3 "$repo/tests/win32/http_test_server.py" "$www" "$scratch/$1.port" "${tls[@]}" \
        >"$scratch/$1.log" 2>&1 &
    pids+=($!)
    wait_file "$scratch/$1.port" || { cat "$scratch/$1.log" >&2; exit 1; }
}

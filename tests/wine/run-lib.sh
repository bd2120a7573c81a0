# Sourced by both Wine runs (which set repo, started and log): clean-up on every way out.
scratch=$(mktemp -d /tmp/bmc-wine.XXXXXX)
export WINEPREFIX="$scratch/prefix" WINEARCH=win64 WINEDEBUG=-all
pids=()
cleanup() {
    local status=$?
    trap - EXIT INT TERM
    stop_wine
    kill "${pids[@]}" 2>/dev/null || true
    wait "${pids[@]}" 2>/dev/null || true
    rm -rf "$scratch"
    log "finished in $(($(date +%s) - started)) s"
    exit "$status"
}
trap cleanup EXIT && trap 'exit 130' INT && trap 'exit 143' TERM

# A Linux path as the Windows programs see it: Wine maps / to drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
wait_for() { for _ in $(seq "$1"); do "${@:2}" && return 0; sleep 0.1; done; return 1; }
stop_wine() { { wineserver -k; wineserver -w; } 2>/dev/null || true; }
quiet() { "$@" >"$scratch/setup.log" 2>&1 || { cat "$scratch/setup.log" >&2; exit 1; }; }

# Without .NET and HTML engines (their installers would download); trusts
# the authority "trusted" (through the program $1), not "stranger".
new_prefix() {
    log "creating Wine prefix $WINEPREFIX"
    quiet env WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init
    wineserver -w
    certs="$scratch/certs"
    for name in trusted stranger; do bash "$repo/scripts/make-certificates.sh" "$certs" "$name"; done
    quiet wine "$1" "$(winpath "$certs/trusted-root.pem")"
    wineserver -w
}

# Named $1, over https with the certificate of authority $2 when given.
start_server() {
    python3 "$repo/scripts/demo_server.py" "$www" "$scratch/$1.port" 0 \
        ${2:+"$certs/$2-server.pem" "$certs/$2-server.key"} >"$scratch/$1.log" 2>&1 &
    pids+=($!)
    wait_for 100 test -s "$scratch/$1.port" || { cat "$scratch/$1.log" >&2; exit 1; }
}

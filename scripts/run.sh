#!/usr/bin/env bash
# The tool's main job on a simulated Windows host: installs what is missing,
# builds, makes a fresh host (a fixed system disk and a removable USB disk),
# serves a boot image and "the internet" from 127.0.0.1, and starts the tool.
#
# With a display the window opens there and you click through a build.
# Without one the tool runs under Xvfb and this script clicks through a whole
# build from outside (drive, Create Recovery Drive, OK), saves a screenshot of
# each state under out/, prints the USB disk's files, and exits 0 only when
# the drive holds the full recovery layout.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
bash scripts/install-deps.sh
bash scripts/build.sh

out=$repo/out
host=$out/host
mkdir -p "$out"
rm -rf "$host" "$out/www" "$out"/*.png
mkdir -p "$out/www"

# Everything started in the background runs in a process group of its own
# (setsid), so that stopping it also stops whatever it started: the tool's
# hidden command-line tools, the demo's X server and clicks. Stopped on every
# way out, Ctrl+C included.
pids=()
start() {
    setsid "$@" &
    pids+=($!)
}
cleanup() {
    trap - INT TERM
    local i p
    # Last started first: the demo and the tool before their X server.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        p=${pids[i]}
        kill -TERM -- "-$p" 2>/dev/null || kill -TERM "$p" 2>/dev/null || true
    done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A boot image just over the smallest size a build accepts; sparse, so it
# costs no disk space.
truncate -s 240000000 "$out/www/boot.wim"
printf 'WIM image for the simulated host\n' | dd of="$out/www/boot.wim" conv=notrunc status=none

# The image comes over https from a server whose certificate an authority
# of this run signed, which the simulated host trusts, as Windows trusts the
# publisher's; "the internet" for the connectivity check is plain http.
bash scripts/make-certificates.sh "$out/tls" demo
rm -f "$out/port" "$out/tls-port"
start python3 scripts/demo_server.py "$out/www" "$out/port" 0 2>"$out/server.log"
# About 40 MB/s: the download takes a few seconds, as over a fast line, so the
# building state can be seen.
start python3 scripts/demo_server.py "$out/www" "$out/tls-port" 40000000 \
    "$out/tls/demo-server.pem" "$out/tls/demo-server.key" 2>"$out/tls-server.log"
for _ in $(seq 100); do [ -s "$out/port" ] && [ -s "$out/tls-port" ] && break; sleep 0.1; done
port=$(cat "$out/port")
tls_port=$(cat "$out/tls-port")
echo "Web server on 127.0.0.1:$port, the image on https://localhost:$tls_port"

key='HKEY_LOCAL_MACHINE\Software\Wow6432Node\Kestrin Data Recovery\Data Recovery\Kestrin Data Recovery for Windows'
build/bin/hostsim-make "$host" \
    --registry "$key|DownloadLink_bootwim|https://localhost:$tls_port/boot.wim" \
    --registry "$key|DownloadLink_Win7_bootwim|https://localhost:$tls_port/boot.wim"
cp "$out/tls/demo-root.pem" "$host/trusted-roots.pem"
# The host's network: public sites go through the local server, as through a
# proxy, so the connectivity check finds "the internet" on this machine.
printf '\n[network]\nhttpProxy=127.0.0.1:%s\n' "$port" >> "$host/host.ini"
export BMC_HOST_ROOT=$host
echo "Simulated Windows host: $host"

tool=$repo/build/bin/BootableMediaCreator
usb=$host/disks/disk1/volume
temp_dir=$host/drives/C/Users/User/AppData/Local/Temp

if [ -n "${DISPLAY:-}" ] && [ -z "${BMC_HEADLESS:-}" ]; then
    start "$tool"
    wait "${pids[-1]}" || true
    echo "USB disk:"; (cd "$usb" && find . -type f | sort)
    exit 0
fi

# A virtual X server on the first free display number, which it reports.
rm -f "$out/display"
start Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$out/display" 2>"$out/xvfb.log"
for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.1; done
[ -s "$out/display" ] || { echo "Xvfb did not start (see $out/xvfb.log)" >&2; exit 1; }
export DISPLAY=:$(cat "$out/display")

# In the background, so that Ctrl+C reaches the trap at once, not only after
# the demo has ended.
status=0
start bash scripts/demo_headless.sh "$tool" "$out" "$usb" "$temp_dir"
wait "${pids[-1]}" || status=$?
exit $status

#!/usr/bin/env bash
# The benchmark command: installs what is missing, builds, and measures on
# this machine, side by side in one run:
#   1. a whole build with a 256 MiB image from 127.0.0.1 against the floor of
#      the same verified work done by hand (curl download and its SHA-256, cp
#      to the drive folder, the copy read back past the file cache and hashed)
#   2. the tool's peak resident memory during a build, and its stand-ins'
#   3. the longest stall of the window's event loop during a build
#   4. start-up until the main window shows, against a minimal Qt dialog
# Prints each figure, its ratio and its target with PASS or MISS. Exits 0 when
# every figure was measured (whether or not it meets its target).
#
# Environment: BENCH_BUILD_DIR  build folder to use instead of build/ (it is
#              configured and built there); BENCH_RUNS  repetitions of the
#              build and its floor (default 3); BENCH_STARTS  repetitions of
#              each start-up (default 10).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

bash scripts/install-deps.sh
# The start-up timer watches the X display through Xlib.
if ! dpkg-query -W -f='${Status}' libx11-dev 2>/dev/null | grep -q "install ok installed"; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends libx11-dev
fi

if [ -n "${BENCH_BUILD_DIR:-}" ]; then
    build=$repo/$BENCH_BUILD_DIR
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBMC_BUILD_BENCH=ON >/dev/null
    cmake --build "$build" -j"$(nproc)"
else
    build=$repo/build
    bash scripts/build.sh
fi
for program in BootableMediaCreator hostsim-cmd hostsim-make bench-build-window \
    bench-minimal-dialog bench-peak-rss bench-window-map; do
    [ -x "$build/bin/$program" ] || {
        echo "bench: $build/bin/$program was not built (is BMC_BUILD_BENCH off there?)" >&2
        exit 1
    }
done

# One X server for every measurement, whether or not a display is open.
exec xvfb-run -a -s "-screen 0 1280x800x24" bash bench/measure.sh "$build/bin"

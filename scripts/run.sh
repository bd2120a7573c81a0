#!/usr/bin/env bash
# Installs what is missing, builds, and starts the tool on a simulated
# Windows host. With a display the window opens there; without one it runs
# under Xvfb and a screenshot of the window is saved.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh

export BMC_HOST_ROOT="${BMC_HOST_ROOT:-$PWD/out/host}"
mkdir -p out
echo "Simulated Windows host: $BMC_HOST_ROOT"
if [ -n "${DISPLAY:-}" ]; then
    exec build/bin/BootableMediaCreator
fi
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    build/bin/BootableMediaCreator & pid=$!
    sleep 3
    import -window root out/window.png
    echo "Screenshot: out/window.png"
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
'

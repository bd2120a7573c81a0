#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test suite: the Linux
# suites against the simulated host, then the Windows layer and the packaged
# Windows program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
(cd build && ctest --output-on-failure --timeout 900)
if [ -f scripts/test-win32.sh ]; then
    bash scripts/test-win32.sh
fi
# The packaged Windows program itself, under Wine.
if [ -f scripts/test-wine-app.sh ]; then
    bash scripts/test-wine-app.sh
fi
bash scripts/test-share.sh

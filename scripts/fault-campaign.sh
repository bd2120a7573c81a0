#!/usr/bin/env bash
# Runs N whole builds with faults drawn at random from SEED, each on a fresh
# simulated host, and checks the tool's promises after every one.
# Usage: bash scripts/fault-campaign.sh [N [SEED]]   (defaults: 200 builds, seed 16)
# A violating run prints its run seed: fault_campaign --replay <run seed> replays it.
set -euo pipefail
cd "$(dirname "$0")/.."
builds="${1:-200}"
seed="${2:-16}"
if [ ! -x build/bin/fault_campaign ] || [ ! -x build/bin/hostsim-cmd ]; then
    bash scripts/install-deps.sh
    bash scripts/build.sh
fi
export QT_QPA_PLATFORM=offscreen
export BMC_HOSTSIM_CMD="$PWD/build/bin/hostsim-cmd"
exec build/bin/fault_campaign --builds "$builds" --seed "$seed"

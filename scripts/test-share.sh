#!/usr/bin/env bash
# Prints the tests' share of the project's code: non-blank, non-comment lines
# of the tracked sources that exist only for the tests (tests/, the Windows
# runs' scripts and the fault campaign's driver) against all others. The
# project holds it to a quarter to a third.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files | grep -E '\.(cpp|h|hpp|c|py|sh|cmake)$|CMakeLists\.txt$' | while read -r f; do
    # Comments: // and /* */ in C and C++ (where # starts a directive), # elsewhere.
    case "$f" in
    *.py | *.sh | *.cmake | *CMakeLists.txt) comment='^#' ;;
    *) comment='^(\/\/|\*|\/\*)' ;;
    esac
    n=$(awk -v c="$comment" 'NF && $1 !~ c {n++} END {print n+0}' "$f")
    case "$f" in
    tests/* | scripts/test-win32.sh | scripts/test-wine-app.sh | scripts/fault-campaign.sh) echo "T $n" ;;
    *) echo "C $n" ;;
    esac
done | awk '{ s[$1] += $2 }
END {
    share = 100 * s["T"] / (s["T"] + s["C"])
    printf "Tests are %.1f%% of the code (%d test lines, %d other lines)", share, s["T"], s["C"]
    if (share < 25 || share > 33) printf " - outside the 25-33%% this project keeps"
    printf "\n"
}'

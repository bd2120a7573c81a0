#!/bin/sh
# Renders every window under a virtual X server, with fonts sized for the
# simulated screen's dpi as Windows sizes them: at each screen class in
# English, German and Japanese, or in the languages given.
#   scripts/screenshots.sh [build folder] [output folder] [language codes...]
#   scripts/screenshots.sh build shots EN DE FR IT ES JA CN KO DU BR HI
set -eu
build=${1:-build}
out=${2:-"$build/screenshots"}
[ $# -gt 2 ] && shift 2 || set -- EN DE JA
tool="$build/bin/window_screenshots"
[ -x "$tool" ] || { echo "build window_screenshots first: $tool" >&2; exit 2; }
BMC_HOSTSIM_CMD=${BMC_HOSTSIM_CMD:-"$build/bin/hostsim-cmd"}
export BMC_HOSTSIM_CMD
mkdir -p "$out"
for dpi in 96 120 144; do
    for lang in "$@"; do
        QT_FONT_DPI=$dpi xvfb-run -a -s "-screen 0 1600x1000x24 -dpi $dpi" \
            env QT_QPA_PLATFORM=xcb "$tool" "$dpi" "$lang" "$out"
    done
done

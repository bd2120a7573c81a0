#!/bin/sh
# Renders the main window (idle and building) and its dialogs in all eleven
# interface languages at 96 dpi under a virtual X server, for looking at by
# eye: text that does not fit, clipped lines, the wrong script.
#   tests/mainwindow/screenshots-all-languages.sh [build folder] [output folder]
set -eu
build=${1:-build}
out=${2:-"$build/screenshots-languages"}
tool="$build/bin/look_screenshots"
[ -x "$tool" ] || { echo "build look_screenshots first: $tool" >&2; exit 2; }
BMC_HOSTSIM_CMD=${BMC_HOSTSIM_CMD:-"$build/bin/hostsim-cmd"}
export BMC_HOSTSIM_CMD
mkdir -p "$out"
for lang in EN DE FR IT ES JA CN KO DU BR HI; do
    QT_FONT_DPI=96 xvfb-run -a -s "-screen 0 1600x1000x24 -dpi 96" \
        env QT_QPA_PLATFORM=xcb "$tool" 96 "$lang" "$out"
done

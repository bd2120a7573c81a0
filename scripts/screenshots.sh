#!/bin/sh
# Renders every window at each screen class in English, German and Japanese
# under a virtual X server, with fonts sized for the simulated screen's dpi as
# Windows sizes them.
#   scripts/screenshots.sh [build folder] [output folder]
set -eu
build=${1:-build}
out=${2:-"$build/screenshots"}
tool="$build/bin/look_screenshots"
[ -x "$tool" ] || { echo "build look_screenshots first: $tool" >&2; exit 2; }
mkdir -p "$out"
for dpi in 96 120 144; do
    for lang in EN DE JA; do
        QT_FONT_DPI=$dpi xvfb-run -a -s "-screen 0 1600x1000x24 -dpi $dpi" \
            env QT_QPA_PLATFORM=xcb "$tool" "$dpi" "$lang" "$out"
    done
done

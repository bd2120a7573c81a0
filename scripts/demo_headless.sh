#!/usr/bin/env bash
# Clicks through one whole build from outside the process, under Xvfb.
# Usage: demo_headless.sh <tool> <out folder> <USB disk folder> <temp folder>
set -euo pipefail
tool=$1 out=$2 usb=$3 temp_dir=$4
buildlog=$temp_dir/BootableMediaCreator.log

# The tool runs in a process group of its own: stopping the group also stops
# a command-line tool it is waiting for. Stopped on every way out, Ctrl+C
# included.
setsid "$tool" &
pid=$!
trap 'kill -TERM -- -$pid 2>/dev/null || kill -TERM $pid 2>/dev/null || true' EXIT
trap 'exit 130' INT TERM

window_of() { # window id of a top-level window by its title
    for _ in $(seq 200); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    echo "no window '$1'" >&2
    return 1
}
shot() { sleep 0.5; import -window root "$out/$1.png"; echo "screenshot: $out/$1.png"; }
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

main=$(window_of "Create Bootable Media")
shot 1-idle
# Create Recovery Drive: the button sits at (242, 167), 145 x 23, at 96 dpi.
click "$main" 314 178
confirm=$(window_of "Confirm Operation")
shot 2-confirm
# OK of the confirmation: (252, 159), 101 x 23, below the drive's line.
click "$confirm" 302 170
sleep 1
shot 3-building

echo "Building the recovery drive..."
result=""
for _ in $(seq 1800); do
    if [ -f "$buildlog" ]; then
        if grep -q "note  build complete" "$buildlog"; then result=complete; break; fi
        if grep -q "note  build incomplete" "$buildlog"; then result=failed; break; fi
    fi
    kill -0 $pid 2>/dev/null || { echo "the tool ended unexpectedly" >&2; exit 1; }
    sleep 0.2
done
shot 4-finished
echo "Build result: ${result:-timeout}"

echo "USB disk (disk 1) holds:"
(cd "$usb" && find . -type f -printf '  %P  %s bytes\n' | sort)

required=(bootmgr bootmgr.efi boot/BCD boot/boot.sdi boot/resources/bootres.dll
          efi/boot/bootmgfw.efi efi/boot/bootx64.efi efi/microsoft/boot/BCD efi/microsoft/boot/resources/bootres.dll
          sources/boot.wim)
missing=0
for f in "${required[@]}"; do
    found=$(cd "$usb" && find . -ipath "./$f" | head -n1)
    [ -n "$found" ] || { echo "missing on the drive: $f" >&2; missing=1; }
done
[ -n "$(cd "$usb" && find . -ipath './boot/fonts/*' | head -n1)" ] || { echo "missing: boot fonts" >&2; missing=1; }
[ -n "$(cd "$usb" && find . -ipath './efi/microsoft/boot/fonts/*' | head -n1)" ] || { echo "missing: EFI fonts" >&2; missing=1; }

# Leave the tool with its Cancel button: (408, 167), 101 x 23.
click "$main" 458 178
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done

if [ "$result" = complete ] && [ $missing -eq 0 ]; then
    echo "The recovery drive is complete."
    exit 0
fi
echo "The recovery drive is NOT complete." >&2
exit 1

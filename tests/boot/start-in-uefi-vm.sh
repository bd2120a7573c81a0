#!/usr/bin/env bash
# Writes the files of a finished drive into a disk image laid out as diskpart
# leaves a USB stick (MBR, one active partition at 1 MiB, FAT32) and starts it
# in a virtual UEFI machine with no network. Prints what the machine wrote on
# its console. Exit code: 0 the console showed the marker, 1 it did not (the
# firmware found nothing to start or the time ran out), 2 the machine could
# not be set up.
# Usage: start-in-uefi-vm.sh <folder with the drive's files> <marker> [seconds]
# No mounting, no loop devices: mkfs.fat and mtools work on the image file.
# Plain emulation only: a KVM that cannot run this guest would stop it silently.
set -uo pipefail

folder=$1
marker=$2
limit=${3:-60}
work=$(mktemp -d)
trap 'kill "$qemu" 2>/dev/null; rm -rf "$work"' EXIT
qemu=

image=$work/stick.img
content=$(du -sb "$folder" | cut -f1)
# Room for the files plus the file system's own tables; FAT32 wants at least
# 65525 clusters, so never under 64 MiB.
mib=$(( content / 1048576 + content / 10485760 + 64 ))
truncate -s $(( (mib + 1) * 1048576 )) "$image" || exit 2

# The partition table: one active FAT32 (LBA) partition from sector 2048 to
# the end of the image.
python3 - "$image" "$mib" <<'PY' || exit 2
import struct, sys
path, mib = sys.argv[1], int(sys.argv[2])
entry = struct.pack('<B3sB3sII', 0x80, b'\xfe\xff\xff', 0x0C, b'\xfe\xff\xff', 2048, mib * 2048)
with open(path, 'r+b') as f:
    f.seek(446)
    f.write(entry + bytes(48) + b'\x55\xaa')
PY
mkfs.fat -F 32 -n RECOVERY --offset 2048 "$image" $(( mib * 1024 )) >/dev/null || exit 2
export MTOOLS_SKIP_CHECK=1
shopt -s dotglob nullglob
files=("$folder"/*)
if [ ${#files[@]} -gt 0 ]; then
    mcopy -s -Q -i "$image@@1M" "${files[@]}" ::/ || exit 2
fi

console=$work/console.txt
cp /usr/share/OVMF/OVMF_VARS_4M.fd "$work/vars.fd" || exit 2
: >"$console"
qemu-system-x86_64 -machine q35,accel=tcg -m 256 -nodefaults -display none \
    -no-reboot -nic none -monitor none -serial "file:$console" \
    -drive if=pflash,format=raw,unit=0,readonly=on,file=/usr/share/OVMF/OVMF_CODE_4M.fd \
    -drive if=pflash,format=raw,unit=1,file="$work/vars.fd" \
    -device qemu-xhci -drive if=none,id=stick,format=raw,file="$image" \
    -device usb-storage,drive=stick,removable=on 2>"$work/qemu.err" &
qemu=$!
# Done when the marker shows, when the machine powers off, or when the
# firmware has run out of things to start (its shell or its notice).
result=1
for (( i = 0; i < limit * 4; i++ )); do
    grep -aq -- "$marker" "$console" && { result=0; break; }
    kill -0 "$qemu" 2>/dev/null || break
    grep -aqE 'Shell> |No bootable option' "$console" && break
    sleep 0.25
done
grep -aq -- "$marker" "$console" && result=0
# Give a machine that shows the marker a moment to power itself off.
powered_off=
if [ $result -eq 0 ] && timeout 5 tail --pid="$qemu" -f /dev/null; then
    powered_off=yes
fi
kill "$qemu" 2>/dev/null
tr -d '\000' < "$console" | sed 's/\x1b\[[0-9;]*[A-Za-z]//g' | tr -s '\r\n' '\n'
[ -n "$powered_off" ] && echo "[the machine powered itself off]"
[ -s "$console" ] || cat "$work/qemu.err"
exit $result

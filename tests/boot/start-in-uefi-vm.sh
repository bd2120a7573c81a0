#!/usr/bin/env bash
# start-in-uefi-vm.sh <drive folder> <marker> [seconds]: the drive's files on
# an image laid out as diskpart leaves a stick (MBR, active FAT32 at 1 MiB),
# started in a UEFI machine without network; prints its console. Exit 0: the
# marker showed, 1: it did not, 2: no machine. No KVM: it may stop silently.
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
# Until the marker, power-off, or the firmware out of things to start.
result=1
for (( i = 0; i < limit * 4; i++ )); do
    grep -aq -- "$marker" "$console" && { result=0; break; }
    kill -0 "$qemu" 2>/dev/null || break
    grep -aqE 'Shell> |No bootable option' "$console" && break
    sleep 0.25
done
grep -aq -- "$marker" "$console" && result=0
powered_off=
if [ $result -eq 0 ] && timeout 5 tail --pid="$qemu" -f /dev/null; then
    powered_off=yes
fi
kill "$qemu" 2>/dev/null
tr -d '\000' < "$console" | sed 's/\x1b\[[0-9;]*[A-Za-z]//g' | tr -s '\r\n' '\n'
[ -n "$powered_off" ] && echo "[the machine powered itself off]"
[ -s "$console" ] || cat "$work/qemu.err"
exit $result

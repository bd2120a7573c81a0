#!/usr/bin/env bash
# Writes the files of a finished drive into a disk image laid out as diskpart
# leaves a USB stick (MBR, one active partition at 1 MiB, FAT32) and starts it
# in a virtual UEFI machine with no network. Prints what the machine wrote on
# its console. Exit code: 0 the console showed the marker, 1 it did not (the
# firmware found nothing to start or the time ran out), 2 the machine could
# not be set up.
# Usage: start-in-uefi-vm.sh <folder with the drive's files> <marker> [seconds]
# No mounting, no loop devices: mkfs.fat and mtools work on the image file.
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

firmware=/usr/share/OVMF/OVMF_CODE_4M.fd
console=$work/console.txt

# Starts the machine once. Returns 0 when the marker showed, 1 when it did
# not, 3 when the machine itself failed before its firmware wrote anything
# (a KVM that cannot run this guest).
start_machine() {
    local accel=$1 cpu=$2
    cp /usr/share/OVMF/OVMF_VARS_4M.fd "$work/vars.fd" || return 2
    : >"$console"
    qemu-system-x86_64 -machine q35,accel="$accel" $cpu -m 256 -nodefaults -display none \
        -no-reboot -nic none -monitor none -serial "file:$console" \
        -drive if=pflash,format=raw,unit=0,readonly=on,file=$firmware \
        -drive if=pflash,format=raw,unit=1,file="$work/vars.fd" \
        -device qemu-xhci -drive if=none,id=stick,format=raw,file="$image" \
        -device usb-storage,drive=stick,removable=on 2>"$work/qemu.err" &
    qemu=$!
    # Done when the marker shows, when the machine powers off, or when the
    # firmware has run out of things to start (its shell or its notice).
    local result=1 i
    for (( i = 0; i < limit * 4; i++ )); do
        if grep -aq -- "$marker" "$console"; then
            result=0
            break
        fi
        if ! kill -0 "$qemu" 2>/dev/null; then
            if grep -aq -- "$marker" "$console"; then
                result=0
            elif [ ! -s "$console" ]; then
                result=3
            fi
            break
        fi
        if grep -aqE 'Shell> |No bootable option' "$console"; then
            break
        fi
        # A machine stopped by an emulation failure writes nothing, ever.
        if [ "$accel" = kvm ] && [ $i -ge 20 ] && [ ! -s "$console" ]; then
            result=3
            break
        fi
        sleep 0.25
    done
    # Give a machine that shows the marker a moment to power itself off.
    if [ $result -eq 0 ] && timeout 5 tail --pid="$qemu" -f /dev/null; then
        powered_off=yes
    fi
    kill "$qemu" 2>/dev/null
    wait "$qemu" 2>/dev/null
    qemu=
    return $result
}

accel=tcg
result=3
powered_off=
if [ -w /dev/kvm ]; then
    accel=kvm
    start_machine kvm "-cpu host" 2>/dev/null
    result=$?
fi
if [ $result -eq 3 ]; then
    if [ "$accel" = kvm ]; then
        echo "[KVM cannot run this machine here; plain emulation instead]"
        sed 's/^/[kvm] /' "$work/qemu.err" | head -3
    fi
    accel=tcg
    start_machine tcg ""
    result=$?
fi
tr -d '\000' < "$console" | sed 's/\x1b\[[0-9;]*[A-Za-z]//g' | tr -s '\r\n' '\n'
[ -n "$powered_off" ] && echo "[the machine powered itself off]"
echo "[accelerator: $accel, seconds limit: $limit]"
[ $result -eq 3 ] && cat "$work/qemu.err"
exit $result

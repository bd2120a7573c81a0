#!/usr/bin/env bash
# The packaged Windows program under Wine and Xvfb, tests/wine/standin.cpp as the system's tools.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
shots="$repo/out/wine"
started=$(date +%s)
failures=0
log() { printf '[test-wine-app] %s\n' "$*"; }
check() { "${@:2}" && log "PASS $1" || { log "FAIL $1" >&2; failures=$((failures + 1)); }; }

bash "$repo/scripts/install-deps.sh" wine wine64 xvfb xauth xdotool imagemagick python3 \
    fonts-liberation2 g++-mingw-w64-x86-64-win32
bash "$repo/scripts/build-windows.sh"
source "$repo/tests/wine/run-lib.sh"

unset WAYLAND_DISPLAY
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$scratch/display" \
    >"$scratch/xvfb.log" 2>&1 &
pids+=($!)
wait_for 100 test -s "$scratch/display" || { cat "$scratch/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$scratch/display")"

bin="$scratch/bin"
mkdir -p "$bin" "$shots"
cxx=(x86_64-w64-mingw32-g++ -std=c++17 -O2 -Wall -Wextra -static)
"${cxx[@]}" -municode "$repo/tests/wine/standin.cpp" -o "$bin/standin.exe"
"${cxx[@]}" "$repo/tests/wine/devicechange.cpp" -o "$bin/devicechange.exe"
"${cxx[@]}" "$repo/tests/wine/trustroot.cpp" -o "$bin/trustroot.exe" -lcrypt32
"${cxx[@]}" -municode "$repo/tests/wine/limited.cpp" -o "$bin/limited.exe"
new_prefix "$bin/trustroot.exe"

reg() { quiet wine reg add "$@" /f /reg:64; }
sys32="$WINEPREFIX/drive_c/windows/system32"
for tool in wbem/wmic diskpart dism xcopy bitsadmin; do
    cp "$bin/standin.exe" "$sys32/$tool.exe"
    reg 'HKCU\Software\Wine\DllOverrides' /v "$(basename "$tool").exe" /t REG_SZ /d native
done
# No Segoe UI in Wine: the same Arial-metric face as on the simulated host.
for face in "Segoe UI" "Segoe UI SemiBold"; do
    reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "Liberation Sans"
done

boot="$WINEPREFIX/drive_c/windows/Boot"
for f in Fonts/wgl4_boot.ttf Fonts/segmono_boot.ttf Resources/bootres.dll DVD/PCAT/BCD \
    DVD/PCAT/boot.sdi DVD/EFI/BCD EFI/bootmgfw.efi EFI/bootmgr.efi EFI/bootx64.efi PCAT/bootmgr; do
    mkdir -p "$(dirname "$boot/$f")"
    head -c $((4096 + RANDOM)) /dev/urandom >"$boot/$f"
done

app="$WINEPREFIX/drive_c/Program Files/Kestrin Data Recovery"
mkdir -p "$app"
cp -r "$repo/dist/BootableMediaCreator-win64"/. "$app/"
cp "$bin/standin.exe" "$app/KestrinDataRecovery.exe"

export BMC_WINE_LOG=$(winpath "$scratch/standins.log") BMC_WINE_DISK="1|Alpha USB Device|  07A1B2C3D4E5F601|USBSTOR\\DISK&VEN_ALPHA&PROD_USB_DEVICE&REV_1.00\\07A1B2C3D4E5F601&0|2864434397"
export BMC_WINE_ASSIGN=$(winpath "$scratch/assign")
: >"$scratch/standins.log"
# Only Linux can add a drive to the prefix: a new, empty volume when diskpart asks.
usb="$scratch/usb"
while sleep 0.1; do
    [ -s "$scratch/assign" ] || continue
    rm -rf "$usb" && mkdir "$usb"
    ln -sfn "$usb" "$WINEPREFIX/dosdevices/$(tr 'A-Z' 'a-z' <"$scratch/assign"):"
    rm -f "$scratch/assign"
done &
pids+=($!)

# Larger than the smallest image accepted: random at both ends, sparse between.
www="$scratch/www"
mkdir -p "$www"
image="$www/boot.wim"
truncate -s 240000000 "$image"
head -c 1048576 /dev/urandom | dd of="$image" conv=notrunc status=none
head -c 1048576 /dev/urandom | dd of="$image" bs=1M seek=200 conv=notrunc status=none
for name in trusted stranger; do start_server $name $name; done
# "The internet", for the connectivity probe, through the user's proxy.
start_server http

hostkey='HKLM\Software\Wow6432Node\Kestrin Data Recovery\Data Recovery\Kestrin Data Recovery for Windows'
# The next start's display dpi, "LanguageType" and the server its links name.
set_up() {
    reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1"
    reg "$hostkey" /v LanguageType /t REG_DWORD /d "$2"
    for value in DownloadLink_bootwim DownloadLink_Win7_bootwim; do
        reg "$hostkey" /v $value /t REG_SZ /d "https://localhost:$(cat "$scratch/$3.port")/boot.wim"
    done
    wineserver -w
}
# Qt's system proxy, bypassed for localhost; lengths little-endian, texts under 256 bytes.
blob() { printf '%02x000000%s' "${#1}" "$(printf %s "$1" | od -An -tx1 | tr -d ' \n')"; }
settings=460000000000000003000000$(blob "127.0.0.1:$(cat "$scratch/http.port")")$(blob localhost)00000000
reg 'HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Connections' \
    /v DefaultConnectionSettings /t REG_BINARY /d "$settings"

# Through the program $1, if any, that starts it.
start_tool() { (cd "$app" && exec wine "$@" BootableMediaCreator.exe >"$scratch/tool.log" 2>&1) & }
# The tool's visible window WxH (its id), or with no size, that there is none.
window() {
    local id
    for id in $(xdotool search --onlyvisible --classname 'bootablemediacreator.exe' 2>/dev/null); do
        [ $# -eq 0 ] && return 1
        xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: $1$" && echo "$id" && return
    done
    [ $# -eq 0 ]
}
wait_window() { wait_for 300 window "$1" || { log "no $1 window" >&2; return 1; }; }
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
runs() { grep -c "^$1|" "$scratch/standins.log" || true; }
more_runs() { [ "$(runs "$1")" -gt "$2" ]; }
wait_runs() { wait_for "$2" more_runs "$1" "$3" || true; }
# Cancel in the main window: the tool ends, and the host product, started $2
# times before, has started once more. $1 prefixes the checks' names.
running() { pgrep -if 'BootableMediaCreator\.exe|KestrinDataRecovery\.exe' >/dev/null; }
cancel_leaves() {
    click "$main" 458 178
    # Wine's teardown of Qt can take over 10 s on a loaded machine.
    check "$1the tool ended" wait_for 300 window
    # Counted once the tool and what it started are gone: none can start another.
    wait_for 300 eval '! running'
    check "$1Cancel started the host product once" [ "$(runs kestrindatarecovery)" -eq $(($2 + 1)) ]
    stop_wine
}

# --- 1. "LanguageType" 5 Japanese at 144 dpi: 1.5 times the scale table's size.
set_up 144 5 trusted
start_tool
id=$(wait_window 780x309) && sleep 1 && import -window "$id" "$shots/JA-144.png"
title=$(xdotool getwindowname "${id:-0}" 2>/dev/null) || true
check "Japanese at 144 dpi: a 780x309 window, title \"$title\"" [ "$title" = "$(python3 -c '
import sys, xml.etree.ElementTree as E
print(next(m.findtext("translation") for m in E.parse(sys.argv[1]).iter("message")
           if m.findtext("source") == "Create Bootable Media"))' "$repo/translations/LANG_JA.ts")" ]
stop_wine

# --- 2. a whole build, English at 96 dpi.
set_up 96 0 trusted
build_ended() {
    buildlog=$(find "$WINEPREFIX/drive_c/users" -name BootableMediaCreator.log | head -n1)
    [ -n "$buildlog" ] && grep -q "build complete\|build incomplete" "$buildlog"
}
# Create Recovery Drive, OK; waits for the last line of $buildlog.
run_build() {
    local listed
    listed=$(runs wmic)
    start_tool
    main=$(wait_window 530x206) || exit 1
    wait_runs wmic 100 "$listed"
    sleep 1
    click "$main" 314 178
    confirm=$(wait_window 489x194) || exit 1
    sleep 0.5
    click "$confirm" 302 170
    wait_for 6000 build_ended || true
    sleep 1
    import -window "$main" "$shots/EN-96-$1.png"
}
run_build finished
check "the build completed" grep -q "build complete" "$buildlog"
# The stick is known by its serial number, and diskpart showed its signature
# (2864434397 is AABBCCDD) before anything was erased.
check "the drive was listed with its serial number and diskpart showed its signature" \
    eval 'grep -q "serial \"07A1B2C3D4E5F601\"" "$buildlog" && grep -q "disk ID AABBCCDD" "$buildlog"'
check "the image came over https from the trusted server through the system's download call" \
    eval 'grep -q "GET /boot.wim" "$scratch/trusted.log" && [ "$(runs bitsadmin)" -eq 0 ]'
# Wine, like Windows, finds "sources" in the "Sources" folder the build made.
same() { cmp -s "$1" "$(find "$usb" -ipath "$usb/$2" -type f | head -n1)"; }
check "the image on the drive is the served one" same "$image" sources/boot.wim
for f in bootmgr:PCAT/bootmgr boot/BCD:DVD/PCAT/BCD boot/boot.sdi:DVD/PCAT/boot.sdi \
    efi/microsoft/boot/BCD:DVD/EFI/BCD boot/fonts/wgl4_boot.ttf:Fonts/wgl4_boot.ttf; do
    check "drive file ${f%%:*}" same "$boot/${f#*:}" "${f%%:*}"
done

# --- 3. one listing after a burst of arrivals; a second would follow within seconds.
# A listing runs WMIC twice: the disks, then the letters of their volumes.
listings_after() {
    local before
    before=$(runs wmic)
    wine "$bin/devicechange.exe" "$@" >>"$scratch/devicechange.log" 2>&1 || return 1
    wait_runs wmic 300 $((before + 1))
    wait_runs wmic 30 $((before + 2))
    [ "$(runs wmic)" -eq $((before + 2)) ]
}
check "a burst of four volume arrivals: one listing" listings_after volume 4
check "a disk without a volume: one listing" listings_after disk 1

# --- 4. Cancel ends the tool and starts the host product.
cancel_leaves "" 0

# --- 5. the same server name, from an authority nobody vouches for.
set_up 96 0 stranger
rm -rf "$usb" "$buildlog"
run_build not-authenticated
check "an untrusted certificate: the build log says the server could not prove who it is" \
    grep -q "could not prove who it is" "$buildlog"
check "an untrusted certificate: the USB volume was not written" [ ! -e "$usb" ]
check "an untrusted certificate: the image was never requested" \
    eval '! grep -q "GET /boot.wim" "$scratch/stranger.log"'
stop_wine

# --- 6. started with an administrator's filtered token: the notice, and Cancel still leaves.
set_up 96 0 trusted
hosts=$(runs kestrindatarecovery)
start_tool "$bin/limited.exe"
main=$(wait_window 530x206) || exit 1
sleep 1
import -window "$main" "$shots/EN-96-no-rights.png"
# The status line, hidden in an idle window, carries the notice: dark text on white.
darkest=$(convert "$shots/EN-96-no-rights.png" -crop 430x35+100+96 -colorspace Gray \
    -format '%[fx:minima]' info:)
check "without administrator rights: the status line shows the notice" \
    awk -v d="$darkest" 'BEGIN { exit !(d < 0.5) }'
cancel_leaves "without administrator rights: " "$hosts"

[ "$failures" -eq 0 ] || { cat "$scratch/standins.log" "$scratch/tool.log" >&2
    log "$failures check(s) failed"; exit 1; }
log "all checks passed; screenshots in $shots"

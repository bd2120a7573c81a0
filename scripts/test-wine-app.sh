#!/usr/bin/env bash
# Runs the packaged Windows program (scripts/build-windows.sh) under Wine with
# Xvfb as its display: its window in German and Japanese at 96 and 144 dpi; a
# whole build clicked through, with the stand-ins of tests/wine/standin.cpp
# for WMIC, diskpart, DISM, Xcopy and bitsadmin and the image over https from
# an authority the prefix trusts; device-change messages; Cancel starting the
# host product; and a build from an unknown authority refused, the drive
# untouched. Usage: scripts/test-wine-app.sh   (installs what is missing)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
shots="$repo/out/wine"
started=$(date +%s)
failures=0
log() { printf '[test-wine-app] %s\n' "$*"; }
# check WHAT COMMAND...: PASS or FAIL, by the command's status.
check() {
    local what=$1
    shift
    "$@" && log "PASS $what" || { log "FAIL $what" >&2; failures=$((failures + 1)); }
}

bash "$repo/scripts/install-deps.sh" wine wine64 xvfb xauth xdotool imagemagick python3 \
    fonts-liberation2 g++-mingw-w64-x86-64-win32
bash "$repo/scripts/build-windows.sh"
source "$repo/tests/wine/run-lib.sh"

unset WAYLAND_DISPLAY
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$scratch/display" \
    >"$scratch/xvfb.log" 2>&1 &
pids+=($!)
wait_file "$scratch/display" || { cat "$scratch/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$scratch/display")"

bin="$scratch/bin"
mkdir -p "$bin"
cxx=(x86_64-w64-mingw32-g++ -std=c++17 -O2 -Wall -Wextra -static)
"${cxx[@]}" -municode "$repo/tests/wine/standin.cpp" -o "$bin/standin.exe"
"${cxx[@]}" "$repo/tests/wine/devicechange.cpp" -o "$bin/devicechange.exe"
"${cxx[@]}" "$repo/tests/wine/trustroot.cpp" -o "$bin/trustroot.exe" -lcrypt32
new_prefix "$bin/trustroot.exe"

reg() { quiet wine reg add "$@" /f /reg:64; }
sys32="$WINEPREFIX/drive_c/windows/system32"
for tool in wbem/wmic diskpart dism xcopy bitsadmin; do
    cp "$bin/standin.exe" "$sys32/$tool.exe"
    # Wine would otherwise run its own built-in program of that name.
    reg 'HKCU\Software\Wine\DllOverrides' /v "$(basename "$tool").exe" /t REG_SZ /d native
done
# No Segoe UI in Wine: the same Arial-metric face as on the simulated host.
for face in "Segoe UI" "Segoe UI SemiBold"; do
    reg 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d "Liberation Sans"
done

# The Windows boot files that the build copies, each with contents of its own.
boot="$WINEPREFIX/drive_c/windows/Boot"
for f in Fonts/wgl4_boot.ttf Fonts/segmono_boot.ttf Resources/bootres.dll DVD/PCAT/BCD \
    DVD/PCAT/boot.sdi DVD/EFI/BCD EFI/bootmgfw.efi EFI/bootmgr.efi EFI/bootx64.efi PCAT/bootmgr; do
    mkdir -p "$(dirname "$boot/$f")"
    head -c $((4096 + RANDOM)) /dev/urandom >"$boot/$f"
done

# The host product's folder: the unpacked package and the host program.
app="$WINEPREFIX/drive_c/Program Files/Kestrin Data Recovery"
mkdir -p "$app"
cp -r "$repo/dist/BootableMediaCreator-win64"/. "$app/"
cp "$bin/standin.exe" "$app/KestrinDataRecovery.exe"

# The stand-ins' environment (Wine hands it on through the tool and cmd.exe).
export BMC_WINE_LOG BMC_WINE_DISKS BMC_WINE_ASSIGN
BMC_WINE_LOG=$(winpath "$scratch/standins.log")
BMC_WINE_DISKS=$(winpath "$scratch/disks.txt")
BMC_WINE_ASSIGN=$(winpath "$scratch/assign")
echo "1|Alpha USB Device" >"$scratch/disks.txt"
: >"$scratch/standins.log"
# The USB disk's volume: when the stand-in diskpart formats the disk it asks
# for its letter, and only a Linux program can add a drive to the prefix: the
# volume is made new and empty, and the letter maps it.
usb="$scratch/usb"
while sleep 0.1; do
    if [ -s "$scratch/assign" ]; then
        rm -rf "$usb" && mkdir "$usb"
        ln -sfn "$usb" "$WINEPREFIX/dosdevices/$(tr 'A-Z' 'a-z' <"$scratch/assign"):"
        rm -f "$scratch/assign"
    fi
done &
pids+=($!)

# The image, larger than the smallest accepted one: random at both ends, sparse between.
www="$scratch/www"
mkdir -p "$www"
image="$www/boot.wim"
truncate -s 240000000 "$image"
head -c 1048576 /dev/urandom | dd of="$image" conv=notrunc status=none
head -c 1048576 /dev/urandom | dd of="$image" bs=1M seek=200 conv=notrunc status=none
start_server trusted trusted
start_server stranger stranger
# "The internet", for the connectivity probe, through the user's proxy.
python3 "$repo/scripts/demo_server.py" "$www" "$scratch/http.port" >"$scratch/http.log" 2>&1 &
pids+=($!)
wait_file "$scratch/http.port" || { cat "$scratch/http.log"; exit 1; }

hostkey='HKLM\Software\Wow6432Node\Kestrin Data Recovery\Data Recovery\Kestrin Data Recovery for Windows'
set_links() {
    for value in DownloadLink_bootwim DownloadLink_Win7_bootwim; do
        reg "$hostkey" /v $value /t REG_SZ /d "https://localhost:$(cat "$scratch/$1.port")/boot.wim"
    done
}
set_links trusted
# Internet Options' proxy, which Qt's system proxy reads; the image's server
# on localhost is reached directly.
settings=$(python3 -c "
import struct, sys
p, bypass = sys.argv[1].encode(), b'localhost'
blob = (struct.pack('<III', 0x46, 0, 3) + struct.pack('<I', len(p)) + p +
        struct.pack('<I', len(bypass)) + bypass + struct.pack('<I', 0))
print(blob.hex())" "127.0.0.1:$(cat "$scratch/http.port")")
reg 'HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Connections' \
    /v DefaultConnectionSettings /t REG_BINARY /d "$settings"
wineserver -w

start_tool() { (cd "$app" && exec wine BootableMediaCreator.exe >"$scratch/tool.log" 2>&1) & }
stop_tool() { { wineserver -k; wineserver -w; } 2>/dev/null || true; }
# The tool's visible windows (Wine names its X windows after the program).
tool_windows() { xdotool search --onlyvisible --classname 'bootablemediacreator.exe' 2>/dev/null || true; }
window_sizes() {
    for id in $(tool_windows); do
        echo "$id $(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Geometry: //p')"
    done
}
# Waits up to 30 s for a visible window of the size WxH; prints its id.
wait_window() {
    for _ in $(seq 300); do
        window_sizes | awk -v s="$1" '$2 == s { print $1; found = 1; exit } END { exit !found }' &&
            return 0
        sleep 0.1
    done
    log "no $1 window (windows: $(window_sizes | tr '\n' ' '))" >&2
    return 1
}
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
runs() { grep -c "^$1|" "$scratch/standins.log" || true; }
# Waits up to a tenth of a second times $2 for more than $3 runs of $1.
wait_runs() { for _ in $(seq "$2"); do [ "$(runs "$1")" -gt "$3" ] && return; sleep 0.1; done; }
# The main window's title in a language's catalogue.
title_in() {
    python3 -c 'import sys, xml.etree.ElementTree as E; print(next(m.findtext("translation")
for m in E.parse(sys.argv[1]).iter("message") if m.findtext("source") == sys.argv[2]))' \
        "$repo/translations/LANG_$1.ts" "Create Bootable Media"
}
set_screen() {
    reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1"
    wineserver -w
}
mkdir -p "$shots"

# --- 1. language and scale: "LanguageType" 1 German, 5 Japanese; the window
# sizes of the scale tables at 96 dpi and their 1.5 times at 144 dpi.
while read -r code type dpi size; do
    set_screen "$dpi"
    reg "$hostkey" /v LanguageType /t REG_DWORD /d "$type"
    start_tool
    if id=$(wait_window "$size"); then
        sleep 1
        title=$(xdotool getwindowname "$id")
        check "$code at $dpi dpi: window $size, title \"$title\"" [ "$title" = "$(title_in "$code")" ]
        import -window "$id" "$shots/$code-$dpi.png"
    else
        check "$code at $dpi dpi: a $size window" false
    fi
    stop_tool
done <<'EOF'
DE 1 96 560x206
DE 1 144 840x309
JA 5 96 520x206
JA 5 144 780x309
EOF

# --- 2. a whole build, English at 96 dpi.
set_screen 96
reg "$hostkey" /v LanguageType /t REG_DWORD /d 0
# Starts the tool and clicks Create Recovery Drive, then OK in the
# confirmation; waits for the build log's last line, named in $buildlog.
run_build() {
    local listed
    listed=$(runs wmic)
    start_tool
    main=$(wait_window 530x206) || exit 1
    wait_runs wmic 100 "$listed"
    sleep 1
    click "$main" 314 178
    confirm=$(wait_window 489x172) || exit 1
    sleep 0.5
    click "$confirm" 302 148
    buildlog=""
    for _ in $(seq 1200); do
        buildlog=$(find "$WINEPREFIX/drive_c/users" -name BootableMediaCreator.log | head -n1)
        [ -n "$buildlog" ] && grep -q "build complete\|build incomplete" "$buildlog" && break
        sleep 0.5
    done
    sleep 1
    import -window "$main" "$shots/EN-96-$1.png"
}
run_build finished
check "the build completed" grep -q "build complete" "$buildlog"
# How the system's download call wrote the image: hashed as it arrived, or in
# one pass once the call had written it whole.
grep "image readable" "$buildlog" | sed 's/^/[test-wine-app]   build log: /' || true
check "the image came over https from the trusted server through the system's download call" \
    eval 'grep -q "GET /boot.wim" "$scratch/trusted.log" && [ "$(runs bitsadmin)" -eq 0 ]'
# Wine, like Windows, finds "sources" in the "Sources" folder the build made.
same() { cmp -s "$1" "$(find "$usb" -ipath "$usb/$2" -type f | head -n1)"; }
check "the image on the drive is the served one" same "$image" sources/boot.wim
for f in bootmgr:PCAT/bootmgr boot/BCD:DVD/PCAT/BCD boot/boot.sdi:DVD/PCAT/boot.sdi \
    efi/microsoft/boot/BCD:DVD/EFI/BCD boot/fonts/wgl4_boot.ttf:Fonts/wgl4_boot.ttf; do
    check "drive file ${f%%:*}" same "$boot/${f#*:}" "${f%%:*}"
done

# --- 3. arrivals sent to the main window as the system sends them: the one
# listing comes after the tool's burst window; a second (the fault: a listing
# for each arrival) would follow it within seconds and is waited for.
listings_after() {
    local before
    before=$(runs wmic)
    wine "$bin/devicechange.exe" "$@" >>"$scratch/devicechange.log" 2>&1 || return 1
    wait_runs wmic 300 "$before"
    wait_runs wmic 30 $((before + 1))
    [ "$(runs wmic)" -eq $((before + 1)) ]
}
check "a burst of four volume arrivals: one listing" listings_after volume 4
check "a disk without a volume: one listing" listings_after disk 1

# --- 4. Cancel ends the tool and starts the host product.
click "$main" 458 178
wait_runs kestrindatarecovery 100 0
check "Cancel started the host product once" [ "$(runs kestrindatarecovery)" -eq 1 ]
# Wine may take some seconds to tear a Qt program down on a loaded machine
# (once seen beyond 10 s); the tool must still end.
for _ in $(seq 300); do [ -z "$(tool_windows)" ] && break; sleep 0.1; done
check "the tool ended" [ -z "$(tool_windows)" ]
stop_tool

# --- 5. the same server name, from an authority nobody vouches for.
set_links stranger
wineserver -w
rm -rf "$usb" "$buildlog"
run_build not-authenticated
check "an untrusted certificate: the build log says the server could not prove who it is" \
    grep -q "could not prove who it is" "$buildlog"
check "an untrusted certificate: the USB volume was not written" [ ! -e "$usb" ]
check "an untrusted certificate: the image was never requested" \
    eval '! grep -q "GET /boot.wim" "$scratch/stranger.log"'
stop_tool

if [ "$failures" -ne 0 ]; then
    log "$failures check(s) failed"
    cat "$scratch/standins.log" "$scratch/tool.log" >&2 || true
    exit 1
fi
log "all checks passed; screenshots in $shots"

#!/usr/bin/env bash
# Runs the packaged Windows program (scripts/build-windows.sh) under Wine, in
# a fresh Wine prefix with Xvfb as the display of Wine's X11 driver:
#
#  1. its window in the language of the host product's registry key, at 96
#     and at 144 dpi, with the size of the scale tables (screenshots under
#     out/wine/);
#  2. device-change messages: only those for the main window count, a burst
#     lists the drives once, a disk without a volume is seen;
#  3. a whole build clicked through from outside: Wine's cmd.exe runs the
#     command lines, the project's stand-ins (tests/wine/standin.cpp) replace
#     WMIC, diskpart, DISM, Xcopy and bitsadmin in system32, the USB volume is
#     a folder that drive R: of the prefix maps, the image comes over https
#     from localhost through the system's own download call, from a server
#     whose certificate a test authority signed that the prefix's root store
#     trusts (tests/wine/trustroot.cpp);
#  4. Cancel starts the host product from the tool's folder;
#  5. a second build against a server of the same name whose certificate an
#     unknown authority signed ends in failure, the USB volume untouched.
#
# Usage: scripts/test-wine-app.sh   (installs what is missing, as root)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
shots="$repo/out/wine"
started=$(date +%s)
failures=0

log() { printf '[test-wine-app] %s\n' "$*"; }
pass() { printf '[test-wine-app] PASS %s\n' "$*"; }
fail() {
    printf '[test-wine-app] FAIL %s\n' "$*" >&2
    failures=$((failures + 1))
}

# --- packages -------------------------------------------------------------------
packages=(wine wine64 xvfb xauth xdotool imagemagick python3 fonts-liberation2
    g++-mingw-w64-x86-64-win32)
bash "$repo/scripts/install-deps.sh" "${packages[@]}"

bash "$repo/scripts/build-windows.sh"
package="$repo/dist/BootableMediaCreator-win64"

# --- scratch space, and clean-up on every way out -------------------------------
scratch=$(mktemp -d /tmp/bmc-wine-app.XXXXXX)
export WINEPREFIX="$scratch/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
xvfb_pid=""
http_pid=""
image_pids=""
assign_pid=""

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    if [ -d "$WINEPREFIX" ]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
    fi
    for pid in $assign_pid $image_pids $http_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$scratch"
    log "finished in $(($(date +%s) - started)) s"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A Linux path as the Windows programs see it: Wine maps / to drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# --- display ----------------------------------------------------------------------
unset WAYLAND_DISPLAY
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$scratch/display" \
    >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.1
done
[ -s "$scratch/display" ] || { cat "$scratch/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$scratch/display")"

# --- stand-ins and helpers, built as Windows programs -----------------------------
bin="$scratch/bin"
mkdir -p "$bin"
cxx=(x86_64-w64-mingw32-g++ -std=c++17 -O2 -Wall -Wextra -static)
"${cxx[@]}" -municode "$repo/tests/wine/standin.cpp" -o "$bin/standin.exe"
"${cxx[@]}" "$repo/tests/wine/devicechange.cpp" -o "$bin/devicechange.exe"
"${cxx[@]}" "$repo/tests/wine/trustroot.cpp" -o "$bin/trustroot.exe" -lcrypt32

# --- fresh Wine prefix ------------------------------------------------------------
log "creating Wine prefix $WINEPREFIX"
# Without the .NET and HTML engines: their installers would ask to download.
WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init >"$scratch/wineboot.log" 2>&1 ||
    { cat "$scratch/wineboot.log"; exit 1; }
wineserver -w

reg() { wine reg add "$@" /f /reg:64 >>"$scratch/reg.log" 2>&1 || { cat "$scratch/reg.log"; exit 1; }; }

# Two test authorities: "trusted" goes into the prefix's root store, as an
# administrator adds a root on Windows; "stranger" signs a certificate for
# the same server name that nothing trusts.
certs="$scratch/certs"
for name in trusted stranger; do
    bash "$repo/scripts/make-certificates.sh" "$certs" "$name"
done
wine "$bin/trustroot.exe" "$(winpath "$certs/trusted-root.pem")" ||
    { echo "could not add the test authority to the prefix's root store" >&2; exit 1; }

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
cp -r "$package"/. "$app/"
cp "$bin/standin.exe" "$app/KestrinDataRecovery.exe"

# The USB disk's volume: a folder that the stand-in diskpart creates when it
# formats the disk, and that the letter it assigns then maps (made here, on
# its request, as only a Linux program can add a drive of the prefix).
usb="$scratch/usb"
export BMC_WINE_LOG BMC_WINE_DISKS BMC_WINE_USB BMC_WINE_ASSIGN
BMC_WINE_LOG=$(winpath "$scratch/standins.log")
BMC_WINE_DISKS=$(winpath "$scratch/disks.txt")
BMC_WINE_USB=$(winpath "$usb")
BMC_WINE_ASSIGN=$(winpath "$scratch/assign")
assign_letters() {
    while :; do
        if [ -s "$scratch/assign" ]; then
            letter=$(tr 'A-Z' 'a-z' <"$scratch/assign")
            rm -f "$scratch/assign"
            ln -sfn "$usb" "$WINEPREFIX/dosdevices/$letter:"
        fi
        sleep 0.1
    done
}
assign_letters &
assign_pid=$!
echo "1|Generic Flash Disk USB Device" >"$scratch/disks.txt"
: >"$scratch/standins.log"

# --- web server: the image, and "the internet" through the proxy ---------------------
www="$scratch/www"
mkdir -p "$www"
image="$www/boot.wim"
# Larger than the smallest accepted image; random at both ends, sparse between.
truncate -s 240000000 "$image"
head -c 1048576 /dev/urandom | dd of="$image" conv=notrunc status=none
head -c 1048576 /dev/urandom | dd of="$image" bs=1M seek=200 conv=notrunc status=none
wait_port() {
    for _ in $(seq 100); do
        [ -s "$1" ] && return 0
        sleep 0.1
    done
    return 1
}
python3 "$repo/scripts/demo_server.py" "$www" "$scratch/http.port" >"$scratch/http.log" 2>&1 &
http_pid=$!
wait_port "$scratch/http.port" || { cat "$scratch/http.log"; exit 1; }
port=$(cat "$scratch/http.port")
# The image over https, by name: Wine checks a certificate's DNS names only.
for name in trusted stranger; do
    python3 "$repo/tests/win32/http_test_server.py" "$www" "$scratch/$name.port" \
        "$certs/$name-server.pem" "$certs/$name-server.key" >"$scratch/$name.log" 2>&1 &
    image_pids="$image_pids $!"
    wait_port "$scratch/$name.port" || { cat "$scratch/$name.log"; exit 1; }
done

hostkey='HKLM\Software\Wow6432Node\Kestrin Data Recovery\Data Recovery\Kestrin Data Recovery for Windows'
set_links() {
    local link="https://localhost:$(cat "$scratch/$1.port")/boot.wim"
    reg "$hostkey" /v DownloadLink_bootwim /t REG_SZ /d "$link"
    reg "$hostkey" /v DownloadLink_Win7_bootwim /t REG_SZ /d "$link"
}
set_links trusted
# The user's proxy (Internet Options), which Qt's system proxy reads: the
# connectivity probe's request for a public site goes to the local server.
# The image's server on localhost is reached directly.
proxy="127.0.0.1:$port"
settings=$(python3 -c "
import struct, sys
p, bypass = sys.argv[1].encode(), b'localhost'
blob = (struct.pack('<III', 0x46, 0, 3) + struct.pack('<I', len(p)) + p +
        struct.pack('<I', len(bypass)) + bypass + struct.pack('<I', 0))
print(blob.hex())" "$proxy")
reg 'HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Connections' \
    /v DefaultConnectionSettings /t REG_BINARY /d "$settings"
wineserver -w

# --- helpers ----------------------------------------------------------------------------
tool_pid=""
start_tool() {
    (cd "$app" && exec wine BootableMediaCreator.exe >"$scratch/tool.log" 2>&1) &
    tool_pid=$!
}

# The tool's visible windows (Wine names its X windows after the program).
tool_windows() { xdotool search --onlyvisible --classname 'bootablemediacreator.exe' 2>/dev/null || true; }

# Waits for a visible window of the given size; prints its id.
wait_window() {
    local w=$1 h=$2 id size
    for _ in $(seq 300); do
        for id in $(tool_windows); do
            size=$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Geometry: //p')
            if [ "$size" = "${w}x${h}" ]; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

any_window_size() {
    local id
    for id in $(tool_windows); do
        xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Geometry: //p'
    done | tr '\n' ' '
}

stop_tool() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    [ -n "$tool_pid" ] && wait "$tool_pid" 2>/dev/null || true
    tool_pid=""
}

# Clicks at a point of a window, in the window's own pixels.
click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

count_runs() { grep -c "^$1|" "$scratch/standins.log" || true; }

# The window title that a catalogue gives the main window.
title_in() {
    python3 - "$repo/translations/LANG_$1.ts" <<'EOF'
import sys, xml.etree.ElementTree as ET
for m in ET.parse(sys.argv[1]).iter("message"):
    if m.findtext("source") == "Create Bootable Media":
        print(m.findtext("translation") or "Create Bootable Media")
        break
EOF
}

set_screen() {
    reg 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1"
    wineserver -w
}

mkdir -p "$shots"

# --- 1. language and scale ------------------------------------------------------------
# "LanguageType": 1 German, 5 Japanese. Window sizes of the scale tables at
# 96 dpi and their 1.5 times at 144 dpi.
while read -r code type dpi size; do
    set_screen "$dpi"
    reg "$hostkey" /v LanguageType /t REG_DWORD /d "$type"
    start_tool
    if id=$(wait_window "${size%x*}" "${size#*x}"); then
        sleep 1
        title=$(xdotool getwindowname "$id")
        expected=$(title_in "$code")
        if [ "$title" = "$expected" ]; then
            pass "$code at $dpi dpi: window ${size}, title \"$title\""
        else
            fail "$code at $dpi dpi: title \"$title\", expected \"$expected\""
        fi
        import -window "$id" "$shots/$code-$dpi.png"
    else
        fail "$code at $dpi dpi: no ${size} window (windows: $(any_window_size))"
        import -window root "$shots/$code-$dpi-screen.png"
    fi
    stop_tool
done <<'EOF'
DE 1 96 560x206
DE 1 144 840x309
JA 5 96 520x206
JA 5 144 780x309
EOF

# --- 2. device changes, 3. a whole build, 4. the way out: English at 96 dpi ------------
set_screen 96
reg "$hostkey" /v LanguageType /t REG_DWORD /d 0
: >"$scratch/standins.log"
start_tool
if ! main=$(wait_window 530 206); then
    fail "no English window at 96 dpi (windows: $(any_window_size))"
    exit 1
fi
for _ in $(seq 100); do
    [ "$(count_runs wmic)" -ge 1 ] && break
    sleep 0.1
done
sleep 1

# A build: Create Recovery Drive, then OK in the confirmation; waits for
# the build log's last line and names the log in $buildlog.
run_build() {
    click "$main" 314 178
    if confirm=$(wait_window 489 172); then
        sleep 0.5
        click "$confirm" 302 148
    else
        fail "no confirmation after Create (windows: $(any_window_size))"
    fi
    buildlog=""
    for _ in $(seq 1200); do
        buildlog=$(find "$WINEPREFIX/drive_c/users" -name BootableMediaCreator.log 2>/dev/null | head -n1)
        [ -n "$buildlog" ] && grep -q "build complete\|build incomplete" "$buildlog" && break
        sleep 0.5
    done
    sleep 1
}
run_build
import -window "$main" "$shots/EN-96-finished.png"
if [ -n "$buildlog" ] && grep -q "build complete" "$buildlog"; then
    pass "the build completed"
else
    fail "the build did not complete: $(cat "$buildlog" 2>/dev/null || echo no build log)"
fi
# How the system's download call wrote the image, as the build log tells:
# hashed as it arrived, or in one pass once the call had written it whole.
grep "image readable" "$buildlog" 2>/dev/null | sed 's/^/[test-wine-app]   build log: /' || true
grep -q "GET /boot.wim" "$scratch/trusted.log" && [ "$(count_runs bitsadmin)" -eq 0 ] &&
    pass "the image came over https from the trusted server through the system's download call" ||
    fail "the image did not come through the system's download call"
# Wine, like Windows, finds "sources" in the "Sources" folder the build made.
drive_file() { find "$usb" -ipath "$usb/$1" -type f 2>/dev/null | head -n1 || true; }
on_drive=$(drive_file sources/boot.wim)
[ -n "$on_drive" ] && cmp -s "$image" "$on_drive" && pass "the image on the drive is the served one" ||
    fail "the image on the drive differs from the served one"
for f in bootmgr:PCAT/bootmgr boot/BCD:DVD/PCAT/BCD boot/boot.sdi:DVD/PCAT/boot.sdi \
    efi/microsoft/boot/BCD:DVD/EFI/BCD boot/fonts/wgl4_boot.ttf:Fonts/wgl4_boot.ttf; do
    found=$(drive_file "${f%%:*}")
    if [ -n "$found" ] && cmp -s "$boot/${f#*:}" "$found"; then
        pass "drive file ${f%%:*}"
    else
        fail "drive file ${f%%:*} missing or wrong"
    fi
done

# Sends the messages, waits well past the tool's burst window and the start
# of WMIC on a loaded machine, and prints how many listings followed; "none
# sent" when no window got them.
listings_after() {
    if ! wine "$bin/devicechange.exe" "$@" >>"$scratch/devicechange.log" 2>&1; then
        echo "none sent"
        return
    fi
    sleep 3
    echo $(($(count_runs wmic) - listed))
}

# After the build the confirmation dialog is hidden, but its window is still
# there and gets the broadcasts too.
listed=$(count_runs wmic)
n=$(listings_after others volume 3)
[ "$n" = 0 ] && pass "arrivals sent to the tool's other windows: no listing" ||
    fail "arrivals sent to the tool's other windows: $n listings"
listed=$(count_runs wmic)
n=$(listings_after main port 3)
[ "$n" = 0 ] && pass "a port arrival: no listing" || fail "a port arrival: $n listings"
listed=$(count_runs wmic)
n=$(listings_after main volume 4)
[ "$n" = 1 ] && pass "a burst of four volume arrivals: one listing" ||
    fail "a burst of four volume arrivals: $n listings"
listed=$(count_runs wmic)
n=$(listings_after main disk 1)
[ "$n" = 1 ] && pass "a disk without a volume: one listing" ||
    fail "a disk without a volume: $n listings"

# The way out: Cancel ends the tool and starts the host product.
click "$main" 458 178
for _ in $(seq 100); do
    [ "$(count_runs kestrindatarecovery)" -ge 1 ] && break
    sleep 0.1
done
[ "$(count_runs kestrindatarecovery)" -eq 1 ] && pass "Cancel started the host product" ||
    fail "Cancel did not start the host product"
# Wine may take some seconds to tear a Qt program down on a loaded machine
# (once seen beyond 10 s); the tool must still end.
for _ in $(seq 300); do
    [ -z "$(tool_windows)" ] && break
    sleep 0.1
done
[ -z "$(tool_windows)" ] && pass "the tool ended" || fail "the tool is still open after Cancel"
stop_tool

# --- 5. the same server name with a certificate nobody vouches for -------------------------
set_links stranger
wineserver -w
rm -rf "$usb" "$buildlog"
start_tool
if main=$(wait_window 530 206); then
    sleep 2
    run_build
    import -window "$main" "$shots/EN-96-not-authenticated.png"
    grep -q "could not prove who it is" "$buildlog" 2>/dev/null &&
        pass "an untrusted certificate: the build log says the server could not prove who it is" ||
        fail "an untrusted certificate: no such line in the build log: $(cat "$buildlog" 2>/dev/null)"
    if [ -n "$(find "$usb" -type f 2>/dev/null)" ]; then
        fail "an untrusted certificate: the USB volume was written"
    else
        pass "an untrusted certificate: the USB volume was not written"
    fi
    grep -q "GET /boot.wim" "$scratch/stranger.log" &&
        fail "an untrusted certificate: the server was asked for the image" ||
        pass "an untrusted certificate: the image was never requested"
else
    fail "no English window for the second build (windows: $(any_window_size))"
fi
stop_tool

if [ "$failures" -ne 0 ]; then
    log "$failures check(s) failed; logs: stand-ins, http, tool"
    cat "$scratch/standins.log" "$scratch/tool.log" >&2 || true
    exit 1
fi
log "all checks passed; screenshots in $shots"

#!/usr/bin/env bash
# Installs what building, running and testing the tool need on Debian 12,
# or, given package names, just those (the Windows build and the Wine run
# name their own). Does nothing for packages that are already there.
set -euo pipefail

packages=("$@")
[ ${#packages[@]} -gt 0 ] || packages=(
    cmake g++ make pkg-config
    qtbase5-dev qttools5-dev qttools5-dev-tools qttranslations5-l10n
    xvfb xauth xdotool x11-apps imagemagick
    python3 curl openssl libssl-dev
    fonts-dejavu-core fonts-liberation2 fonts-noto-core fonts-noto-cjk
    # Reading the windows through the accessibility bus (tests/a11y).
    at-spi2-core python3-pyatspi dbus
    # Starting the finished drive in a virtual UEFI machine (tests/boot).
    gnu-efi binutils qemu-system-x86 ovmf dosfstools mtools
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    # Other installs may hold the package lock for a while: wait for it.
    $SUDO apt-get -o DPkg::Lock::Timeout=600 update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
        --no-install-recommends "${missing[@]}"
fi

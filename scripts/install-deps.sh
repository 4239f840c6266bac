#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests and its tools need (only the missing ones).
set -euo pipefail

packages=(
    build-essential cmake pkgconf ccache clang clang-format libclang-rt-14-dev
    juce-modules-source liboscpack-dev libhidapi-dev
    libx11-dev libxext-dev libxrandr-dev libxinerama-dev libxcursor-dev libxrender-dev libxcomposite-dev
    libfreetype-dev libpng-dev libjpeg-dev zlib1g-dev fonts-dejavu-core fonts-dejavu-extra
    libgtest-dev libbenchmark-dev
    libboost-dev libqrencode-dev
    xvfb xauth xdotool imagemagick x11-utils
    iproute2 util-linux procps python3
    lintian desktop-file-utils debootstrap man-db appstream shared-mime-info libxml2-utils xclip
    chromium zbar-tools
)
# The phone remote's browser test runs puppeteer-core on Node.js; a machine that has Node.js
# from elsewhere (with its own npm) keeps it.
command -v node > /dev/null || packages+=(nodejs)
command -v npm > /dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y --no-install-recommends "${missing[@]}"

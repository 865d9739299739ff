#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the program need.
# Idempotent: packages already present are left alone, so a second run is quick.
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libjpeg62-turbo-dev libmpg123-dev libsdl2-dev libfluidsynth-dev timgm6mb-soundfont
    libboost-dev
    fonts-noto-cjk
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    libqrencode-dev  # only the yardstick of the check-in QR test; the program has its own encoder
    zlib1g-dev  # the exports' zip and PDF streams
    xvfb xauth xdotool imagemagick sox lame
    chromium zbar-tools
    python3-openpyxl poppler-utils
    xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
    # The Windows build (make windows): MinGW-w64 with POSIX threads, GoogleTest's sources
    # to build for it, Wine to run its tests; the window manager its end-to-end tests need.
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev googletest wine wine64
    fonts-wine twm
)
# Debian's npm conflicts with a Node.js that brings its own npm (NodeSource's): only when
# there is no npm at all.
command -v npm >/dev/null || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs what is missing on a Debian machine and builds the program into build/.
# Extra CMake arguments may be given in VISTREL_CMAKE_ARGS.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
    build-essential cmake ninja-build pkg-config python3
    libgtest-dev libgmock-dev
    libjpeg62-turbo-dev libpng-dev libdeflate-dev
    qt6-base-dev qt6-svg-dev
    libxcb1-dev libxcb-shm0-dev libxcb-randr0-dev
    xvfb xdotool x11-utils x11-xserver-utils xclip
    imagemagick libjpeg-turbo-progs giflib-tools python3-pil libvips-tools scrot netpbm
    libexif-dev libcanberra-dev libcli11-dev
    libwebp-dev libheif-dev liblcms2-dev webp libheif-examples libavif-bin
    dbus-daemon at-spi2-core python3-pyatspi
    weston qt6-wayland
    clang libclang-rt-14-dev
    desktop-file-utils appstream file man-db
    trash-cli
)

missing=()
for package in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
        || missing+=("$package")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# shellcheck disable=SC2086
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVISTREL_CORE_ONLY=OFF ${VISTREL_CMAKE_ARGS:-} >/dev/null
cmake --build build -j"$(nproc)"

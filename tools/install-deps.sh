#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
# Safe to run repeatedly: it does nothing once everything is present.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config make
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libjpeg62-turbo-dev libpng-dev zlib1g-dev libdeflate-dev libgif-dev libexif-dev libpugixml-dev libzstd-dev
    libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev
    fonts-liberation2 fonts-dejavu-core
    poppler-utils
    fonts-dancingscript fonts-lobster fonts-comfortaa fonts-kaushanscript
    desktop-file-utils appstream shared-mime-info dpkg-dev file
)

# "bench": also what the benchmarks compare the program with (libvips beside
# the filters); the build and the tests never need it.
if [ "${1:-}" = bench ]; then packages+=(libvips-dev); fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, run and test.
# Runs apt-get only when something is missing; uses sudo when not root.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    clang-14 libclang-rt-14-dev clang-format-14 clang-tidy-14
    qt6-base-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libfbclient2 firebird-dev firebird3.0-server-core firebird3.0-utils firebird3.0-server
    xvfb xauth x11-apps imagemagick
    fonts-liberation fonts-dejavu-core
    help2man desktop-file-utils appstream dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"

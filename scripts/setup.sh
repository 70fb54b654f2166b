#!/usr/bin/env bash
# Installs with apt-get whatever Korrimat's build, run and tests need and the machine lacks.
set -euo pipefail

packages=(
    cmake
    g++-mingw-w64-x86-64-posix
    g++-mingw-w64-i686-posix
    wine
    wine64
    fonts-wine
    xvfb
    xauth
    googletest
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs with apt-get whatever Korrimat's build, run and tests need and the machine lacks. Where
# the machine executes 32-bit code, Wine's 32-bit half (wine32, i386) comes too, so that the
# 32-bit build runs and is tested; where it does not, wine32 is never installed (it would stop
# even the 64-bit wine launcher from working).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

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
    imagemagick
    clang
    libclang-rt-14-dev
    nsis
    openssl
    osslsigncode
    nlohmann-json3-dev
    libmono-corlib4.5-dll
)
wants_i386=false
if can_run_32bit_code; then
    wants_i386=true
    packages+=(wine32:i386)
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if $wants_i386 && ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "This machine executes 32-bit code: adding the i386 architecture for wine32"
    $sudo dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Makes Korrimat's downloads in dist/: for 64-bit and 32-bit Windows the per-user installer
# (korrimat-VERSION-x64-setup.exe, -x86-setup.exe) and the portable zip (korrimat-VERSION-x64.zip,
# -x86.zip), and SHA256SUMS over the four. Builds what they need that is not built yet; the
# version is the one app/resources/Version.h gives the program's version resource.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
"$root/scripts/setup.sh"

configure_and_build "$build" mingw-x86_64.cmake korrimat_packages
configure_and_build "$build32" mingw-i686.cmake korrimat_packages
version=$(sed -n 's/^#define KORRIMAT_VERSION_\(MAJOR\|MINOR\|PATCH\) \([0-9]*\)$/\2/p' "$root/app/resources/Version.h" | paste -sd.)

rm -rf "$root/dist"
mkdir -p "$root/dist"
for arch in x64 x86; do
    folder=$build
    [ "$arch" = x86 ] && folder=$build32
    cp "$folder/dist/korrimat-$version-$arch-setup.exe" "$folder/dist/korrimat-$version-$arch.zip" "$root/dist/"
done
(cd "$root/dist" && sha256sum korrimat-* >SHA256SUMS && sha256sum --quiet -c SHA256SUMS)
for file in "$root"/dist/korrimat-*; do
    printf 'dist/%s: %d KiB\n' "$(basename "$file")" $(($(stat -c %s "$file") / 1024))
done

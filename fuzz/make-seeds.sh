#!/usr/bin/env bash
# Makes the seed corpora that come from the project's own files: small programs carrying the
# program icon (32- and 64-bit, built here with mingw-w64 like the test fixtures), the icon file
# itself. The results are kept in fuzz/corpus/; run again only when their sources change.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

icons="$here/corpus/icon_source"
mkdir -p "$icons"
printf '1 ICON "%s"\n' "$root/app/resources/korrimat.ico" >"$work/icon.rc"
for triple in i686-w64-mingw32 x86_64-w64-mingw32; do
    "$triple-windres" "$work/icon.rc" -O coff -o "$work/icon-$triple.res"
    "$triple-gcc" -shared -nostdlib -o "$icons/program-icon-$triple.dll" \
        "$root/tests/versioninfo/fixtures/FixtureEntry.c" "$work/icon-$triple.res"
done
cp "$root/app/resources/korrimat.ico" "$icons/program.ico"

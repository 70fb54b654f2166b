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

# Version images, as the system hands them over (the resource's data alone), from the version
# fixtures and Korrimat's own version resource; their fixed parts (52 bytes after the root's
# key) for the decoding. In a .res file each entry is its data's size, its header's size, the
# type (0xFFFF then 16 for a version resource), ..., then the data, padded to four bytes.
versions="$here/corpus/version_walk"
fixed="$here/corpus/fixed_part"
programs="$here/corpus/program_headers"
mkdir -p "$versions" "$fixed" "$programs"
number_at() { od -An -tu"$3" -j"$2" -N"$3" "$1" | tr -d ' '; }
for script in "$root"/tests/versioninfo/fixtures/*.rc "$root"/app/resources/korrimat.rc; do
    name=$(basename "$script" .rc)
    res="$work/$name.res"
    x86_64-w64-mingw32-windres -I "$root/app/resources" -I "$root" "$script" -O res -o "$res"
    offset=0
    total=$(stat -c %s "$res")
    while [ "$offset" -lt "$total" ]; do
        size=$(number_at "$res" "$offset" 4)
        header=$(number_at "$res" $((offset + 4)) 4)
        if [ "$(number_at "$res" $((offset + 8)) 2)" = 65535 ] && [ "$(number_at "$res" $((offset + 10)) 2)" = 16 ]; then
            tail -c +$((offset + header + 1)) "$res" | head -c "$size" >"$versions/$name"
            tail -c +41 "$versions/$name" | head -c 52 >"$fixed/$name"
        fi
        offset=$(((offset + header + size + 3) / 4 * 4))
    done
done
cp "$icons"/*.dll "$programs/"

# Signed programs, each signed or damaged one way, as the signature tests' script makes them
# (certificates and signatures only: the keys stay in the work folder and go with it).
signatures="$here/corpus/signature_bytes"
mkdir -p "$signatures"
x86_64-w64-mingw32-windres "$root/tests/versioninfo/fixtures/complete.rc" -O coff -o "$work/complete.res"
x86_64-w64-mingw32-gcc -shared -nostdlib -o "$work/complete.dll" "$root/tests/versioninfo/fixtures/FixtureEntry.c" "$work/complete.res"
bash "$root/tests/signatures/make-signed.sh" "$work/complete.dll" "$work/signed" >/dev/null
for name in timestamped dual-signed expired-timestamped truncated past-end; do
    cp "$work/signed/$name.dll" "$signatures/$name.dll"
done

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

# What a program is: the program header seeds, and small stripped programs built from the
# program fixtures' sources, each with a part of its own to read: imports and a debug directory
# (a console program), exports and a manifest (a library), a driver's Native subsystem.
images="$here/corpus/program_image"
mkdir -p "$images"
cp "$programs"/*.dll "$images/"
sources="$root/tests/formats/programs"
for triple in i686-w64-mingw32 x86_64-w64-mingw32; do
    (cd "$sources" && "$triple-windres" Manifest.rc -O coff -o "$work/manifest-$triple.res")
    "$triple-gcc" -s -O1 -Wl,--build-id -o "$images/console-$triple.exe" "$sources/Console.c"
    "$triple-gcc" -s -O1 -shared -nostdlib -o "$images/library-manifest-$triple.dll" \
        "$root/tests/versioninfo/fixtures/FixtureEntry.c" "$sources/Library.c" "$work/manifest-$triple.res"
done
x86_64-w64-mingw32-gcc -s -O1 -nostdlib -Wl,--subsystem,native -Wl,--entry,DriverEntry \
    -o "$images/driver-x86_64-w64-mingw32.sys" "$sources/Driver.c" -lntoskrnl

# And what mingw's linker never writes, made byte by byte: a 64-bit image whose one section
# (image address 0x1000, file offset 0x200) holds a load configuration with CHPE metadata and
# guard flags, REPRO and CET debug entries, delay imports in both forms, a .NET header and its
# metadata root, an import, an export directory and a manifest resource; once for x64
# (ARM64EC) and once for ARM64 (ARM64X).
le() {   # le FILE OFFSET BYTES VALUE: a little-endian number
    local value=$4 bytes="" i
    for ((i = 0; i < $3; i++)); do
        bytes+=$(printf '\\x%02x' $((value & 255)))
        value=$((value >> 8))
    done
    printf "$bytes" | dd of="$1" bs=1 seek=$(($2)) conv=notrunc status=none
}
text() { printf '%s\0' "$3" | dd of="$1" bs=1 seek=$(($2)) conv=notrunc status=none; }
for machine in x64:0x8664 arm64:0xAA64; do
    image="$images/crafted-${machine%%:*}.exe"
    head -c 1536 /dev/zero >"$image"
    text "$image" 0 MZ
    le "$image" 0x3C 4 0x40
    le "$image" 0x40 4 0x4550
    le "$image" 0x44 2 "${machine#*:}"
    le "$image" 0x46 2 1
    le "$image" 0x54 2 0xF0
    le "$image" 0x56 2 0x22
    o=0x58   # the optional header
    le "$image" $o 2 0x20B
    le "$image" $((o + 2)) 1 14
    le "$image" $((o + 3)) 1 38
    le "$image" $((o + 24)) 8 0x140000000
    le "$image" $((o + 32)) 4 0x1000
    le "$image" $((o + 36)) 4 0x200
    le "$image" $((o + 40)) 2 6
    le "$image" $((o + 48)) 2 6
    le "$image" $((o + 56)) 4 0x2000
    le "$image" $((o + 60)) 4 0x200
    le "$image" $((o + 68)) 2 2
    le "$image" $((o + 70)) 2 0x41E0
    le "$image" $((o + 108)) 4 16
    directory() { le "$image" $((o + 112 + 8 * $1)) 4 "$2"; le "$image" $((o + 116 + 8 * $1)) 4 "$3"; }
    text "$image" 0x148 .rdata
    le "$image" 0x150 4 0x400
    le "$image" 0x154 4 0x1000
    le "$image" 0x158 4 0x400
    le "$image" 0x15C 4 0x200
    at() { echo $(($1 - 0x1000 + 0x200)); }   # the file offset of an image address
    le "$image" "$(at 0x1000)" 4 320          # load configuration
    le "$image" "$(at 0x1090)" 4 0x10500      # GuardFlags
    le "$image" "$(at 0x10C8)" 8 0x140001800  # CHPEMetadataPointer
    directory 10 0x1000 320
    le "$image" "$(at 0x114C)" 4 16           # debug: REPRO, then extended characteristics
    le "$image" "$(at 0x1168)" 4 20
    le "$image" "$(at 0x116C)" 4 4
    le "$image" "$(at 0x1170)" 4 0x1180
    le "$image" "$(at 0x1174)" 4 "$(at 0x1180)"
    le "$image" "$(at 0x1180)" 4 1
    directory 6 0x1140 56
    le "$image" "$(at 0x1190)" 4 1            # delay imports: by image address, then virtual
    le "$image" "$(at 0x1194)" 4 0x1200
    le "$image" "$(at 0x11B4)" 4 0x140001210
    text "$image" "$(at 0x1200)" user32.dll
    text "$image" "$(at 0x1210)" shell32.dll
    directory 13 0x1190 96
    le "$image" "$(at 0x1220)" 4 72           # .NET header and metadata root
    le "$image" "$(at 0x1228)" 4 0x1270
    le "$image" "$(at 0x122C)" 4 28
    le "$image" "$(at 0x1230)" 4 0x20003
    le "$image" "$(at 0x1270)" 4 0x424A5342
    le "$image" "$(at 0x1274)" 4 0x10001
    le "$image" "$(at 0x127C)" 4 12
    text "$image" "$(at 0x1280)" v4.0.30319
    directory 14 0x1220 72
    le "$image" "$(at 0x129C)" 4 0x1300       # imports
    text "$image" "$(at 0x1300)" ntoskrnl.exe
    directory 1 0x1290 40
    le "$image" "$(at 0x1328)" 4 2            # exports: NumberOfNames
    directory 0 0x1310 40
    le "$image" "$(at 0x134E)" 2 1            # resources: type 24, name 1, language 0x409
    le "$image" "$(at 0x1350)" 4 24
    le "$image" "$(at 0x1354)" 4 0x80000018
    le "$image" "$(at 0x1366)" 2 1
    le "$image" "$(at 0x1368)" 4 1
    le "$image" "$(at 0x136C)" 4 0x80000030
    le "$image" "$(at 0x137E)" 2 1
    le "$image" "$(at 0x1380)" 4 0x409
    le "$image" "$(at 0x1384)" 4 0x48
    le "$image" "$(at 0x1388)" 4 0x13A0
    le "$image" "$(at 0x138C)" 4 12
    text "$image" "$(at 0x13A0)" '<assembly/>'
    directory 2 0x1340 0x70
done

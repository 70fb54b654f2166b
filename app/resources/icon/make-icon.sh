#!/usr/bin/env bash
# Redraws the program icon: compiles DrawIcon.cpp for this host and writes ../korrimat.ico,
# with an enlarged PNG preview beside this script when ImageMagick is installed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
g++ -std=c++17 -O2 -o "$work/DrawIcon" "$here/DrawIcon.cpp"
"$work/DrawIcon" "$here/../korrimat.ico" "$work/preview.ppm"
if command -v convert >/dev/null; then
    # No time stamps, so that redrawing an unchanged icon leaves the preview unchanged too.
    convert "$work/preview.ppm" -scale 800% -strip -define png:exclude-chunks=date,time "$here/korrimat-preview.png"
fi

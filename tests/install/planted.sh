#!/usr/bin/env bash
# Korrimat from its zip, run with libraries named version.dll, mpr.dll and bcrypt.dll beside it
# that leave a mark when loaded, with Wine told to look for those libraries as Windows does (the
# program's folder first). First a program that loads them by name must load those (else the
# test proves nothing); then Korrimat must show a file and load none of them.
#
#   planted.sh ZIP PREMISE PROBE PLANTED-FOLDER WORK-FOLDER
set -euo pipefail
zip=$1 premise=$2 probe=$3 planted=$4 work=$5
libraries=(version mpr bcrypt)

rm -rf "$work"
mkdir -p "$work/files"
(cd "$work" && cmake -E tar xf "$zip")
program_folder=$(dirname "$(find "$work" -name korrimat.exe | head -1)")
for library in "${libraries[@]}"; do
    cp "$planted/$library.dll" "$program_folder/"
done
# A program that crashes ends at once rather than waiting on Wine's debugger.
export WINEDLLOVERRIDES="version,mpr,bcrypt=n,b;winemenubuilder.exe=d;winedbg.exe=d"

marks() {
    local found=()
    for library in "${libraries[@]}"; do
        [ -f "$program_folder/$library.dll.loaded" ] && found+=("$library.dll")
    done
    echo "${found[*]:-none}"
}

cp "$premise" "$program_folder/premise.exe"
wine "$program_folder/premise.exe" || true
wineserver -w
premise=$(marks)
echo "loaded by a program that loads them by name: $premise"
rm -f "$program_folder"/*.loaded "$program_folder/premise.exe"
if [ "$premise" != "version.dll mpr.dll bcrypt.dll" ]; then
    echo "FAILED: the planted libraries are not found even by a program that loads them by name"
    exit 1
fi

status=0
wine "$probe" "$(winepath -w "$work/files")" --program "$(winepath -w "$program_folder/korrimat.exe")" || status=$?
wineserver -w
loaded=$(marks)
echo "loaded by Korrimat: $loaded"
if [ "$status" -ne 0 ]; then
    echo "FAILED: Korrimat did not show the file (probe exit $status)"
    exit 1
fi
if [ "$loaded" != "none" ]; then
    echo "FAILED: Korrimat loaded planted libraries: $loaded"
    exit 1
fi

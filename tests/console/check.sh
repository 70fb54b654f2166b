#!/usr/bin/env bash
# korrimat-report --check on sums files that Linux's own sha256sum and md5sum wrote, run from
# another folder as a script would run it: every entry OK; then a changed line FAILED, a removed
# file not found, and sums files with nothing to check.
#
#   check.sh KORRIMAT-REPORT WORK-FOLDER
set -euo pipefail
report=$1 work=$2
export WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d"

rm -rf "$work"
mkdir -p "$work/files/sub folder"
cd "$work/files"
printf 'first\n' >a.txt
head -c 300000 /dev/urandom >b.bin
printf 'third\r\n' >"sub folder/c.txt"
: >empty.txt
names=(a.txt b.bin "sub folder/c.txt" empty.txt)
sha256sum "${names[@]}" >SHA256SUMS          # GNU: HEX  NAME
sha256sum --tag "${names[@]}" >bsd-form.txt  # BSD: SHA256 (NAME) = HEX
md5sum --binary "${names[@]}" >files.md5     # GNU: HEX *NAME
printf 'not a sum\nnor is this\n' >junk.txt
cd "$work"

status=0
fail() {
    echo "FAILED: $*"
    status=1
}

# check EXPECTED-EXIT EXPECTED-OUTPUT SUMSFILE...: korrimat-report --check on the sums files, given
# as Windows paths; its output must be the expected one exactly, line ends aside.
check() {
    local expected_exit=$1 expected_out=$2 code=0
    shift 2
    local paths=()
    for file in "$@"; do
        paths+=("$(winepath -w "$work/files/$file")")
    done
    wine "$report" --check "${paths[@]}" >"$work/out.txt" 2>"$work/error.txt" || code=$?
    local out
    out=$(tr -d '\r' <"$work/out.txt")
    echo "--check $* (exit $code):"
    cat "$work/out.txt" "$work/error.txt"
    [ "$code" -eq "$expected_exit" ] || fail "--check $*: exit $code, not $expected_exit"
    [ "$out" = "$expected_out" ] || fail "--check $*: the output is not:"$'\n'"$expected_out"
}

every_ok=""
for _ in 1 2 3; do
    every_ok+=$'a.txt: OK\nb.bin: OK\nsub folder/c.txt: OK\nempty.txt: OK\n'
done
check 0 "${every_ok}12 files checked: 12 OK, 0 FAILED, 0 not found" SHA256SUMS bsd-form.txt files.md5

# One digit of b.bin's line changed.
awk 'NR == 2 { $0 = (substr($0, 1, 1) == "0" ? "1" : "0") substr($0, 2) } { print }' files/SHA256SUMS >files/changed.sums
check 1 $'a.txt: OK\nb.bin: FAILED\nsub folder/c.txt: OK\nempty.txt: OK\n4 files checked: 3 OK, 1 FAILED, 0 not found' changed.sums

rm files/a.txt
check 1 $'a.txt: not found\nb.bin: OK\nsub folder/c.txt: OK\nempty.txt: OK\n4 files checked: 3 OK, 0 FAILED, 1 not found' bsd-form.txt

# A sums file with no line to read and one that is not there: exit 2, each named on standard
# error, and the other sums files still checked.
grep b.bin files/SHA256SUMS >files/one.sums
check 2 $'b.bin: OK\n1 file checked: 1 OK, 0 FAILED, 0 not found' junk.txt gone.sums one.sums
grep -q 'junk.txt: no line' "$work/error.txt" || fail "junk.txt is not named on standard error"
grep -q 'gone.sums: not found' "$work/error.txt" || fail "gone.sums is not named on standard error"

[ "$status" -eq 0 ] && echo "every check as expected"
exit "$status"

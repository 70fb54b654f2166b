#!/usr/bin/env bash
# Runs app_read_only_tests under Wine's file trace and checks every open of the test's files
# between the program's marks: the access asked for may hold no right to change a file (write
# data, append, write attributes or extended attributes, delete a child or itself, write DAC or
# owner, generic write or all, maximum allowed), and the disposition must be "open what exists".
# Usage: read-only.sh PROGRAM TRACE-FILE
set -uo pipefail
program=$1
trace=$2
WINEDEBUG="err-all,fixme-all,+file" wine "$program" --gtest_color=no 2>"$trace"
status=$?
if [ $status -ne 0 ]; then
    grep -v ':trace:' "$trace" | tail -40
    echo "read-only: the program failed (exit $status)"
    exit 1
fi
awk '
    function value(hex,   i, v) {
        v = 0
        hex = tolower(hex)
        for (i = 1; i <= length(hex); i++)
            v = v * 16 + index("0123456789abcdef", substr(hex, i, 1)) - 1
        return v
    }
    function changes(access,   n, bits, i) {
        # Bits that give a right to change: 1 write data, 2 append, 4 write EA, 6 delete child,
        # 8 write attributes, 16 delete, 18 write DAC, 19 write owner, 25 maximum allowed,
        # 28 generic all, 30 generic write.
        n = split("1 2 4 6 8 16 18 19 25 28 30", bits, " ")
        for (i = 1; i <= n; i++)
            if (int(access / 2 ^ bits[i]) % 2 == 1)
                return 1
        return 0
    }
    { sub(/\r$/, "") }  # the program writes its marks as text, with Windows line ends
    /^korrimat-read-only begin / { folder = tolower($3); inside = 1; next }
    /^korrimat-read-only end /   { inside = 0; next }
    inside && /trace:file:NtCreateFile / {
        line = tolower($0)
        if (index(line, folder) == 0)
            next
        match($0, /access=[0-9a-fA-F]+/); access = substr($0, RSTART + 7, RLENGTH - 7)
        match($0, / disp=[0-9]+/); disp = substr($0, RSTART + 6, RLENGTH - 6)
        opens++
        if (changes(value(access)) || disp != 1) {
            bad++
            print "changing open: " $0
        }
    }
    END {
        printf "read-only: %d opens of the test files traced, %d asking to change or create\n", opens, bad
        exit (opens < 20 || bad > 0) ? 1 : 0
    }
' "$trace"

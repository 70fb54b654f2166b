#!/usr/bin/env bash
# The installer under Wine, in a prefix of its own made as a user's is: an older version's
# installer, then this one over it, then this one again, each silent (/S); the files, the Start
# menu shortcut, the Add/Remove entry and the Explorer verbs are there; the file verb's command,
# as the registry holds it, starts Korrimat showing a file named in three scripts with spaces;
# the quiet uninstall command leaves the prefix's files and registry as they were before the first
# install. On Windows 7 the installer must say it needs Windows 10 version 1903, end with an error
# and write nothing.
#
#   install.sh SETUP OLDER-SETUP PROBE PREFIX VERSION
set -euo pipefail
setup=$1 older=$2 probe=$3 prefix=$4 version=$5
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
# Shortcuts would have Wine write menu entries into the Linux home; a program that crashes ends
# at once rather than waiting on Wine's debugger.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

rm -rf "$prefix"
ensure_wine_prefix "$prefix" >/dev/null
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"' EXIT

# Left out of the comparison: the user's Temp folder, where the uninstaller runs from a copy that
# Windows deletes at the next restart, and the key Wine's shell makes the first time a program
# asks for Explorer's settings (Korrimat, started by the verb), which Windows has from the start.
snapshot() {   # snapshot NAME
    (cd "$prefix/drive_c" && find . -path './users/*/Temp' -prune -o -print | sort) >"$prefix.$1.files"
    wine reg export HKCU "$prefix.$1.reg" /y /reg:64 >/dev/null 2>&1
    wineserver -w
    iconv -f UTF-16 -t UTF-8 "$prefix.$1.reg" | tr -d '\r' \
        | grep -v -e '^#time=' -e '^$' -e '^\[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\]$' \
        >"$prefix.$1.keys"
}
value() {   # value KEY NAME: a value as the 64-bit registry view holds it
    wine reg query "$1" /v "$2" /reg:64 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
run_silently() {   # run_silently PROGRAM [ARGUMENT...]: its time and exit code
    local started status=0 took
    started=$(date +%s%N)
    wine "$@" || status=$?
    wineserver -w
    took=$((($(date +%s%N) - started) / 1000000))
    printf '%s: exit %d in %d.%02d s\n' "$(basename "$1")" "$status" $((took / 1000)) $((took % 1000 / 10))
    return "$status"
}

snapshot before
run_silently "$older" /S || fail "the older installer"
run_silently "$setup" /S || fail "the installer over an older version"
run_silently "$setup" /S || fail "the installer over the same version"

user_folder=$(find "$prefix/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -1)
installed="$user_folder/AppData/Local/Programs/Korrimat"
for file in korrimat.exe korrimat-report.exe ReadMe.txt uninstall.exe; do
    [ -f "$installed/$file" ] || fail "$file is not installed"
done
for program in korrimat.exe korrimat-report.exe; do
    cmp -s "$installed/$program" "$(dirname "$setup")/../packaging/$(basename "$setup" -setup.exe)/$program" \
        || fail "the installed $program is not this build's"
done
[ -f "$user_folder/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Korrimat.lnk" ] || fail "no Start menu shortcut"
[ "$(find "$installed" -type f | wc -l)" -eq 4 ] || fail "other files in the installation folder: $(ls "$installed")"

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Korrimat'
for name in DisplayName DisplayVersion Publisher DisplayIcon EstimatedSize UninstallString QuietUninstallString; do
    [ -n "$(value "$uninstall_key" "$name")" ] || fail "Add/Remove entry without $name"
done
[ "$(value "$uninstall_key" DisplayVersion)" = "$version" ] || fail "Add/Remove shows version $(value "$uninstall_key" DisplayVersion)"
for class in '*' Directory; do
    verb="HKCU\\Software\\Classes\\$class\\shell\\Korrimat"
    [ "$(wine reg query "$verb" /ve /reg:64 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p')" = "Korrimat properties" ] \
        || fail "no \"Korrimat properties\" verb for $class"
    wine reg query "$verb\\command" /ve /reg:64 2>/dev/null | grep -q '"%1"' || fail "the $class verb does not pass the path in quotes"
done

mkdir -p "$prefix/drive_c/verb test"
wine "$probe" 'C:\verb test' --verb '*' || fail "the file verb did not show the file"
wineserver -w
# The installed console program reports the installed program, its version included.
report=$(wine "$installed/korrimat-report.exe" --csv "$(winepath -w "$installed/korrimat.exe")" 2>&1 | tr -d '\r') \
    || fail "korrimat-report: $report"
grep -q ",korrimat.exe,.*,$version\.0,$version\.0," <<<"$report" || fail "the installed korrimat-report did not report korrimat.exe: $report"
rm -rf "$prefix/drive_c/verb test"

quiet=$(value "$uninstall_key" QuietUninstallString)
uninstaller=$(echo "$quiet" | sed -n 's/^"\([^"]*\)".*/\1/p')
run_silently "$uninstaller" /S || fail "the uninstaller"
snapshot after
diff "$prefix.before.files" "$prefix.after.files" || fail "files left or removed by installing and uninstalling"
diff "$prefix.before.keys" "$prefix.after.keys" || fail "registry keys left or removed by installing and uninstalling"

# On a Windows older than 10 version 1903 (the prefix set to Windows 7) nothing is installed, and
# the silent install says so by its exit code (ERROR_OLD_WIN_VERSION).
winecfg -v win7 >/dev/null 2>&1
wineserver -w
snapshot win7-before
status=0
run_silently "$setup" /S || status=$?
# Wine hands Linux the exit code's low byte: 1150 arrives as 126.
[ "$status" -eq $((1150 % 256)) ] || fail "the installer on Windows 7 ended with $status, not 1150 (126 to Linux)"
snapshot win7-after
diff "$prefix.win7-before.files" "$prefix.win7-after.files" || fail "files written by the installer on Windows 7"
diff "$prefix.win7-before.keys" "$prefix.win7-after.keys" || fail "registry keys written by the installer on Windows 7"

[ "$failures" -eq 0 ] && echo "installer, verb and uninstaller: passed" || exit 1

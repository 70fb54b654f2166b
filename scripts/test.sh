#!/usr/bin/env bash
# Builds everything and runs every test under Wine, for the 64-bit build and, where this machine
# executes 32-bit code, for the 32-bit build too, each in its own prefix; then every fuzz target
# for a short time (KORRIMAT_FUZZ_SECONDS each: 30 by default, none by default when ctest
# arguments are given, 0 for none). Starts Xvfb when no
# display is set and leaves nothing running behind it. Arguments go to ctest (for example
# -R fileinfo). Makes the downloads in dist/ (scripts/package.sh). Ends with one line per build,
# for the downloads and per fuzz target, saying what ran.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
set_up_with_display "$0" "$@"

summary=()
status=0

# run_suite NAME DIR TOOLCHAIN [CTEST ARGUMENT...]: builds into DIR (KORRIMAT_TARGETS builds only
# the named targets) and runs its tests in DIR/wineprefix.
run_suite() {
    local name=$1 dir=$2 toolchain=$3
    shift 3
    configure_and_build "$dir" "$toolchain" ${KORRIMAT_TARGETS:-}
    ensure_wine_prefix "$dir/wineprefix"
    ensure_prefix_drives "$dir"
    local log="$dir/ctest-output.log" result=0
    set +e
    ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$log"
    result=${PIPESTATUS[0]}
    set -e
    stop_wine
    # The pictures the window tests saved, also as PNG.
    for picture in "$dir"/pictures/*.bmp; do
        [ -f "$picture" ] && { convert "$picture" "${picture%.bmp}.png" >/dev/null 2>&1 || true; }
    done
    local counted
    counted=$(grep -E '^[0-9]+% tests passed' "$log" | tail -1 || true)
    if [ "$result" -eq 0 ]; then
        summary+=("$name suite: passed: ${counted:-no tests ran}")
    else
        summary+=("$name suite: FAILED: ${counted:-ctest did not finish}")
        status=1
    fi
}

# The prefix's drives as a program of the build's own kind (32 or 64 bits) sees them: Wine's mount
# manager makes them when the prefix's services start, and once a CI run's 32-bit suite found none.
# Then what Wine shows is printed, and Wine is started again, then the prefix made again.
ensure_prefix_drives() {   # ensure_prefix_drives DIR
    local check="$1/tests/controls/controls_tests.exe" attempt
    [ -f "$check" ] || return 0
    for attempt in 1 2 3; do
        if WINEDLLOVERRIDES="winedbg.exe=d" wine "$check" --gtest_filter=DriveList.HoldsTheMachinesDrivesWithTheLabelsUsersKnow \
            >"$1/prefix-drives.log" 2>&1; then
            [ "$attempt" -eq 1 ] || echo "The prefix's drives are there after attempt $attempt"
            return 0
        fi
        echo "The prefix $WINEPREFIX shows no drives C: and Z: (attempt $attempt):"
        grep -E 'Failure|Value of|Which is|Expected' "$1/prefix-drives.log" | head -8 || true
        ls -la "$WINEPREFIX/dosdevices" || true
        printf 'its server folder: server-%x-%x; there are: ' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")"
        ls "/tmp/.wine-$(id -u)" 2>/dev/null || true
        ps -eo pid,args | grep -E '[w]ineserver|\.exe' | head -20 || true
        stop_wine
        if [ "$attempt" -eq 2 ]; then
            rm -rf "$WINEPREFIX"
            ensure_wine_prefix "$WINEPREFIX"
        else
            env -u DISPLAY wineboot -u >/dev/null 2>&1 || true
            wineserver -w
        fi
    done
    echo "The prefix still shows no drives: the suite runs all the same"
}

trap stop_wine EXIT
run_suite "x86_64" "$build" mingw-x86_64.cmake "$@"
if ! can_run_32bit_code; then
    # Built all the same, so that the 32-bit program keeps compiling and linking.
    configure_and_build "$build32" mingw-i686.cmake ${KORRIMAT_TARGETS:-korrimat}
    why="(a 32-bit test program did not start)"
    [ "${KORRIMAT_NO_32BIT:-0}" = 1 ] && why="(KORRIMAT_NO_32BIT=1 treats this machine as one that cannot execute 32-bit code)"
    summary+=("i686 suite: skipped: this machine cannot execute 32-bit code $why; the i686 build was compiled and linked")
    # The x86 installer is itself a 32-bit program: its test belongs to the i686 suite.
    summary+=("x86 installer test: skipped: this machine cannot execute 32-bit code $why; the x86 installer was built, and the x64 installer's test ran in the x86_64 suite")
elif ! has_wine32; then
    configure_and_build "$build32" mingw-i686.cmake ${KORRIMAT_TARGETS:-korrimat}
    summary+=("i686 suite: skipped: wine32 is not installed (scripts/setup.sh installs it); the i686 build was compiled and linked")
else
    run_suite "i686" "$build32" mingw-i686.cmake "$@"
fi

# The downloads (installers, zips and their sums), from the builds just tested.
set +e
package_output=$("$root/scripts/package.sh" 2>&1)
package_status=$?
set -e
echo "$package_output"
if [ $package_status -eq 0 ]; then
    summary+=("packages: $(grep -c '^dist/' <<<"$package_output") files in dist/, SHA256SUMS checked")
else
    summary+=("packages: FAILED (exit $package_status)")
    status=1
fi

# The fuzz targets, natively with clang's sanitizers, a short fixed time each (0 leaves them out).
# A run narrowed by ctest arguments leaves them out unless KORRIMAT_FUZZ_SECONDS asks for them.
if [ $# -gt 0 ]; then
    fuzz_seconds="${KORRIMAT_FUZZ_SECONDS:-0}"
else
    fuzz_seconds="${KORRIMAT_FUZZ_SECONDS:-30}"
fi
if [ "$fuzz_seconds" -gt 0 ]; then
    set +e
    fuzz_output=$("$root/fuzz/run.sh" --seconds "$fuzz_seconds" 2>&1)
    fuzz_status=$?
    set -e
    echo "$fuzz_output"
    while IFS= read -r line; do
        [[ "$line" == fuzz\ * ]] && summary+=("$line")
    done <<<"$fuzz_output"
    if [ $fuzz_status -ne 0 ]; then
        summary+=("fuzz: FAILED (exit $fuzz_status)")
        status=1
    fi
fi

echo
for line in "${summary[@]}"; do
    echo "$line"
done
exit $status

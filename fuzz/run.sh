#!/usr/bin/env bash
# Builds the fuzz targets natively with clang (libFuzzer, AddressSanitizer, UndefinedBehavior-
# Sanitizer) and runs each from its seed corpus for a fixed time:
#   fuzz/run.sh                   # 30 seconds each, as the test script runs them
#   fuzz/run.sh --seconds 120     # or --minutes 20; --targets "size_text date_picture"
#   fuzz/run.sh --executions 10000000   # each target until it has run so many inputs
# Prints each target's executions and coverage; exits 1 on any finding (a crash, a sanitizer
# report, a failed check, a timeout or running out of memory), keeping the input that found it
# in build-fuzz/findings/<target>/; exits 2 when the targets cannot be built.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
out="${KORRIMAT_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds=""
executions=""
targets=""
while [ $# -gt 0 ]; do
    case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --minutes) seconds=$(($2 * 60)); shift 2 ;;
    --executions) executions=$2; shift 2 ;;
    --targets) targets=$2; shift 2 ;;
    *) echo "usage: fuzz/run.sh [--seconds N | --minutes N] [--executions N] [--targets \"a b\"]" >&2; exit 2 ;;
    esac
done

# A time, a number of executions, or both (whichever comes first); 30 seconds when neither is given.
limits=()
[ -n "$seconds" ] || [ -n "$executions" ] || seconds=30
[ -z "$seconds" ] || limits+=(-max_total_time="$seconds")
[ -z "$executions" ] || limits+=(-runs="$executions")

# Exit status 2, not 1, when the targets cannot even be built: that is no finding.
if ! cmake -S "$here" -B "$out" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null ||
    ! cmake --build "$out" --parallel "$(nproc)" >/dev/null; then
    echo "fuzz: the targets could not be built (scripts/setup.sh installs clang and libclang-rt-14-dev)" >&2
    exit 2
fi
[ -n "$targets" ] || targets=$(cd "$here/corpus" && ls)

status=0
for target in $targets; do
    work="$out/corpus/$target"
    findings="$out/findings/$target"
    mkdir -p "$work" "$findings"
    log="$out/$target.log"
    # New inputs go to the work corpus; the seeds in the repository are only read.
    started=$(date +%s)
    if "$out/fuzz_$target" "${limits[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$work" "$here/corpus/$target" >"$log" 2>&1; then
        result="no finding"
    else
        result="FINDING (see $log and $findings)"
        status=1
    fi
    elapsed=$(($(date +%s) - started))
    ran=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    features=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    printf 'fuzz %-16s %12s executions in %ss, coverage %s edges (%s features): %s\n' \
        "$target" "${ran:-?}" "$elapsed" "${coverage:-?}" "${features:-?}" "$result"
done
exit $status

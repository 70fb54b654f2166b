#!/usr/bin/env bash
# Builds the benchmarks and runs them under Wine in the build's private prefix; starts Xvfb when
# no display is set. KORRIMAT_BENCHMARKS chooses which (default: "folder show depth report start"); the
# arguments go to each of them (for example --rounds 9).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
set_up_with_display "$0" "$@"
benchmarks=(${KORRIMAT_BENCHMARKS:-folder show depth report start})
configure_and_build "$build" mingw-x86_64.cmake korrimat "${benchmarks[@]/#/korrimat_bench_}"
trap stop_wine EXIT
ensure_wine_prefix

# The folder of 100,000 files, made once from this side: Wine creates files one by one slowly in
# a large folder (it compares each new name with every name there, case ignored).
files=100000
big="$WINEPREFIX/drive_c/korrimat-bench-folder-$files"
if [ "$(find "$big" -maxdepth 1 -type f 2>/dev/null | wc -l)" -ne "$files" ]; then
    echo "Making $big"
    rm -rf "$big"
    mkdir -p "$big"
    # Names of mixed case, length and extension, numbered in an order unlike the sorted one.
    (cd "$big" && awk -v n="$files" 'BEGIN {
        split("report Photo invoice- Notes_ data_ Backup x", stem, " ")
        split("txt dat bin", ext, " ")
        for (i = 0; i < n; i++) printf "%s%06d.%s\n", stem[i % 7 + 1], (i * 7919) % n, ext[i % 3 + 1]
    }' | xargs touch)
fi

for benchmark in "${benchmarks[@]}"; do
    echo "== korrimat_bench_$benchmark"
    if [ "$benchmark" = folder ]; then
        wine "$build/benchmarks/korrimat_bench_folder.exe" --files "$files" --folder "C:\\korrimat-bench-folder-$files" "$@"
    else
        wine "$build/benchmarks/korrimat_bench_$benchmark.exe" "$@"
    fi
    echo
done

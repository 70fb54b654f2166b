#!/usr/bin/env bash
# Builds the benchmarks and runs them under Wine in the build's private prefix; starts Xvfb when
# no display is set. KORRIMAT_BENCHMARKS chooses which (default: "folder show depth report start
# hash"); the arguments go to each of them (for example --rounds 9).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
set_up_with_display "$0" "$@"
benchmarks=(${KORRIMAT_BENCHMARKS:-folder show depth report start hash})
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

# The hash benchmark's file of 1 GiB of random bytes, made once from this side too, when it runs.
hashed_name=korrimat-bench-hash-1GiB.bin
hashed="$WINEPREFIX/drive_c/$hashed_name"
hashed_size=$((1024 * 1024 * 1024))
if [[ " ${benchmarks[*]} " == *" hash "* ]] && [ "$(stat -c %s "$hashed" 2>/dev/null || echo 0)" -ne "$hashed_size" ]; then
    echo "Making $hashed"
    head -c "$hashed_size" /dev/urandom >"$hashed.part"
    mv "$hashed.part" "$hashed"
fi

# Linux's own sha256sum of the same file, outside Wine: the speed of that hash on this machine.
linux_sha256sum() {
    local start end
    start=$(date +%s.%N)
    sha256sum "$hashed" >/dev/null
    end=$(date +%s.%N)
    awk -v s="$start" -v e="$end" -v b="$hashed_size" \
        'BEGIN { printf "sha256sum on Linux, the same file: %.2f s, %.1f MiB/s\n", e - s, b / 1048576 / (e - s) }'
}

for benchmark in "${benchmarks[@]}"; do
    echo "== korrimat_bench_$benchmark"
    if [ "$benchmark" = folder ]; then
        wine "$build/benchmarks/korrimat_bench_folder.exe" --files "$files" --folder "C:\\korrimat-bench-folder-$files" "$@"
    elif [ "$benchmark" = hash ]; then
        wine "$build/benchmarks/korrimat_bench_hash.exe" --file "C:\\$hashed_name" "$@"
        linux_sha256sum
    else
        wine "$build/benchmarks/korrimat_bench_$benchmark.exe" "$@"
    fi
    echo
done

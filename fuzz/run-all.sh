#!/usr/bin/env bash
# Runs every fuzz program in the given folder for a short while; any crash or sanitizer report fails.
set -euo pipefail
bin=$1
seconds=${FUZZ_SECONDS:-30}
found=0
for fuzzer in "$bin"/fuzz_*; do
    [[ -x $fuzzer ]] || continue
    found=1
    corpus=$(mktemp -d)
    echo "fuzzing $(basename "$fuzzer") for ${seconds}s"
    "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=0 "$corpus" 2>&1 | tail -n 3
    rm -rf "$corpus"
done
((found)) || { echo "no fuzz programs in $bin" >&2; exit 1; }

#!/usr/bin/env bash
# Runs every fuzz target in a folder for a few seconds each, starting from its
# seed corpus in fuzz/corpus/<name>. Usage: scripts/run-fuzzers.sh FOLDER SECONDS
set -euo pipefail
folder=$1
seconds=$2
root="$(cd "$(dirname "$0")/.." && pwd)"

for target in "$folder"/fuzz_*; do
    [[ -x "$target" ]] || continue
    name=$(basename "$target")
    name=${name#fuzz_}
    work="$folder/work-$name"
    mkdir -p "$work"
    echo "fuzzing $name for ${seconds}s"
    "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=0 \
        "$work" "$root/fuzz/corpus/$name" 2>"$folder/fuzz-$name.log" \
        || { tail -n 60 "$folder/fuzz-$name.log"; exit 1; }
done

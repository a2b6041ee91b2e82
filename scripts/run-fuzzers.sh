#!/usr/bin/env bash
# Runs every fuzz target in a folder for a few seconds each, starting from its
# seed corpus in fuzz/corpus/<name>: first with pixel allocations capped low
# (fast inputs), then briefly at the program's own limit, where a file that
# makes a reader take what its bytes cannot describe shows up. A picture that
# large takes seconds to fill under the sanitizers even when its file honestly
# describes it (runs across rows), so that run allows more time per input.
# Usage: scripts/run-fuzzers.sh FOLDER SECONDS [FULL_LIMIT_SECONDS]
set -euo pipefail
folder=$1
seconds=$2
full_limit_seconds=${3:-3}
root="$(cd "$(dirname "$0")/.." && pwd)"
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan-suppressions.txt${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

run() {  # TARGET NAME SECONDS RSS_LIMIT_MB TIMEOUT LOG
    "$1" -max_total_time="$3" -rss_limit_mb="$4" -malloc_limit_mb="$4" -timeout="$5" -print_final_stats=0 -artifact_prefix="$folder/" \
        "$folder/work-$2" "$root/fuzz/corpus/$2" 2>"$6" || { tail -n 60 "$6"; exit 1; }
}

for target in "$folder"/fuzz_*; do
    [[ -x "$target" ]] || continue
    name=$(basename "$target")
    name=${name#fuzz_}
    mkdir -p "$folder/work-$name"
    echo "fuzzing $name for ${seconds}s, then ${full_limit_seconds}s at the program's pixel limit"
    run "$target" "$name" "$seconds" 2048 10 "$folder/fuzz-$name.log"
    MARBLEYE_FUZZ_FULL_LIMIT=1 run "$target" "$name" "$full_limit_seconds" 3072 30 "$folder/fuzz-$name-full.log"
done

#!/usr/bin/env bash
# Runs each fuzzer for FUZZ_SECONDS (default 60), one after another, from its seed corpus in
# corpus/NAME; what it finds besides goes to BUILD_DIR/corpus/NAME, never into the repository.
#   run-fuzzers.sh BUILD_DIR FUZZER...
# Prints each run's executions and coverage; fails on the first crash or broken property, leaving
# the input that caused it as BUILD_DIR/NAME-crash-*.
set -euo pipefail
seeds=$(cd "$(dirname "$0")" && pwd)/corpus
build=$1
shift
seconds=${FUZZ_SECONDS:-60}

for name in "$@"; do
    mkdir -p "$build/corpus/$name"
    log=$build/$name.log
    echo "== $name: ${seconds} s"
    if ! "$build/$name" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/$name-" "$build/corpus/$name" "$seeds/$name" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "$name failed; its log is $log" >&2
        exit 1
    fi
    # libFuzzer's last status line carries the coverage, its final statistics the execution count.
    grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1
    grep -E 'stat::number_of_executed_units' "$log"
done

#!/bin/sh
# Runs every libFuzzer target of a fuzz build for the same time each, starting
# from its corpus in the tree, and prints the coverage each reached (libFuzzer's
# "cov:", the code edges its inputs have run). New inputs go to a working
# corpus in the build folder, never into the tree. Any finding (a crash, a
# sanitizer report, a hang, an allocation beyond the limit) is kept in
# <build>/fuzz/findings and fails the run once every target has had its turn.
#
# Usage: run-fuzzers.sh BUILD-DIR SECONDS [TARGET...]
set -u

if [ $# -lt 2 ]; then
    echo "usage: $0 BUILD-DIR SECONDS [TARGET...]" >&2
    exit 2
fi
build=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
targets=${*:-$(cd "$here/corpus" && ls)}

# A hang of ten seconds is a finding, and so is asking for more memory at once
# than any reader of the game should (the largest picture is 64 MB of pixels).
timeout_seconds=10
malloc_limit_mb=256

failed=""
mkdir -p "$build/fuzz/findings"
for target in $targets; do
    binary="$build/tests/$target-libfuzzer"
    if [ ! -x "$binary" ]; then
        echo "$target: no fuzzer at $binary" >&2
        failed="$failed $target"
        continue
    fi
    work="$build/fuzz/corpus/$target"
    log="$build/fuzz/$target.log"
    mkdir -p "$work"
    "$binary" -max_total_time="$seconds" -timeout="$timeout_seconds" -malloc_limit_mb="$malloc_limit_mb" \
        -print_final_stats=1 -artifact_prefix="$build/fuzz/findings/$target-" \
        "$work" "$here/corpus/$target" > "$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
    if [ $status -eq 0 ]; then
        echo "$target: ${coverage:-no coverage reported} in ${seconds} s, ${runs:-?} inputs, no finding"
    else
        echo "$target: FINDING (exit $status) after ${coverage:-no coverage reported}; see $log" >&2
        grep -m 1 -E 'ERROR|runtime error|SUMMARY|deadly signal|out-of-memory|timeout' "$log" >&2
        failed="$failed $target"
    fi
done

if [ -n "$failed" ]; then
    echo "Fuzzing found faults in:$failed" >&2
    exit 1
fi

#!/bin/sh
# Runs every benchmark in a process of its own, as long as it runs in the
# whole suite: a benchmark must not lean on what another left behind. Fails
# naming each one that does not pass or did not run.
# Usage: run-each-alone.sh SPINDREL-BENCH
set -u
bench=$1
failed=0
out=$(mktemp)
trap 'rm -f "$out"' EXIT
names=$("$bench" --benchmark_list_tests) || { echo "cannot list the benchmarks"; exit 1; }
for name in $names; do
    # The name as an anchored pattern: every regex character escaped.
    pattern="^$(printf '%s' "$name" | sed 's/[][\\.^$*+?(){}|]/\\&/g')\$"
    if ! "$bench" --benchmark_filter="$pattern" >"$out" 2>/dev/null || ! grep -qF "$name" "$out"; then
        echo "FAIL: $name"
        failed=$((failed + 1))
    fi
done
[ "$failed" -eq 0 ] || { echo "$failed benchmark(s) failed alone"; exit 1; }
echo "ok: every benchmark passes alone"

#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (the fuzz preset) and runs each for a while on a copy
# of its seed corpus in fuzz/corpus/<target>/. Fails on any crash, leak or failed check, keeping
# the input that caused it under build/fuzz/artifacts/; prints how many inputs each target ran.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]    (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}

echo "=== Building the fuzz targets"
cmake --preset fuzz -DPARLORA_WERROR=ON >/dev/null
cmake --build --preset fuzz

# Our own settings, whatever the caller exported for the test suites.
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"
work=$(mktemp -d /tmp/parlora-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT

failed=()
for seeds in fuzz/corpus/*/; do
    target=$(basename "$seeds")
    echo "=== Fuzzing $target for $seconds s"
    # The run adds what it finds to its corpus; the committed seeds stay as they are.
    corpus=$work/$target
    mkdir -p "$corpus"
    cp "$seeds"* "$corpus"/
    log=$work/$target.log
    if "build/fuzz/bin/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$target-" "$corpus" >"$log" 2>&1; then
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" | sed "s/^/$target /"
        echo "$target: $(ls "$corpus" | wc -l) inputs in the corpus afterwards"
    else
        tail -n 60 "$log"
        echo "$target FAILED; the input is kept in $artifacts/" >&2
        failed+=("$target")
    fi
done

[ ${#failed[@]} -eq 0 ] || { echo "Fuzzing failed: ${failed[*]}" >&2; exit 1; }

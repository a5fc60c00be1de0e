#!/usr/bin/env bash
# Runs the engine-layer and file-layer tests of a build under valgrind's memcheck. Any memory
# error or definite leak fails the run, except those scripts/memcheck.supp lists inside
# third-party libraries. The speech helper is traced too where a test starts it for short texts
# only; rendering long texts under memcheck would take minutes.
#   scripts/memcheck.sh [BUILD_DIR]    (default build/default, already built)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/default}
# test name and whether the helper processes it starts are checked as well
tests=(
    "tst_xmltext no"
    "tst_feeddocument no"
    "tst_textfileforappend no"
    "tst_voicecatalog no"
    "tst_spfilestream no"
    "tst_helperspeechengine yes"
)

work=$(mktemp -d /tmp/parlora-memcheck.XXXXXX)
trap 'rm -rf "$work"' EXIT

failed=()
total_errors=0
total_lost=0
for entry in "${tests[@]}"; do
    read -r test children <<<"$entry"
    echo "=== memcheck: $test"
    # Possible leaks are the watchdog and pool threads Qt leaves running at exit: not shown.
    if ! QT_QPA_PLATFORM=offscreen valgrind --tool=memcheck --error-exitcode=1 \
        --leak-check=full --errors-for-leak-kinds=definite --show-leak-kinds=definite \
        --suppressions=scripts/memcheck.supp --trace-children="$children" \
        --log-file="$work/$test.%p.log" "$build/bin/$test" -silent; then
        failed+=("$test")
    fi
    # One log a process: the test, the copies it forks to start helpers and, with children
    # traced, each helper.
    errors=$(grep -h 'ERROR SUMMARY:' "$work/$test".*.log | awk '{sum += $4} END {print sum + 0}')
    lost=$(grep -h 'definitely lost:' "$work/$test".*.log | awk '{gsub(",", "", $4); sum += $4} END {print sum + 0}')
    helpers=$(grep -l 'Command: .*parlora-speech-helper' "$work/$test".*.log | wc -l || true)
    echo "$test: $errors errors, $lost bytes definitely lost; $helpers helper runs checked"
    total_errors=$((total_errors + errors))
    total_lost=$((total_lost + lost))
    if [ "$errors" -ne 0 ]; then
        cat "$work/$test".*.log
        [[ " ${failed[*]} " == *" $test "* ]] || failed+=("$test")
    fi
done

echo "memcheck: $total_errors errors, $total_lost bytes definitely lost in all"
[ ${#failed[@]} -eq 0 ] || { echo "memcheck failed: ${failed[*]}" >&2; exit 1; }

#!/usr/bin/env bash
# Runs the engine-layer and file-layer tests of a build under valgrind's memcheck, then the
# speech helper itself on a short text in the first voice of each engine. Any memory error or
# definite leak fails the run, except those scripts/memcheck.supp lists inside third-party
# libraries. The tests' own helper processes are not traced: under memcheck their longer texts
# would take minutes.
#   scripts/memcheck.sh [BUILD_DIR]    (default build/default, already built)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/default}
tests=(tst_xmltext tst_feeddocument tst_textfileforappend tst_voicecatalog tst_spfilestream tst_helperspeechengine)
helper=$build/bin/parlora-speech-helper
text='Hello, world. 1234 <b>&amp;</b> [[h@l'"'"'oU]] café Ελλάδα 日本 😀 a.a.a.'

work=$(mktemp -d /tmp/parlora-memcheck.XXXXXX)
trap 'rm -rf "$work"' EXIT
# The voices the machine has for everyone, whatever natural voices the caller installed.
export XDG_DATA_HOME=$work/data

failed=()
total_errors=0
total_lost=0

# memcheck NAME COMMAND [ARGS...]: one checked run, its figures added to the totals. The
# program's output is kept and shown only when it fails.
memcheck() {
    local name=$1
    shift
    local log=$work/${name//[^A-Za-z0-9_.-]/_}
    echo "=== memcheck: $name"
    # Possible leaks are the watchdog and pool threads Qt leaves running at exit: not shown.
    if ! valgrind --tool=memcheck --error-exitcode=1 \
        --leak-check=full --errors-for-leak-kinds=definite --show-leak-kinds=definite \
        --suppressions=scripts/memcheck.supp --trace-children=no \
        --log-file="$log.%p.log" "$@" >"$log.out" 2>&1; then
        cat "$log.out"
        failed+=("$name")
    fi
    # One log a process: the program and the copies it forks before starting a helper.
    local errors lost
    errors=$(grep -h 'ERROR SUMMARY:' "$log".*.log | awk '{sum += $4} END {print sum + 0}')
    lost=$(grep -h 'definitely lost:' "$log".*.log | awk '{gsub(",", "", $4); sum += $4} END {print sum + 0}')
    echo "$name: $errors errors, $lost bytes definitely lost"
    total_errors=$((total_errors + errors))
    total_lost=$((total_lost + lost))
    if [ "$errors" -ne 0 ]; then
        cat "$log".*.log
        [[ " ${failed[*]} " == *" $name "* ]] || failed+=("$name")
    fi
}

for test in "${tests[@]}"; do
    QT_QPA_PLATFORM=offscreen memcheck "$test" "$build/bin/$test" -silent
done

memcheck "helper --list" "$helper" --list
# The first voice of each engine, the text sent as one passage (see
# engine/protocol/helperprotocol.h); the audio goes to descriptor 3, here thrown away.
passage=$(printf 'passage %d\n%s' "$(printf %s "$text" | wc -c)" "$text")
while IFS=$'\t' read -r engine id _; do
    memcheck "helper --speak $engine $id" "$helper" --speak "$engine" "$id" 3 \
        <<<"$passage" 3>/dev/null
done < <("$helper" --list | awk -F'\t' '!seen[$1]++')

echo "memcheck: $total_errors errors, $total_lost bytes definitely lost in all"
[ ${#failed[@]} -eq 0 ] || { echo "memcheck failed: ${failed[*]}" >&2; exit 1; }

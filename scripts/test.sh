#!/usr/bin/env bash
# Sets everything up, builds once and runs every test headless, with a private sound server
# and X display. Warnings are errors here.
#   scripts/test.sh              the whole suite on the normal build: a few minutes
#   scripts/test.sh --thorough   also memcheck over the engine and file layers, a short run of
#                                each fuzz target (built with clang), and a second build and
#                                run under the address and undefined-behaviour sanitizers
set -euo pipefail
cd "$(dirname "$0")/.."

thorough=false
case ${1:-} in
"") ;;
--thorough) thorough=true ;;
*)
    echo "usage: scripts/test.sh [--thorough]" >&2
    exit 2
    ;;
esac

if $thorough; then
    scripts/install-dependencies.sh thorough
else
    scripts/install-dependencies.sh test
fi

run_suite() {
    local preset=$1
    shift
    echo "=== Building and testing: $preset"
    cmake --preset "$preset" -DPARLORA_WERROR=ON -DPARLORA_BUILD_TESTS=ON "$@" >/dev/null
    cmake --build --preset "$preset"
    scripts/with-sound-server.sh scripts/with-x-server.sh \
        ctest --preset "$preset" --output-on-failure --no-tests=error
}

# The quick form leaves the benchmarks out of the build; the thorough one compiles them too, so
# that they keep building.
if $thorough; then
    run_suite default -DPARLORA_BUILD_BENCH=ON
else
    run_suite default -DPARLORA_BUILD_BENCH=OFF
fi
$thorough || exit 0

# Sanitizer reports abort the test that caused them.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# The natural voices' engine against Piper's own on a real voice, when PyPI can be reached.
tests/engine/helper/compare-with-piper.sh build/default
# Memory errors and leaks in the engine and file layers, on the default build.
scripts/memcheck.sh build/default
# Each fuzz target for 30 s on a copy of its seeds.
scripts/fuzz.sh 30
# Last, so that the command ends with CTest's summary.
run_suite asan

#!/usr/bin/env bash
# Sets everything up and runs every test headless, twice: a normal build and one under the
# address and undefined-behaviour sanitizers; in between, memcheck over the engine and file
# layers and a short run of each fuzz target (built with clang). Warnings are errors here.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh

run_suite() {
    local preset=$1
    echo "=== Building and testing: $preset"
    cmake --preset "$preset" -DPARLORA_WERROR=ON >/dev/null
    cmake --build --preset "$preset"
    scripts/with-sound-server.sh scripts/with-x-server.sh \
        ctest --preset "$preset" --output-on-failure --no-tests=error
}

# Sanitizer reports abort the test that caused them.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_suite default
# Memory errors and leaks in the engine and file layers, on the default build.
scripts/memcheck.sh build/default
# Each fuzz target for 30 s on a copy of its seeds.
scripts/fuzz.sh 30
# Last, so that the command ends with CTest's summary.
run_suite asan

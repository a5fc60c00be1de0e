#!/usr/bin/env bash
# Sets up what building and running need, and starts Parlora.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh build
cmake --preset default -DPARLORA_BUILD_TESTS=OFF -DPARLORA_BUILD_BENCH=OFF >/dev/null
cmake --build --preset default
exec build/default/bin/parlora "$@"

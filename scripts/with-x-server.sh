#!/usr/bin/env bash
# Runs a command with a private Xvfb display for the tests that need a real X server; the
# others run offscreen and ignore it.
set -euo pipefail

display_number=$((90 + RANDOM % 400))
while [ -e "/tmp/.X11-unix/X$display_number" ] || [ -e "/tmp/.X$display_number-lock" ]; do
    display_number=$((display_number + 1))
done
Xvfb ":$display_number" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT

for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$display_number" ] && break
    sleep 0.05
done
[ -e "/tmp/.X11-unix/X$display_number" ] || { echo "Xvfb did not start" >&2; exit 1; }

export PARLORA_TEST_DISPLAY=":$display_number"
"$@"

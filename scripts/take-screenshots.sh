#!/usr/bin/env bash
# Takes the README's screenshots of both windows: starts Parlora on a private X display with a
# window manager, types a little text, and captures the speech window and the feed window.
#   scripts/take-screenshots.sh [BUILD_DIR]   (default build/default; writes docs/*.png)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build/default}
[ -x "$build_dir/bin/parlora" ] || { echo "build Parlora first (scripts/run.sh builds it)" >&2; exit 1; }

if [ -z "${PARLORA_TEST_DISPLAY:-}" ]; then
    exec scripts/with-sound-server.sh scripts/with-x-server.sh "$0" "$@"
fi
export DISPLAY=$PARLORA_TEST_DISPLAY
unset QT_QPA_PLATFORM

openbox >/dev/null 2>&1 &
window_manager=$!
for _ in $(seq 100); do # a window mapped while the manager starts up can stay unmanaged
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
done
"$build_dir/bin/parlora" &
program=$!
trap 'kill $program $window_manager 2>/dev/null || true' EXIT

speech=$(timeout 20 xdotool search --sync --onlyvisible --name '^Parlora$' | head -1)
xdotool windowactivate --sync "$speech"
# Focus starts in the information list; Tab moves to the text box.
xdotool key Tab
xdotool type --delay 2 "Welcome to the first episode of Harbour Notes. Today we walk along the old quay."
xdotool key Tab Tab Tab # pause, read, address
xdotool type --delay 2 "https://example.org/podcast/episode1.wav"
xdotool key Tab
xdotool type --delay 2 "1290412"
xdotool key Tab
xdotool type --delay 2 "audio/wav"
xdotool key Tab # "Create Rss"
sleep 0.5 # let the last keystrokes paint before the capture
import -window "$speech" -frame docs/speech-window.png

xdotool key space
feed=
for _ in $(seq 200); do # the feed window: the visible "Parlora" that is not the speech window
    feed=$(xdotool search --onlyvisible --name '^Parlora$' 2>/dev/null | grep -v "^$speech$" | head -1 || true)
    [ -n "$feed" ] && break
    sleep 0.1
done
[ -n "$feed" ] || { echo "the feed window did not appear" >&2; exit 1; }
xdotool windowactivate --sync "$feed"
xdotool type --delay 2 "Harbour Notes"
xdotool key Tab
xdotool type --delay 2 "Stories from the waterfront, read aloud."
xdotool key Tab
xdotool type --delay 2 "Parlora Studio"
xdotool key Tab
xdotool type --delay 2 "https://example.org/podcast/"
xdotool key Tab
xdotool type --delay 2 "The old quay"
xdotool key Tab
xdotool type --delay 2 "A walk along the old quay at dawn."
xdotool key Tab
xdotool type --delay 2 "https://example.org/podcast/episode1"
sleep 0.5
import -window "$feed" -frame docs/feed-window.png
echo "wrote docs/speech-window.png and docs/feed-window.png"

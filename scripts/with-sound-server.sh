#!/usr/bin/env bash
# Runs a command against a private PulseAudio server whose only sink is a null sink, so
# that sound tests play real audio on a machine without a sound card.
#   scripts/with-sound-server.sh COMMAND [ARGS...]
set -euo pipefail

runtime_dir=$(mktemp -d /tmp/parlora-pulse.XXXXXX)
chmod 700 "$runtime_dir"
export XDG_RUNTIME_DIR=$runtime_dir
export PULSE_RUNTIME_PATH=$runtime_dir/pulse

stop_server() {
    local pid_file=$PULSE_RUNTIME_PATH/pid pid=""
    [ -f "$pid_file" ] && pid=$(cat "$pid_file" 2>/dev/null || true)
    if [ -n "$pid" ] && kill "$pid" 2>/dev/null; then
        # The server removes its files as it exits: removed before that, the folder could
        # still be filling up, and the command's own status would be lost to rm's.
        for _ in $(seq 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
    fi
    rm -rf "$runtime_dir" || true
}
trap stop_server EXIT

# As root PulseAudio warns that it is not meant to; it works all the same.
pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit -n --use-pid-file=yes \
    --load="module-null-sink sink_name=parlora_null" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$runtime_dir/native" \
    --load="module-always-sink" --log-target=file:"$runtime_dir/pulse.log" 2>/dev/null
export PULSE_SERVER=unix:$runtime_dir/native

for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.05
done
pactl info >/dev/null 2>&1 || { echo "PulseAudio did not start" >&2; cat "$runtime_dir/pulse.log" >&2 || true; exit 1; }

"$@"

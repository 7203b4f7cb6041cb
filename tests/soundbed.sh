#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A private PulseAudio with one null sink, for the tests that listen to what plays.
#   soundbed.sh start DIR   starts it in DIR (its socket: DIR/native), returns once it plays
#   soundbed.sh stop DIR    stops it and everything started with it
# A silent stream stays open all along: an idle null sink renders in large blocks, and would
# start a new stream's first samples late. As root PulseAudio warns and runs.
set -euo pipefail
action=$1
dir=$2

stop() {
    for pidfile in "$dir"/*.pid; do
        [[ -e $pidfile ]] || continue
        pid=$(cat "$pidfile")
        kill "$pid" 2>/dev/null || true
        # Gone before returning: a server still closing would answer the next one's check.
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        rm -f "$pidfile"
    done
}

if [[ $action == stop ]]; then
    stop
    exit 0
fi

stop # what a run killed half-way may have left
mkdir -p "$dir"
chmod 700 "$dir"
export XDG_RUNTIME_DIR=$dir HOME=$dir PULSE_SERVER=unix:$dir/native
# Where the system allows it (root in CI), the whole server runs at a real-time priority: on a
# machine busy building, an ordinary one leaves gaps in what it plays.
realtime=()
chrt --rr 1 true 2>/dev/null && realtime=(chrt --rr 1)
# Started in sessions of their own, with no descriptor of CTest's, so that this test ends.
setsid "${realtime[@]}" pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
    --high-priority=yes --realtime=yes \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$dir/native" \
    -L "module-null-sink sink_name=null rate=44100 channels=1" \
    </dev/null >"$dir/pulseaudio.log" 2>&1 &
echo $! >"$dir/pulseaudio.pid"

for _ in $(seq 50); do
    [[ -S $dir/native ]] && pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
setsid "${realtime[@]}" pacat --playback --raw --rate=44100 --channels=1 --format=s16le --latency-msec=10 \
    /dev/zero </dev/null >"$dir/silence.log" 2>&1 &
echo $! >"$dir/silence.pid"

# Ready once the monitor gives 10 ms of sound within 200 ms.
for _ in $(seq 20); do
    got=$(timeout 0.2 parec -d null.monitor --raw --channels=1 --latency-msec=10 2>/dev/null |
        head -c 882 | wc -c || true)
    [[ $got -eq 882 ]] && exit 0
    sleep 0.1
done
echo "soundbed: PulseAudio did not start; see $dir/pulseaudio.log" >&2
stop
exit 1

#!/usr/bin/env bash
# Key -> audible through a real PulseAudio server: a private X server, a
# private PulseAudio server with a null sink, the real program, xdotool keys,
# the sink's monitor recorded in 5 ms chunks (bench/pulse_latency.py).
#   bash bench/pulse_latency.sh BUILD_DIR [KEYS] [STARTS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
work=$(mktemp -d)
source "$here/tests/e2e/test-env.sh"
source "$here/tests/e2e/x11-session.sh"
need_tools Xvfb xdotool openbox pulseaudio parec python3
PULSE_PID=""
cleanup() { kill $X_PIDS $PULSE_PID 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
start_x_session "$work"
bash "$here/tests/e2e/pulse-server.sh" "$work/pulse" 48000 2>"$work/pulse.err" &
PULSE_PID=$!
for _ in $(seq 100); do [ -S "$work/pulse/native" ] && break; sleep 0.05; done
export PULSE_SERVER=unix:$work/pulse/native PULSE_CLIENTCONFIG=$work/pulse/client.conf
export XDG_CONFIG_HOME=$work/config
unset SDL_AUDIODRIVER
python3 "$here/bench/pulse_latency.py" "$build/quillo" "${2:-40}" "${3:-5}"

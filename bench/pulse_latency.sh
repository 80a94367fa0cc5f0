#!/usr/bin/env bash
# Key -> audible through a real PulseAudio server: a private X server, a
# private PulseAudio server with a null sink, the real program, keys through
# the X server, the sink's monitor recorded in 5 ms chunks
# (bench/pulse_latency.py). The program runs from a scratch folder with the
# bundled media, except that "0" says a steady 4 s tone, whose breaks show
# underruns. BUSY=2 keeps two processes spinning meanwhile, as a build would;
# SOUND_SERVER=pipewire runs PipeWire's PulseAudio service in place of
# PulseAudio.
#   bash bench/pulse_latency.sh BUILD_DIR [KEYS] [STARTS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
source "$here/tests/e2e/prologue.sh"
source "$here/tests/e2e/x11-session.sh"
work=$scratch
server_script=$here/tests/e2e/pulse-server.sh
need_tools Xvfb xdotool openbox parec sox
if [ "${SOUND_SERVER:-pulseaudio}" = pipewire ]; then
    need_tools pipewire pipewire-pulse wireplumber dbus-daemon pactl
    server_script=$here/bench/pipewire-server.sh
else
    need_tools pulseaudio
fi
/usr/bin/python3 -c 'import Xlib.ext.xtest' 2>/dev/null || { echo "needs python3-xlib" >&2; exit 77; }
mkdir "$work/program"
cp "$build/quillo" "$work/program/"
cp -r "$here/media/alfabeto" "$work/program/"
ln -s "$here/media/parole" "$here/media/immagini" "$work/program/"
sox -n -r 22050 -c 1 -b 16 "$work/program/alfabeto/0.wav" synth 4 sine 440 vol 0.5
start_x_session "$work"
bash "$server_script" "$work/pulse" 48000 2>"$work/pulse.err" &
pids+=($!)
for _ in $(seq 200); do [ -S "$work/pulse/native" ] && break; sleep 0.05; done
export PULSE_SERVER=unix:$work/pulse/native PULSE_CLIENTCONFIG=$work/pulse/client.conf
export XDG_CONFIG_HOME=$work/config
unset SDL_AUDIODRIVER
for _ in $(seq "${BUSY:-0}"); do sh -c 'while :; do :; done' & pids+=($!); done
TONE_SECONDS=4 /usr/bin/python3 "$here/bench/pulse_latency.py" "$work/program/quillo" "${2:-40}" "${3:-5}"
[ -z "${PULSE_LOG_LEVEL:-}" ] || cp "$work/pulse.err" /tmp/pulse-debug.log

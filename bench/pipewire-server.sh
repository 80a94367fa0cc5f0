#!/usr/bin/env bash
# A private PipeWire with its PulseAudio service (pipewire-pulse), as Debian's
# GNOME desktop runs it, for the latency bench: one null sink "quillo" at RATE
# Hz stereo, a socket at DIR/native once the sink exists. Clients use it as
# they would the server of tests/e2e/pulse-server.sh. WirePlumber, which links
# the streams to the sink, needs a session bus: it gets a private one.
#   pipewire-server.sh DIR [RATE]    runs in the foreground until killed
set -euo pipefail
dir=$1
rate=${2:-48000}
mkdir -p "$dir/runtime" "$dir/home"
chmod 700 "$dir/runtime"
echo "autospawn = no" >"$dir/client.conf"
rm -f "$dir/native"
export HOME=$dir/home XDG_RUNTIME_DIR=$dir/runtime XDG_CONFIG_HOME=$dir/home/.config
export DBUS_SESSION_BUS_ADDRESS=unix:path=$dir/bus
pids=""
trap 'kill $pids 2>/dev/null; exit 0' TERM INT
trap 'kill $pids 2>/dev/null' EXIT
dbus-daemon --session --nofork --nopidfile --address="$DBUS_SESSION_BUS_ADDRESS" 2>/dev/null & pids="$pids $!"
for _ in $(seq 100); do [ -S "$dir/bus" ] && break; sleep 0.05; done
pipewire & pids="$pids $!"
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/pipewire-0" ] && break; sleep 0.05; done
wireplumber & pids="$pids $!"
pipewire-pulse & pids="$pids $!"
socket=$XDG_RUNTIME_DIR/pulse/native
for _ in $(seq 100); do [ -S "$socket" ] && break; sleep 0.05; done
PULSE_SERVER=unix:$socket pactl load-module module-null-sink sink_name=quillo rate="$rate" channels=2 >/dev/null
PULSE_SERVER=unix:$socket pactl set-default-sink quillo
ln -s "$socket" "$dir/native"
wait

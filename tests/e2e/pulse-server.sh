#!/usr/bin/env bash
# A private PulseAudio server for the tests and the benchmarks: its own runtime
# and config folders under DIR, one null sink "quillo" at RATE Hz stereo whose
# monitor "quillo.monitor" can be recorded, and a socket at DIR/native.
#   pulse-server.sh DIR [RATE [nosink]]    runs the server in the foreground (exec)
# With "nosink" the server starts with no sink at all, as on a machine
# without a sound card; `pactl load-module module-null-sink sink_name=quillo`
# gives it one later.
# Clients reach it with PULSE_SERVER=unix:DIR/native and
# PULSE_CLIENTCONFIG=DIR/client.conf (which keeps libpulse from starting a
# server of its own when this one is gone). The socket appears only once the
# sink (if any) exists.
set -euo pipefail
dir=$1
rate=${2:-48000}
sinks=${3:-sink}
mkdir -p "$dir/.config/pulse" "$dir/runtime" "$dir/state"
chmod 700 "$dir/runtime"
cat >"$dir/.config/pulse/daemon.conf" <<CONF
default-sample-rate = $rate
alternate-sample-rate = $rate
default-sample-channels = 2
exit-idle-time = -1
CONF
if [ "$sinks" = nosink ]; then
    echo "load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native" >"$dir/server.pa"
else
    cat >"$dir/server.pa" <<PA
load-module module-null-sink sink_name=quillo rate=$rate channels=2
set-default-sink quillo
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native
PA
fi
echo "autospawn = no" >"$dir/client.conf"
rm -f "$dir/native"
export HOME=$dir XDG_CONFIG_HOME=$dir/.config XDG_RUNTIME_DIR=$dir/runtime PULSE_STATE_PATH=$dir/state
exec pulseaudio -n -F "$dir/server.pa" --daemonize=no --use-pid-file=no --exit-idle-time=-1 \
    --disallow-module-loading=no --log-target=stderr --log-level=${PULSE_LOG_LEVEL:-error} --log-time=yes

#!/usr/bin/env bash
# The real program, typed into in a real X server, against a private
# PulseAudio server in four states, one row each:
#   no-sink        a server with no output device at all
#   no-source      a sink but no microphone (only the sink's monitor)
#   sink-unloaded  a sink, unloaded while Quillo runs (pactl unload-module)
#   no-server      nothing listening where the server should be
# In each: no crash, at most one line on stderr while there is no sound,
# typing goes on, and sound comes back (heard on the sink's monitor) once a
# sink or a server does. Le parole di Quillo, window and command line, must
# not crash without a sink or without a microphone either.
#   x11_sound_servers.sh QUILLO_BINARY SOURCE_DIR WORK_DIR
set -uo pipefail
binary=$(readlink -f "$1") source=$2 work=$3
parole=$(dirname "$binary")/quillo-parole
source "$source/tests/e2e/prologue.sh"
need_tools Xvfb xdotool openbox import convert pulseaudio pactl parec python3
rm -rf "$work"; mkdir -p "$work"

source "$source/tests/e2e/x11-session.sh"
row=session stage=session
start_x_session "$work" || exit 1
export QT_QPA_PLATFORM=xcb QT_FONT_DPI=96 SDL_AUDIODRIVER=pulseaudio

SHEET=960x560+20+110  # inside the writing sheet on a 1024x768 screen
dark_pixels() {
    import -window root "$work/$row/shot.png" || fail "screenshot"
    convert "$work/$row/shot.png" -crop "$SHEET" +repage -colorspace gray -threshold 50% -negate \
        -format '%[fx:round(mean*w*h)]' info:
}
# Types $1 and waits until the sheet shows more than before.
types_on() {
    local before after
    before=$(dark_pixels)
    xdotool type --delay 150 "$1"
    for _ in $(seq 20); do
        sleep 0.5
        after=$(dark_pixels)
        [ "$after" -gt $((before + 300)) ] && return 0
    done
    fail "\"$1\" did not reach the sheet ($before -> $after dark pixels)"
}
alive() { kill -0 "$quillo" 2>/dev/null || { wait "$quillo"; fail "Quillo ended (status $?) $*"; }; }
# Quillo's lines about sound (others, such as the power keys', say nothing of it).
quillo_lines() { grep -c '^quillo: .*sound' "$work/$row/quillo.err"; }

start_server() {  # sink | nosink
    bash "$source/tests/e2e/pulse-server.sh" "$pulse" 48000 "$1" >"$work/$row/pulse.err" 2>&1 &
    server=$!; pids+=($server)
    for _ in $(seq 100); do [ -S "$pulse/native" ] && return 0; sleep 0.1; done
    fail "the sound server did not start: $(cat "$work/$row/pulse.err")"
}
add_sink() { pactl load-module module-null-sink sink_name=quillo rate=48000 channels=2 >/dev/null || fail "no sink loaded"; }

# Types a letter now and then until the sink's monitor hears it (at most 12 s).
# The recording goes on afterwards: a null sink that nobody listens to takes
# sound in blocks of seconds, which a player would take for a device that
# hangs.
heard() {
    local capture=$work/$row/heard-$((++captures)).raw loud=0
    parec --device=quillo.monitor --raw --format=s16le --rate=48000 --channels=1 --latency-msec=5 \
        >"$capture" 2>/dev/null &
    pids+=($!)
    sleep 2.1  # the sink takes the recording's latency after the block it is in
    for _ in $(seq 12); do
        xdotool type s
        sleep 1
        loud=$(python3 -c 'import array,sys
d=open(sys.argv[1],"rb").read(); a=array.array("h"); a.frombytes(d[:len(d)//2*2])
print(sum(1 for x in a if abs(x) > 300))' "$capture")
        [ "$loud" -gt 2000 ] && return 0
    done
    fail "no sound heard on the sink's monitor $*"
}

start_quillo() {
    "$binary" >"$work/$row/quillo.out" 2>"$work/$row/quillo.err" &
    quillo=$!; pids+=($quillo)
    if ! window=$(wait_for_window "$quillo"); then
        kill -0 "$quillo" 2>/dev/null && fail "Quillo runs but shows no window"
        wait "$quillo"
        fail "no window: Quillo ended with status $?"
    fi
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
    xdotool windowfocus --sync "$window" || fail "cannot focus the window"
    sleep 1
}

# The parents' program: its window stays up, and its command line ends with
# 0 or 1, never a crash; given a sentence, it refuses to record with that
# sentence, the one its window shows.
parole_survives() {  # [the sentence its command line gives]
    XDG_DATA_HOME=$work/$row/data "$parole" >"$work/$row/parole.out" 2>"$work/$row/parole.err" &
    local window_pid=$!
    pids+=($window_pid)
    wait_for_window "$window_pid" >/dev/null || fail "the parents' window did not come up"
    sleep 1
    kill -0 "$window_pid" 2>/dev/null || fail "the parents' window ended"
    kill "$window_pid"; wait "$window_pid" 2>/dev/null
    local status=0
    XDG_DATA_HOME=$work/$row/data "$parole" letter a --record 1 >"$work/$row/cli.out" 2>"$work/$row/cli.err" || status=$?
    [ "$status" -le 1 ] || fail "quillo-parole letter a --record 1 ended with $status"
    [ -z "${1:-}" ] && return 0
    [ "$status" -eq 1 ] && grep -qF "quillo-parole: $1" "$work/$row/cli.err" ||
        fail "the command line did not say \"$1\""
}

summary=()
captures=0
for row in no-sink no-source sink-unloaded no-server; do
    stage=$row fail_logs=("$work/$row/*.err")
    mkdir -p "$work/$row/data"
    # The server's socket in the short folder: never too long a path.
    pulse=$scratch/$row
    mkdir -p "$pulse"; echo "autospawn = no" >"$pulse/client.conf"
    export PULSE_SERVER=unix:$pulse/native PULSE_CLIENTCONFIG=$pulse/client.conf
    case $row in
    no-sink) start_server nosink ;;
    no-source | sink-unloaded) start_server sink ;;
    esac
    start_quillo

    case $row in
    no-sink | no-server)
        types_on ciao; alive "while typing without sound"
        [ "$(quillo_lines)" -eq 1 ] || fail "not one line on stderr"
        grep -q '^quillo: no sound (' "$work/$row/quillo.err" || fail "no word of the silence"
        [ $row = no-sink ] && parole_survives "Non trovo nessun microfono"
        silent=$(grep '^quillo: .*sound' "$work/$row/quillo.err")
        if [ $row = no-sink ]; then add_sink; else start_server sink; fi
        heard "once a sink is there"
        back="sound works now"
        ;;
    no-source)
        heard "from the start"
        types_on ciao; alive "while typing"
        parole_survives
        silent="(nothing)"
        back=""
        ;;
    sink-unloaded)
        heard "from the start"
        pactl unload-module module-null-sink || fail "the sink was not unloaded"
        types_on ciao; alive "after the sink went"
        [ "$(quillo_lines)" -eq 1 ] || fail "not one line on stderr"
        silent=$(grep '^quillo: .*sound' "$work/$row/quillo.err")
        add_sink
        heard "once the sink is back"
        back="sound is back"
        ;;
    esac
    types_on "ok"; alive "at the end"
    if [ -n "$back" ]; then
        [ "$(quillo_lines)" -eq 2 ] && grep -q "^quillo: $back" "$work/$row/quillo.err" ||
            fail "stderr does not end with \"$back\""
    else
        [ "$(quillo_lines)" -eq 0 ] || fail "stderr is not empty"
    fi
    kill "$quillo"; wait "$quillo" 2>/dev/null
    [ -n "${server:-}" ] && { kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; server=; }
    summary+=("$row: no crash; silent: $silent; typing went on; ${back:-sound throughout}")
done
printf '%s\n' "${summary[@]}"
echo "PASS: sound servers"

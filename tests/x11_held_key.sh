#!/usr/bin/env bash
# A held key, with the X server's own auto-repeat, heard through a real
# PulseAudio server: while "a" is held it is said back to back, and the sheet
# gets one "a" for each time it is heard; once it is let go, at most the
# sound under way ends, and a key typed then is heard next. A held F7 stops
# growing the letters within a step of its release.
#   x11_held_key.sh QUILLO_BINARY SOURCE_DIR WORK_DIR [HOLD_SECONDS]
# It waits for silence after the release up to QUIET_LIMIT seconds (30);
# bench/held_key.sh runs it with longer holds and limits.
set -euo pipefail
binary=$1 source=$2 work=$3 hold=${4:-3}
source "$source/tests/e2e/prologue.sh"
need_tools Xvfb xdotool openbox import convert pulseaudio parec python3
rm -rf "$work"; mkdir -p "$work/program" "$work/config" "$work/data"
fail_logs=("$work/quillo.err")

cp "$binary" "$work/program/quillo"
cp -r "$source/media/alfabeto" "$work/program/"
ln -s "$source/media/parole" "$source/media/immagini" "$work/program/"
python3 "$source/tests/e2e/held_key.py" tones "$work/program/alfabeto"

source "$source/tests/e2e/x11-session.sh"
start_x_session "$work" || exit 1
bash "$source/tests/e2e/pulse-server.sh" "$scratch/pulse" 48000 >"$work/pulse.err" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$scratch/pulse/native" ] && break; sleep 0.1; done
[ -S "$scratch/pulse/native" ] || fail "the sound server did not start: $(cat "$work/pulse.err")"
export PULSE_SERVER=unix:$scratch/pulse/native PULSE_CLIENTCONFIG=$scratch/pulse/client.conf
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
unset SDL_AUDIODRIVER QT_QPA_PLATFORM
log=$work/sound.log
python3 "$source/tests/e2e/sound_log.py" "$log" &
pids+=($!)

"$work/program/quillo" >"$work/quillo.out" 2>"$work/quillo.err" &
quillo=$!; pids+=($quillo)
window=$(wait_for_window "$quillo") || fail "no window"
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool windowfocus --sync "$window" || fail "cannot focus the window"
sleep 2  # the sink's monitor takes a moment to pass sound on
xdotool key F10  # word mode off: only the letters' own sounds
sleep 0.5

shot() {
    import -window root "$work/$1.png"
    convert "$work/$1.png" -crop 960x600+30+120 +repage -colorspace gray -threshold 50% -negate "$work/$1-sheet.png"
}
dark_pixels() { shot "$1"; convert "$work/$1-sheet.png" -format '%[fx:round(mean*w*h)]' info:; }
# The letters on the sheet: its dark shapes wider than the caret.
letters() {
    shot "$1"
    convert "$work/$1-sheet.png" -define connected-components:verbose=true -connected-components 8 null: |
        awk '$NF == "gray(255)" { split($2, g, "[x+]"); if (g[1] >= 6 && $4 >= 100) n++ } END { print n + 0 }'
}
spans() { python3 "$source/tests/e2e/sound_log.py" --spans "$log" 2000 "$1"; }
now() { date +%s.%N; }
# Waits until nothing has been heard for 1.5 s, at most $1 s.
quiet() {
    local until=$(($(date +%s) + $1))
    while [ "$(date +%s)" -lt "$until" ]; do
        sleep 0.5
        python3 -c 'import sys, time
lines = open(sys.argv[1]).read().split("\n")[-400:]
loud = [float(l.split()[0]) for l in lines if len(l.split()) == 2 and int(l.split()[1]) > 2000]
sys.exit(0 if not loud or time.time() - loud[-1] > 1.5 else 1)' "$log" && return 0
    done
    return 1
}

# One tap: heard, and one letter on the sheet.
[ "$(letters before)" = 0 ] || fail "the sheet is not empty at start"
tap_from=$(now)
xdotool key a
quiet 10 || fail "the tap of a never fell silent"
[ -n "$(spans "$tap_from")" ] || fail "the tap of a was not heard"
[ "$(letters tap)" = 1 ] || fail "the tap of a did not write one letter ($(letters tap) on the sheet)"

hold_from=$(now)
xdotool keydown a
sleep "$hold"
xdotool keyup a
released=$(now)
quiet "${QUIET_LIMIT:-30}" || fail "still sounding ${QUIET_LIMIT:-30} s after a ${hold} s hold of a was let go"
kill -0 "$quillo" 2>/dev/null || fail "Quillo ended"
on_sheet=$(letters held)

b_from=$(now)
xdotool key b
quiet 10 || fail "b never fell silent"

spans "$hold_from" >"$work/spans"
python3 "$source/tests/e2e/held_key.py" judge "$work/spans" "$hold_from" "$released" "$b_from" "$on_sheet" ||
    fail "see above"

# A held F7 grows the letters while held (a step each 40 ms after the first
# 660 ms; 1.2 s stays below the largest size); 0.5 s after its release they
# stay as they are, but for the blinking caret.
before_f7=$(dark_pixels before-f7)
xdotool keydown F7
sleep 1.2
xdotool keyup F7
sleep 0.5
grown=$(dark_pixels grown)
[ "$grown" -gt $((before_f7 * 11 / 10)) ] || fail "a held F7 did not grow the letters ($before_f7 -> $grown dark pixels)"
sleep 2
later=$(dark_pixels later)
[ $((later - grown)) -lt $((grown / 20)) ] ||
    fail "the letters went on growing after F7 was let go ($grown -> $later dark pixels)"
echo "a held F7 grew the letters ($before_f7 -> $grown dark pixels) and stopped when let go ($later)"
echo "PASS"

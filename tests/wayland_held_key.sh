#!/usr/bin/env bash
# A held key on Wayland, where Qt repeats it itself, with the real program
# under a headless sway and the key held by wtype: while "a" is held it is
# said back to back, one "a" on the sheet each time; once let go, at most the
# sound under way ends, and a key typed then is heard next. What the child
# hears is SDL's disk driver at real-time speed.
#   wayland_held_key.sh QUILLO_BINARY SOURCE_DIR WORK_DIR INHIBITOR [HOLD_SECONDS]
# It waits for silence after the release up to QUIET_LIMIT seconds (30);
# bench/held_key.sh runs it with longer holds and limits.
set -euo pipefail
binary=$1 source=$2 work=$3 hold=${5:-3}
source "$source/tests/e2e/prologue.sh"
need_tools sway wtype grim convert setpriv python3
rm -rf "$work"; mkdir -p "$work"

source "$source/tests/e2e/wayland-session.sh"
wayland_scratch "$binary"
python3 "$source/tests/e2e/held_key.py" tones "$scratch/program/alfabeto"
echo "xwayland disable" >"$scratch/sway.conf"
start_compositor "$scratch/sway.log" sway -c "$scratch/sway.conf"

capture=$out/capture.raw
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$capture QT_QPA_PLATFORM=wayland \
    "${run_as[@]}" "$scratch/program/quillo" >"$scratch/quillo.log" 2>&1 &
quillo=$!; pids+=($quillo)
for _ in $(seq 100); do shot start && break; sleep 0.1; done
sleep 2
read -r width height < <(convert "$out/start.png" -format '%w %h\n' info:)

# Each wtype brings a keyboard of its own: it waits a moment before its keys.
keys() { "${run_as[@]}" wtype -s 400 "$@"; }
letters() {
    shot "$1" || fail "no screenshot"
    convert "$out/$1.png" -crop "$((width - 40))x$((height - 140))+20+110" +repage -colorspace gray \
        -threshold 50% -negate -define connected-components:verbose=true -connected-components 8 null: |
        awk '$NF == "gray(255)" { split($2, g, "[x+]"); if (g[1] >= 6 && $4 >= 100) n++ } END { print n + 0 }'
}

# Waits until the last 1.5 s of the capture are silent, at most $1 s.
quiet() {
    local until=$(($(date +%s) + $1))
    while [ "$(date +%s)" -lt "$until" ]; do
        sleep 0.5
        python3 -c 'import array, os, sys
f = open(sys.argv[1], "rb"); f.seek(max(0, os.path.getsize(sys.argv[1]) - 66150) // 2 * 2)
a = array.array("h"); d = f.read(); a.frombytes(d[: len(d) // 2 * 2])
sys.exit(0 if len(a) == 33075 and max(map(abs, a)) < 2000 else 1)' "$capture" && return 0
    done
    return 1
}
# Times in the capture's seconds: it grows in real time from the device's start.
# (A key of wtype's goes down 0.4 s after it starts: now 0.4.)
now() { python3 -c 'import os, sys; print(os.path.getsize(sys.argv[1]) / 44100 + float(sys.argv[2]))' "$capture" "${1:-0}"; }

keys -k F10  # word mode off
sleep 1
[ "$(letters before)" = 0 ] || fail "the sheet is not empty at start"
keys a
quiet 10 || fail "the tap of a never fell silent"
[ "$(letters tap)" = 1 ] || fail "the tap of a did not write one letter ($(letters tap) on the sheet)"
hold_from=$(now 0.4)
keys -P a -s "$((hold * 1000))" -p a
released=$(now)
quiet "${QUIET_LIMIT:-30}" || fail "still sounding ${QUIET_LIMIT:-30} s after a ${hold} s hold of a was let go"
on_sheet=$(letters held)
b_from=$(now)
keys b
sleep 1.5
kill -0 "$quillo" 2>/dev/null || fail "Quillo ended"

python3 "$source/tests/e2e/sound_log.py" --raw-spans "$capture" 22050 2000 >"$out/spans"
python3 "$source/tests/e2e/held_key.py" judge "$out/spans" "$hold_from" "$released" "$b_from" "$on_sheet" ||
    fail "see above"
echo "PASS"

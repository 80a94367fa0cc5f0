#!/usr/bin/env bash
# The real program in a real X server with a window manager, on the bundled
# media, with SDL's disk audio driver capturing everything it plays. Types a
# word, then drives the command keys, checking what is heard and what is shown.
#   x11_end_to_end.sh QUILLO_BINARY SOURCE_DIR WORK_DIR
set -euo pipefail
binary=$1 source=$2 work=$3
source "$source/tests/e2e/prologue.sh"
need_tools Xvfb
rm -rf "$work"; mkdir -p "$work/config"
analyse="$source/tests/e2e/analyse.py"
media=$(dirname "$(readlink -f "$binary")")

source "$source/tests/e2e/x11-session.sh"
start_x_session "$work" || exit 1

# XDG_DATA_HOME: no library of the user's, only the bundled one is heard.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data QT_FONT_DPI=96 QT_QPA_PLATFORM=xcb
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/capture.raw
"$binary" >"$work/quillo.out" 2>"$work/quillo.err" & quillo=$!; pids+=($quillo)

window=$(wait_for_window "$quillo" || true)
[ -n "$window" ] || { echo "FAIL: no window"; cat "$work/quillo.err"; exit 1; }
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool windowfocus --sync "$window"
sleep 0.5

shot() { import -window root "$work/$1.png"; }
check() { python3 "$analyse" "$@" || { echo "FAIL: $*"; cat "$work/quillo.err"; exit 1; }; }
settle() { sleep "${1:-0.6}"; }

shot 0-start
check screen "$work/0-start.png" sheet-blank word-blank

# A word in word mode: each letter speaks, cues, and brings a word of its own.
xdotool type --delay 150 "ape"
settle 6   # every letter plays three recordings at real speed
shot 1-typed
check screen "$work/1-typed.png" sheet-text word-text picture
check sounds "$work/capture.raw" "$media" letters-and-words ape

# F9 hides the word box, the picture and PAROLA.
xdotool key F9; settle; shot 2-f9
check screen "$work/2-f9.png" word-hidden picture-hidden
# F12 clears the sheet.
xdotool key F12; settle; shot 3-f12
check screen "$work/3-f12.png" sheet-blank
# F4 rounds the corners (40 + 10 after start-up).
xdotool key F4; settle; shot 4-f4
check screen "$work/4-f4.png" corners-round
# Alt+F2 stores the look and says o, k.
xdotool key alt+F2; settle 3
check settings "$work/config/QuilloNuvi/QuilloNuvi.ini" Circ=50 Parolasi=1
check sounds "$work/capture.raw" "$media" ends-with o.wav k.wav
# Esc applies it and shows the word controls again.
xdotool key Escape; settle 2; shot 5-esc
check screen "$work/5-esc.png" word-text picture corners-round

# Alt+Q ends the program.
xdotool key alt+q
for _ in $(seq 50); do kill -0 "$quillo" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$quillo" 2>/dev/null; then echo "FAIL: still running after Alt+Q"; exit 1; fi
wait "$quillo" && status=0 || status=$?
[ "$status" -eq 0 ] || { echo "FAIL: exit status $status"; exit 1; }
echo "PASS: end to end (screenshots in $work)"

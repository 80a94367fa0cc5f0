#!/bin/bash
# Keys typed faster than their sounds play are all answered, in order: twenty
# keys in a second, each heard whole and written once, in the real program
# in a real X server, real keys from xdotool, and SDL's disk driver at
# real-time speed writing what the child would hear to a file.
#
# Usage: x11_key_queue.sh <quillo-binary> <source-dir> <work-dir>
set -u

binary=$1
source_dir=$2
work=$3

source "$source_dir/tests/e2e/prologue.sh"
need_tools Xvfb xdotool openbox import compare python3

rm -rf "$work"
mkdir -p "$work/config"

fail_logs=("$work/quillo.err")

source "$source_dir/tests/e2e/x11-session.sh"
start_x_session "$work" || exit 1

export XDG_CONFIG_HOME="$work/config"
export XDG_DATA_HOME="$work/data"  # no library of the user's: only the bundled one is heard
export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE="$work/capture.raw"
unset SDL_DISKAUDIODELAY
unset QT_QPA_PLATFORM
"$binary" >"$work/quillo.out" 2>"$work/quillo.err" &
quillo=$!
pids+=($quillo)

window=$(wait_for_window "$quillo" || true)
[ -n "$window" ] || fail "no window"
xdotool windowactivate --sync "$window" >/dev/null 2>&1
xdotool windowfocus --sync "$window"
sleep 0.5
import -window root "$work/before.png"

# Word mode off, so only the letters' own recordings play.
xdotool key F10
sleep 0.3
# Each recording lasts about a third of a second; the keys come 50 ms apart.
typed=bcdfghklmnopqrstuvza
xdotool type --delay 50 "$typed"

# Wait until the sounds have been played (about 8 s) and the capture is silent.
for _ in $(seq 60); do
    sleep 0.5
    python3 -c 'import array, os, sys
f = open(sys.argv[1], "rb"); f.seek(max(0, os.path.getsize(sys.argv[1]) - 44100) // 2 * 2)
a = array.array("h"); d = f.read(); a.frombytes(d[: len(d) // 2 * 2])
sys.exit(0 if len(a) == 22050 and max(map(abs, a)) < 64 else 1)' "$work/capture.raw" && break
done
import -window root "$work/after.png"
kill -0 "$quillo" 2>/dev/null || fail "the program ended"

# Each letter once on the sheet: its dark shapes wider than the caret.
written=$(convert "$work/after.png" -crop 980x620+20+115 +repage -colorspace gray -threshold 50% -negate \
    -define connected-components:verbose=true -connected-components 8 null: |
    awk '$NF == "gray(255)" { split($2, g, "[x+]"); if (g[1] >= 6 && $4 >= 100) n++ } END { print n + 0 }')
[ "$written" = "${#typed}" ] || fail "the sheet shows $written letters for the ${#typed} typed"

python3 - "$work/capture.raw" "$source_dir/media/alfabeto" "$typed" <<'EOF' || fail "the capture does not hold $typed in order"
import sys, wave, array

capture_path, letters, typed = sys.argv[1], sys.argv[2], sys.argv[3]
raw = open(capture_path, "rb").read()
raw = raw[: len(raw) // 2 * 2]

def pcm(name):
    with wave.open(f"{letters}/{name}", "rb") as w:
        assert (w.getnchannels(), w.getsampwidth(), w.getframerate()) == (1, 2, 22050), name
        return w.readframes(w.getnframes())

found = []
at = 0
for name in (f"{c}.wav" for c in typed):
    sound = pcm(name)
    start = raw.find(sound, at)
    while start >= 0 and start % 2:
        start = raw.find(sound, start + 1)
    if start < 0:
        print(f"{name} is not heard whole after the sounds before it")
        sys.exit(1)
    found.append((name, start, start + len(sound)))
    at = start + len(sound)

# Nothing else was heard: no cue, no word, no default sound.
rest = bytearray(raw)
for _, start, end in found:
    rest[start:end] = bytes(end - start)
samples = array.array("h", bytes(rest))
loud = sum(1 for s in samples if abs(s) > 64)
for name, start, end in found:
    print(f"{name}: {start / 2 / 22050:.3f} s to {end / 2 / 22050:.3f} s")
if loud:
    print(f"{loud} samples of other sound in the capture")
    sys.exit(1)
EOF

text_lines=$(grep -c "quillo:" "$work/quillo.err" || true)
[ "$text_lines" = "0" ] || { echo "--- quillo stderr:"; cat "$work/quillo.err"; }
echo "PASS"

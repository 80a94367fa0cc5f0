#!/usr/bin/env bash
# A held key on Wayland, where Qt repeats it itself, with the real program
# under a headless sway and the key held by wtype: while "a" is held it is
# said back to back, one "a" on the sheet each time; once let go, at most the
# sound under way ends, and a key typed then is heard next. What the child
# hears is SDL's disk driver at real-time speed.
#   wayland_held_key.sh QUILLO_BINARY SOURCE_DIR WORK_DIR INHIBITOR [HOLD_SECONDS]
set -euo pipefail
binary=$1 source=$2 work=$3 hold=${5:-3}
source "$source/tests/e2e/test-env.sh"
need_tools sway wtype grim convert setpriv python3
rm -rf "$work"; mkdir -p "$work"

source "$source/tests/e2e/wayland-session.sh"
sway_test_traps
wayland_scratch "$binary"
# "a" says a soft 0.6 s tone and "b" a loud 0.3 s one.
python3 - "$scratch/program/alfabeto" <<'PY'
import math, struct, sys, wave
for name, seconds, level in (("a", 0.6, 6000), ("b", 0.3, 24000)):
    with wave.open(f"{sys.argv[1]}/{name}.wav", "wb") as w:
        w.setnchannels(1); w.setsampwidth(2); w.setframerate(22050)
        w.writeframes(b"".join(struct.pack("<h", int(level * math.sin(i * 0.1))) for i in range(int(22050 * seconds))))
PY
echo "xwayland disable" >"$scratch/sway.conf"
start_compositor "$scratch/sway.log" sway -c "$scratch/sway.conf"
pids+=("$compositor")

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

keys -k F10  # word mode off
sleep 1
[ "$(letters before)" = 0 ] || fail "the sheet is not empty at start"
keys -P a -s "$((hold * 1000))" -p a
released=$(stat -c %s "$capture")
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
quiet "${QUIET_LIMIT:-30}" || fail "still sounding ${QUIET_LIMIT:-30} s after a ${hold} s hold of a was let go"
on_sheet=$(letters held)
before_b=$(stat -c %s "$capture")
keys b
sleep 1.5
kill -0 "$quillo" 2>/dev/null || fail "Quillo ended"

python3 - "$capture" "$released" "$before_b" "$on_sheet" "$hold" <<'PY' || fail "see above"
import array, sys
raw = open(sys.argv[1], "rb").read()
samples = array.array("h", raw[: len(raw) // 2 * 2])
released, before_b = int(sys.argv[2]) // 2, int(sys.argv[3]) // 2
on_sheet, hold = int(sys.argv[4]), float(sys.argv[5])
chunk = 110  # 5 ms at 22050 Hz
peaks = [max((abs(s) for s in samples[i:i + chunk]), default=0) for i in range(0, len(samples), chunk)]
soft = [i for i, p in enumerate(peaks[: before_b // chunk]) if 2000 < p < 12000]
loud_after_b = [i for i, p in enumerate(peaks) if i * chunk >= before_b and p > 16000]
ok = True
def check(cond, message):
    global ok
    print(("" if cond else "FAIL: ") + message)
    ok = ok and cond
sounds = round(len(soft) * 0.005 / 0.6)
tail = (soft[-1] * chunk - released) / 22050 if soft else 0
check(sounds >= 2, f"a held {hold:.0f} s was heard {sounds} times")
check(tail < 1.5, f"{max(tail, 0):.2f} s of a heard after the key was let go (at most the sound under way)")
check(on_sheet == sounds, f"the sheet got {on_sheet} a's for {sounds} heard")
check(bool(loud_after_b), "b, typed after the release, is heard next")
sys.exit(0 if ok else 1)
PY
echo "PASS"

#!/bin/bash
# Real keys in a real X server: the program starts full screen under openbox,
# "ciao" and an accented letter typed with xdotool reach the writing sheet.
# Also: without its picture folder the program shows an error box for the
# adult instead of its window, and ends with a failure status once it is closed.
#
# usage: x11_typing.sh <quillo-binary> <source-dir> <work-dir>
set -u

BINARY=$(readlink -f "$1")
WORK=$3

source "$2/tests/e2e/prologue.sh"
need_tools Xvfb xdotool import convert openbox

mkdir -p "$WORK"
rm -rf "$WORK"/*.png "$WORK"/config "$WORK"/nopics "$WORK"/display
mkdir -p "$WORK/config"

fail_logs=("$WORK/quillo.err")

source "$2/tests/e2e/x11-session.sh"
start_x_session "$WORK" || exit 1

export QT_QPA_PLATFORM=xcb
export SDL_AUDIODRIVER=dummy
export XDG_CONFIG_HOME="$WORK/config"

# Sheet area to look at, inside the writing sheet (at 8,96, 1009x665 px on a
# 1024x768 screen at 96 dpi), clear of its edges.
SHEET=960x560+20+110

# Dark pixels (text and caret) in the sheet area of a screenshot.
dark_pixels() {
    convert "$1" -crop "$SHEET" +repage -colorspace gray -threshold 50% -negate \
        -format '%[fx:round(mean*w*h)]' info:
}

shot() {
    import -window root "$WORK/$1.png" || fail "screenshot $1"
}

# Waits until the dark-pixel count exceeds $2, then until it stops growing
# (the caret blinks, so allow a little wobble). Leaves the count in COUNT.
wait_for_text() {
    local name=$1 above=$2 previous=-1000 steady=0
    for _ in $(seq 1 60); do
        sleep 0.5
        shot "$name"
        COUNT=$(dark_pixels "$WORK/$name.png")
        if [ "$COUNT" -gt "$above" ] && [ $((COUNT - previous)) -lt 200 ] && [ $((previous - COUNT)) -lt 200 ]; then
            steady=$((steady + 1))
            [ "$steady" -ge 3 ] && return 0
        else
            steady=0
        fi
        previous=$COUNT
    done
    return 1
}

# --- without pictures: an error box for the adult, never the window ----------
mkdir -p "$WORK/nopics/alfabeto" "$WORK/nopics/parole"
cp "$BINARY" "$WORK/nopics/quillo"
"$WORK/nopics/quillo" >"$WORK/nopics.out" 2>"$WORK/nopics.err" &
NOPICS=$!
pids+=($NOPICS)
BOX=""
for _ in $(seq 100); do
    BOX=$(xdotool search --onlyvisible --pid "$NOPICS" 2>/dev/null | tail -n 1 || true)
    [ -n "$BOX" ] && break
    kill -0 "$NOPICS" 2>/dev/null || break
    sleep 0.1
done
[ -n "$BOX" ] || fail "without pictures no error box came up"
BOXWIDTH=$(xdotool getwindowgeometry "$BOX" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
[ "${BOXWIDTH:-0}" -lt 900 ] || fail "without pictures a full-screen window came up (width $BOXWIDTH)"
import -window root "$WORK/nopics.png" 2>/dev/null || true
xdotool windowactivate --sync "$BOX" >/dev/null 2>&1 || true
xdotool windowfocus --sync "$BOX" key Return
for _ in $(seq 50); do kill -0 "$NOPICS" 2>/dev/null || break; sleep 0.1; done
kill -0 "$NOPICS" 2>/dev/null && fail "the program kept running after its error box was closed"
rc=0; wait "$NOPICS" || rc=$?
[ "$rc" -ne 0 ] || fail "without pictures the program exited with 0"
grep -q immagini "$WORK/nopics.err" || fail "no word of the missing folder on stderr: $(cat "$WORK/nopics.err")"
echo "without pictures: error box, exit $rc, $(grep -m1 immagini "$WORK/nopics.err")"

# --- typing --------------------------------------------------------------------
"$BINARY" >"$WORK/quillo.out" 2>"$WORK/quillo.err" &
APP_PID=$!
pids+=($APP_PID)

WINDOW=
for _ in $(seq 1 100); do
    kill -0 "$APP_PID" 2>/dev/null || fail "the program ended"
    WINDOW=$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | head -n1)
    [ -n "$WINDOW" ] && break
    sleep 0.1
done
[ -n "$WINDOW" ] || fail "no visible window within 10 s"
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
echo "window $WINDOW at $X,$Y size ${WIDTH}x$HEIGHT"
xdotool windowactivate --sync "$WINDOW" 2>/dev/null || echo "note: windowactivate failed"
xdotool windowfocus --sync "$WINDOW" || fail "cannot focus the window"
sleep 1

shot before
BEFORE=$(dark_pixels "$WORK/before.png")
COLOURS_BEFORE=$(convert "$WORK/before.png" -crop "$SHEET" +repage -format %k info:)
echo "before typing: $BEFORE dark pixels, $COLOURS_BEFORE colours in the sheet"
[ "$BEFORE" -lt 400 ] || fail "the sheet is not empty before typing"

xdotool type --delay 120 ciao
wait_for_text after_ciao $((BEFORE + 2000)) || fail "\"ciao\" did not reach the sheet (dark pixels: $COUNT)"
CIAO=$COUNT
COLOURS_CIAO=$(convert "$WORK/after_ciao.png" -crop "$SHEET" +repage -format %k info:)
DIFF=$(compare -metric AE "$WORK/before.png" "$WORK/after_ciao.png" null: 2>&1)
echo "after \"ciao\": $CIAO dark pixels, $COLOURS_CIAO colours, $DIFF pixels changed on screen"

xdotool type --delay 120 'è'
wait_for_text after_egrave $((CIAO + 300)) || fail "the accented letter did not reach the sheet (dark pixels: $COUNT, before it: $CIAO)"
echo "after \"è\": $COUNT dark pixels"

kill -0 "$APP_PID" 2>/dev/null || fail "the program ended while typing"
if grep -qi "error\|cannot" "$WORK/quillo.err"; then
    echo "--- program stderr"; cat "$WORK/quillo.err"
fi
echo "PASS"

#!/usr/bin/env bash
# Keeping the child in on Wayland, with the real program under a headless sway
# and real keys from wtype: Quillo runs natively and covers the output, letters
# reach the sheet (an accented one, and one composed from a dead key, which
# waits its turn behind keys typed while a sound plays), a sway binding does
# not fire while Quillo is in front, also after the keyboard has come and gone
# and while the help box is open, which Esc closes, Alt+Q quits, and the binding fires again once Quillo has ended.
#   wayland_keyboard.sh QUILLO_BINARY SOURCE_DIR WORK_DIR INHIBITOR(ON|OFF)
set -euo pipefail
binary=$1 source=$2 work=$3 inhibitor=${4:-ON}
source "$source/tests/e2e/prologue.sh"
need_tools sway wtype grim convert compare setpriv python3
[ "$inhibitor" = ON ] || skip_test "built without the Wayland shortcuts inhibitor (qt6-wayland-dev, qt6-base-private-dev, wayland-protocols)"
rm -rf "$work"; mkdir -p "$work"

source "$source/tests/e2e/wayland-session.sh"
wayland_scratch "$binary"
# Started in the background as a plain command (not a function, which would
# run in a shell of its own), so that $! is the program itself.
as_user() { "${run_as[@]}" "$@"; }

# "a" speaks for a second: keys typed meanwhile wait their turn.
python3 - "$scratch/program/alfabeto/a.wav" <<'PY2'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(22050)
    w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(i * 0.05))) for i in range(22050)))
PY2
fired=$out/fired
cat >"$scratch/sway.conf" <<EOF
xwayland disable
bindsym Mod4+Return exec touch $fired
EOF

start_compositor "$scratch/sway.log" sway -c "$scratch/sway.conf"

# Each wtype brings a keyboard of its own; keys sent before the program has
# taken it would be lost, so every run waits a moment first.
keys() { as_user wtype -s 400 "$@"; }
# Sent at once: the binding must stay off from the keyboard's very first key.
super_return() { as_user wtype -M logo -k Return -m logo; }
fired() { [ -e "$fired" ]; }
ended() { ! kill -0 "$quillo" 2>/dev/null; }

super_return
eventually fired || fail "the sway binding does not fire with nothing in front"
rm -f "$fired"

SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=wayland "${run_as[@]}" "$scratch/program/quillo" >"$scratch/quillo.log" 2>&1 &
quillo=$!; pids+=($quillo)
covered() {
    shot start || return 1
    read -r width height < <(convert "$out/start.png" -format '%w %h\n' info:)
    # The sheet's white fills the output below the top row, and the form's own
    # colour reaches every corner: no title bar, no border, nothing of sway.
    local sheet=255,255,255 form corner xy
    form=$(pixel start $((width / 2)) 60)
    [ "$form" != "$sheet" ] || return 1
    for xy in "$((width / 2)) $((height / 2))" "20 $((height - 20))" "$((width - 20)) $((height - 20))" "$((width - 20)) 120"; do
        [ "$(pixel start $xy)" = "$sheet" ] || return 1
    done
    for corner in "0 0" "$((width - 1)) 0" "0 $((height - 1))" "$((width - 1)) $((height - 1))"; do
        [ "$(pixel start $corner)" = "$form" ] || return 1
    done
}
if ! eventually covered; then
    ended && grep -q 'platform plugin "wayland"' "$scratch/quillo.log" && skip_test "the Qt Wayland platform plugin (qt6-wayland) is not installed"
    ended && fail "Quillo ended at start"
    fail "Quillo does not cover the output (see start.png)"
fi
echo "Quillo covers the ${width}x$height output"

# Text and caret on the sheet, below the top row.
dark_pixels() {
    convert "$out/$1.png" -crop "$((width - 40))x$((height - 140))+20+110" +repage \
        -colorspace gray -threshold 50% -negate -format '%[fx:round(mean*w*h)]' info:
}
# True once the sheet has more than $1 dark pixels and no key is still on its
# way (two shots agree but for the blinking caret); leaves the count in count.
text_beyond() {
    local first
    shot typed && first=$(dark_pixels typed) && [ "$first" -gt "$1" ] || { count=${first:-0}; return 1; }
    sleep 0.4
    shot typed && count=$(dark_pixels typed) && [ $((count - first)) -lt 150 ] && [ $((first - count)) -lt 150 ]
}
type_and_see() { # WHAT MORE KEYS...: the sheet gains more than MORE dark pixels
    local what=$1 more=$2 before=$count; shift 2
    keys "$@"
    eventually text_beyond $((before + more)) || fail "$what did not reach the sheet ($count dark pixels, $before before)"
    echo "$what reached the sheet: $before -> $count dark pixels"
}
# Letters typed while "a" speaks wait their turn, a dead-key one too (the
# input method composes it as the keys come in): typed at once, the sheet
# ends as when each letter is typed, and seen, alone.
sheet_area() { convert "$out/typed.png" -crop "$((width - 40))x$((height - 140))+20+110" +repage "$out/$1.png"; }
count=$(dark_pixels start) start=$(dark_pixels start)
type_and_see "\"ab\", dead grave + e, \"èc\" at once" 1500 ab -k dead_grave -k e èc
sheet_area at-once
back_to_start() { shot typed && count=$(dark_pixels typed) && [ $((count - start)) -lt 150 ] && [ $((start - count)) -lt 150 ]; }
keys -k BackSpace -k BackSpace -k BackSpace -k BackSpace -k BackSpace
eventually back_to_start || fail "Backspace did not take the five letters off ($count dark pixels, $start before)"
type_and_see a 250 a
type_and_see b 250 b
type_and_see "dead grave + e" 250 -k dead_grave -k e
type_and_see "\"è\"" 250 è
type_and_see c 250 c
sheet_area one-by-one
# (The caret may blink in one and not the other.)
differ=$(compare -metric AE -fuzz 20% "$out/at-once.png" "$out/one-by-one.png" null: 2>&1 || true)
[ "${differ%%.*}" -lt 300 ] 2>/dev/null ||
    fail "typed at once while a sound played, the letters came out in another order ($differ pixels differ: at-once.png, one-by-one.png)"
echo "typed at once or one by one, the sheet is the same ($differ pixels differ)"

# The keyboard has come and gone many times; the binding still stays off.
super_return; sleep 0.5
fired && fail "the sway binding fired while Quillo was in front"
ended && fail "Quillo ended on Super+Return"

# F1's help box opens inside the window, takes the keys (Esc closes it) and
# keeps the binding off meanwhile; then the sheet takes letters again.
shot before-help
help_open() { # SHOT
    shot "$1" && [ "$(compare -metric AE "$out/before-help.png" "$out/$1.png" null: 2>&1 | cut -d' ' -f1)" -gt 1000 ]
}
help_closed() { ! help_open help-closed; }
keys -k F1
eventually help_open help || fail "F1 did not show the help box"
super_return; sleep 0.5
fired && fail "the sway binding fired while the help box was open"
keys -k Escape
eventually help_closed || fail "Esc did not close the help box (see help-closed.png)"
type_and_see "a letter after the help box" 250 o
echo "the help box opened with F1 and closed with Esc"

keys -M alt q -m alt
eventually ended || fail "Alt+Q did not end Quillo"
wait "$quillo" && status=0 || status=$?
[ "$status" -eq 0 ] || fail "Alt+Q: exit status $status"
super_return
eventually fired || fail "the sway binding does not fire after Quillo has ended"
echo "PASS: native Wayland, full output, typing, compositor shortcuts held off, Alt+Q"

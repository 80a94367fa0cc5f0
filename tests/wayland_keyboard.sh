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
source "$source/tests/e2e/test-env.sh"
need_tools sway wtype grim convert compare setpriv python3
[ "$inhibitor" = ON ] || skip_test "built without the Wayland shortcuts inhibitor (qt6-wayland-dev, qt6-base-private-dev, wayland-protocols)"
rm -rf "$work"; mkdir -p "$work"

# sway refuses to run as root: then sway, Quillo and the tools run as a system
# user of their own, in a scratch folder that user can reach (the build folder
# may sit where it cannot).
scratch=$(mktemp -d /tmp/quillo-wayland.XXXXXX)
chmod 0755 "$scratch"
out=$scratch/out  # the user writes here
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    cp "$scratch"/*.log "$out"/*.png "$work"/ 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    for f in "$scratch"/quillo.log "$scratch"/sway.log; do [ -s "$f" ] && { echo "--- ${f##*/}"; tail -n 30 "$f"; }; done
    exit 1
}

if [ "$(id -u)" -eq 0 ]; then
    user=quillo-test
    id -u "$user" >/dev/null 2>&1 ||
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" ||
        fail "cannot create the user $user"
    run_as=(setpriv --reuid="$user" --regid="$user" --clear-groups)
else
    user=$(id -un)
    run_as=()
fi
# Started in the background as a plain command (not a function, which would
# run in a shell of its own), so that $! is the program itself.
as_user() { "${run_as[@]}" "$@"; }

mkdir -p "$scratch/program/alfabeto" "$scratch/program/parole" "$scratch/program/immagini" \
    "$scratch/home" "$scratch/config" "$scratch/out"
mkdir -m 0700 "$scratch/runtime"
cp "$binary" "$scratch/program/quillo"
# "a" speaks for a second: keys typed meanwhile wait their turn.
python3 - "$scratch/program/alfabeto/a.wav" <<'PY'
import math, struct, sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(22050)
    w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(i * 0.05))) for i in range(22050)))
PY
chown "$user" "$scratch/home" "$scratch/config" "$scratch/out" "$scratch/runtime"
# A sanitizer build's suppression file must be readable by that user too.
if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]+) ]] && [ -r "${BASH_REMATCH[1]}" ]; then
    cp "${BASH_REMATCH[1]}" "$scratch/lsan.supp"
    LSAN_OPTIONS=${LSAN_OPTIONS/"${BASH_REMATCH[1]}"/"$scratch/lsan.supp"}
fi
fired=$out/fired
# Under AddressSanitizer the leak report names Qt's Wayland plugin only with
# full stacks (the system's libraries have no frame pointers).
[ -z "${ASAN_OPTIONS:-}" ] || export ASAN_OPTIONS=$ASAN_OPTIONS:fast_unwind_on_malloc=0
cat >"$scratch/sway.conf" <<EOF
xwayland disable
bindsym Mod4+Return exec touch $fired
EOF

unset DISPLAY WAYLAND_DISPLAY QUILLO_EXIT_WHEN_SHOWN
export HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/runtime XDG_CONFIG_HOME=$scratch/config
export WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
"${run_as[@]}" sway -c "$scratch/sway.conf" >"$scratch/sway.log" 2>&1 & pids+=($!)
socket=""
for _ in $(seq 100); do
    socket=$(cd "$XDG_RUNTIME_DIR" && ls wayland-? 2>/dev/null | head -n 1 || true)
    [ -n "$socket" ] && break
    kill -0 "${pids[0]}" 2>/dev/null || fail "sway did not start"
    sleep 0.05
done
[ -n "$socket" ] || fail "sway made no Wayland socket"
export WAYLAND_DISPLAY=$socket

# Polls until a condition holds, up to about 10 s (the machine may be busy).
eventually() { for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done; "$@"; }
shot() { as_user grim "$out/$1.png" 2>>"$scratch/grim.log"; }
pixel() { # SHOT X Y: prints R,G,B
    local p="p{$2,$3}"
    convert "$out/$1.png" -format "%[fx:round(255*$p.r)],%[fx:round(255*$p.g)],%[fx:round(255*$p.b)]" info:
}
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

#!/usr/bin/env bash
# Two screens under a headless sway (WLR_HEADLESS_OUTPUTS=2), with real keys
# from wtype: Quillo's sheet fills the first output and a cover in the
# sheet's colour the second, following it when F2 changes it; with the focus
# moved to the second output (what a click there does) a sway binding still
# does not fire and typed letters still reach the sheet. When sway lifts the
# hold on its shortcuts, Quillo says so on stderr and shows its mark in the
# window's corner; it asks again when its window gets the focus, and the
# mark goes.
#   wayland_screens.sh QUILLO_BINARY SOURCE_DIR WORK_DIR INHIBITOR(ON|OFF)
set -euo pipefail
binary=$1 source=$2 work=$3 inhibitor=${4:-ON}
source "$source/tests/e2e/prologue.sh"
need_tools sway swaymsg wtype grim convert setpriv
[ "$inhibitor" = ON ] || skip_test "built without the Wayland shortcuts inhibitor (qt6-wayland-dev, qt6-base-private-dev, wayland-protocols)"
rm -rf "$work"; mkdir -p "$work"

source "$source/tests/e2e/wayland-session.sh"
wayland_scratch "$binary"
fired=$out/fired
cat >"$scratch/sway.conf" <<EOF
xwayland disable
bindsym Mod4+Return exec touch $fired
EOF
WLR_HEADLESS_OUTPUTS=2 start_compositor "$scratch/sway.log" sway -c "$scratch/sway.conf"

keys() { "${run_as[@]}" wtype -s 400 "$@"; }
super_return() { "${run_as[@]}" wtype -M logo -k Return -m logo; }
swaycmd() {
    SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock | head -n 1) "${run_as[@]}" swaymsg "$@" >>"$scratch/swaymsg.log" 2>&1
}
fired() { [ -e "$fired" ]; }

SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=wayland "${run_as[@]}" "$scratch/program/quillo" >"$scratch/quillo.log" 2>&1 &
quillo=$!; pids+=($quillo)
# The sheet's white in the middle of the first output, the form's colour in
# its top corner, and the cover's colour all over the second.
covered() { # SHOT COVER-COLOUR
    shot "$1" || return 1
    read -r width height < <(convert "$out/$1.png" -format '%w %h\n' info:)
    [ "$width" -eq 2560 ] || return 1
    [ "$(pixel "$1" 640 400)" = "$2" ] && [ "$(pixel "$1" 0 0)" != "$2" ] || return 1
    local xy
    for xy in "1280 0" "1920 360" "2559 719" "1300 700"; do
        [ "$(pixel "$1" $xy)" = "$2" ] || return 1
    done
}
eventually covered start 255,255,255 || fail "the two outputs are not covered (see start.png)"
echo "the sheet fills the first output and a cover the second"

dark_pixels() { # SHOT: on the sheet of the first output
    convert "$out/$1.png" -crop "1200x560+40+130" +repage -colorspace gray -threshold 50% -negate \
        -format '%[fx:round(mean*w*h)]' info:
}
before=$(dark_pixels start)
swaycmd focus output HEADLESS-2
sleep 0.3
super_return; sleep 0.5
fired && fail "the sway binding fired with the focus on the second output"
keys abc
typed() { shot typed && [ "$(dark_pixels typed)" -gt $((before + 600)) ]; }
eventually typed || fail "letters typed with the focus on the second output did not reach the sheet"
echo "focus on the second output: the binding stays off, letters reach the sheet"

keys -k F2
recoloured() {
    shot recoloured || return 1
    local colour; colour=$(pixel recoloured 1200 690)
    [ "$colour" != 255,255,255 ] && covered recoloured "$colour"
}
eventually recoloured || fail "the cover did not take the sheet's new colour (see recoloured.png)"
echo "the cover follows F2: $(pixel recoloured 1920 360)"
# sway lifts the hold on its shortcuts for Quillo's windows: the binding is
# live, stderr says so, and the mark shows in the first output's top right
# corner. Allowed again, the next focus on the window asks anew: the mark
# goes and the binding is off once more.
swaycmd focus output HEADLESS-1
sleep 0.3
marked() { # SHOT: grey pixels of the mark in the corner
    shot "$1" || return 1
    convert "$out/$1.png" -crop 60x40+1220+0 +repage -fill black +opaque 'rgb(128,128,128)' \
        -fill white -opaque 'rgb(128,128,128)' -format '%[fx:round(mean*w*h)]' info:
}
[ "$(marked unlifted)" -lt 10 ] || fail "the mark shows while the hold is in force (see unlifted.png)"
swaycmd "[pid=$quillo] shortcuts_inhibitor disable"
said() { grep -q "has lifted the hold on its shortcuts" "$scratch/quillo.log"; }
eventually said || fail "Quillo did not say that the hold was lifted"
shows() { [ "$(marked lifted)" -gt 40 ]; }
eventually shows || fail "no mark in the corner once the hold was lifted (see lifted.png)"
super_return
eventually fired || fail "the sway binding does not fire once the hold is lifted"
rm -f "$fired"
echo "hold lifted: $(grep -m1 'has lifted' "$scratch/quillo.log"), the mark shows"
swaycmd "[pid=$quillo] shortcuts_inhibitor enable"
swaycmd focus output HEADLESS-2
sleep 0.3
swaycmd focus output HEADLESS-1
gone() { [ "$(marked again)" -lt 10 ]; }
eventually gone || fail "the mark stayed once the window asked again (see again.png)"
super_return; sleep 0.5
fired && fail "the sway binding fired after Quillo asked again"
echo "asked again on the focus: the mark goes, the binding is off"
echo "PASS: two outputs covered, keys held on either, the lifted hold marked"

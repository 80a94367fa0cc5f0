#!/usr/bin/env bash
# The child's X session, under Xvfb with no window manager, as a display
# manager starts it: the session script asks setxkbmap to turn the X
# server's own key actions off (every terminate: option out, the system's
# layout and other options kept, srvrkeys:none in) and becomes Quillo, which
# covers the screen with
# --hold-to-quit in force: quick presses of Alt+Q and Alt+F4, and Alt+Q held
# while another key goes down, leave it running; Alt+Q held 2.5 s ends it,
# and so the session.
#   x11_session.sh QUILLO_BINARY SOURCE_DIR WORK_DIR
set -euo pipefail
binary=$1 source=$2 work=$3
source "$source/tests/e2e/prologue.sh"
need_tools Xvfb xdotool setxkbmap xwininfo
rm -rf "$work"; mkdir -p "$work/config" "$work/program/alfabeto" "$work/program/parole" "$work/program/immagini"
fail_logs=("$work/session.err")

# The script and the program side by side, as installed.
cp "$binary" "$work/program/quillo"
cp "$source/packaging/sessions/quillo-x11-session" "$work/program/"
# Xvfb takes setxkbmap's requests and yet keeps its keymap and rules names
# as they were (setxkbmap -query never changes), so the X server's rules
# names live in a file here: a system whose keyboard has an Italian layout,
# a group switch and Ctrl+Alt+Backspace (terminate:ctrl_alt_bksp, as
# XKBOPTIONS in /etc/default/keyboard sets it). This setxkbmap answers
# -query from that file and applies every other call to it as setxkbmap
# does (-option "" clears, -option X adds, -layout and the like replace),
# after the real setxkbmap has taken the same call.
real_setxkbmap=$(command -v setxkbmap)
mkdir -p "$work/bin"
printf '%s\n' 'model:      pc105' 'layout:     it,us' 'variant:    ,' \
    'options:    grp:alt_shift_toggle,terminate:ctrl_alt_bksp' >"$work/xkb.names"
cat >"$work/bin/setxkbmap" <<WRAP
#!/usr/bin/env bash
names="$work/xkb.names"
if [ "\$*" = -query ]; then echo "rules:      evdev"; cat "\$names"; exit 0; fi
printf '%s\\n' "\$*" >>"$work/setxkbmap.calls"
"$real_setxkbmap" "\$@" || exit
get() { sed -n "s/^\$1: *//p" "\$names"; }
model=\$(get model) layout=\$(get layout) variant=\$(get variant) options=\$(get options)
while [ \$# -gt 0 ]; do
    case \$1 in
        -option) if [ -z "\$2" ]; then options=""; else options=\${options:+\$options,}\$2; fi ;;
        -model) model=\$2 ;; -layout) layout=\$2 ;; -variant) variant=\$2 ;;
        *) echo "setxkbmap double: \$1 is not understood" >&2; exit 1 ;;
    esac
    shift 2
done
printf 'model:      %s\\nlayout:     %s\\nvariant:    %s\\noptions:    %s\\n' "\$model" "\$layout" "\$variant" "\$options" >"\$names"
WRAP
chmod +x "$work/bin/setxkbmap"
export PATH=$work/bin:$PATH

source "$source/tests/e2e/x11-session.sh"
start_x_session "$work" bare || exit 1
export XDG_CONFIG_HOME=$work/config SDL_AUDIODRIVER=dummy
unset QUILLO_EXIT_WHEN_SHOWN QT_QPA_PLATFORM

"$work/program/quillo-x11-session" >"$work/session.out" 2>"$work/session.err" &
session=$!; pids+=($session)
window=$(wait_for_window "$session") || fail "the session shows no Quillo window"
# The script has become Quillo: the same process, with the option.
[ "$(readlink /proc/$session/exe)" = "$(readlink -f "$work/program/quillo")" ] || fail "the session script did not become Quillo"
tr '\0' '\n' </proc/$session/cmdline | grep -qxF -- --hold-to-quit || fail "Quillo runs without --hold-to-quit"
[ -s "$work/setxkbmap.calls" ] || fail "the session script did not run setxkbmap"
query=$(setxkbmap -query)
options=$(sed -n 's/^options: *//p' <<<"$query")
[ "$options" = grp:alt_shift_toggle,srvrkeys:none ] ||
    fail "after the session script the options are '$options', not the group switch and srvrkeys:none (calls: $(cat "$work/setxkbmap.calls"))"
grep -qx 'layout: *it,us' <<<"$query" && grep -qx 'variant: *,' <<<"$query" && grep -qx 'model: *pc105' <<<"$query" ||
    fail "the session script lost the layout: $query"
echo "terminate:ctrl_alt_bksp is gone, srvrkeys:none is in, the layout it,us and the group switch stay ($(tr '\n' ' ' <"$work/setxkbmap.calls"))"
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && fail "a window manager runs in the session"
geometry=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
[ "$geometry" = 1024x768 ] || fail "Quillo's window is $geometry, not the whole 1024x768 screen"
echo "the session script became Quillo, full screen, with no window manager"

# Quitting is held: quick presses of Alt+Q and Alt+F4 do nothing, and
# neither does Alt+Q held while another key goes down; held 2.5 s, it ends
# Quillo and with it the session.
alive() { kill -0 "$session" 2>/dev/null; }
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key alt+q; sleep 0.3; xdotool key alt+F4
sleep 2.5
alive || fail "a quick Alt+Q or Alt+F4 ended Quillo"
xdotool keydown alt+q; sleep 0.6; xdotool key b; sleep 2.2; xdotool keyup q alt
sleep 0.3
alive || fail "Alt+Q held with another key pressed meanwhile ended Quillo"
echo "quick Alt+Q and Alt+F4, and Alt+Q held across another key, leave Quillo running"
started=$(date +%s%N)
xdotool keydown alt+q
ended() { ! alive; }
for _ in $(seq 25); do sleep 0.1; done  # 2.5 s
eventually ended || { xdotool keyup q alt; fail "Alt+Q held 2.5 s did not end Quillo"; }
took=$((($(date +%s%N) - started) / 1000000))
xdotool keyup q alt 2>/dev/null || true
[ "$took" -ge 2000 ] || fail "Alt+Q ended Quillo after $took ms, before 2 s"
wait "$session" && status=0 || status=$?
[ "$status" -eq 0 ] || fail "held Alt+Q: exit status $status"
echo "PASS: the X session: no terminate: option, srvrkeys:none, no window manager, quitting held (Alt+Q held: ended within $took ms)"

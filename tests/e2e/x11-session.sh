# Sourced by the x11_* tests, after prologue.sh: a private X server with a
# window manager.
#   start_x_session WORK_DIR [bare]
#                               (bare: no window manager) sets DISPLAY, a
#                               private XDG_RUNTIME_DIR in $scratch (so
#                               concurrent tests never meet as a second
#                               start) and a session bus of its own; its
#                               processes join pids; its logs go to WORK_DIR
#   wait_for_window PID         prints the visible window of PID, or fails

start_x_session() {
    local work=$1 runtime=$scratch/runtime
    need_tools dbus-daemon xprop
    mkdir -p -m 0700 "$runtime"
    export XDG_RUNTIME_DIR=$runtime
    # -noreset: by default the server starts over each time its last client
    # leaves, and a client that connects meanwhile is turned away; xprop's
    # probe below is such a last client, and openbox came in during the reset.
    Xvfb -displayfd 9 -noreset -screen 0 1024x768x24 -nolisten tcp 9>"$work/display" 2>"$work/xvfb.err" &
    pids+=($!)
    # The number is whole only once its line ends: ":1" read while Xvfb is
    # still writing ":12" would be another test's server, or none.
    for _ in $(seq 100); do
        [ "$(wc -l <"$work/display")" -ge 1 ] && break
        sleep 0.05
    done
    [ "$(wc -l <"$work/display")" -ge 1 ] || { x_session_failed "Xvfb did not start: $(cat "$work/xvfb.err")"; return 1; }
    export DISPLAY=":$(head -n1 "$work/display")"
    # The server may not answer at once: clients wait until it does.
    for _ in $(seq 100); do
        xprop -root _XKB_RULES_NAMES >/dev/null 2>&1 && break
        sleep 0.05
    done
    xprop -root _XKB_RULES_NAMES >/dev/null 2>&1 ||
        { x_session_failed "the X server on $DISPLAY does not answer: $(cat "$work/xvfb.err")"; return 1; }
    # A desktop session comes with its session bus. Without one, libdbus
    # starts a bus through the X server (dbus-launch) and forks to do so from
    # inside a program that already runs threads, which the sanitizers'
    # allocator does not survive.
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$runtime/bus
    dbus-daemon --session --nofork --nopidfile --address="$DBUS_SESSION_BUS_ADDRESS" 2>"$work/bus.err" &
    pids+=($!)
    for _ in $(seq 100); do
        [ -S "$runtime/bus" ] && break
        sleep 0.05
    done
    [ -S "$runtime/bus" ] || { x_session_failed "the session bus did not start: $(cat "$work/bus.err")"; return 1; }
    [ "${2:-}" = bare ] && return 0
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    pids+=($!)
    # A window mapped before the window manager has taken the screen can stay
    # unmanaged and invisible: wait until openbox announces itself.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
        sleep 0.05
    done
    x_session_failed "the window manager did not start: $(cat "$work/openbox.log") (X server: $(cat "$work/xvfb.err"))"
    return 1
}

# What start_x_session says when it gives up (the test's exit ends what it
# started).
x_session_failed() {
    echo "FAIL: $*"
}

wait_for_window() {
    local pid=$1 window=""
    for _ in $(seq 150); do
        window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | tail -n 1 || true)
        [ -n "$window" ] && { echo "$window"; return 0; }
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

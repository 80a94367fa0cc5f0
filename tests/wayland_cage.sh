#!/usr/bin/env bash
# The child's Wayland session, under a headless cage with two outputs: the
# session entry's own command starts Quillo, which covers both outputs, and
# SIGTERM to Quillo ends cage with it (the display manager's login screen
# would come back).
#   wayland_cage.sh QUILLO_BINARY SOURCE_DIR WORK_DIR
set -euo pipefail
binary=$1 source=$2 work=$3
source "$source/tests/e2e/prologue.sh"
need_tools cage Xwayland grim convert setpriv
rm -rf "$work"; mkdir -p "$work"

source "$source/tests/e2e/wayland-session.sh"
wayland_scratch "$binary"

# The entry's command, with the installed game's path put in for this build's.
entry=$source/packaging/sessions/quillo-wayland.desktop
command=$(sed -n 's/^Exec=//p' "$entry")
read -ra argv <<<"${command//@QUILLO_GAME@/$scratch/program/quillo}"
[ "${argv[0]}" = cage ] || fail "the session does not run cage: $command"
# A display manager starts a Wayland session with its type set.
WLR_HEADLESS_OUTPUTS=2 XDG_SESSION_TYPE=wayland SDL_AUDIODRIVER=dummy \
    start_compositor "$scratch/cage.log" "${argv[@]}"

quillo=""
found() { quillo=$(pgrep -P "$compositor" -x quillo) && [ -n "$quillo" ]; }
eventually found || fail "cage did not start Quillo"
grep -qxF -- --hold-to-quit < <(tr '\0' '\n' </proc/"$quillo"/cmdline) || fail "Quillo runs without --hold-to-quit"

covered() {
    shot start || return 1
    read -r width height < <(convert "$out/start.png" -format '%w %h\n' info:)
    [ "$width" -eq 2560 ] || return 1
    # Nothing of cage's black anywhere on either output.
    local xy
    for xy in "640 360" "1920 360" "1280 0" "1279 719" "2559 719" "2000 60"; do
        [ "$(pixel start $xy)" != 0,0,0 ] || return 1
    done
}
# A sanitizer build on a busy machine may take a while to show its window.
for _ in $(seq 100); do covered && break; sleep 0.1; done
eventually covered || fail "Quillo does not cover both outputs (see start.png)"
grep -q 'platforms/libqwayland' /proc/"$quillo"/maps || fail "Quillo runs in cage through Xwayland, not on Wayland"
echo "Quillo covers both outputs of cage (${width}x$height)"

kill -TERM "$quillo"
ended() { ! kill -0 "$compositor" 2>/dev/null; }
eventually ended || fail "cage is still running after Quillo has ended"
wait "$compositor" || true
echo "PASS: the session's command covers both outputs, and cage ends with Quillo"

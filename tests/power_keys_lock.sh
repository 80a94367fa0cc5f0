#!/usr/bin/env bash
# logind's lock on the power key, the reboot key, the suspend keys and the lid, through
# python3-dbusmock's logind on a private system bus: Quillo takes a "block"
# lock for the five and holds it until it ends. With logind gone from the
# bus, or no system bus at all, it starts, runs, and says so once.
#   power_keys_lock.sh QUILLO_BINARY SOURCE_DIR WORK_DIR
set -euo pipefail
binary=$1 source=$2 work=$3
source "$source/tests/e2e/prologue.sh"
need_tools dbus-daemon dbus-send
# Debian's python3, where python3-dbusmock lives, also when another comes first on PATH.
python=""
for candidate in python3 /usr/bin/python3; do
    "$candidate" -c 'import dbusmock' 2>/dev/null && { python=$candidate; break; }
done
[ -n "$python" ] || skip_test "python3-dbusmock is not installed"
rm -rf "$work"; mkdir -p "$work/config"
mkdir -m 0700 "$scratch/runtime"
fail_logs=("$work/*.err")

cat >"$work/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$scratch/system_bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_type="method_return"/>
    <allow send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="signal"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
  </policy>
</busconfig>
EOF
dbus-daemon --nofork --config-file="$work/bus.conf" 2>"$work/bus.err" & pids+=($!)
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$scratch/system_bus
eventually test -S "$scratch/system_bus" || fail "the private system bus did not start"
"$python" -m dbusmock --system -t logind >"$work/logind.out" 2>"$work/logind.err" & logind=$!; pids+=($logind)
inhibitors() {
    dbus-send --system --print-reply --dest=org.freedesktop.login1 /org/freedesktop/login1 \
        org.freedesktop.login1.Manager.ListInhibitors 2>/dev/null
}
eventually inhibitors >/dev/null || fail "the mock logind did not come up"

export XDG_RUNTIME_DIR=$scratch/runtime XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
unset QUILLO_EXIT_WHEN_SHOWN
what="handle-power-key:handle-reboot-key:handle-suspend-key:handle-hibernate-key:handle-lid-switch"
locked() { inhibitors | tr -s ' \n' ' ' | grep -qF "string \"$what\" string \"Quillo\" string \"A child is typing\" string \"block\""; }
unlocked() { ! inhibitors | grep -q 'string "Quillo"'; }

"$binary" 2>"$work/quillo.err" & quillo=$!; pids+=($quillo)
eventually locked || fail "Quillo took no block lock for $what: $(inhibitors | tr -s ' \n' ' ')"
sleep 1
locked || fail "Quillo's lock went before Quillo did"
kill -0 "$quillo" 2>/dev/null || fail "Quillo ended"
kill -TERM "$quillo"; wait "$quillo" || true
eventually unlocked || fail "the lock outlived Quillo"
echo "Quillo held a block lock on the five keys for its whole run"

said_once() { # ERR PATTERN: the one line, once
    local count; count=$(grep -c "$2" "$1" || true)
    [ "$count" -eq 1 ] || fail "$(basename "$1"): '$2' said $count times"
}
kill "$logind"; wait "$logind" 2>/dev/null || true
for case in no-logind no-bus; do
    [ "$case" = no-bus ] && export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$scratch/nothing-here
    "$binary" 2>"$work/$case.err" & quillo=$!; pids+=($quillo)
    eventually grep -q "are not held off\|does not hold off" "$work/$case.err" || fail "$case: Quillo said nothing"
    sleep 0.5
    kill -0 "$quillo" 2>/dev/null || fail "$case: Quillo did not run on"
    kill -TERM "$quillo"; wait "$quillo" || true
    said_once "$work/$case.err" "the power key"
    echo "$case: $(grep "the power key" "$work/$case.err")"
done

# The same against the machine's own logind, where it runs (a mock may
# accept a "what" that the real one refuses).
unset DBUS_SYSTEM_BUS_ADDRESS
if [ -d /run/systemd/system ] && inhibitors >/dev/null; then
    "$binary" 2>"$work/real.err" & quillo=$!; pids+=($quillo)
    eventually locked || fail "the machine's logind holds no lock for $what: $(cat "$work/real.err")"
    kill -TERM "$quillo"; wait "$quillo" || true
    echo "the machine's logind took the lock on the five keys"
else
    echo "note: this machine runs no logind: the lock was checked against the mock alone"
fi
echo "PASS: the power keys' lock"

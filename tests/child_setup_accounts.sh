#!/usr/bin/env bash
# A running accounts-daemon, as python3-dbusmock's double of
# org.freedesktop.Accounts on a private system bus, is told the child's
# session through D-Bus by the test build of quillo-child-setup, and the
# undo gives it the old session back before the users file's old bytes go
# over what it wrote.
#   child_setup_accounts.sh HELPER SOURCE_DIR WORK_DIR
set -euo pipefail
helper=$1 source=$2 work=$(realpath -m "$3")
source "$source/tests/e2e/test-env.sh"
need_tools dbus-daemon sha256sum
rm -rf "$work"; mkdir -p "$work"
fail() { echo "FAIL: $*"; exit 1; }
source "$source/tests/e2e/child-trees.sh"
python=""
for candidate in python3 /usr/bin/python3; do
    "$candidate" -c 'import dbus, dbusmock' 2>/dev/null && { python=$candidate; break; }
done
[ -n "$python" ] || skip_test "python3-dbusmock is not installed"

cat >"$work/bus.conf" <<BUS
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>system</type><listen>unix:path=$work/system_bus</listen><auth>EXTERNAL</auth>
  <policy context="default"><allow user="*"/><allow own="*"/><allow send_type="method_call"/>
    <allow send_type="signal"/><allow send_type="method_return"/><allow send_type="error"/>
    <allow receive_type="method_call"/><allow receive_type="signal"/><allow receive_type="method_return"/>
    <allow receive_type="error"/></policy></busconfig>
BUS
dbus-daemon --nofork --config-file="$work/bus.conf" 2>"$work/bus.err" & bus=$!
trap 'kill ${daemon:-} ${bus:-} 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -S "$work/system_bus" ] && break; sleep 0.1; done
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/system_bus
"$python" -m dbusmock --system -l "$work/accounts.log" org.freedesktop.Accounts /org/freedesktop/Accounts \
    org.freedesktop.Accounts 2>"$work/accounts.err" & daemon=$!
"$python" - <<'PY' || fail "the AccountsService double did not come up: $(cat "$work/accounts.err")"
import time, dbus
for _ in range(100):
    try:
        accounts = dbus.SystemBus().get_object('org.freedesktop.Accounts', '/org/freedesktop/Accounts')
        mock = dbus.Interface(accounts, 'org.freedesktop.DBus.Mock')
        break
    except dbus.exceptions.DBusException:
        time.sleep(0.1)
user = '/org/freedesktop/Accounts/User1002'
mock.AddMethod('', 'FindUserByName', 's', 'o', 'ret = dbus.ObjectPath("%s")' % user)
mock.AddObject(user, 'org.freedesktop.Accounts.User', {}, [
    ('SetSession', 's', '', ''), ('SetXSession', 's', '', ''), ('SetSessionType', 's', '', '')])
PY
tree "$work/accounts" none
mkdir -p "$work/accounts/var/lib/AccountsService/users"
printf '[User]\nSession=plasma\nSessionType=wayland\n' >"$work/accounts/var/lib/AccountsService/users/bimbo"
before=$(snapshot "$work/accounts")
run "$work/accounts" bimbo --x11
[ "$status" -eq 0 ] || fail "with accounts-daemon: exit $status: $err"
seen=0
calls() { tail -n "+$((seen + 1))" "$work/accounts.log" | grep -aoE 'Set(X?Session|SessionType) "[^"]*"' | tr '\n' ' '; }
[ "$(calls)" = 'SetSession "quillo-x11" SetXSession "quillo-x11" SetSessionType "x11" ' ] ||
    fail "accounts-daemon was told: $(calls)"
seen=$(wc -l <"$work/accounts.log")
run "$work/accounts" bimbo --undo
[ "$(calls)" = 'SetSession "plasma" SetXSession "" SetSessionType "wayland" ' ] ||
    fail "the undo told accounts-daemon: $(calls)"
[ "$status" -eq 0 ] && [ "$(snapshot "$work/accounts")" = "$before" ] || fail "the undo with accounts-daemon: exit $status"
echo "PASS: accounts-daemon was told the child's session, and given the old one back by the undo"

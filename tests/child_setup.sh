#!/usr/bin/env bash
# The child's room in one step, worked on root trees of the test's own
# (never this machine's /etc) by the test build of quillo-child-setup:
# - refusals (root, a system account, nobody, an administrator, bad names,
#   an unknown option, a second child, a start through pkexec): exit 2, an
#   Italian sentence, and not one byte of the tree changed;
# - LightDM, GDM and SDDM with their own Debian packages' files (apt-get
#   download, dpkg-deb -x), and no display manager: the files the step
#   writes, the rest of each edited file kept, and the undo giving every
#   file back byte for byte, with its mode and owner;
# - a running accounts-daemon (a double on a private bus) told the session
#   through D-Bus, and the old one by the undo;
# - quillo-parole child, with the installed kind of helper beside it, on
#   this machine: only what reads (the state) and what is refused before
#   anything is read.
#   child_setup.sh HELPER SOURCE_DIR WORK_DIR QUILLO_PAROLE
set -euo pipefail
helper=$1 source=$2 work=$(realpath -m "$3") parole=$4
source "$source/tests/e2e/test-env.sh"
need_tools dpkg-deb sha256sum
rm -rf "$work"; mkdir -p "$work"
debs=$work/../child_setup_debs
mkdir -p "$debs"
fail() { echo "FAIL: $*"; exit 1; }

# The display managers' packages, fetched once and kept beside the work folder.
have_deb() { compgen -G "$debs/${1}_*.deb" >/dev/null; }
for package in lightdm gdm3 sddm; do
    have_deb "$package" || (cd "$debs" && apt-get download "$package" >/dev/null 2>&1) ||
        echo "note: apt-get download $package failed: its case uses no package files"
done

# tree DIR MANAGER: accounts, the kernel's SysRq at Debian's 438, and the
# display manager's package files with its unit as the active one.
tree() {
    local dir=$1 manager=$2
    mkdir -p "$dir/etc/systemd/system" "$dir/proc/sys/kernel"
    printf '%s\n' 'root:x:0:0:root:/root:/bin/bash' 'daemon:x:1:1:daemon:/usr/sbin:/usr/sbin/nologin' \
        'nobody:x:65534:65534:nobody:/nonexistent:/usr/sbin/nologin' 'papa:x:1000:1000:Papà,,,:/home/papa:/bin/bash' \
        'mamma:x:1001:1001::/home/mamma:/bin/bash' 'bimbo:x:1002:1002::/home/bimbo:/bin/bash' >"$dir/etc/passwd"
    printf '%s\n' 'root:x:0:' 'sudo:x:27:papa' 'papa:x:1000:' 'mamma:x:1001:' 'bimbo:x:1002:' >"$dir/etc/group"
    echo 438 >"$dir/proc/sys/kernel/sysrq"
    [ "$manager" = none ] && return 0
    local deb=$manager unit=$manager.service
    [ "$manager" = gdm ] && deb=gdm3
    if have_deb "$deb"; then dpkg-deb -x "$(compgen -G "$debs/${deb}_*.deb" | head -n1)" "$dir/pkg"; fi
    [ -d "$dir/pkg/etc" ] && cp -a "$dir/pkg/etc/." "$dir/etc/"
    rm -rf "$dir/pkg"
    ln -s "/lib/systemd/system/$unit" "$dir/etc/systemd/system/display-manager.service"
}
# Every path with its type, mode, owner and link target, and every file's bytes.
snapshot() {
    (cd "$1" && find . -printf '%p %y %m %U:%G %l\n' | LC_ALL=C sort && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 -r sha256sum)
}
run() { # TREE ARGS...: the helper on TREE; sets status, out, err
    status=0
    QUILLO_CHILD_SETUP_ROOT=$1 "$helper" "${@:2}" >"$work/out" 2>"$work/err" || status=$?
    out=$(cat "$work/out") err=$(cat "$work/err")
}

# Refusals: exit 2, a sentence, nothing written.
tree "$work/refusals" lightdm
before=$(snapshot "$work/refusals")
refused() { # WHY ARGS...
    local why=$1; shift
    run "$work/refusals" "$@"
    [ "$status" -eq 2 ] || fail "$why ($*): exit $status, not 2: $out $err"
    grep -q '^quillo-parole: ' <<<"$err" || fail "$why ($*): no sentence on stderr: $err"
    [ "$(snapshot "$work/refusals")" = "$before" ] || fail "$why ($*): the tree changed"
    echo "refused, $why: ${err#quillo-parole: }"
}
refused "root" root --autologin
refused "a system account" daemon
refused "nobody" nobody
refused "an administrator" papa --autologin
refused "a path" ../x
refused "an option-like name" -rf
refused "40 characters" "$(printf 'a%.0s' {1..40})"
refused "a space" "a b"
refused "an unknown option" bimbo --autologin-user=papa
refused "two names" bimbo mamma
refused "--undo with options" bimbo --undo --x11
status=0; PKEXEC_UID=1000 QUILLO_CHILD_SETUP_ROOT=$work/refusals "$helper" bimbo 2>"$work/err" || status=$?
[ "$status" -eq 2 ] && [ "$(snapshot "$work/refusals")" = "$before" ] || fail "the test build ran under pkexec: exit $status"
echo "refused, the test build under pkexec: $(cat "$work/err")"
# A new account cannot be made in a tree: refused before anything is written.
run "$work/refusals" giulia --autologin
[ "$status" -eq 1 ] && [ "$(snapshot "$work/refusals")" = "$before" ] || fail "a new account in a tree: exit $status, or the tree changed"

# LightDM: the drop-in, the session, SysRq, the status, a second child, the undo.
tree "$work/lightdm" lightdm
before=$(snapshot "$work/lightdm")
run "$work/lightdm" bimbo --autologin
[ "$status" -eq 0 ] || fail "LightDM: exit $status: $err"
dropin=$work/lightdm/etc/lightdm/lightdm.conf.d/90-quillo-child.conf
grep -qx 'autologin-user=bimbo' "$dropin" && grep -qx 'autologin-session=quillo' "$dropin" && grep -qx '\[Seat:\*\]' "$dropin" ||
    fail "LightDM's drop-in: $(cat "$dropin")"
users=$work/lightdm/var/lib/AccountsService/users/bimbo
grep -qx 'Session=quillo' "$users" && grep -qx 'SessionType=wayland' "$users" || fail "AccountsService: $(cat "$users")"
[ "$(stat -c %a "$users")" = 600 ] || fail "AccountsService's file has mode $(stat -c %a "$users")"
grep -qx 'kernel.sysrq = 16' "$work/lightdm/etc/sysctl.d/90-quillo-child.conf" || fail "no sysctl file"
[ "$(cat "$work/lightdm/proc/sys/kernel/sysrq")" = 16 ] || fail "SysRq was not applied"
echo "LightDM: $out"
lightdm=$(compgen -G "$debs/lightdm_*.deb" | head -n1 || true)
if [ -n "$lightdm" ]; then
    # LightDM's own word on the merged configuration: it reads the tree's
    # main file (-c) and, through XDG_CONFIG_DIRS, the tree's
    # etc/lightdm/lightdm.conf.d, where /etc/lightdm/lightdm.conf.d would be.
    dpkg-deb -x "$lightdm" "$work/lightdm-program"
    if config=$(XDG_CONFIG_DIRS=$work/lightdm/etc "$work/lightdm-program/usr/sbin/lightdm" --show-config \
                    -c "$work/lightdm/etc/lightdm/lightdm.conf" 2>&1); then
        grep -q 'autologin-user=bimbo' <<<"$config" && grep -q 'autologin-session=quillo$' <<<"$config" ||
            fail "lightdm --show-config: $config"
        echo "lightdm --show-config: $(grep autologin <<<"$config" | tr -s ' \n' ' ')"
    else
        echo "note: LightDM's program does not run here: $config" | head -n2
    fi
fi
run "$work/lightdm"
grep -q 'Account del bambino: bimbo' <<<"$out" && grep -q 'Accesso automatico: sì, con LightDM' <<<"$out" &&
    grep -q 'kernel.sysrq = 16' <<<"$out" || fail "the status: $out"
made=$(snapshot "$work/lightdm")
run "$work/lightdm" mamma --autologin
[ "$status" -eq 2 ] && [ "$(snapshot "$work/lightdm")" = "$made" ] || fail "a second child: exit $status, or the tree changed"
echo "refused, a second child: ${err#quillo-parole: }"
run "$work/lightdm" bimbo --autologin
[ "$status" -eq 0 ] && [ "$(snapshot "$work/lightdm")" = "$made" ] || fail "the same child again: exit $status, or the tree changed"
run "$work/lightdm" mamma --undo
[ "$status" -eq 2 ] && [ "$(snapshot "$work/lightdm")" = "$made" ] || fail "the undo of another name: exit $status"
run "$work/lightdm" bimbo --undo
[ "$status" -eq 0 ] || fail "LightDM's undo: exit $status: $err"
grep -q 'deluser --remove-home bimbo' <<<"$out" || fail "the undo does not say how to remove the account: $out"
[ "$(snapshot "$work/lightdm")" = "$before" ] || fail "LightDM's undo left: $(diff <(echo "$before") <(snapshot "$work/lightdm"))"
echo "LightDM's undo gave every file back: $out"

# LightDM whose main file sets autologin-user, which wins over a drop-in: said.
tree "$work/lightdm-main" lightdm
main=$work/lightdm-main/etc/lightdm/lightdm.conf
[ -f "$main" ] || printf '[Seat:*]\n' >"$main"
sed -i 's/^\[Seat:\*\]$/[Seat:*]\nautologin-user=papa/' "$main"
run "$work/lightdm-main" bimbo --autologin
[ "$status" -eq 0 ] && grep -q 'autologin-user=papa' <<<"$out" || fail "LightDM's own autologin-user went unsaid: $out"
run "$work/lightdm-main"
grep -q '^Ancora aperto: .*lightdm.conf' <<<"$out" || fail "the status does not say lightdm.conf wins: $out"
echo "LightDM's main file wins, and the step says so"

# GDM: daemon.conf edited in place, the rest kept; AccountsService's file kept but for the session.
tree "$work/gdm" gdm
conf=$work/gdm/etc/gdm3/daemon.conf
[ -f "$conf" ] || printf '# GDM configuration storage\n\n[daemon]\n#  AutomaticLoginEnable = true\n#  AutomaticLogin = user1\n\n[security]\n' >"$conf"
mkdir -p "$work/gdm/var/lib/AccountsService/users"
printf '[User]\nLanguage=it_IT.UTF-8\nXSession=\nSystemAccount=false\n' >"$work/gdm/var/lib/AccountsService/users/bimbo"
chmod 600 "$work/gdm/var/lib/AccountsService/users/bimbo"
cp "$conf" "$work/daemon.conf.before"
before=$(snapshot "$work/gdm")
run "$work/gdm" bimbo --autologin --x11
[ "$status" -eq 0 ] || fail "GDM: exit $status: $err"
added=$(diff "$work/daemon.conf.before" "$conf" | grep '^[<>]' || true)
[ "$added" = $'> AutomaticLoginEnable=true\n> AutomaticLogin=bimbo' ] || fail "GDM's daemon.conf changed beyond the two keys: $added"
awk '/^\[/{s=$0} /^AutomaticLogin=bimbo$/{print s}' "$conf" | grep -qx '\[daemon\]' || fail "AutomaticLogin is not in [daemon]"
users=$work/gdm/var/lib/AccountsService/users/bimbo
grep -qx 'Language=it_IT.UTF-8' "$users" && grep -qx 'Session=quillo-x11' "$users" && grep -qx 'SessionType=x11' "$users" &&
    grep -qx 'XSession=quillo-x11' "$users" || fail "GDM's AccountsService file: $(cat "$users")"
echo "GDM: $out"
run "$work/gdm" bimbo --undo
[ "$status" -eq 0 ] && [ "$(snapshot "$work/gdm")" = "$before" ] || fail "GDM's undo: exit $status: $(diff <(echo "$before") <(snapshot "$work/gdm"))"
echo "GDM's undo gave daemon.conf and the AccountsService file back byte for byte"

# A running accounts-daemon (a python3-dbusmock double on a private system
# bus) is told the session through D-Bus, and the undo gives it the old one
# back before the file's old bytes go over what it wrote.
python=""
for candidate in python3 /usr/bin/python3; do
    "$candidate" -c 'import dbus, dbusmock' 2>/dev/null && { python=$candidate; break; }
done
if [ -n "$python" ] && command -v dbus-daemon >/dev/null; then
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
    tree "$work/accounts" lightdm
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
    kill $daemon $bus 2>/dev/null || true
    unset DBUS_SYSTEM_BUS_ADDRESS
    echo "accounts-daemon was told the child's session, and given the old one back by the undo"
else
    echo "note: no python3-dbusmock or dbus-daemon: the AccountsService calls went untested"
fi

# SDDM: a drop-in that brings the login screen back when Quillo ends.
tree "$work/sddm" sddm
before=$(snapshot "$work/sddm")
run "$work/sddm" bimbo --autologin
[ "$status" -eq 0 ] || fail "SDDM: exit $status: $err"
dropin=$work/sddm/etc/sddm.conf.d/90-quillo-child.conf
grep -qx 'User=bimbo' "$dropin" && grep -qx 'Session=quillo.desktop' "$dropin" && grep -qx 'Relogin=false' "$dropin" &&
    grep -qx '\[Autologin\]' "$dropin" || fail "SDDM's drop-in: $(cat "$dropin")"
echo "SDDM: $out"
run "$work/sddm" bimbo --undo
[ "$status" -eq 0 ] && [ "$(snapshot "$work/sddm")" = "$before" ] || fail "SDDM's undo: exit $status"
echo "SDDM's undo took the drop-in and its folder away"

# No display manager, SysRq kept: the session alone, and the parent told.
tree "$work/none" none
before=$(snapshot "$work/none")
run "$work/none" bimbo --autologin --keep-sysrq
[ "$status" -eq 0 ] && grep -q "l'accesso automatico lo imposti tu" <<<"$out" || fail "no display manager: exit $status: $out"
[ ! -e "$work/none/etc/sysctl.d" ] && [ "$(cat "$work/none/proc/sys/kernel/sysrq")" = 438 ] || fail "--keep-sysrq changed SysRq"
run "$work/none"
grep -q '^Ancora aperto: Magic SysRq' <<<"$out" && grep -q "^Accesso automatico: chiesto, .*lo imposti tu" <<<"$out" ||
    fail "the status does not say SysRq and automatic login are open: $out"
run "$work/none" bimbo --undo
[ "$status" -eq 0 ] && [ "$(snapshot "$work/none")" = "$before" ] || fail "the undo without a display manager: exit $status"
echo "no display manager: the session made, automatic login left to the parent, SysRq kept when asked"
# quillo-parole child: the state, read by anyone without a password, and
# (as root, where it goes straight to the helper) a bad name refused.
status=0; out=$("$parole" child 2>&1) || status=$?
[ "$status" -eq 0 ] && grep -q 'account del bambino\|Account del bambino' <<<"$out" || fail "quillo-parole child: exit $status: $out"
echo "quillo-parole child: $(head -n1 <<<"$out")"
if [ "$(id -u)" = 0 ]; then
    status=0; out=$("$parole" child -rf --autologin 2>&1) || status=$?
    [ "$status" -eq 2 ] && grep -q 'non va bene come nome' <<<"$out" || fail "quillo-parole child -rf: exit $status: $out"
fi
echo "PASS: the child's room in one step, on LightDM, GDM, SDDM and none, refusals and undo"

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
# - quillo-parole child, with the installed kind of helper beside it, on
#   this machine: only what reads (the state) and what is refused before
#   anything is read.
#   child_setup.sh HELPER SOURCE_DIR WORK_DIR QUILLO_PAROLE
set -euo pipefail
helper=$1 source=$2 work=$(realpath -m "$3") parole=$4
source "$source/tests/e2e/test-env.sh"
need_tools dpkg-deb sha256sum
rm -rf "$work"; mkdir -p "$work"
fail() { echo "FAIL: $*"; exit 1; }
source "$source/tests/e2e/child-trees.sh"
fetch_display_managers

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

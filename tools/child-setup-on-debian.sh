#!/usr/bin/env bash
# The child's room on a bare Debian root with LightDM, as root would run it
# there: quillo-child-setup (built here, or from an installed package in the
# root) makes the account and the drop-in, LightDM's own --show-config shows
# autologin-user and autologin-session, and the undo gives back every file
# of /etc and /var byte for byte (the account's own files excepted: the
# undo keeps the account). Nothing is mounted in the root: the step's
# sysctl cannot reach this machine's kernel.
#
#   sudo bash tools/child-setup-on-debian.sh ROOT [HELPER]
#
# ROOT: a Debian root (debootstrap --variant=minbase --include=adduser,
# procps,lightdm,libqt6core6,libqt6dbus6 RELEASE ROOT) under /var/tmp, never
# "/". HELPER: the quillo-child-setup to copy into it, when the package is
# not installed there.
set -euo pipefail
root=$(realpath "${1:?usage: $0 ROOT [HELPER]}") helper=${2:-}
[[ $(id -u) == 0 ]] || { echo "$0: needs root, for chroot" >&2; exit 2; }
[[ $root != / && -x $root/usr/sbin/lightdm && -x $root/usr/sbin/adduser ]] ||
    { echo "$0: $root is not a Debian root with LightDM and adduser" >&2; exit 2; }
program=/usr/libexec/quillo/quillo-child-setup
if [[ -n $helper ]]; then
    install -D -m 0755 "$helper" "$root$program"
fi
fail() { echo "FAIL: $*"; exit 1; }
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 "$@"; }
# LightDM's package makes it the display manager when systemd's links are
# made; a root made without running systemd may lack the link.
[[ -e $root/etc/systemd/system/display-manager.service || -s $root/etc/X11/default-display-manager ]] ||
    ln -s /lib/systemd/system/lightdm.service "$root/etc/systemd/system/display-manager.service"
in_root getent passwd bimbo >/dev/null && fail "the root already has an account bimbo"

# /etc and /var, but the files adduser writes for the account (kept by the undo).
snapshot() {
    (cd "$root" && find etc var -path var/cache -prune -o -path var/log -prune -o \
        \( -path etc/passwd -o -path etc/shadow -o -path etc/group -o -path etc/gshadow -o -name '*-' \
           -o -path etc/subuid -o -path etc/subgid \) -prune -o -printf '%p %y %m %U:%G %l\n' | LC_ALL=C sort
     find etc var -path var/cache -prune -o -path var/log -prune -o -type f \
        ! \( -path etc/passwd -o -path etc/shadow -o -path etc/group -o -path etc/gshadow -o -name '*-' \
             -o -path etc/subuid -o -path etc/subgid \) -print0 | LC_ALL=C sort -z | xargs -0 -r sha256sum)
}
before=$(snapshot)
started=$(date +%s%N)
in_root "$program" bimbo --autologin || fail "the step failed"
took=$((($(date +%s%N) - started) / 1000000))
in_root getent passwd bimbo >/dev/null || fail "no account bimbo"
config=$(in_root lightdm --show-config 2>&1)
grep -q 'autologin-user=bimbo$' <<<"$config" && grep -q 'autologin-session=quillo$' <<<"$config" ||
    fail "lightdm --show-config: $config"
echo "lightdm --show-config: $(grep autologin <<<"$config" | tr -s ' \n' ' ')"
echo "changed or added: $(diff <(echo "$before") <(snapshot) | awk '/^>/ {print "/" (length($2) == 64 ? $3 : $2)}' | sort -u | tr '\n' ' ')"
in_root "$program"
in_root "$program" bimbo --undo || fail "the undo failed"
after=$(snapshot)
[[ $after == "$before" ]] || fail "the undo left: $(diff <(echo "$before") <(echo "$after"))"
in_root getent passwd bimbo >/dev/null || fail "the undo took the account away"
echo "PASS: the step took $took ms on $(cat "$root/etc/debian_version"); the undo gave back every file of /etc and /var"

#!/usr/bin/env bash
# Tries Quillo on another Debian release as a new user would, in two bare
# (minbase) roots made with debootstrap from the archive apt uses here:
#   1. the checkout is copied into the first root, where `bash tools/setup.sh
#      test` installs what it needs, builds and runs the whole suite with
#      CI=true (a skipped test fails) and no locale set, and then
#      `bash tools/setup.sh deb` builds the package;
#   2. the package is installed with `apt install ./quillo_*.deb` in the
#      second, untouched root of the same release, and `quillo --version`
#      runs there.
#
#   sudo bash tools/test-on-debian.sh trixie      # or bookworm, or ...
#   sudo bash tools/test-on-debian.sh --package-only bookworm
#                                    # only the package: build, install
#
# Needs root (debootstrap, chroot, mounts). The roots live in a folder of
# their own under QUILLO_ROOTS_DIR (/var/tmp by default, never the checkout);
# QUILLO_DEBIAN_MIRROR names another archive. /proc, /dev and /sys are mounted
# in a root only while something runs there. Whatever happens (a failure,
# Ctrl+C), the processes left in the roots are ended, everything is
# unmounted and the folder is removed. Exit status 0 when the suite passed
# and the package installed.
set -euo pipefail

suite=1
[[ ${1:-} == --package-only ]] && { suite=0; shift; }
release=${1:-}
[[ -n $release && $# == 1 ]] || { echo "usage: $0 [--package-only] RELEASE   (bookworm, trixie, ...)" >&2; exit 2; }
[[ $(id -u) == 0 ]] || { echo "$0: needs root, for debootstrap, chroot and mounts" >&2; exit 2; }
command -v debootstrap >/dev/null || { echo "$0: install debootstrap first (apt install debootstrap)" >&2; exit 2; }
here=$(cd "$(dirname "$0")/.." && pwd)

# The Debian archive apt uses here (its main suite, not security or updates).
mirror=${QUILLO_DEBIAN_MIRROR:-$(apt-get indextargets --format '$(REPO_URI) $(LABEL) $(RELEASE)' 'Identifier: Packages' |
    awk '$2 == "Debian" && $3 !~ /-/ { print $1; exit }')}
[[ -n $mirror ]] || { echo "$0: no Debian archive in apt's lists; run apt-get update or set QUILLO_DEBIAN_MIRROR" >&2; exit 2; }

parent=${QUILLO_ROOTS_DIR:-/var/tmp}
work=$(mktemp -d "$parent/quillo-$release.XXXXXX")
case $work/ in "$here"/*) rmdir "$work"; echo "$0: QUILLO_ROOTS_DIR lies inside the checkout" >&2; exit 2 ;; esac
started=$SECONDS
say() { printf '[%s %4ds] %s\n' "$release" $((SECONDS - started)) "$*"; }

mounted_under() { # the mount points under $1, deepest first
    awk -v top="$1/" '{ gsub(/\\040/, " ", $2) } index($2 "/", top) == 1 { print $2 }' /proc/mounts | sort -r
}

# Ends every process whose root is ROOT: daemons the tests or maintainer
# scripts left behind (a sound server, a bus) would keep the mounts busy.
end_processes_in() {
    local root=$1 signal pid left
    for signal in TERM KILL; do
        left=0
        for pid in $(ls /proc | grep -E '^[0-9]+$'); do
            [[ $(readlink "/proc/$pid/root" 2>/dev/null) == "$root" ]] || continue
            kill -s "$signal" "$pid" 2>/dev/null && left=1
        done
        ((left)) || return 0
        sleep 2
    done
}

unmount_root() {
    local root=$1 point
    end_processes_in "$root"
    for point in $(mounted_under "$root"); do
        umount "$point" 2>/dev/null || umount -l "$point" || true
    done
}

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    for root in "$work"/build "$work"/bare; do
        [[ -d $root ]] && unmount_root "$root"
    done
    if [[ -n $(mounted_under "$work") ]]; then
        # Never remove a folder through a mount that is still there.
        echo "$0: still mounted, $work is left for you:" >&2
        mounted_under "$work" >&2
        exit 1
    fi
    rm -rf --one-file-system "$work"
    say "removed $work"
    exit "$status"
}
trap cleanup EXIT
trap 'echo; say "interrupted"; exit 130' INT TERM

# Runs COMMAND in ROOT as a new user's root shell would: no locale, a bare
# environment, CI=true; /proc, /dev and /sys mounted only meanwhile.
in_root() {
    local root=$1 status=0
    shift
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev"
    mount --rbind /sys "$root/sys" && mount --make-rslave "$root/sys"
    # In the background, so that Ctrl+C is answered at once: the cleanup
    # ends whatever still runs in the root.
    chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        HOME=/root TERM=dumb CI=true DEBIAN_FRONTEND=noninteractive /bin/bash -c "$*" &
    wait $! || status=$?
    unmount_root "$root"
    return "$status"
}

say "debootstrap --variant=minbase $release from $mirror into $work"
debootstrap --variant=minbase "$release" "$work/build" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { tail -n 20 "$work/debootstrap.log"; say "debootstrap failed"; exit 1; }
# The second root stays as debootstrap left it until the package goes in.
cp -a "$work/build" "$work/bare"
say "bare root ready"

# The checkout as git sees it (tracked and new files, not what it ignores:
# no build folders).
mkdir "$work/build/src"
git -C "$here" ls-files -z --cached --others --exclude-standard |
    (cd "$here" && tar --null -T - -cf -) | tar -xf - -C "$work/build/src"
say "checkout copied"
if ((suite)); then
    phase=$SECONDS
    in_root "$work/build" 'cd /src && bash tools/setup.sh test' || { say "setup.sh test FAILED"; exit 1; }
    say "setup.sh test passed in $((SECONDS - phase)) s"
fi

phase=$SECONDS
in_root "$work/build" 'cd /src && QUILLO_DIST_DIR=/dist bash tools/setup.sh deb' || { say "setup.sh deb FAILED"; exit 1; }
deb=$(cd "$work/build/dist" && ls quillo_*.deb)
say "built $deb in $((SECONDS - phase)) s"
say "Depends: $(dpkg-deb --field "$work/build/dist/$deb" Depends)"

phase=$SECONDS
cp "$work/build/dist/$deb" "$work/bare/root/"
in_root "$work/bare" "cd /root && apt-get update -qq && apt install -y ./$deb && QT_QPA_PLATFORM=offscreen /usr/games/quillo --version" \
    >"$work/install.log" 2>&1 || { tail -n 30 "$work/install.log"; say "installing $deb FAILED"; exit 1; }
grep -E '^(Quillo |This build)' "$work/install.log" || true
grep -q '^This build has no Wayland hold' "$work/install.log" && { say "the package has no Wayland hold"; exit 1; }
say "$deb installed on a bare $release in $((SECONDS - phase)) s"
say "all passed in $((SECONDS - started)) s"

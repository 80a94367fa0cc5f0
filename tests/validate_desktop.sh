#!/usr/bin/env bash
# Checks Quillo's desktop integration and installed layout.
#
#   validate_desktop.sh desktop FILE.desktop      desktop-file-validate
#   validate_desktop.sh metainfo FILE.metainfo.xml appstreamcli validate --no-net
#   validate_desktop.sh install BUILD_DIR SOURCE_DIR [CMAKE]
#       installs the build into a temporary prefix and, with DESTDIR, into a
#       temporary staging folder, and checks the tree: programs and media
#       together in lib/quillo, relative games/ and bin/ links that lead to
#       them, desktop entry, icon, metainfo, man pages, copyright and
#       changelog, the child's login sessions; then runs the installed programs through their links.
#
# Exits 77 (skipped) when a validator is missing, 1 on any fault.

set -uo pipefail
source "$(dirname "$0")/e2e/test-env.sh"
skip() { skip_test "$@"; }
faults=0
fault() { echo "FAULT: $*"; faults=$((faults + 1)); }

case ${1-} in
desktop)
    command -v desktop-file-validate >/dev/null || skip "desktop-file-validate missing (Debian package desktop-file-utils)"
    out=$(desktop-file-validate "$2" 2>&1); rc=$?
    [[ -n $out ]] && echo "$out"
    # Hints are advice; errors and warnings are not.
    if ((rc != 0)) || grep -qE ': (error|warning): ' <<<"$out"; then exit 1; fi
    exit 0
    ;;
metainfo)
    command -v appstreamcli >/dev/null || skip "appstreamcli missing (Debian package appstream)"
    appstreamcli validate --no-net --explain "$2"
    exit
    ;;
install) ;;
*) echo "usage: $0 desktop FILE | metainfo FILE | install BUILD_DIR SOURCE_DIR [CMAKE]" >&2; exit 2 ;;
esac

build=$2 source=$3 cmake=${4:-cmake}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export XDG_CONFIG_HOME=$tmp/config QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
# A session of its own: a Quillo running elsewhere must not turn this start into a second one.
mkdir -m 0700 "$tmp/runtime" && export XDG_RUNTIME_DIR=$tmp/runtime

check_tree() { # ROOT PREFIX (the installed prefix as seen on disk, and where it is meant to live)
    local root=$1 lib=$1/lib/quillo
    for linked in games/quillo bin/quillo-media-check bin/quillo-parole; do
        local program=${linked#*/} link=$root/$linked
        [[ -f $lib/$program && -x $lib/$program ]] || fault "$lib/$program is not an installed program"
        if [[ ! -L $link ]]; then
            fault "$link is not a link"
            continue
        fi
        [[ $(readlink "$link") == ../lib/quillo/$program ]] || fault "$link -> $(readlink "$link"), want ../lib/quillo/$program"
        [[ $(realpath "$link") == $(realpath "$lib/$program") ]] || fault "$link does not lead to $lib/$program"
    done
    for folder in alfabeto parole immagini; do
        [[ -d $lib/$folder ]] || { fault "$lib/$folder missing"; continue; }
        local want got
        want=$(find "$source/media/$folder" -type f | wc -l)
        got=$(find "$lib/$folder" -type f | wc -l)
        ((want == got)) || fault "$lib/$folder has $got files, the library $want"
    done
    # Names that trip up tools: a leading dash, accents, quotes, brackets.
    for name in -.wav à.wav "'.wav" "(.wav" boh.wav; do
        [[ -f $lib/alfabeto/$name ]] || fault "$lib/alfabeto/$name missing"
    done
    [[ -f $lib/parole/bravo.wav ]] || fault "$lib/parole/bravo.wav missing"
    for file in share/applications/it.quillonuvi.Quillo.desktop \
                share/applications/it.quillonuvi.Quillo.Parole.desktop \
                share/icons/hicolor/scalable/apps/it.quillonuvi.Quillo.svg \
                share/metainfo/it.quillonuvi.Quillo.metainfo.xml \
                share/doc/quillo/NOTICE.media share/doc/quillo/copyright \
                share/doc/quillo/changelog.Debian.gz share/man/man6/quillo.6.gz \
                share/man/man1/quillo-media-check.1.gz share/man/man1/quillo-parole.1.gz; do
        [[ -f $root/$file ]] || fault "$root/$file missing"
    done
    # The child's sessions start the installed programs by their full paths,
    # as the package will have them (PREFIX: where the tree is meant to live).
    local prefix=$2 session
    [[ -x $lib/quillo-x11-session ]] || fault "$lib/quillo-x11-session is not an installed program"
    session=$root/share/wayland-sessions/quillo.desktop
    grep -qxF "Exec=cage -- $prefix/games/quillo --hold-to-quit" "$session" ||
        fault "$session does not run the installed game in cage: $(grep ^Exec= "$session")"
    session=$root/share/xsessions/quillo-x11.desktop
    grep -qxF "Exec=$prefix/lib/quillo/quillo-x11-session" "$session" ||
        fault "$session does not run the installed session script: $(grep ^Exec= "$session")"
    # The child's setup: the program polkit's action names, and the action valid.
    local helper=$root/libexec/quillo/quillo-child-setup policy=$root/share/polkit-1/actions/it.quillonuvi.Quillo.child-setup.policy
    [[ -x $helper ]] || fault "$helper is not an installed program"
    grep -qF "<annotate key=\"org.freedesktop.policykit.exec.path\">$prefix/libexec/quillo/quillo-child-setup</annotate>" "$policy" ||
        fault "$policy does not name $prefix/libexec/quillo/quillo-child-setup"
    grep -c '<allow_[a-z]*>auth_admin</allow_' "$policy" | grep -qx 3 || fault "$policy does not ask for an administrator every time"
    if command -v xmllint >/dev/null && [[ -f /usr/share/polkit-1/policyconfig-1.dtd ]]; then
        xmllint --noout --dtdvalid /usr/share/polkit-1/policyconfig-1.dtd "$policy" || fault "$policy does not validate"
    fi
    # One name, one session: no display manager may take the X11 one for "quillo".
    [[ ! -e $root/share/xsessions/quillo.desktop ]] || fault "$root/share/xsessions/quillo.desktop shadows the Wayland session's name"
    for session in "$root"/share/wayland-sessions/quillo.desktop "$root"/share/xsessions/quillo-x11.desktop; do
        [[ $(stat -c %a "$session") == 644 ]] || fault "$session has mode $(stat -c %a "$session")"
        if command -v desktop-file-validate >/dev/null; then
            desktop-file-validate "$session" 2>&1 | grep -E ': (error|warning): ' && fault "$session does not validate"
        fi
    done
}

# 1. A plain prefix.
prefix=$tmp/prefix
"$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 || { cat "$tmp/install.log"; fault "cmake --install failed"; exit 1; }
check_tree "$prefix" "$prefix"

# The checker, started through its link, finds the media beside the real
# program, not beside the link (and no library of the user's).
if ! out=$(XDG_DATA_HOME=$tmp/no-data "$prefix/bin/quillo-media-check" 2>&1); then
    fault "installed quillo-media-check found problems:"; echo "$out"
fi
grep -q '^tutto a posto / all good: ' <<<"$out" || fault "no all-good line from the installed checker: $out"

# The parents' program, through its link, refuses a bad word with its
# message and exit status, and so has found its libraries and its media.
out=$(XDG_DATA_HOME=$tmp/data "$prefix/bin/quillo-parole" add 'a/b' --picture /nonexistent 2>&1); rc=$?
((rc == 1)) && grep -q 'non può contenere /' <<<"$out" || fault "installed quillo-parole: exit $rc, $out"

# Quillo itself starts from the link and is still running when the timeout
# stops it (124, or 137 when it takes the KILL).
timeout -k 2 3 "$prefix/games/quillo" >"$tmp/quillo.log" 2>&1; rc=$?
if ((rc != 124 && rc != 137)); then
    fault "installed quillo exited with $rc instead of starting"; cat "$tmp/quillo.log"
fi

# 2. A staged install, as a package build does it.
DESTDIR=$tmp/stage "$cmake" --install "$build" --prefix /usr >"$tmp/stage.log" 2>&1 || { cat "$tmp/stage.log"; fault "DESTDIR install failed"; }
check_tree "$tmp/stage/usr" /usr

((faults == 0)) && echo "install layout OK"
((faults == 0))

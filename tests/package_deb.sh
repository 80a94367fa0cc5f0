#!/usr/bin/env bash
# Builds the Debian package from a build folder, as `cpack -G DEB` does there,
# and checks it the way a Debian developer would:
#   - cpack works with no locale set (the media names are UTF-8);
#   - the contents: programs, links, owners and modes; copyright, changelog
#     and man pages as the source has them;
#   - the control fields: Section, Version against the changelog, Depends
#     (by what each package provides: the libraries, the Arial-compatible
#     font, the Wayland plugin; all met on the machine that built it);
#   - the program has the Wayland hold built in;
#   - lintian reports no errors and no new warnings (it also reads the man
#     pages with groff); skipped without lintian, which CI installs.
#
#   package_deb.sh BUILD_DIR SOURCE_DIR [CPACK]
#
# Exits 77 (skipped) when a packaging tool is missing, 1 on any fault.

set -uo pipefail
source "$(dirname "$0")/e2e/test-env.sh"
build=$1 source=$2 cpack=${3:-cpack}
faults=0
fault() { echo "FAULT: $*"; faults=$((faults + 1)); }

if [[ ${CI:-} == true ]] && ! command -v lintian >/dev/null; then
    apt-get -o DPkg::Lock::Timeout=300 install -y -qq --no-install-recommends lintian >/dev/null ||
        echo "could not install lintian"
fi
need_tools dpkg-deb dpkg-shlibdeps file lintian

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Packed with the locale variables removed, as a bare Debian starts.
if ! env -u LANG -u LANGUAGE -u LC_ALL -u LC_CTYPE -u LC_MESSAGES \
    "$cpack" -G DEB -B "$tmp/out" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1; then
    cat "$tmp/cpack.log"
    fault "cpack -G DEB failed with no locale"
    exit 1
fi
debs=("$tmp"/out/quillo_*.deb)
[[ ${#debs[@]} == 1 && -f ${debs[0]} ]] || { fault "want one quillo_*.deb, got: ${debs[*]}"; exit 1; }
deb=${debs[0]}
echo "built $(basename "$deb"), $(du -k "$deb" | cut -f1) kB"

# Contents: "MODE OWNER SIZE DATE TIME PATH[ -> TARGET]".
dpkg-deb --contents "$deb" >"$tmp/contents" || fault "dpkg-deb --contents failed"
has() { # MODE PATH [TARGET]
    local want="$1 root/root .* \\./$2"
    [[ -n ${3-} ]] && want+=" -> $3"
    grep -qE "^$want\$" "$tmp/contents" || fault "no $2${3:+ -> $3} with mode $1 in the package"
}
has -rwxr-xr-x usr/lib/quillo/quillo
has -rwxr-xr-x usr/lib/quillo/quillo-media-check
has lrwxrwxrwx usr/games/quillo ../lib/quillo/quillo
has lrwxrwxrwx usr/bin/quillo-media-check ../lib/quillo/quillo-media-check
has -rwxr-xr-x usr/lib/quillo/quillo-parole
has lrwxrwxrwx usr/bin/quillo-parole ../lib/quillo/quillo-parole
has -rwxr-xr-x usr/libexec/quillo/quillo-child-setup
has -rw-r--r-- usr/share/polkit-1/actions/it.quillonuvi.Quillo.child-setup.policy
has -rw-r--r-- 'usr/lib/quillo/alfabeto/à.wav'
# The rest of the tree is the install_layout test's; here, owners and modes.
odd=$(grep -vE '^(drwxr-xr-x|-rw-r--r--|-rwxr-xr-x|lrwxrwxrwx) root/root ' "$tmp/contents")
[[ -z $odd ]] || fault "entries with other modes or owners:"$'\n'"$odd"

# What the package carries is what the source says, compressed reproducibly.
dpkg-deb --extract "$deb" "$tmp/root" || fault "dpkg-deb --extract failed"
doc=$tmp/root/usr/share/doc/quillo
cmp -s "$doc/copyright" "$source/packaging/debian/copyright" || fault "copyright differs from packaging/debian/copyright"
cmp -s "$doc/changelog.Debian.gz" <(gzip -9n <"$source/packaging/debian/changelog") ||
    fault "changelog.Debian.gz is not packaging/debian/changelog under gzip -9n"
head -n1 "$doc/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' ||
    fault "copyright is not in the machine-readable format"
for license in GPL-3.0-or-later Apache-2.0; do
    grep -q "^License: $license\$" "$doc/copyright" || fault "copyright has no $license licence paragraph"
done
version_text=$(QT_QPA_PLATFORM=offscreen "$tmp/root/usr/lib/quillo/quillo" --version 2>&1)
grep -q '^Quillo ' <<<"$version_text" && ! grep -qi 'no Wayland hold' <<<"$version_text" ||
    fault "the packaged quillo --version says: $version_text"
zcat "$tmp/root/usr/share/man/man6/quillo.6.gz" | grep -q '^\.B Alt+F2$' || fault "quillo.6 does not list Alt+F2"

# Control fields.
field() { dpkg-deb --field "$deb" "$1"; }
[[ $(field Section) == games ]] || fault "Section is '$(field Section)', want games"
version=$(field Version)
logged=$(zcat "$doc/changelog.Debian.gz" | sed -n '1s/^quillo (\([^)]*\)).*/\1/p')
[[ $version == "$logged" ]] || fault "package version $version, changelog's first entry $logged"
depends=$(field Depends)
echo "Depends: $depends"
# Each thing Quillo needs, by the file that brings it: the package that owns
# that file here must be named in Depends (alone or as an alternative), under
# whatever name this release gives it (Debian 13's libqt6core6t64 for
# Debian 12's libqt6core6). Then every dependency must hold on this machine,
# versions included, where the programs were built and the tests ran.
names=" $(sed 's/ *([^)]*)//g; s/ *[,|] */ /g' <<<"$depends") "
while read -r what file; do
    owners=$(dpkg-query -S "*/$file" 2>/dev/null | grep -v '^diversion' | sed 's/: \/.*//; s/, /\n/g' | sed 's/:.*//' | sort -u)
    [[ -n $owners ]] || { fault "no package here provides $what (*/$file)"; continue; }
    named=0
    for owner in $owners; do [[ $names == *" $owner "* ]] && named=1; done
    ((named)) || fault "Depends names no package that provides $what: $(tr '\n' ' ' <<<"$owners")"
done <<'NEEDS'
Qt-Core libQt6Core.so.6
Qt-GUI libQt6Gui.so.6
Qt-Widgets libQt6Widgets.so.6
Qt-Network libQt6Network.so.6
SDL2 libSDL2-2.0.so.0
libebur128 libebur128.so.1
the-C-library libc.so.6
the-C++-library libstdc++.so.6
Liberation-Sans LiberationSans-Regular.ttf
Qt's-Wayland-plugin platforms/libqwayland-generic.so
Qt's-Italian-words qtbase_it.qm
Qt's-WebP-plugin imageformats/libqwebp.so
libheif libheif.so.1
NEEDS
printf 'Source: quillo\n\nPackage: quillo\nArchitecture: any\n' >"$tmp/control"
unmet=$(dpkg-checkbuilddeps -d "$depends" "$tmp/control" 2>&1) || fault "Depends not met here: $unmet"
recommends=$(field Recommends)
for recommended in cage xwayland x11-xkb-utils pkexec; do
    sed 's/, */\n/g' <<<"$recommends" | grep -qxF "$recommended" || fault "Recommends lacks $recommended"
done

# lintian: no errors, and no warnings but these two:
#   initial-upload-closes-no-bugs        the package is not uploaded to Debian,
#                                        so there is no bug for it to close;
#   package-section-games-but-has-usr-bin quillo-media-check and quillo-parole
#                                        are for the adult (man section 1),
#                                        not games.
lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v '^running with root privileges' >"$tmp/lintian"
cat "$tmp/lintian"
grep -q '^E: ' "$tmp/lintian" && fault "lintian reports errors"
grep '^W: ' "$tmp/lintian" | grep -vE ': (initial-upload-closes-no-bugs|package-section-games-but-has-usr-bin)( |$)' |
    grep -q . && fault "lintian reports new warnings"

((faults == 0)) && echo "package OK"
((faults == 0))

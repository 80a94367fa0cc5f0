#!/usr/bin/env bash
# Installs what Quillo needs on Debian 12 or 13, builds it, then either starts it on
# the bundled media ("run") or runs the whole test suite headless ("test").
#   bash tools/setup.sh run     # install, build, start Quillo
#   bash tools/setup.sh test    # install, build, run every test
#   bash tools/setup.sh deb     # install, build, make the Debian package in dist/
#                               # (QUILLO_DIST_DIR) and check it with lintian
#   bash tools/setup.sh MODE --install-only   # only install what MODE needs
#   bash tools/setup.sh test --install-build-only   # only what the test build needs
set -euo pipefail
# A bare Debian 12 has no locale set; the tools that handle the accented media
# names (cpack, xdotool) need a UTF-8 one, and C.UTF-8 is always present.
export LC_ALL=C.UTF-8

mode=${1:-run}
install_only=false build_only=false
[ "${2:-}" = --install-only ] && install_only=true
[ "${2:-}" = --install-build-only ] && install_only=true build_only=true
here=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLO_BUILD_DIR:-$here/build}

# Liberation Sans 2 (the sheet's "Arial") is fonts-liberation2 on Debian 12;
# from Debian 13 on, fonts-liberation itself is version 2 and the other is an
# empty transitional package.
liberation=fonts-liberation
[ "$(. /etc/os-release && echo "${VERSION_ID:-}")" = 12 ] && liberation=fonts-liberation2
# From Debian 13 on, libheif decodes HEIC and AVIF through plugins of their
# own (libde265, dav1d), and heif-enc encodes through others (x265, aom).
heif_decoders=(libheif-plugin-libde265 libheif-plugin-dav1d)
heif_encoders=(libheif-plugin-x265 libheif-plugin-aomenc)
if [ "$(. /etc/os-release && echo "${VERSION_ID:-}")" = 12 ]; then heif_decoders=(); heif_encoders=(); fi
run_packages=(g++ cmake make pkg-config qt6-base-dev libsdl2-dev libpulse-dev libebur128-dev libgl-dev fonts-dejavu-core "$liberation" libsdl2-2.0-0
  qt6-wayland qt6-wayland-dev qt6-wayland-dev-tools qt6-base-private-dev wayland-protocols libwayland-dev qt6-translations-l10n
  libheif-dev qt6-image-formats-plugins "${heif_decoders[@]}")
deb_packages=(dpkg-dev file lintian)
test_packages=(xvfb xauth xdotool openbox x11-utils python3 imagemagick libbenchmark-dev desktop-file-utils appstream dpkg-dev file lintian sox libxcb1-dev pulseaudio pulseaudio-utils python3-xlib
  sway wtype grim cage xwayland x11-xkb-utils dbus python3-dbusmock
  asterisk-core-sounds-it-g722 ffmpeg libheif-examples webp "${heif_encoders[@]}")

# What the test build itself needs; the rest of the test set only runs the
# suite, and is installed while the build goes on.
test_build_packages=(libbenchmark-dev libxcb1-dev lld)

later=()
case "$mode" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_build_packages[@]}"); later=("${test_packages[@]}") ;;
  deb) packages=("${run_packages[@]}" "${deb_packages[@]}") ;;
  *) echo "usage: $0 run|test|deb" >&2; exit 2 ;;
esac

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# install_packages PACKAGE...: installs those not installed yet. Another install
# running at the same time is waited for. QUILLO_APT_UPDATED=1 says the
# package lists were just brought up to date.
install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "Installing: ${missing[*]}"
  if [ -z "${QUILLO_APT_UPDATED:-}" ]; then
    sudo_if_needed apt-get update -qq
    export QUILLO_APT_UPDATED=1
  fi
  # A CI machine is thrown away after its run: dpkg need not sync each file.
  local unsafe=()
  [ "${CI:-}" = true ] && unsafe=(-o Dpkg::Options::=--force-unsafe-io)
  sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=900 "${unsafe[@]}" "${missing[@]}"
}

install_packages "${packages[@]}"
if $install_only; then
  $build_only || install_packages "${later[@]}"
  exit 0
fi
installing=
# In the background only where that needs no password.
if [ ${#later[@]} -gt 0 ] && { [ "$(id -u)" -eq 0 ] || sudo -n true 2>/dev/null; }; then
  install_log=$(mktemp)
  echo "The suite's tools are installed meanwhile (log: $install_log)"
  install_packages "${later[@]}" >"$install_log" 2>&1 &
  installing=$!
else
  install_packages "${later[@]}"
fi

jobs=$(( $(nproc) < 2 ? 1 : 2 ))
if [ "$mode" = run ]; then
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_BUILD_TESTS=OFF -DQUILLO_BUILD_BENCH=OFF
  cmake --build "$build" -j"$jobs" --target quillo
  exec "$build/quillo"
fi

if [ "$mode" = deb ]; then
  # A build of its own, without tests, with the compiler and linker flags a
  # Debian package build uses (hardening included).
  deb_build=${QUILLO_DEB_BUILD_DIR:-$here/build-deb}
  dist=${QUILLO_DIST_DIR:-$here/dist}
  mkdir -p "$dist" && dist=$(cd "$dist" && pwd)
  cd "$here"
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  cmake -S "$here" -B "$deb_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_BUILD_TESTS=OFF -DQUILLO_BUILD_BENCH=OFF \
    -DQUILLO_WAYLAND_HOLD=ON \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
  cmake --build "$deb_build" -j"$jobs"
  rm -f "$dist"/quillo_*.deb
  cpack -G DEB -B "$dist" --config "$deb_build/CPackConfig.cmake"
  rm -rf "$dist/_CPack_Packages"
  deb=$(ls "$dist"/quillo_*.deb)
  lintian --tag-display-limit 0 "$deb"  # fails on errors
  echo "Built $deb"
  echo "Install it with: sudo apt install $deb"
  exit 0
fi

# Optimised as the package is (-O2), but without debug information, which
# would cost a third of the build's time; the sanitizers' build keeps the
# source lines for its reports (tools/check-sanitized.sh).
# LLVM's linker, where it is installed, links the eighty programs in a fifth
# of the time of the default one.
linker=()
command -v ld.lld >/dev/null && linker=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld)
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLO_WERROR=ON \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" "${linker[@]}"
cmake --build "$build" -j"$jobs"
if [ -n "$installing" ] && ! wait "$installing"; then
  cat "$install_log"
  echo "installing the suite's tools failed" >&2
  exit 1
fi
cd "$build"
# Two tests at a time, but for those that share a display or a sound server
# (tests/CMakeLists.txt runs them alone).
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" --timeout 300

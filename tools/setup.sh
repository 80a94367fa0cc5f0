#!/usr/bin/env bash
# Installs what Quillo needs on Debian 12, builds it, then either starts it on
# the bundled media ("run") or runs the whole test suite headless ("test").
#   bash tools/setup.sh run     # install, build, start Quillo
#   bash tools/setup.sh test    # install, build, run every test
set -euo pipefail
# A bare Debian 12 has no locale set; the tools that handle the accented media
# names (cpack, xdotool) need a UTF-8 one, and C.UTF-8 is always present.
export LC_ALL=C.UTF-8

mode=${1:-run}
here=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLO_BUILD_DIR:-$here/build}

run_packages=(g++ cmake make pkg-config qt6-base-dev libsdl2-dev libgl-dev fonts-dejavu-core fonts-liberation2 libsdl2-2.0-0
  qt6-wayland qt6-wayland-dev qt6-wayland-dev-tools qt6-base-private-dev wayland-protocols libwayland-dev)
test_packages=(xvfb xauth xdotool openbox x11-utils python3 imagemagick libbenchmark-dev desktop-file-utils appstream dpkg-dev file sox libxcb1-dev pulseaudio pulseaudio-utils
  sway wtype grim)

case "$mode" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_if_needed apt-get update -qq
  sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=$(( $(nproc) < 2 ? 1 : 2 ))
if [ "$mode" = run ]; then
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_BUILD_TESTS=OFF -DQUILLO_BUILD_BENCH=OFF
  cmake --build "$build" -j"$jobs" --target quillo
  exec "$build/quillo"
fi

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_WERROR=ON
cmake --build "$build" -j"$jobs"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j1 --timeout 300

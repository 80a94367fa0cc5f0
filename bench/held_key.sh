#!/usr/bin/env bash
# How long a held letter goes on being heard after it is let go: the real
# program under Xvfb with PulseAudio, and under a headless sway (SDL's disk
# driver at real-time speed), "a" held for 3 s and for 10 s by the held-key
# tests, which wait for silence up to 200 s here.
#   bash bench/held_key.sh [BUILD_DIR]
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for hold in 3 10; do
    echo "== X11, a held $hold s"
    QUIET_LIMIT=200 bash "$here/tests/x11_held_key.sh" "$build/quillo" "$here" "$work/x11-$hold" "$hold" 2>&1 |
        grep -E 'heard|sheet got|FAIL'
    echo "== Wayland (sway), a held $hold s"
    QUIET_LIMIT=200 bash "$here/tests/wayland_held_key.sh" "$build/quillo" "$here" "$work/wayland-$hold" ON "$hold" 2>&1 |
        grep -E 'heard|sheet got|FAIL'
done

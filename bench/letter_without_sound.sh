#!/usr/bin/env bash
# Key -> letter on the sheet of the real program with no sound server, a
# server without a sink, one killed and one frozen (SIGSTOP) while Quillo
# runs (bench/letter_without_sound.py). Digits are typed, so no word comes.
#   bash bench/letter_without_sound.sh BUILD_DIR [KEYS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
source "$here/tests/e2e/prologue.sh"
source "$here/tests/e2e/x11-session.sh"
work=$scratch
need_tools Xvfb xdotool openbox pulseaudio
/usr/bin/python3 -c 'import Xlib.ext.xtest' 2>/dev/null || { echo "needs python3-xlib" >&2; exit 77; }
mkdir "$work/program"
cp "$build/quillo" "$work/program/"
ln -s "$here/media/alfabeto" "$here/media/parole" "$here/media/immagini" "$work/program/"
start_x_session "$work"
/usr/bin/python3 "$here/bench/letter_without_sound.py" "$work/program/quillo" "$here/tests/e2e/pulse-server.sh" "$work" "${2:-12}"

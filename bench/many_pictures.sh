#!/usr/bin/env bash
# Quillo with a very large bundled pictures folder: start to mapped window
# (bench_startup, real binary, Xvfb), and the resident memory once the window
# is up. The program runs from a scratch folder with the bundled recordings
# and COUNT pictures, copies of one small PNG under made-up names.
#   [QUILLO=BINARY] bash bench/many_pictures.sh BUILD_DIR [COUNT] [RUNS]
# (QUILLO: another build of the program to time, with this build's bench_startup)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
count=${2:-100000}
runs=${3:-5}
work=$(mktemp -d /tmp/qmp.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program/immagini"
cp "${QUILLO:-$build/quillo}" "$work/program/quillo"
ln -s "$here/media/alfabeto" "$here/media/parole" "$work/program/"
first=$(ls "$here/media/immagini" | head -n1)
cp "$here/media/immagini/$first" "$work/seed.png"
python3 - "$work/seed.png" "$work/program/immagini" "$count" <<'PY'
import os, random, sys
seed, folder, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
rng = random.Random(7)
letters = "abcdefghijklmnopqrstuvwxyz"
data = open(seed, "rb").read()
for i in range(count):
    name = letters[i % 26] + "".join(rng.choice(letters) for _ in range(7)) + "%06d.png" % i
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)
PY
export QUILLO_BENCH_BINARY=$work/program/quillo SDL_AUDIODRIVER=dummy
xvfb-run -a -s "-screen 0 1024x768x24" "$build/bench/bench_startup" "$runs" || true  # its own target is for the bundled media
# Resident memory with the window up, as the child sees it.
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$QUILLO_BENCH_BINARY" & pid=$!
    sleep 4
    echo "resident memory with $0 pictures: $(awk "/VmRSS/ {printf \"%.1f MB\", \$2 / 1024}" /proc/$pid/status)"
    kill $pid; wait $pid 2>/dev/null || true' "$count"

#!/usr/bin/env bash
# The real program on the bundled media and a library of the user's own under
# a temporary XDG_DATA_HOME, in a real X server with real keys and SDL's disk
# audio driver capturing what it plays:
#   - the user's a.wav is heard for a typed a, not the bundled one;
#   - in word mode 7 brings up the user's 7nani.png (bundled 7.wav, then the
#     user's 7nani.wav);
#   - the user's Yo-yo.png takes the place of the bundled yo-yo.png for y;
#   - a picture taken away after its letter was typed is not looked for at
#     the next press of that letter (no error), and one added between two
#     presses comes up on the second.
# Then the user's library is a FIFO, and then a file: each time Quillo starts,
# plays the bundled recordings, and says so once on stderr. Last, as an
# ordinary user, the user's b.wav at mode 000: the bundled b and its word.
#   x11_user_library.sh QUILLO_BINARY SOURCE_DIR WORK_DIR
set -euo pipefail
binary=$1 source=$2 work=$3
source "$source/tests/e2e/prologue.sh"
need_tools Xvfb xdotool openbox import convert python3
rm -rf "$work"; mkdir -p "$work/config"
analyse="$source/tests/e2e/analyse.py"
media=$(dirname "$(readlink -f "$binary")")

source "$source/tests/e2e/x11-session.sh"
start_x_session "$work" || exit 1

export XDG_CONFIG_HOME=$work/config QT_FONT_DPI=96 QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=disk

# The user's library: two tones, a magenta and a cyan picture.
own=$work/home/quillo
mkdir -p "$own/alfabeto" "$own/parole" "$own/immagini" "$work/spare"
python3 - "$own" <<'EOF'
import math, struct, sys, zlib
own = sys.argv[1]

def wav(path, hz, ms=300):
    n = 22050 * ms // 1000
    pcm = b"".join(struct.pack("<h", int(12000 * math.sin(2 * math.pi * hz * i / 22050))) for i in range(n))
    fmt = struct.pack("<IHHIIHH", 16, 1, 1, 22050, 44100, 2, 16)
    open(path, "wb").write(b"RIFF" + struct.pack("<I", 36 + len(pcm)) + b"WAVEfmt " + fmt
                           + b"data" + struct.pack("<I", len(pcm)) + pcm)

def png(path, rgb, side=64):
    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))
    rows = b"".join(b"\0" + bytes(rgb) * side for _ in range(side))
    open(path, "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0))
                           + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))

wav(f"{own}/alfabeto/a.wav", 660)
wav(f"{own}/parole/7nani.wav", 990)
png(f"{own}/immagini/7nani.png", (255, 0, 255))
png(f"{own}/immagini/Yo-yo.png", (0, 255, 255))
png(f"{own}/../../spare/7mari.png", (255, 255, 0))
EOF

quillo=
check() { python3 "$analyse" "$@" || fail "$*"; }
# await CHECK...: the check holds within 15 s (keys wait while sounds play,
# and a busy machine plays them late); then it is run once more to show why not.
await() {
    for _ in $(seq 50); do
        python3 "$analyse" "$@" >/dev/null && return 0
        sleep 0.3
    done
    check "$@"
}
# shot NAME CHECK...: a screenshot that shows what the checks want, within 15 s.
shot() {
    local name=$1; shift
    for _ in $(seq 30); do
        import -window root "$work/$name.png"
        python3 "$analyse" screen "$work/$name.png" "$@" >/dev/null && return 0
        sleep 0.5
    done
    check screen "$work/$name.png" "$@"
}

# start NAME: Quillo with XDG_DATA_HOME=$work/NAME, capturing into NAME.raw.
start() {
    export XDG_DATA_HOME=$work/$1 SDL_DISKAUDIOFILE=$work/$1.raw
    err=$work/$1.err
    fail_logs=("$err")
    "$binary" >"$work/$1.out" 2>"$err" & quillo=$!; pids+=($quillo)
    local window
    window=$(wait_for_window "$quillo" || true)
    [ -n "$window" ] || fail "no window with the library in $1"
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
    xdotool windowfocus --sync "$window"
    sleep 0.5
}

stop() {
    xdotool key alt+q
    for _ in $(seq 50); do kill -0 "$quillo" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$quillo" 2>/dev/null && fail "still running after Alt+Q"
    wait "$quillo" || fail "exit status $?"
}

start home
# a: the user's a.wav, the cue, a bundled word for a (the user has none).
xdotool type a
await sounds "$work/home.raw" "$media" heard "$own/alfabeto/a.wav" alfabeto/d.wav
# 7: the bundled 7.wav and cue, then the user's picture and its recording.
xdotool type 7
shot home-7 picture-rgb=ff00ff
await sounds "$work/home.raw" "$media" heard "$own/alfabeto/a.wav" alfabeto/7.wav alfabeto/d.wav "$own/parole/7nani.wav"
# y: the user's Yo-yo.png in place of the bundled yo-yo.png, the bundled recording.
xdotool type y
shot home-y picture-rgb=00ffff
await sounds "$work/home.raw" "$media" heard "$own/parole/7nani.wav" alfabeto/y.wav alfabeto/d.wav parole/yo-yo.wav
check sounds "$work/home.raw" "$media" not-heard alfabeto/a.wav
# 7 again, its only picture gone meanwhile: no picture of 7 is left.
rm "$own/immagini/7nani.png"
xdotool type 7
await sounds "$work/home.raw" "$media" heard parole/yo-yo.wav alfabeto/7.wav alfabeto/d.wav
# One added before the next 7 comes up at once.
mv "$work/spare/7mari.png" "$own/immagini/"
xdotool type 7
shot home-7-added picture-rgb=ffff00
grep -E "7nani.png" "$err" && fail "a picture taken away was still looked for"
grep -q "left out" "$err" && fail "a usable library was said to be left out"
stop

# A library Quillo cannot use: it goes on with the bundled one and says so once.
mkdir -p "$work/fifo" "$work/file"
mkfifo "$work/fifo/quillo"
echo "not a folder" >"$work/file/quillo"
for kind in fifo file; do
    start $kind
    xdotool type a
    await sounds "$work/$kind.raw" "$media" heard alfabeto/a.wav alfabeto/d.wav
    said=$(grep -c "left out" "$err" || true)
    [ "$said" -eq 1 ] || fail "the $kind in place of the library was said $said times"
    grep -q "$work/$kind/quillo: left out" "$err" || fail "the $kind is not named"
    stop
done
# A recording of the user's that cannot be read counts as one that is not
# there: the bundled b, and its word. Root reads any file, so as root Quillo
# runs as nobody, from a copy in the scratch folder that nobody can reach.
locked=$scratch/locked
mkdir -p "$locked/data/quillo/alfabeto" "$locked/config" "$locked/runtime" "$locked/program"
cp "$own/alfabeto/a.wav" "$locked/data/quillo/alfabeto/b.wav"
chmod 000 "$locked/data/quillo/alfabeto/b.wav"
cp "$binary" "$locked/program/"
cp -r "$media/alfabeto" "$media/parole" "$media/immagini" "$locked/program/"
: >"$locked/sound.raw"
# The sanitizers' settings go with it (setpriv starts from a clean
# environment), their suppressions copied where nobody can read them.
keep_env=()
for name in ASAN_OPTIONS UBSAN_OPTIONS; do [ -z "${!name:-}" ] || keep_env+=("$name=${!name}"); done
if [ -n "${LSAN_OPTIONS:-}" ]; then
    supp=$(sed -n 's/.*suppressions=\([^:]*\).*/\1/p' <<<"$LSAN_OPTIONS")
    if [ -n "$supp" ] && [ -f "$supp" ]; then
        cp "$supp" "$locked/lsan.supp"
        keep_env+=("LSAN_OPTIONS=${LSAN_OPTIONS/"$supp"/$locked/lsan.supp}")
    else
        keep_env+=("LSAN_OPTIONS=$LSAN_OPTIONS")
    fi
fi
as_user=()
if [ "$(id -u)" = 0 ]; then
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --reset-env --)
    chown -R 65534:65534 "$locked"
    chmod 711 "$scratch"
fi
chmod 700 "$locked/runtime"
"${as_user[@]}" env "${keep_env[@]}" XDG_DATA_HOME="$locked/data" XDG_CONFIG_HOME="$locked/config" XDG_RUNTIME_DIR="$locked/runtime" \
    SDL_DISKAUDIOFILE="$locked/sound.raw" SDL_AUDIODRIVER=disk DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb QT_FONT_DPI=96 \
    "$locked/program/quillo" >"$work/locked.out" 2>"$work/locked.err" & quillo=$!; pids+=($quillo)
err=$work/locked.err
fail_logs=("$err")
window=$(wait_for_window "$quillo" || true)
[ -n "$window" ] || fail "no window as an ordinary user"
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool windowfocus --sync "$window"
sleep 0.5
# A key heard first: the sound device is open (on a busy machine its opening
# may outlast what a key waits for it).
xdotool type 1
await sounds "$locked/sound.raw" "$locked/program" heard alfabeto/1.wav
xdotool type b
await sounds "$locked/sound.raw" "$locked/program" heard alfabeto/1.wav alfabeto/b.wav alfabeto/d.wav
check sounds "$locked/sound.raw" "$locked/program" not-heard "$own/alfabeto/a.wav"
xdotool type b
await sounds "$locked/sound.raw" "$locked/program" heard alfabeto/d.wav alfabeto/b.wav alfabeto/d.wav
said=$(grep -c "b.wav: left out, it cannot be read" "$err" || true)
[ "$said" -eq 1 ] || fail "the unreadable recording was said $said times"
stop

echo "PASS: user library (screenshots in $work)"

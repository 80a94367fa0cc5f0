#!/usr/bin/env bash
# Regenerates Quillo's media library from the lists in tools/media/:
#
#   media/alfabeto/NAME.wav   one recording per key    (tools/media/alfabeto.tsv)
#   media/parole/WORD.wav     one recording per word   (tools/media/words.tsv)
#   media/parole/bravo.wav    the praise
#   media/immagini/WORD.png   one picture per word     (tools/media/words.tsv)
#
# Recordings are synthesised by espeak-ng's Italian voice and shaped with sox
# (22050 Hz, mono, 16-bit PCM, silence trimmed at both ends, peak at -1 dB) so
# every key starts at once and sounds equally loud. Pictures are Noto Color
# Emoji glyphs drawn by tools/emoji-render into 256x256 PNGs, then reduced to
# a 256-colour palette by pngquant. A word the font has no emoji for takes a
# public-domain drawing from Debian's openclipart-svg instead, rendered by
# rsvg-convert and then placed and reduced the same way.
#
# Existing files are kept, so adding a line to a list and rerunning only adds
# the new files. Use --force after changing a text, an emoji or the settings
# below. The output depends only on the lists and on the versions of
# espeak-ng, sox, Qt, pngquant, librsvg, the emoji font and the clip art.
#
# Usage: tools/make-media.sh [--force] [--out DIR]

set -euo pipefail
export LC_ALL=C.UTF-8

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
lists=$here/media
out=$root/media
force=0

# Voice settings (espeak-ng words per minute and pitch 0-99; default 175/50):
# a little slower and higher than usual, for small children.
key_speed=140
word_speed=140
pitch=60
bravo_text="Bravo! Bravissimo!"
picture_size=256
clipart=/usr/share/openclipart/svg

usage() {
    sed -n '2,/^$/s/^# \{0,1\}//p' "$0" >&2
    exit "${1:-2}"
}

while (($#)); do
    case $1 in
    -f | --force) force=1 ;;
    -o | --out)
        (($# >= 2)) || usage
        out=$2
        shift
        ;;
    -h | --help) usage 0 ;;
    *) usage ;;
    esac
    shift
done

die() {
    printf 'make-media: %s\n' "$*" >&2
    exit 1
}

# --- tools -----------------------------------------------------------------

missing=()
need() { command -v "$1" >/dev/null 2>&1 || missing+=("$1 (Debian package $2)"); }
need espeak-ng espeak-ng
need sox sox
need cmake cmake
need c++ g++
need fc-list fontconfig
need pngquant pngquant
need rsvg-convert librsvg2-bin
if ((${#missing[@]})); then
    printf 'make-media: missing tool: %s\n' "${missing[@]}" >&2
    exit 1
fi
espeak-ng --voices=it | awk '$2 == "it" { found = 1 } END { exit !found }' ||
    die "espeak-ng has no Italian voice (Debian package espeak-ng-data)"
[[ -n $(fc-list ':family=Noto Color Emoji') ]] ||
    die "font \"Noto Color Emoji\" not installed (Debian package fonts-noto-color-emoji)"

# --- lists -----------------------------------------------------------------

# Prints the data lines of a list (no comments, no blank lines).
entries() { grep -v -e '^#' -e '^[[:space:]]*$' "$1"; }

# A key's file name must be visible and harmless on every desktop: no path
# separators, wildcards, quotes or control characters, no leading dot.
bad_name() {
    [[ -z $1 || $1 == .* || $1 =~ [][/\\:\"\<\>\|?*] || $1 =~ [[:cntrl:]] ]]
}

keys=() key_texts=()
while IFS=$'\t' read -r name text rest; do
    bad_name "$name" && die "alfabeto.tsv: unusable name '$name'"
    [[ -n $text && -z $rest ]] || die "alfabeto.tsv: need NAME<tab>TEXT: '$name'"
    keys+=("$name")
    key_texts+=("$text")
done < <(entries "$lists/alfabeto.tsv")

words=() emoji=()
declare -A per_letter=()
while IFS=$'\t' read -r word codepoints _; do
    [[ $word =~ ^[a-zàèéìòù]+( [a-zàèéìòù]+)?$ && ${#word} -ge 2 ]] ||
        die "words.tsv: '$word' must be 2+ lower-case letters (one inner space at most)"
    if [[ $codepoints == openclipart:* ]]; then
        [[ -f $clipart/${codepoints#openclipart:} ]] ||
            die "words.tsv: no drawing $clipart/${codepoints#openclipart:} for '$word' (Debian package openclipart-svg)"
    else
        [[ $codepoints =~ ^[0-9A-Fa-f]{2,6}(\+[0-9A-Fa-f]{2,6})*$ ]] ||
            die "words.tsv: bad code points for '$word': '$codepoints'"
    fi
    words+=("$word")
    emoji+=("$codepoints")
    letter=${word:0:1}
    per_letter[$letter]=$((${per_letter[$letter]:-0} + 1))
done < <(entries "$lists/words.tsv")

dups=$(printf '%s\n' "${keys[@]}" | sort | uniq -d)
[[ -z $dups ]] || die "alfabeto.tsv: listed twice: $dups"
dups=$(printf '%s\n' "${words[@]}" bravo | sort | uniq -d)
[[ -z $dups ]] || die "words.tsv: listed twice (or clashes with bravo): $dups"
# Letters of the Italian alphabet come up all the time: four pictures each at
# least, so the same ones do not keep coming back. j k w x y take what fits.
for letter in a b c d e f g h i l m n o p q r s t u v z; do
    ((${per_letter[$letter]:-0} >= 4)) ||
        die "words.tsv: only ${per_letter[$letter]:-0} word(s) start with '$letter'; need 4"
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# One build folder per checkout: CMake refuses to reuse one for another source.
renderer_build=${EMOJI_RENDER_BUILD:-${TMPDIR:-/tmp}/quillo-emoji-render-$(printf '%s' "$here" | cksum | cut -d' ' -f1)}
if ! cmake -S "$here/emoji-render" -B "$renderer_build" -DCMAKE_BUILD_TYPE=Release \
    >"$tmp/cmake.log" 2>&1; then
    cat "$tmp/cmake.log" >&2
    grep -q Qt6 "$tmp/cmake.log" && die "Qt 6 not found (Debian package qt6-base-dev)"
    die "cannot configure tools/emoji-render"
fi
cmake --build "$renderer_build" -j2 >"$tmp/build.log" 2>&1 ||
    { cat "$tmp/build.log" >&2; die "cannot build tools/emoji-render"; }
renderer=$renderer_build/emoji-render

# --- generation ------------------------------------------------------------

mkdir -p "$out/alfabeto" "$out/parole" "$out/immagini"
made=0 kept=0

# wanted FILE: true when FILE has to be (re)made.
wanted() {
    if ((force)) || [[ ! -e $1 ]]; then
        return 0
    fi
    kept=$((kept + 1))
    return 1
}

# speak TEXT SPEED DEST
speak() {
    printf '%s\n' "$1" |
        espeak-ng -v it -s "$2" -p "$pitch" -w "$tmp/raw.wav" --stdin
    # -D: no dither, so the same input always gives the same bytes.
    # Trim the quiet lead-in, fade in over 5 ms, then the same backwards for
    # the tail (30 ms fade-out) so the cuts do not click; peak at -1 dBFS.
    sox -D "$tmp/raw.wav" -r 22050 -c 1 -b 16 -e signed-integer "$tmp/out.wav" \
        silence 1 0.02 0.5% fade q 0.005 \
        reverse silence 1 0.02 0.5% fade q 0.03 reverse \
        gain -n -1
    mv "$tmp/out.wav" "$3"
    made=$((made + 1))
}

for i in "${!keys[@]}"; do
    dest=$out/alfabeto/${keys[i]}.wav
    wanted "$dest" && speak "${key_texts[i]}" "$key_speed" "$dest"
done

dest=$out/parole/bravo.wav
wanted "$dest" && speak "$bravo_text" "$word_speed" "$dest"

for i in "${!words[@]}"; do
    word=${words[i]}
    dest=$out/parole/$word.wav
    wanted "$dest" && speak "$word" "$word_speed" "$dest"
    dest=$out/immagini/$word.png
    if wanted "$dest"; then
        what=("${emoji[i]}")
        if [[ ${emoji[i]} == openclipart:* ]]; then
            # Rendered well above the final size, so that scaling it down
            # gives the same soft edges as an emoji's.
            rsvg-convert --width $((picture_size * 4)) --keep-aspect-ratio --background-color none \
                --output "$tmp/drawing.png" "$clipart/${emoji[i]#openclipart:}" ||
                die "cannot render '$word' (${emoji[i]})"
            what=(--image "$tmp/drawing.png")
        fi
        QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$tmp \
            "$renderer" --size "$picture_size" "${what[@]}" "$tmp/out.png" ||
            die "cannot draw '$word' (${emoji[i]})"
        # 256-colour palette with alpha: less than half the size, and the
        # same input always gives the same bytes.
        pngquant --speed 1 --strip --force --output "$tmp/small.png" "$tmp/out.png"
        mv "$tmp/small.png" "$dest"
        made=$((made + 1))
    fi
done

# --- report ----------------------------------------------------------------

# Files nobody asks for any more are reported, not deleted.
declare -A known=([parole/bravo.wav]=1)
for name in "${keys[@]}"; do known[alfabeto/$name.wav]=1; done
for word in "${words[@]}"; do known[parole/$word.wav]=1 known[immagini/$word.png]=1; done
for path in "$out"/alfabeto/* "$out"/parole/* "$out"/immagini/*; do
    [[ -e $path ]] || continue
    rel=${path#"$out"/}
    [[ -n ${known[$rel]:-} ]] || printf 'make-media: not in any list (left alone): %s\n' "$rel" >&2
done

printf 'make-media: %d files made, %d kept; %d keys, %d words, %d first letters; %s in %s\n' \
    "$made" "$kept" "${#keys[@]}" "${#words[@]}" "${#per_letter[@]}" \
    "$(du -sh "$out" | cut -f1)" "$out"

#!/usr/bin/env bash
# Regenerates Quillo's media library from the lists in tools/media/:
#
#   media/alfabeto/NAME.wav   one recording per key    (tools/media/alfabeto.tsv)
#   media/parole/WORD.wav     one recording per word   (tools/media/words.tsv)
#   media/parole/bravo.wav    the praise
#   media/immagini/WORD.png   one picture per word     (tools/media/words.tsv)
#
# The keys are said by a person: the Italian speaker of Debian's
# asterisk-core-sounds-it-g722 (Carlo Flora, CC-BY-3.0), whose recordings
# ffmpeg decodes. The words, the praise and the fallback boh.wav are said by
# Festival's Italian voice built from recorded speech (festvox-itapc16k),
# after tools/check-stress.sh has held each word's stress against eSpeak NG's
# Italian rules. alfabeto.tsv says who says each key. Every recording is then
# shaped with sox (22050 Hz, mono, 16-bit PCM, silence trimmed at both ends,
# short fades; Festival's from just before its voice) and levelled to one
# loudness, -16.2 LUFS with peaks at or below -1 dBFS, measured by
# tools/loudness.cpp (libebur128): a word as Le parole di Quillo measures a
# parent's recording, a key by its loudest 400 ms, as the ear hears a short
# sound; see tools/media-voices.sh.
#
# Pictures are Noto Color Emoji glyphs drawn by tools/emoji-render into
# 256x256 PNGs, then reduced to a 256-colour palette by pngquant. A word the font has no emoji for takes a
# public-domain drawing from Debian's openclipart-svg instead, rendered by
# rsvg-convert and then placed and reduced the same way.
#
# Existing files are kept, so adding a line to a list and rerunning only adds
# the new files. Use --force after changing a text, an emoji or the settings
# in tools/media-voices.sh. The output depends only on the lists and on the
# versions of asterisk-core-sounds-it-g722, ffmpeg, festival,
# festvox-itapc16k, espeak-ng, sox, libebur128, Qt, pngquant, librsvg, the
# emoji font and the clip art: the same versions give the same bytes.
#
# Usage: tools/make-media.sh [--force] [--out DIR]

set -euo pipefail
export LC_ALL=C.UTF-8

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
lists=$here/media
out=$root/media
force=0

# In one breath: "Bravo! Bravissimo!" made Festival pause 0.76 s between them.
bravo_text="Bravo bravissimo!"
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

missing=() packages=()
need() { command -v "$1" >/dev/null 2>&1 || { missing+=("$1 (Debian package $2)") packages+=("$2"); }; }
need_file() { [[ -e $1 ]] || { missing+=("$1 (Debian package $2)") packages+=("$2"); }; }
need espeak-ng espeak-ng
need sox sox
need ffmpeg ffmpeg
need text2wave festival
need iconv libc-bin
need_file /usr/share/festival/voices/italian/pc_diphone festvox-itapc16k
need_file /usr/share/asterisk/sounds/it_IT_m_Carlo asterisk-core-sounds-it-g722
need_file /usr/include/ebur128.h libebur128-dev
need cmake cmake
need c++ g++
need fc-list fontconfig
need pngquant pngquant
need rsvg-convert librsvg2-bin
if ((${#missing[@]})); then
    printf 'make-media: missing tool: %s\n' "${missing[@]}" >&2
    printf 'make-media: apt-get install --no-install-recommends %s\n' "${packages[*]}" >&2
    exit 1
fi
espeak-ng --voices=it | awk '$2 == "it" { found = 1 } END { exit !found }' ||
    die "espeak-ng has no Italian voice (Debian package espeak-ng-data)"
[[ -n $(fc-list ':family=Noto Color Emoji') ]] ||
    die "font \"Noto Color Emoji\" not installed (Debian package fonts-noto-color-emoji)"

# --- lists -----------------------------------------------------------------

# Prints the data lines of a list (no comments, no blank lines). A comment
# is "#" alone or "#" and a space: "#" and a tab is the "#" key.
entries() { grep -v -E -e '^#( |$)' -e '^[[:space:]]*$' "$1"; }

# A key's file name must be visible and harmless on every desktop: no path
# separators, wildcards, quotes or control characters, no leading dot.
bad_name() {
    [[ -z $1 || $1 == .* || $1 =~ [][/\\:\"\<\>\|?*] || $1 =~ [[:cntrl:]] ]]
}

keys=() key_voices=() key_texts=()
while IFS=$'\t' read -r name voice text note; do
    bad_name "$name" && die "alfabeto.tsv: unusable name '$name'"
    [[ -n $text ]] || die "alfabeto.tsv: need NAME<tab>VOICE<tab>WHAT: '$name'"
    case $voice in
    speaker | festival) ;;
    espeak) [[ -n $note ]] || die "alfabeto.tsv: '$name' is said by eSpeak NG; the note must say why" ;;
    *) die "alfabeto.tsv: '$name': unknown voice '$voice' (speaker, festival or espeak)" ;;
    esac
    keys+=("$name")
    key_voices+=("$voice")
    key_texts+=("$text")
done < <(entries "$lists/alfabeto.tsv")

words=() emoji=() says=()
declare -A per_letter=()
while IFS=$'\t' read -r word codepoints _ say; do
    [[ $word =~ ^[a-zàèéìòùü]+([ -][a-zàèéìòùü]+)?$ && ${#word} -ge 2 ]] ||
        die "words.tsv: '$word' must be 2+ lower-case letters (one inner space or hyphen at most)"
    if [[ $codepoints == openclipart:* ]]; then
        [[ -f $clipart/${codepoints#openclipart:} ]] ||
            die "words.tsv: no drawing $clipart/${codepoints#openclipart:} for '$word' (Debian package openclipart-svg)"
    else
        [[ $codepoints =~ ^[0-9A-Fa-f]{2,6}(\+[0-9A-Fa-f]{2,6})*$ ]] ||
            die "words.tsv: bad code points for '$word': '$codepoints'"
    fi
    [[ $say != espeak* || $say == "espeak: "?* ]] ||
        die "words.tsv: '$word' is said by eSpeak NG; write \"espeak: REASON\""
    words+=("$word")
    emoji+=("$codepoints")
    says+=("${say:-$word}")
    letter=${word:0:1}
    per_letter[$letter]=$((${per_letter[$letter]:-0} + 1))
done < <(entries "$lists/words.tsv")

dups=$(printf '%s\n' "${keys[@]}" | sort | uniq -d)
[[ -z $dups ]] || die "alfabeto.tsv: listed twice: $dups"
dups=$(printf '%s\n' "${words[@]}" bravo | sort | uniq -d)
[[ -z $dups ]] || die "words.tsv: listed twice (or clashes with bravo): $dups"
# Letters of the Italian alphabet come up all the time: four pictures each at
# least, so the same ones do not keep coming back. h (whose words are all
# loans) and j k w x y take what a small child says.
for letter in a b c d e f g i l m n o p q r s t u v z; do
    ((${per_letter[$letter]:-0} >= 4)) ||
        die "words.tsv: only ${per_letter[$letter]:-0} word(s) start with '$letter'; need 4"
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Every text Festival is to say, its stress held against eSpeak NG's rules.
{
    for i in "${!keys[@]}"; do
        [[ ${key_voices[i]} != festival ]] || printf 'alfabeto/%s\t%s\n' "${keys[i]}" "${key_texts[i]}"
    done
    printf 'bravo\t%s\n' "$bravo_text"
    for i in "${!words[@]}"; do
        [[ ${says[i]} == espeak:* ]] || printf '%s\t%s\n' "${words[i]}" "${says[i]}"
    done
} >"$tmp/festival.tsv"
if ! bash "$here/check-stress.sh" <"$tmp/festival.tsv" >"$tmp/stress.txt"; then
    cat "$tmp/stress.txt" >&2
    die "stress differs: respell these words in the 'say' column of words.tsv (\"àuto\")"
fi

meter=$tmp/loudness
c++ -O2 -o "$meter" "$here/loudness.cpp" -lebur128 || die "cannot build tools/loudness.cpp"
# shellcheck source=tools/media-voices.sh
source "$here/media-voices.sh"

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

# record VOICE WHAT DEST [key]: VOICE (speaker, festival or espeak) says
# WHAT; a key starts closer to its voice and is levelled by its loudest
# momentary loudness.
record() {
    "$1_raw" "$2" "$tmp/raw.wav" "${4:-}"
    shape "$tmp/raw.wav" "$3" "${4:-}"
    made=$((made + 1))
}
declare -A by_voice=()

for i in "${!keys[@]}"; do
    dest=$out/alfabeto/${keys[i]}.wav
    by_voice[${key_voices[i]}]=$((${by_voice[${key_voices[i]}]:-0} + 1))
    wanted "$dest" && record "${key_voices[i]}" "${key_texts[i]}" "$dest" key
done

dest=$out/parole/bravo.wav
wanted "$dest" && record festival "$bravo_text" "$dest"

for i in "${!words[@]}"; do
    word=${words[i]}
    dest=$out/parole/$word.wav
    if [[ ${says[i]} == espeak:* ]]; then
        wanted "$dest" && record espeak "$word" "$dest"
    else
        wanted "$dest" && record festival "${says[i]}" "$dest"
    fi
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

printf 'make-media: %d files made, %d kept; %d keys (%d by the speaker), %d words, %d first letters; %s in %s\n' \
    "$made" "$kept" "${#keys[@]}" "${by_voice[speaker]:-0}" "${#words[@]}" "${#per_letter[@]}" \
    "$(du -sh "$out" | cut -f1)" "$out"

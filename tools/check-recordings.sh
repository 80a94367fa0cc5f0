#!/usr/bin/env bash
# Listens to every recording of a Quillo media folder and complains about
#   - the wrong format (Quillo's recordings are 22050 Hz, mono, 16-bit),
#   - silence (peak at or below 0.3 of full scale, -10.5 dBFS),
#   - clipping (peak at full scale),
#   - loudness more than 1 LU from -16.2 LUFS, or peaks above -1 dBFS (EBU
#     R128, measured by tools/loudness.cpp): a word as Le parole di Quillo
#     measures, integrated, or over the whole length for a recording under
#     0.5 s; a key by its loudest momentary loudness (400 ms, a short key
#     padded with silence), which is what the ear compares from key to key,
#   - keys further than 1.5 LU apart by that momentary loudness,
#   - a late start: the voice (the first 10 ms frame within 30 dB of the
#     loudest) later than 100 ms into a word or 30 ms into a key,
#   - a pause inside a word (a run of 10 ms frames 40 dB under the loudest)
#     longer than 0.3 s,
#   - a rushed word: its voice (onset to the last frame within 30 dB of the
#     loudest) shorter than 150 ms for each syllable its name spells (one per
#     run of vowels, so "aereo" counts two and is never judged too fast),
#   - key recordings (alfabeto/) and the praise longer than 1.5 s, words
#     longer than 3 s,
#   - missing recordings the program always needs.
# Exits non-zero when anything is wrong; when all is well, says the spread of
# the loudness, the keys' momentary loudness, the words' onsets and pace.
#
# Usage: tools/check-recordings.sh [MEDIA_DIR]   (default: media/ of this repository)

set -uo pipefail
export LC_ALL=C.UTF-8

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
media=${1:-$(dirname "$here")/media}

command -v sox >/dev/null 2>&1 || { echo "check-recordings: sox missing (Debian package sox)" >&2; exit 2; }
command -v c++ >/dev/null 2>&1 || { echo "check-recordings: c++ missing (Debian package g++)" >&2; exit 2; }
[[ -d $media ]] || { echo "check-recordings: no folder $media" >&2; exit 2; }

target_loudness=-16.2 loudness_tolerance=1 peak_ceiling=-1
key_spread=1.5 word_onset=100 key_onset=30 word_pause=300 syllable_ms=150

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# LOUDNESS_METER: tools/loudness.cpp already built, for a caller that checks
# several folders.
meter=${LOUDNESS_METER:-$tmp/loudness}
[[ -x $meter ]] || c++ -O2 -o "$meter" "$here/loudness.cpp" -lebur128 ||
    { echo "check-recordings: cannot build tools/loudness.cpp (Debian package libebur128-dev)" >&2; exit 2; }

problems=0 checked=0
problem() {
    printf '%s: %s\n' "$1" "$2"
    problems=$((problems + 1))
}

for required in alfabeto/d.wav alfabeto/o.wav alfabeto/k.wav alfabeto/boh.wav parole/bravo.wav; do
    [[ -f $media/$required ]] || problem "$required" "missing"
done

# One line per recording for the verdicts below: name, longest seconds,
# latest onset (ms), then what soxi and the meter say of it.
measure() { # FILE LONGEST_SECONDS LATEST_ONSET_MS
    local rel=${1#"$media"/} info rate channels bits samples levels
    checked=$((checked + 1))
    if ! info=$(soxi "$1" 2>/dev/null); then
        problem "$rel" "not a readable sound file"
        return
    fi
    # Read by the shell itself: a library has hundreds of files.
    rate="" channels="" bits="" samples=""
    [[ $info =~ Sample\ Rate\ *:\ ([0-9]+) ]] && rate=${BASH_REMATCH[1]}
    [[ $info =~ Channels\ *:\ ([0-9]+) ]] && channels=${BASH_REMATCH[1]}
    [[ $info =~ Precision\ *:\ ([0-9]+)-bit ]] && bits=${BASH_REMATCH[1]}
    [[ $info =~ Duration\ [^=]*=\ ([0-9]+)\ samples ]] && samples=${BASH_REMATCH[1]}
    levels=$(sox "$1" -t f32 -c 1 - 2>/dev/null | "$meter" "$rate")
    syllables "$rel"
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$rel" "$2" "$rate" "$channels" "$bits" "$samples" \
        "${levels:-? ? ? ? ? ?}" "$3" "$syllable_count" >>"$tmp/levels"
}

# syllables REL: for a word, the runs of vowels in its name; 0 for the rest;
# in $syllable_count (no subshell for each of hundreds of files).
syllables() {
    local name=${1##*/} runs=0 vowel=0 i
    syllable_count=0
    [[ $1 == parole/* && $name != bravo.wav ]] || return 0
    name=${name%.wav}
    for ((i = 0; i < ${#name}; i++)); do
        if [[ ${name:i:1} == [aeiouàèéìòùü] ]]; then
            ((vowel)) || runs=$((runs + 1))
            vowel=1
        else
            vowel=0
        fi
    done
    syllable_count=$runs
}

shopt -s nullglob
: >"$tmp/levels"
for file in "$media"/alfabeto/*.wav; do measure "$file" 1.5 "$key_onset"; done
for file in "$media"/parole/*.wav; do
    if [[ $file == */parole/bravo.wav ]]; then measure "$file" 1.5 "$word_onset"; else measure "$file" 3.0 "$word_onset"; fi
done

# Silent: peak at or below 0.3 of full scale; clipped: at full scale.
awk -F '\t' -v target="$target_loudness" -v tolerance="$loudness_tolerance" -v ceiling="$peak_ceiling" \
    -v spread="$key_spread" -v pause="$word_pause" -v syllable="$syllable_ms" '
    {
        split($7, l, " ")
        key = $1 ~ /^alfabeto\//
        loudness = key ? l[3] : l[1]; peak = l[2]; seconds = $3 > 0 ? $6 / $3 : 0
        if (!key && l[5] != "?" && l[5] + 0 > pause + 0)
            printf "%s\ta pause of %.2f s inside, at most %.1f s\n", $1, l[5] / 1000, pause / 1000
        if (l[4] != "?" && l[4] + 0 > $8 + 0) printf "%s\tstarts late: voice at %d ms, at most %d ms\n", $1, l[4], $8
        if ($9 > 0 && l[6] != "?" && l[6] + 0 < $9 * syllable)
            printf "%s\trushed: %d ms of voice for %d syllables, at least %d ms each\n", $1, l[6], $9, syllable
        if (key && loudness != "-inf" && loudness != "?") {
            if (!keys || loudness < low) { low = loudness; quietest = $1 }
            if (!keys || loudness > high) { high = loudness; loudest = $1 }
            keys++
        }
        if ($3 != 22050 || $4 != 1 || $5 != 16)
            printf "%s\tformat %s Hz, %s channel(s), %s bit; want 22050 Hz mono 16 bit\n", $1, $3, $4, $5
        if (peak == "-inf" || peak <= -10.46) printf "%s\tsilent (peak %s dBFS)\n", $1, peak
        else if (peak >= -0.01) printf "%s\tclipped (peak %s dBFS)\n", $1, peak
        else if (peak > ceiling) printf "%s\tpeak %s dBFS, above %d dBFS\n", $1, peak, ceiling
        if (seconds > $2 + 0) printf "%s\ttoo long (%.2f s, at most %.1f s)\n", $1, seconds, $2
        if (loudness == "-inf" || loudness == "?" || loudness < target - tolerance || loudness > target + tolerance)
            printf "%s\t%sloudness %s LUFS, want %.1f +- %d\n", $1, key ? "momentary " : "", loudness, target, tolerance
    }
    END {
        if (keys && high - low > spread)
            printf "%s\tmomentary loudness %.2f LUFS, %.2f LU under %s; keys at most %.1f LU apart\n",
                quietest, low, high - low, loudest, spread
    }' "$tmp/levels" >"$tmp/found"
while IFS=$'\t' read -r rel what; do problem "$rel" "$what"; done <"$tmp/found"

# The spread: words' loudness, onsets and ms a syllable (min/median/max),
# keys' momentary loudness.
sorted() { sort -g | awk '{ v[++n] = $1 } END { if (n) printf "%s/%s/%s", v[1], v[int((n + 1) / 2)], v[n] }'; }
words=$(grep -v '^alfabeto/' "$tmp/levels") keys=$(grep '^alfabeto/' "$tmp/levels")
spread="; words: loudness $(cut -f7 <<<"$words" | cut -d' ' -f1 | sorted) LUFS"
spread+=", voice at $(cut -f7 <<<"$words" | cut -d' ' -f4 | sorted) ms"
spread+=", $(awk -F '\t' '$9 > 0 { split($7, l, " "); print int(l[6] / $9) }' "$tmp/levels" | sorted) ms a syllable"
spread+=" (min/median/max); keys: momentary loudness $(cut -f7 <<<"$keys" | cut -d' ' -f3 | sorted) LUFS"

if ((problems)); then
    printf 'check-recordings: %d problem(s) in %d recordings%s\n' "$problems" "$checked" "$spread"
    exit 1
fi

printf 'check-recordings: %d recordings OK%s\n' "$checked" "$spread"

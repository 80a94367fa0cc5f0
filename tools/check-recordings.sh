#!/usr/bin/env bash
# Listens to every recording of a Quillo media folder and complains about
#   - the wrong format (Quillo's recordings are 22050 Hz, mono, 16-bit),
#   - silence (peak at or below 0.3 of full scale, -10.5 dBFS),
#   - clipping (peak at full scale),
#   - loudness more than 1 LU from -16.2 LUFS, or peaks above -1 dBFS (EBU
#     R128, measured by tools/loudness.cpp as Le parole di Quillo measures:
#     integrated, or over the whole length for a recording under 0.5 s),
#   - key recordings (alfabeto/) longer than 1.5 s, words longer than 3 s,
#   - missing recordings the program always needs.
# Exits non-zero when anything is wrong; when all is well, says the spread of
# the loudness.
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

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
meter=$tmp/loudness
c++ -O2 -o "$meter" "$here/loudness.cpp" -lebur128 ||
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
# then what soxi and the meter say of it.
measure() { # FILE LONGEST_SECONDS
    local rel=${1#"$media"/} info rate channels bits samples levels
    checked=$((checked + 1))
    if ! info=$(soxi "$1" 2>/dev/null); then
        problem "$rel" "not a readable sound file"
        return
    fi
    rate=$(sed -n 's/^Sample Rate *: //p' <<<"$info")
    channels=$(sed -n 's/^Channels *: //p' <<<"$info")
    bits=$(sed -n 's/^Precision *: \([0-9]*\)-bit/\1/p' <<<"$info")
    samples=$(sed -n 's/^Duration .*= \([0-9]*\) samples.*/\1/p' <<<"$info")
    levels=$(sox "$1" -t f32 -c 1 - 2>/dev/null | "$meter" "$rate")
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$rel" "$2" "$rate" "$channels" "$bits" "$samples" "${levels:-? ?}" >>"$tmp/levels"
}

shopt -s nullglob
: >"$tmp/levels"
for file in "$media"/alfabeto/*.wav; do measure "$file" 1.5; done
for file in "$media"/parole/*.wav; do measure "$file" 3.0; done

# Silent: peak at or below 0.3 of full scale; clipped: at full scale.
awk -F '\t' -v target="$target_loudness" -v tolerance="$loudness_tolerance" -v ceiling="$peak_ceiling" '
    {
        split($7, l, " ")
        loudness = l[1]; peak = l[2]; seconds = $3 > 0 ? $6 / $3 : 0
        if ($3 != 22050 || $4 != 1 || $5 != 16)
            printf "%s\tformat %s Hz, %s channel(s), %s bit; want 22050 Hz mono 16 bit\n", $1, $3, $4, $5
        if (peak == "-inf" || peak <= -10.46) printf "%s\tsilent (peak %s dBFS)\n", $1, peak
        else if (peak >= -0.01) printf "%s\tclipped (peak %s dBFS)\n", $1, peak
        else if (peak > ceiling) printf "%s\tpeak %s dBFS, above %d dBFS\n", $1, peak, ceiling
        if (seconds > $2 + 0) printf "%s\ttoo long (%.2f s, at most %.1f s)\n", $1, seconds, $2
        if (loudness == "-inf" || loudness == "?" || loudness < target - tolerance || loudness > target + tolerance)
            printf "%s\tloudness %s LUFS, want %.1f +- %d\n", $1, loudness, target, tolerance
    }' "$tmp/levels" >"$tmp/found"
while IFS=$'\t' read -r rel what; do problem "$rel" "$what"; done <"$tmp/found"

if ((problems)); then
    printf 'check-recordings: %d problem(s) in %d recordings\n' "$problems" "$checked"
    exit 1
fi
spread=$(awk -F '\t' '{ split($7, l, " "); if (!n || l[1] < min) min = l[1]; if (!n || l[1] > max) max = l[1]; n++ }
    END { if (n) printf "; loudness %.2f to %.2f LUFS", min, max }' "$tmp/levels")
printf 'check-recordings: %d recordings OK%s\n' "$checked" "$spread"

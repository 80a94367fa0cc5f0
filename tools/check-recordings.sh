#!/usr/bin/env bash
# Listens to every recording of a Quillo media folder and complains about
#   - the wrong format (Quillo's recordings are 22050 Hz, mono, 16-bit),
#   - silence (peak at or below 0.3 of full scale),
#   - clipping (peak at full scale),
#   - key recordings (alfabeto/) longer than 1.5 s, words longer than 3 s,
#   - missing recordings the program always needs.
# Exits non-zero when anything is wrong.
#
# Usage: tools/check-recordings.sh [MEDIA_DIR]   (default: media/ of this repository)

set -uo pipefail
export LC_ALL=C.UTF-8

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
media=${1:-$(dirname "$here")/media}

command -v sox >/dev/null 2>&1 || { echo "check-recordings: sox missing (Debian package sox)" >&2; exit 2; }
[[ -d $media ]] || { echo "check-recordings: no folder $media" >&2; exit 2; }

problems=0 checked=0
problem() {
    printf '%s: %s\n' "$1" "$2"
    problems=$((problems + 1))
}

for required in alfabeto/d.wav alfabeto/o.wav alfabeto/k.wav alfabeto/boh.wav parole/bravo.wav; do
    [[ -f $media/$required ]] || problem "$required" "missing"
done

check() { # FILE LONGEST_SECONDS
    local file=$1 limit=$2 rel=${1#"$media"/} stats
    checked=$((checked + 1))
    local rate channels bits seconds
    if ! rate=$(soxi -r "$file" 2>/dev/null); then
        problem "$rel" "not a readable sound file"
        return
    fi
    channels=$(soxi -c "$file") bits=$(soxi -b "$file") seconds=$(soxi -D "$file")
    [[ $rate == 22050 && $channels == 1 && $bits == 16 ]] ||
        problem "$rel" "format ${rate} Hz, ${channels} channel(s), ${bits} bit; want 22050 Hz mono 16 bit"
    stats=$(sox "$file" -n stat 2>&1)
    awk -v s="$seconds" -v limit="$limit" '
        /^Maximum amplitude/ { max = $3 }
        /^Minimum amplitude/ { min = -$3 }
        END {
            peak = max > min ? max : min
            if (peak <= 0.3) printf "silent (peak %.3f)\n", peak
            if (peak >= 0.999) printf "clipped (peak %.3f)\n", peak
            if (s + 0 > limit + 0) printf "too long (%.2f s, at most %.1f s)\n", s, limit
        }' <<<"$stats" >"$tmp"
    while IFS= read -r line; do problem "$rel" "$line"; done <"$tmp"
}

tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT

shopt -s nullglob
for file in "$media"/alfabeto/*.wav; do check "$file" 1.5; done
for file in "$media"/parole/*.wav; do check "$file" 3.0; done

if ((problems)); then
    printf 'check-recordings: %d problem(s) in %d recordings\n' "$problems" "$checked"
    exit 1
fi
printf 'check-recordings: %d recordings OK\n' "$checked"

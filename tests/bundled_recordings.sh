#!/usr/bin/env bash
# Listens to every recording of the bundled library (tools/check-recordings.sh):
# a word added to the lists with a silent, clipped, over-long, late or
# wrongly levelled recording fails here rather than in front of a child.
# Then makes sure the checker itself refuses a key and a word 3 dB too quiet,
# a key and a word whose voice starts late, a word or praise said twice
# with a pause between, and a word said twice as fast.
#   bundled_recordings.sh SOURCE_DIR
set -uo pipefail
source "$(dirname "$0")/e2e/test-env.sh"
need_tools sox soxi c++
check=$1/tools/check-recordings.sh media=$1/media

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The meter built once for every run of the checker below.
c++ -O2 -o "$tmp/loudness" "$1/tools/loudness.cpp" -lebur128 || exit 1
export LOUDNESS_METER=$tmp/loudness

bash "$check" "$media" || exit 1

# refused WHAT EXPECTED SOX_EFFECTS...: a small library of the bundled
# required recordings, with a.wav and gatto.wav put through the effects,
# must be refused with exactly the EXPECTED "file: verdict" lines.
refused() {
    local what=$1 expected=$2 out found
    shift 2
    rm -rf "$tmp/lib" && mkdir -p "$tmp/lib/alfabeto" "$tmp/lib/parole"
    cp "$media"/alfabeto/{d,o,k,boh}.wav "$tmp/lib/alfabeto/"
    cp "$media"/parole/bravo.wav "$tmp/lib/parole/"
    sox "$media/alfabeto/a.wav" "$tmp/lib/alfabeto/a.wav" "$@"
    sox "$media/parole/gatto.wav" "$tmp/lib/parole/gatto.wav" "$@"
    out=$(bash "$check" "$tmp/lib") && { echo "FAIL: a library $what passed: $out"; exit 1; }
    found=$(grep -o '^[^:/]*/[^:]*: [a-z ]*' <<<"$out" | sed 's/ *$//' | sort)
    [[ $found == "$expected" ]] ||
        { echo "FAIL: a library $what: want"; echo "$expected"; echo "got:"; echo "$out"; exit 1; }
    echo "the checker refuses a key and a word $what"
}

# A key 3 dB under the others is both off the target and too far from them.
refused "3 dB too quiet" $'alfabeto/a.wav: momentary loudness\nalfabeto/a.wav: momentary loudness\nparole/gatto.wav: loudness' \
    gain -3
# 120 ms of silence before the voice: too late for a word (100 ms), and
# 40 ms too late for a key (30 ms) while 20 ms passes.
refused "starting 120 ms late" $'alfabeto/a.wav: starts late\nparole/gatto.wav: starts late' pad 0.12 0
sox "$media/alfabeto/a.wav" "$tmp/lib/alfabeto/a.wav" pad 0.02 0
cp "$media/parole/gatto.wav" "$tmp/lib/parole/gatto.wav"
out=$(bash "$check" "$tmp/lib") || { echo "FAIL: a key 20 ms late was refused: $out"; exit 1; }
sox "$media/alfabeto/a.wav" "$tmp/lib/alfabeto/a.wav" pad 0.04 0
out=$(bash "$check" "$tmp/lib") && { echo "FAIL: a key 40 ms late passed: $out"; exit 1; }
grep -q '^alfabeto/a.wav: starts late' <<<"$out" || { echo "FAIL: want a.wav late, got: $out"; exit 1; }
echo "the checker takes a key 20 ms late and refuses one 40 ms late"

# Said twice with 0.4 s between: a pause in a word, and a praise too long
# (the short gatto also comes out quieter over its whole length).
sox "$media/alfabeto/a.wav" "$tmp/lib/alfabeto/a.wav"
sox "$media/parole/gatto.wav" "$tmp/lib/parole/gatto.wav" pad 0 0.4 repeat 1
sox "$media/parole/bravo.wav" "$tmp/lib/parole/bravo.wav" pad 0 0.4 repeat 1
out=$(bash "$check" "$tmp/lib") && { echo "FAIL: words said twice passed: $out"; exit 1; }
found=$(grep -o '^[^:/]*/[^:]*: [a-z ]*' <<<"$out" | sed 's/ *$//' | sort)
expected=$'parole/bravo.wav: a pause of\nparole/bravo.wav: too long\nparole/gatto.wav: a pause of\nparole/gatto.wav: loudness'
[[ $found == "$expected" ]] || { echo "FAIL: want bravo and gatto paused, bravo too long; got:"; echo "$out"; exit 1; }
echo "the checker refuses a 0.4 s pause in a word and a praise over 1.5 s"

# Twice as fast: gatto (two syllables) rushed; a key is never judged so.
sox "$media/parole/gatto.wav" "$tmp/lib/parole/gatto.wav" tempo 2
sox "$media/alfabeto/a.wav" "$tmp/lib/alfabeto/a.wav" tempo 2
cp "$media/parole/bravo.wav" "$tmp/lib/parole/bravo.wav"
out=$(bash "$check" "$tmp/lib") && { echo "FAIL: a word said twice as fast passed: $out"; exit 1; }
grep -q '^parole/gatto.wav: rushed' <<<"$out" || { echo "FAIL: want gatto rushed, got: $out"; exit 1; }
grep -q '^alfabeto/a.wav: rushed' <<<"$out" && { echo "FAIL: a key was judged for its pace: $out"; exit 1; }
echo "the checker refuses a word said twice as fast"

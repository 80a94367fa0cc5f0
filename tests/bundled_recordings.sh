#!/usr/bin/env bash
# Listens to every recording of the bundled library (tools/check-recordings.sh):
# a word added to the lists with a silent, clipped, over-long or wrongly
# levelled recording fails here rather than in front of a child. Then makes
# sure the checker itself refuses a recording 3 dB too quiet.
#   bundled_recordings.sh SOURCE_DIR
set -uo pipefail
source "$(dirname "$0")/e2e/test-env.sh"
need_tools sox soxi c++
check=$1/tools/check-recordings.sh media=$1/media

bash "$check" "$media" || exit 1

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/alfabeto" "$tmp/parole"
cp "$media"/alfabeto/{d,o,k,boh}.wav "$tmp/alfabeto/"
cp "$media"/parole/bravo.wav "$tmp/parole/"
sox "$media/alfabeto/a.wav" "$tmp/alfabeto/a.wav" gain -3
sox "$media/parole/gatto.wav" "$tmp/parole/gatto.wav" gain -3
out=$(bash "$check" "$tmp") && { echo "FAIL: a library 3 dB too quiet passed: $out"; exit 1; }
expected=$'alfabeto/a.wav: loudness\nparole/gatto.wav: loudness'
found=$(grep -o '^[^:]*: loudness' <<<"$out")
[[ $found == "$expected" ]] || { echo "FAIL: want exactly a.wav and gatto.wav too quiet, got:"; echo "$out"; exit 1; }
echo "the checker refuses a recording 3 dB too quiet"

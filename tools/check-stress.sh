#!/usr/bin/env bash
# Holds the stressed syllable of every word Festival's Italian voice is to
# say against eSpeak NG's Italian rules, and names each word where the two
# differ. Festival reads a word through its lexicon and letter-to-sound
# rules; a wrong stress ("aùto", "fòrmica") is mended in tools/media/words.tsv
# by a respelling with the stress written out ("àuto").
#
# Reads NAME<tab>TEXT lines on standard input (TEXT in UTF-8, as the lists
# keep it) and prints one line per word that differs. Exits 1 when one does.
#
# A word's stress is compared as its position from the end: how many vowel
# groups follow the stressed one, and how many vowels follow the stressed
# vowel within its group. Vowels standing together (and the glides j, w)
# make one group, so "mais" (ma-is to Festival, majs to eSpeak NG) or
# "cuore" compare alike however the two split their syllables.
#
# Words written out in Festival's phones (tools/media/festival-lexicon.scm)
# are looked up as Festival will say them.
#
# Usage: tools/check-stress.sh < LIST     (needs festival, festvox-itapc16k, espeak-ng)

set -euo pipefail
export LC_ALL=C.UTF-8

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

names=() tokens=()
while IFS=$'\t' read -r name text; do
    [[ -n $name ]] || continue
    text=${text,,}
    for token in ${text//[^[:alpha:]]/ }; do
        names+=("$name")
        tokens+=("$token")
    done
done

((${#tokens[@]})) || exit 0
{
    echo '(voice_pc_diphone)'
    cat "$(dirname "${BASH_SOURCE[0]}")/media/festival-lexicon.scm"
    for token in "${tokens[@]}"; do printf '(print (lex.lookup "%s"))\n' "$token"; done
} | iconv -f UTF-8 -t ISO-8859-1 >"$tmp/lookup.scm"
festival --pipe <"$tmp/lookup.scm" 2>"$tmp/festival.log" | iconv -f ISO-8859-1 -t UTF-8 |
    grep '^("' >"$tmp/entries" || true
mapfile -t entries <"$tmp/entries"
if ((${#entries[@]} != ${#tokens[@]})); then
    cat "$tmp/festival.log" >&2
    echo "check-stress: Festival answered ${#entries[@]} of ${#tokens[@]} words" >&2
    exit 2
fi

# One line per word: Festival's phones, then eSpeak NG's, each read into
# vowel groups; a line for each word where the two stress differently.
printf '%s.\n' "${tokens[@]}" | espeak-ng -v it -q -x >"$tmp/espeak"
mapfile -t espeak <"$tmp/espeak"
((${#espeak[@]} == ${#tokens[@]})) ||
    { echo "check-stress: eSpeak NG answered ${#espeak[@]} lines for ${#tokens[@]} words" >&2; exit 2; }

for i in "${!tokens[@]}"; do
    printf '%s\t%s\t%s\t%s\n' "${names[i]}" "${tokens[i]}" "${entries[i]}" "${espeak[i]}"
done | awk -F '\t' '
    # Position of the stress in a list of symbols (stressed vowel marked
    # with a leading quote): "GROUPS_AFTER/VOWELS_AFTER", or "?".
    function position(symbols, n,    i, s, stressed, groups, inside, at, after, found) {
        groups = 0; inside = 0; found = 0
        for (i = 1; i <= n; i++) {
            s = symbols[i]
            stressed = sub(/^\x27/, "", s)
            if (s !~ /^[aeEioOuIU@jw]$/) { inside = 0; continue }
            if (!inside) { groups++; inside = 1 }
            if (stressed && !found) { at = groups; after = -1; found = 1 }
            if (found && groups == at) after++
        }
        return found ? (groups - at) "/" after : "?"
    }
    # Festival: ("word" POS (((f a r) 0) ((f a1 l) 1) ((l a) 0))); the
    # stressed vowel carries a 1.
    function festival(entry, symbols,    n, i) {
        sub(/^\("[^"]*" [^(]*\(/, "", entry)
        gsub(/\) [0-9]\)/, " ", entry)
        gsub(/[()]/, " ", entry)
        n = split(entry, symbols, " ")
        shown = ""
        for (i = 1; i <= n; i++) {
            if (symbols[i] ~ /1$/) symbols[i] = "\x27" substr(symbols[i], 1, length(symbols[i]) - 1)
            shown = shown symbols[i]
        }
        return n
    }
    # eSpeak NG: "@-" is part of an r; length, variant and palatal marks only
    # qualify the symbol before them; the quote goes before the syllable.
    function espeak(line, symbols,    n, i, c, mark, k) {
        gsub(/@-/, "", line)
        gsub(/[,:;2^ ]/, "", line)
        n = length(line); k = 0
        for (i = 1; i <= n; i++) {
            c = substr(line, i, 1)
            if (c == "\x27") { mark = 1; continue }
            if (mark && c ~ /[aeEioOuIU]/) { c = "\x27" c; mark = 0 }
            symbols[++k] = c
        }
        return k
    }
    {
        split("", f); split("", e)
        nf = festival($3, f)
        ne = espeak($4, e)
        a = position(f, nf); b = position(e, ne)
        if (a != b || a == "?") {
            printf "%s: \"%s\" is stressed otherwise by Festival (%s) than by eSpeak NG (%s)\n", $1, $2, shown, $4
            differ++
        }
    }
    END { exit differ > 0 }'

#!/usr/bin/env bash
# The shared code's stderr sentences all have their Italian in the parents'
# program: a sentence added or reworded there without it would reach a
# parent in English. Its keys are the literals given to logText and
# warningOf, and the constants they are given by name.
#   bash tests/parole_log_italian.sh SOURCE_DIR
set -euo pipefail
top=${1:?usage: $0 SOURCE_DIR}
table=$top/parole/stderr_italian.cpp
keys=$(cd "$top" && {
    grep -rhoE '(logText|warningOf)\("([^"\\]|\\.)*"' library platform | sed -E 's/^[a-zA-Z]+\(//'
    # Sentences held in constants or passed on as a reason.
    grep -rhoE 'const char\* const k[A-Za-z]+ = "[^"]*"' platform/sound | sed -E 's/^[^"]*//'
    grep -rhoE 'lose\([^)]*"[^"]*"' platform/sound | grep -oE '"[^"]*"'
    grep -rhoE 'logText\([^")]*\? "[^"]*" : "[^"]*"' library platform | grep -oE '"[^"]*"'
} | sort -u)
[ -n "$keys" ] || { echo "FAIL: no sentences found under $top"; exit 1; }
missing=0
while IFS= read -r key; do
    [ "$key" = '"%1"' ] && continue  # a reason given as the system's own words
    grep -qF "{$key," "$table" || { echo "FAIL: no Italian for $key in parole/stderr_italian.cpp"; missing=1; }
done <<<"$keys"
[ "$missing" = 0 ] && echo "PASS: $(wc -l <<<"$keys") sentences, each with its Italian"
exit "$missing"

#!/bin/bash
# The program's folders depend one way, down: app -> commands -> settings ->
# feedback -> form -> platform. Fails, naming the line, where a file includes a
# header from a folder above its own.
set -u
root=${1:?source folder}
order=(platform form feedback settings commands app)
rank() { local i; for i in "${!order[@]}"; do [[ ${order[$i]} == "$1" ]] && echo "$i" && return; done; echo -1; }
status=0
for folder in "${order[@]}"; do
    own=$(rank "$folder")
    while IFS=: read -r file line text; do
        included=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$text")
        theirs=$(rank "$included")
        if (( theirs > own )); then
            echo "${file#"$root"/}:$line: $folder/ includes $included/, which is above it"
            status=1
        fi
    done < <(grep -rn --include='*.h' --include='*.cpp' -E '^#include "[^/"]+/' "$root/$folder")
done
exit $status

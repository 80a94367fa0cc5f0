#!/bin/bash
# The program's folders depend one way, down: app -> commands -> settings ->
# feedback -> form -> library -> platform, and inside platform the root
# bundle -> desktop -> sound -> settings_file -> files -> base. Fails, naming
# the line, where a file includes a header from a folder above its own. The
# rooms sound/ and desktop/ never include each other. The helper programs,
# parole/, media-check/ and child-setup/, stand beside the toy on the
# platform: they include nothing of the toy's (form/ and above) and nothing
# of each other's; parole/ and media-check/ may include library/, the media
# library all three programs share.
set -u
root=${1:?source folder}
order=(platform/base platform/files platform/settings_file platform/sound platform/desktop platform library form feedback settings commands app)
rank() { local i; for i in "${!order[@]}"; do [[ ${order[$i]} == "$1" ]] && echo "$i" && return; done; echo -1; }
# The folder a path "a/b/c.h" belongs to: platform/ROOM for a room, else the top folder.
folder_of() {
    local top=${1%%/*} rest=${1#*/}
    if [[ $top == platform && $rest == */* ]]; then echo "platform/${rest%%/*}"; else echo "$top"; fi
}
status=0
for folder in "${order[@]}"; do
    [ -d "$root/$folder" ] || continue
    own=$(rank "$folder")
    # The root folder's own files only, not its rooms'.
    depth=(); [[ $folder == platform ]] && depth=(-maxdepth 1)
    while IFS=: read -r file line text; do
        path=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$text")
        included=$(folder_of "$path")
        theirs=$(rank "$included")
        if (( theirs > own )) || [[ $folder/$included == platform/desktop/platform/sound ]]; then
            echo "${file#"$root"/}:$line: $folder/ includes $included/, which is above it"
            status=1
        fi
    done < <(find "$root/$folder" "${depth[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 |
             xargs -0 -r grep -n -H -E '^#include "[^/"]+/')
done
helpers=(parole media-check child-setup)
for folder in "${helpers[@]}"; do
    [ -d "$root/$folder" ] || continue
    while IFS=: read -r file line text; do
        path=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$text")
        included=$(folder_of "$path")
        [[ $included == library && $folder != child-setup ]] && continue
        if [[ $included != platform* || $included == "$folder" ]] && [[ $included != "$folder" ]]; then
            echo "${file#"$root"/}:$line: $folder/ includes $included/, which is not beside it on the platform"
            status=1
        fi
    done < <(find "$root/$folder" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 |
             xargs -0 -r grep -n -H -E '^#include "[^/"]+/')
done
exit $status

#!/usr/bin/env bash
# Circles between the files of one folder. A file's unit is its name without the extension (x.h with x.cpp); a
# unit depends on another of its folder when either of its files includes the other's header. A circle of such
# dependencies means none of its units can be read, tested or changed alone. This prints every circle it finds
# (as `tsort` reports them) and fails when a folder has one, except the folders listed in `untying`, whose circles
# are still being taken apart: those are printed, and do not fail yet.
#   scripts/check-circles.sh [--quiet] [SOURCE_DIR]
set -euo pipefail
quiet=0
if [[ ${1:-} == --quiet ]]; then quiet=1; shift; fi
cd "${1:-$(dirname "$0")/..}"
floors=(base platform tiles play sound gfx shell editor)
untying=(shell editor)

failed=0
for floor in "${floors[@]}"; do
    [[ -d $floor ]] || continue
    edges=$(for file in "$floor"/*.h "$floor"/*.cpp; do
        [[ -e $file ]] || continue
        unit=$(basename "${file%.*}")
        echo "$unit $unit"
        { grep -oE "^#include \"$floor/[a-z_0-9]+\.h\"" "$file" || true; } |
            sed -E "s#^\#include \"$floor/([a-z_0-9]+)\.h\"#\1#" |
            while read -r used; do if [[ $used != "$unit" ]]; then echo "$unit $used"; fi; done
    done)
    loops=$(tsort <<< "$edges" 2>&1 >/dev/null | sed -E 's/^tsort: //' || true)
    [[ -z $loops ]] && continue
    # Each loop as one line: "floor: a -> b -> c".
    report=$(awk -v floor="$floor" '/input contains a loop/ { if (line) print line; line = floor ":"; sep = " "; next }
                                     { line = line sep $0; sep = " -> " } END { if (line) print line }' <<< "$loops")
    if [[ " ${untying[*]} " == *" $floor "* ]]; then
        (( quiet )) || sed 's/$/   (still being untied)/' <<< "$report"
    else
        printf '%s\n' "$report"
        failed=1
    fi
done
if (( failed )); then
    echo "Circles between files in a folder (above): take the shared part out into a file both can include."
    exit 1
fi
(( quiet )) || echo "No circle between files in base, platform, tiles, play, sound, gfx."

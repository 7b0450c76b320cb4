#!/usr/bin/env bash
# The floors of the program and the includes between them. Each folder may include only its own floor and the
# floors below it; this prints every folder-to-folder include with its count and fails on any that goes up (an
# include that goes up is what would close a circle). The build also enforces it: each floor compiles against
# the folders below it only.
#   scripts/check-floors.sh [--quiet] [SOURCE_DIR]
set -euo pipefail
quiet=0
if [[ ${1:-} == --quiet ]]; then quiet=1; shift; fi
cd "${1:-$(dirname "$0")/..}"
floors=(base platform tiles play sound gfx shell editor)

declare -A rank
for i in "${!floors[@]}"; do rank[${floors[$i]}]=$i; done

edges=$(for floor in "${floors[@]}"; do
    [[ -d $floor ]] || continue
    { grep -oE '^#include "[a-z_]+/' -r --include='*.h' --include='*.cpp' "$floor" || true; } |
        sed -E 's#^([a-z_]+)/[^:]*:\#include "([a-z_]+)/#\1 \2#'
done | sort | uniq -c)

bad=0
report=""
while read -r count from to; do
    [[ -z ${count:-} ]] && continue
    if [[ -z ${rank[$to]+x} ]]; then
        report+="  $from -> $to ($count)   UNKNOWN FOLDER"$'\n'
        bad=1
    elif (( rank[$to] > rank[$from] )); then
        report+="  $from -> $to ($count)   GOES UP"$'\n'
        bad=1
    elif [[ $from != "$to" ]]; then
        report+="  $from -> $to ($count)"$'\n'
    fi
done <<< "$edges"

if (( bad )); then
    echo "Includes that go up a floor (floors from the bottom: ${floors[*]}):"
    printf '%s' "$report" | grep -E 'GOES UP|UNKNOWN'
    grep -rnE '^#include "[a-z_]+/' --include='*.h' --include='*.cpp' "${floors[@]}" 2>/dev/null |
        while IFS=: read -r file line text; do
            from=${file%%/*}
            to=$(sed -E 's/^#include "([a-z_]+)\/.*/\1/' <<< "$text")
            if [[ -z ${rank[$to]+x} ]] || (( rank[$to] > rank[$from] )); then echo "    $file:$line: $text"; fi
        done
    exit 1
fi
if (( ! quiet )); then
    echo "Floors from the bottom: ${floors[*]}"
    printf '%s' "$report"
    echo "No include goes up a floor."
fi

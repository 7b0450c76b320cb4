#!/usr/bin/env bash
# The solver's and the fairness measure's figures for every shipped level, as the tables of docs/solver.md and the
# episode pages give them: `kolbrix-tool solve` (60 s each, without the recorded solution) and `kolbrix-tool fairness`
# with the recorded solution beside the level's source. Slow: up to two minutes a level.
#   scripts/solver-figures.sh [BUILD_DIR] [PACK...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true
game=$build/game
tool=$game/kolbrix-tool
packs=("$@")
if (( ${#packs[@]} == 0 )); then
    for folder in "$root"/assets/packs/*/; do packs+=("$(basename "$folder")"); done
fi
field() { sed -n "s/.*\"$1\":\"\{0,1\}\([^,\"}]*\).*/\1/p" <<< "$2"; }
echo "| Level | Solver | Search (s) | States | Play (s) | Won of 20 | Narrowest window |"
echo "|---|---|---:|---:|---:|---:|---:|"
for pack in "${packs[@]}"; do
    for level in "$game/lvlpck$pack"/[0-9][0-9][0-9].kbx; do
        number=$(basename "$level" .kbx)
        solved=$("$tool" solve "$level" --budget 60 2>/dev/null | tail -1 || true)
        keys="$root/assets/packs/$pack/$number.keys"
        fair=""
        [[ -f $keys ]] && fair=$("$tool" fairness "$level" --solution "$keys" 2>/dev/null | tail -1 || true)
        echo "| $pack/$number | $(field result "$solved") | $(field 'search seconds' "$solved") | $(field states "$solved") |" \
             "$(field seconds "$solved") | $(field won "$fair") | $(field 'narrowest window' "$fair") |"
    done
done

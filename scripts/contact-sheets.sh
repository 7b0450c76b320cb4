#!/usr/bin/env bash
# Draws a contact sheet of every shipped level pack into docs/screenshots/: one small `kolbrix-tool shot` of each
# level at its start (drawn at 1024 x 768, shown at a quarter of that), labelled with its number and title, five to a row. Needs an X display (runs under Xvfb when
# there is none) and ImageMagick's montage.
#
#   scripts/contact-sheets.sh [BUILD]        (default: build; the program folder is BUILD/game)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
game=$(cd "$build/game" && pwd)
if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for pack in "$game"/lvlpck*/; do
    pack=${pack%/}
    name=${pack##*/lvlpck}
    tiles=()
    for level in "$pack"/[0-9][0-9][0-9].kbx; do
        [[ -e $level ]] || continue
        number=$(basename "$level" .kbx)
        shot="$work/$number.png"
        "$game/kolbrix-tool" shot "$level" "$shot" --data "$game" --size 1024x768 >/dev/null 2>&1
        title=$("$game/kolbrix-tool" dump "$level" --data "$game" 2>/dev/null |
                sed -n 's/.*"levelTitle": "\([^"]*\)".*/\1/p' | head -1)
        tiles+=(-label "$number  $title" "$shot")
    done
    [[ ${#tiles[@]} -gt 0 ]] || continue
    out="docs/screenshots/pack-$(tr 'A-Z ' 'a-z-' <<<"$name").png"
    montage "${tiles[@]}" -tile 5x -geometry 256x192+5+5 -background '#202028' -fill '#e8e8e8' \
        -pointsize 14 -title "$name" "$out"
    # Small enough to keep in the repository.
    convert "$out" -strip -colors 256 PNG8:"$out"
    echo "$out: $(( $(stat -c %s "$out") / 1024 )) KiB"
done

#!/usr/bin/env bash
# Contact sheets of the generated art, for docs/screenshots/: every texture pack (first frames, labelled), the
# animations (every fourth frame), the fixed pictures, the editor images and both fonts.
#
#   tools/gen_art/contact-sheets.sh [program folder] [output folder]
#
# Needs ImageMagick (montage, convert).
set -euo pipefail
game=${1:-build/game}
out=${2:-docs/screenshots}
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Sheets are kept small for the repository: 256 colours, best compression.
finish() { convert "$1" -strip -colors 256 -define png:compression-level=9 "$2"; }

label() { montage -label '%t' -font DejaVu-Sans -pointsize 8 -fill '#e8ecf2' -background '#3c424c' "$@"; }

# First frames of a pack. Varto-Lum's 251 background colours are shown by their first 16 codes only.
pack_sheet() {
    local pack=$1 sheet=$2
    local files=()
    while IFS= read -r f; do files+=("$f"); done < <(cd "$game/$pack" && ls -- *00.png | grep -v 'BackColor[0-9][0-9][0-9]*00.png$' || true)
    while IFS= read -r f; do files+=("$f"); done < <(cd "$game/$pack" && ls -- *BackColor0[0-9]00.png *BackColor1[0-4]00.png 2>/dev/null || true)
    (cd "$game/$pack" && label "${files[@]}" -tile 10x -geometry 120x120+6+4 "$tmp/sheet.png")
    finish "$tmp/sheet.png" "$out/$sheet"
}

pack_sheet txtpckMain pack-main.png
pack_sheet 1994txtpckMain pack-main-1994.png
pack_sheet txtpckVarto-Lum pack-vartolum.png
pack_sheet 1994txtpckVarto-Lum pack-vartolum-1994.png

# Animations: one row per animated texture of the main pack, every fourth frame.
rows=()
for first in $(cd "$game/txtpckMain" && ls -- *01.png | sed 's/01\.png$//'); do
    [[ $first == fontccfont ]] && continue
    frames=$(cd "$game/txtpckMain" && ls -- "$first"[0-9][0-9].png | awk 'NR % 4 == 1' | head -8)
    (cd "$game/txtpckMain" && montage $frames -background '#3c424c' -tile 8x1 -geometry 80x80+2+2 "$tmp/row-$first.png")
    rows+=("$tmp/row-$first.png")
done
convert "${rows[@]}" -append "$tmp/anim.png"
finish "$tmp/anim.png" "$out/pack-main-animations.png"

# Fixed pictures, half size.
(cd "$game" && label oslogo.png opening.png endgame.png 1994oslogo.png 1994opening.png -tile 3x -geometry 512x384+4+4 "$tmp/fixed.png")
finish "$tmp/fixed.png" "$out/fixed-images.png"

# Editor images at twice their size, on a board-like background; the placeholder beside them.
(cd "$game" && label editmenu.png editdial.png editdial1.png editinput.png editwait.png -tile 2x -geometry +6+6 "$tmp/editor.png")
convert "$tmp/editor.png" -scale 200% -strip "$out/editor-images.png"

# Fonts: the UI font at three times its size (its file stores rows bottom first), the big font's 42 images.
convert "$game/standard.tga" -auto-orient -background '#3c4a64' -flatten -scale 300% -strip "$out/font-ui.png"
(cd "$game/txtpckMain" && montage fontccfont*.png -background '#3c424c' -tile 14x -geometry 72x72+2+2 "$tmp/bigfont.png")
(cd "$game/1994txtpckMain" && montage fontccfont*.png -background '#3c424c' -tile 14x -geometry 72x72+2+2 "$tmp/bigfont94.png")
convert "$tmp/bigfont.png" "$tmp/bigfont94.png" -append "$tmp/fonts.png"
finish "$tmp/fonts.png" "$out/font-big.png"

ls -la "$out"

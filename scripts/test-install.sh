#!/usr/bin/env bash
# The install, as a distribution or `sudo make install` does it: `make install` into a temporary DESTDIR with
# PREFIX=/usr, the desktop's validators on the desktop entry and the AppStream metainfo, the icons and manual pages
# in place, and then the installed kolbrix-tool runs the installed game headless from its start to quitting (a new
# player is made), for a player whose home is a temporary folder. The player's files must land in their own folder
# and nothing under share/kolbrix/ may change. That folder is made read-only, which root ignores, so the proof is a
# listing of it with checksums before and after.
#   scripts/test-install.sh [BUILD]      (BUILD: the build folder, default build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
id=io.github.kolbrix.Kolbrix

work=$(mktemp -d "${TMPDIR:-/tmp}/kolbrix-install.XXXXXX")
cleanup() { chmod -R u+w "$work" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
failures=0
fail() { echo "test-install: $*" >&2; failures=$((failures + 1)); }

for tool in desktop-file-validate appstreamcli groff; do
    command -v "$tool" >/dev/null || { echo "test-install: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

dest=$work/root
if ! make -s --no-print-directory -C "$root" install BUILD="$build" PREFIX=/usr DESTDIR="$dest" \
        >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    echo "test-install: make install failed" >&2
    exit 1
fi
prefix=$dest/usr
data=$prefix/share/kolbrix

# ---- What went where ---------------------------------------------------------------------------------------
for program in kolbrix kolbrix-tool; do
    [[ -x $prefix/bin/$program ]] || fail "bin/$program is not installed"
done
for file in standard.dat standard.tga english.str german.str french.str spanish.str kolbrix.html kolbrix.es.html \
            emptylevel.kbx menubackground.kbx txtpckMain lvlpckKolbrix/001.kbx lvlpckKolbrix/001.keys \
            lvlpckKolbrix/pack.txt "lvlpckEpisode 1/001.kbx" "lvlpckEpisode 1/001.keys" audio; do
    [[ -e $data/$file ]] || fail "share/kolbrix/$file is not installed"
done
# Programs, build stamps and whatever a player or a test wrote into the build's program folder stay behind.
leftovers=$(cd "$data" && find . \( -name kolbrix -o -name kolbrix-tool -o -name '.*-stamp' -o -name settings.dat \
    -o -name '*.alp' -o -name '*.sts' -o -name tempedit.kbx -o -name tempsolve.keys -o -name '*.tmp' \) -print)
[[ -z $leftovers ]] || fail "share/kolbrix/ holds what it must not: $leftovers"
[[ ! -e $prefix/bin/standard.dat ]] || fail "bin/ holds game data"

# ---- The desktop's files -----------------------------------------------------------------------------------
desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
if [[ -f $desktop ]]; then
    desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 || { cat "$work/desktop.log" >&2; fail "desktop entry"; }
    grep -qx "Icon=$id" "$desktop" || fail "the desktop entry does not name the icon $id"
    grep -qx "Exec=kolbrix" "$desktop" || fail "the desktop entry does not start kolbrix"
else
    fail "share/applications/$id.desktop is not installed"
fi
if [[ -f $metainfo ]]; then
    appstreamcli validate --no-net "$metainfo" >"$work/metainfo.log" 2>&1 ||
        { cat "$work/metainfo.log" >&2; fail "AppStream metainfo"; }
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "the metainfo does not launch $id.desktop"
else
    fail "share/metainfo/$id.metainfo.xml is not installed"
fi

# Each icon is a PNG of its size: the width and height stand in the IHDR chunk, bytes 17 to 24.
for size in 16 24 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    if [[ ! -f $icon ]]; then
        fail "the ${size}x${size} icon is not installed"
        continue
    fi
    signature=$(od -An -tx1 -N8 "$icon" | tr -d ' \n')
    dimensions=$(od -An -tu1 -j16 -N8 "$icon" | awk '{print ($1*16777216+$2*65536+$3*256+$4) "x" ($5*16777216+$6*65536+$7*256+$8)}')
    [[ $signature == 89504e470d0a1a0a && $dimensions == "${size}x${size}" ]] ||
        fail "the ${size}x${size} icon is not a ${size}x${size} PNG ($dimensions)"
done
grep -q "<svg" "$prefix/share/icons/hicolor/scalable/apps/$id.svg" 2>/dev/null || fail "the scalable icon is missing"

for page in kolbrix kolbrix-tool; do
    man=$prefix/share/man/man6/$page.6
    if [[ ! -f $man ]]; then
        fail "man6/$page.6 is not installed"
        continue
    fi
    warnings=$(groff -ww -z -man "$man" 2>&1)
    [[ -z $warnings ]] || fail "man6/$page.6 warns: $warnings"
    MANWIDTH=80 man -l "$man" 2>/dev/null | grep -q "^NAME" || fail "man -l does not render man6/$page.6"
done

# ---- The installed game, for a player of the machine ---------------------------------------------------------
# From the first start: the language, a new player "ada", back to the main screen and the quit question's Yes.
cat >"$work/quit.keys" <<'EOF'
200
1 enter
10
1 enter
10
type Ada
1 enter
10
1 esc
10
1 esc
10
3 mouse 512 380 left
3 mouse 512 380
EOF
listing() { (cd "$data" && find . -printf '%y %m %s %p\n' | LC_ALL=C sort && find . -type f -exec sha256sum {} + | LC_ALL=C sort); }
chmod -R a-w "$data"
listing >"$work/before"
# XDG_DATA_HOME given, and not given (the player's folder is then under ~/.local/share).
for xdg in set unset; do
    home=$work/home-$xdg
    mkdir -p "$home"
    if [[ $xdg == set ]]; then own=$work/data-home/kolbrix; else own=$home/.local/share/kolbrix; fi
    code=0
    (cd "$work" && if [[ $xdg == set ]]; then export XDG_DATA_HOME=$work/data-home; else unset XDG_DATA_HOME; fi
     HOME=$home "$prefix/bin/kolbrix-tool" game --inputs "$work/quit.keys" --max-frames 2000) \
        >"$work/game-$xdg.log" 2>&1 || code=$?
    [[ $code -eq 0 ]] || { cat "$work/game-$xdg.log" >&2; fail "XDG_DATA_HOME $xdg: the installed game ended with $code"; }
    for file in settings.dat ada.alp; do
        [[ -f $own/$file ]] || fail "XDG_DATA_HOME $xdg: $file is not in the player's folder $own"
    done
done
# The installed game finds the installed kolbrix-tool beside itself: the editor's "Can it be won?" (F3) starts it
# on the first pack's first level (the trace's editor events: "check", then an answer, or "cancelled" by the Esc
# 600 frames later; "failed" when the tool was not found or could not run). Then out of the editor and quit.
printf '%s\n' 200 '1 down' 10 '1 down' 10 '1 enter' 100 '1 f3' 600 '1 esc' 30 '1 esc' 60 '1 esc' 30 '1 enter' \
    >"$work/solve.keys"
code=0
(cd "$work" && XDG_DATA_HOME=$work/data-home HOME=$work/home-set \
    "$prefix/bin/kolbrix-tool" game --inputs "$work/solve.keys" --max-frames 3000 --trace) >"$work/solve.log" 2>&1 ||
    code=$?
[[ $code -eq 0 ]] || { cat "$work/solve.log" >&2; fail "the editor's solver run ended with $code"; }
grep -q '"editor":"check"' "$work/solve.log" || fail "F3 did not start the solver: $(grep editor "$work/solve.log")"
! grep -q '"editor":"failed"' "$work/solve.log" || fail "the installed game did not run the installed kolbrix-tool"
[[ ! -e $work/data-home/kolbrix/tempsolve.keys ]] || fail "the solution file was left in the player's folder"
listing >"$work/after"
diff "$work/before" "$work/after" >"$work/changes" || { head -20 "$work/changes" >&2; fail "share/kolbrix/ changed"; }

if (( failures )); then
    echo "test-install: $failures failure(s)" >&2
    exit 1
fi
echo "Install test passed: make install, desktop entry, metainfo, icons, manual pages, the installed game."

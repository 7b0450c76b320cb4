#!/usr/bin/env bash
# The Debian package as a player's machine gets it: `apt-get install ./kolbrix_<version>_<arch>.deb`, the installed
# game started in a real window under Xvfb by a player with an empty home (the window must show, then the game quits
# from its menu), the first level of the first pack played through by the installed `kolbrix-tool game` with that
# level's recorded solution, the player's files found in ~/.local/share/kolbrix, and `apt-get remove` taking
# everything away again: the files under /usr before the install and after the removal must be the same.
# Needs root (apt-get) and a package made by `make deb`.
#   scripts/test-deb.sh [OUT]        (OUT: the folder of the package, default build-deb/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(cd "${1:-$root/build-deb}" && pwd)
version=$(dpkg-parsechangelog -l "$root/debian/changelog" -SVersion)
deb=$out/kolbrix_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || { echo "test-deb: $deb is missing (make deb)" >&2; exit 1; }
[[ $(id -u) -eq 0 ]] || { echo "test-deb: installing a package needs root" >&2; exit 1; }
for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "test-deb: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/kolbrix-deb.XXXXXX")
failures=0
fail() { echo "test-deb: $*" >&2; failures=$((failures + 1)); }
installed() { [[ $(dpkg-query -W -f='${Status}' kolbrix 2>/dev/null || true) == "install ok installed" ]]; }
cleanup() {
    if installed; then DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq kolbrix >/dev/null 2>&1 || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
export DEBIAN_FRONTEND=noninteractive

# A kolbrix installed before (an earlier run that stopped half-way) would hide what this install adds.
if installed; then apt-get remove -y -qq kolbrix >/dev/null; fi
usr_files() { find /usr -xdev -print 2>/dev/null | LC_ALL=C sort; }
usr_files >"$work/before"
packages_before=$(dpkg-query -W -f='${Package}\n' | LC_ALL=C sort)

# ---- The install -----------------------------------------------------------------------------------------------
apt-get install -y -qq "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; echo "test-deb: apt-get install failed" >&2; exit 1; }
installed || { echo "test-deb: kolbrix is not installed after apt-get install" >&2; exit 1; }
for file in /usr/games/kolbrix /usr/games/kolbrix-tool /usr/share/games/kolbrix/standard.dat \
            /usr/share/games/kolbrix/lvlpckKolbrix/001.kbx /usr/share/games/kolbrix/lvlpckKolbrix/pack.txt \
            /usr/share/games/kolbrix/spanish.str /usr/share/games/kolbrix/kolbrix.es.html \
            /usr/share/applications/io.github.kolbrix.Kolbrix.desktop \
            /usr/share/metainfo/io.github.kolbrix.Kolbrix.metainfo.xml /usr/share/man/man6/kolbrix.6.gz \
            /usr/share/doc/kolbrix/copyright; do
    [[ -e $file ]] || fail "$file is not installed"
done

# ---- The installed game in a window, for a player with an empty home ----------------------------------------------
# Xvfb runs no window manager: keys go to the focused window. The logo is skipped with Space once the window shows,
# then the window's close button and Enter for the quit question, again every 1.5 seconds until the game ends.
home=$work/home-window
mkdir -p "$home"
cat >"$work/window.sh" <<'EOF'
set -u
/usr/games/kolbrix >"$KOLBRIX_LOG" 2>&1 &
game=$!
shown=0
for _ in $(seq 1 200); do
    sleep 0.1
    if xdotool search --onlyvisible --name '^Kolbrix$' >/dev/null 2>&1; then shown=1; break; fi
done
if (( shown )); then
    sleep 6                                    # the logo, then the language screen of a first start
    import -window root "$KOLBRIX_SHOT" 2>/dev/null
    xdotool search --name '^Kolbrix$' windowfocus --sync key --delay 150 space Return 2>/dev/null
fi
for i in $(seq 1 100); do
    kill -0 "$game" 2>/dev/null || break
    (( i % 15 == 1 )) && xdotool search --name '^Kolbrix$' windowfocus --sync key --delay 150 alt+F4 Return 2>/dev/null
    sleep 0.1
done
if kill -0 "$game" 2>/dev/null; then kill -9 "$game"; wait "$game"; echo "did not end"; exit 1; fi
wait "$game"
code=$?
(( shown )) || { echo "no window"; exit 1; }
exit "$code"
EOF
window_code=0
env -u XDG_DATA_HOME HOME="$home" KOLBRIX_LOG="$work/window.log" KOLBRIX_SHOT="$out/deb-test-window.png" \
    xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/window.sh" >"$work/window.out" 2>&1 || window_code=$?
if (( window_code != 0 )); then
    cat "$work/window.out" "$work/window.log" >&2
    fail "the installed game in a window ended with $window_code"
fi
[[ -f $home/.local/share/kolbrix/settings.dat ]] || fail "the windowed game left no settings in ~/.local/share/kolbrix"

# ---- The first level played by the installed game, headless ----------------------------------------------------------
# The first start: Enter on every screen (the language, Play, the suggested name, the player, the first pack, the
# difficulty, Play), the level's recorded solution, then back to the main screen and the quit question's Yes.
home=$work/home-game
mkdir -p "$home"
{
    echo 200
    for _ in 1 2 3 4 5 6 7; do printf '1 enter\n10\n'; done
    cat "$root/assets/packs/Kolbrix/001.keys"
    printf '\n300\n1 esc\n10\n1 esc\n10\n1 enter\n10\n'
} >"$work/first-level.keys"
game_code=0
(cd "$work" && env -u XDG_DATA_HOME HOME="$home" /usr/games/kolbrix-tool game --inputs "$work/first-level.keys" \
    --max-frames 5000 --trace) >"$work/game.log" 2>&1 || game_code=$?
[[ $game_code -eq 0 ]] || { tail -5 "$work/game.log" >&2; fail "the installed game ended with $game_code"; }
grep -q '"pack":"lvlpckKolbrix","level":1,' "$work/game.log" || fail "the first level offered is not Kolbrix's first"
grep -q '"played":1,"result":"completed"' "$work/game.log" || { tail -5 "$work/game.log" >&2; fail "level 1 was not completed"; }
own=$home/.local/share/kolbrix
for file in settings.dat player.alp lvlpckKolbrix/player.sts; do
    [[ -f $own/$file ]] || fail "$file is not in the player's folder ~/.local/share/kolbrix"
done

# ---- The removal -------------------------------------------------------------------------------------------------
apt-get remove -y -qq kolbrix >"$work/remove.log" 2>&1 || { cat "$work/remove.log" >&2; fail "apt-get remove failed"; }
installed && fail "kolbrix is still installed after apt-get remove"
usr_files >"$work/after"
# Packages that the install brought in as dependencies stay, with their files; nothing else may have changed.
new_packages=$(comm -13 <(echo "$packages_before") <(dpkg-query -W -f='${Package}\n' | LC_ALL=C sort) | grep -vx kolbrix || true)
changes=$(diff "$work/before" "$work/after" | grep '^[<>]' || true)
if [[ -n $new_packages ]]; then
    echo "Dependencies the install brought in (their files are not counted): $new_packages"
    kept=""
    while IFS= read -r line; do
        path=${line:2}
        owner=$(dpkg-query -S "$path" 2>/dev/null | cut -d: -f1 | tr -d ' ' || true)
        grep -qxF "$owner" <<<"$new_packages" || kept+="$line"$'\n'
    done <<<"$changes"
    changes=${kept%$'\n'}
fi
[[ -z $changes ]] || { echo "$changes" | head -20 >&2; fail "/usr differs after the removal"; }

if (( failures )); then
    echo "test-deb: $failures failure(s)" >&2
    exit 1
fi
echo "Debian package test passed: installed, the game shown in a window and quit, level 1 of Kolbrix played by the" \
     "installed game, the player's files in ~/.local/share/kolbrix, removed without a trace in /usr."

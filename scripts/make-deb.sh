#!/usr/bin/env bash
# The Debian package, built by Debian's own tools (dpkg-buildpackage with debhelper, from debian/) on a copy of the
# source tree, then checked by lintian. Everything goes to the folder OUT (default build-deb/):
#   OUT/kolbrix_<version>_<arch>.deb    the package (and its .buildinfo, .changes and the -dbgsym package)
#   OUT/lintian.txt                     what lintian said; an error fails the build
#   OUT/kolbrix-<version>/              the copy built from; its obj-*/ folder is kept, so a second run only
#                                       builds what changed
#   scripts/make-deb.sh [OUT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/build-deb}
mkdir -p "$out"
out=$(cd "$out" && pwd)
cd "$root"

version=$(dpkg-parsechangelog -l debian/changelog -SVersion)
arch=$(dpkg --print-architecture)
src=$out/kolbrix-$version

# The copy: every file Git knows or would add (the tracked ones and new ones not ignored), as they are in the work
# tree; outside a Git checkout, the tree without its build folders. The build folder obj-*/ of the last run stays.
mkdir -p "$src"
find "$src" -mindepth 1 -maxdepth 1 ! -name 'obj-*' -exec rm -rf {} +
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard | while IFS= read -r -d '' file; do
        [[ -e $file ]] && printf '%s\0' "$file"
    done | tar --null -T - -cf - | tar -xf - -C "$src"
else
    tar --exclude='./build*' --exclude='./.git' -cf - . | tar -xf - -C "$src"
fi

started=$(date +%s)
echo "Building kolbrix $version for $arch in $src"
(cd "$src" && DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" \
    dpkg-buildpackage -b -nc -us -uc >"$out/build.log" 2>&1) || {
    tail -40 "$out/build.log" >&2
    echo "make-deb: dpkg-buildpackage failed (the whole log: $out/build.log)" >&2
    exit 1
}
deb=$out/kolbrix_${version}_${arch}.deb
[[ -f $deb ]] || { echo "make-deb: $deb was not made" >&2; exit 1; }
echo "Built $deb in $(( $(date +%s) - started )) s"

# lintian as Debian's archive runs it on a package; errors fail, warnings and notes are written down
# (docs/packaging.md says why those that remain stay).
code=0
lintian --info --display-info --fail-on error "$out/kolbrix_${version}_${arch}.changes" >"$out/lintian.txt" 2>&1 ||
    code=$?
# Errors and warnings one a line; the notes counted by tag (the whole report stays in the file).
grep -E '^(E|W): ' "$out/lintian.txt" || true
grep -E '^I: ' "$out/lintian.txt" | sed -e 's/ \[.*//' | sort | uniq -c || true
if (( code != 0 )); then
    echo "make-deb: lintian found errors ($out/lintian.txt)" >&2
    exit 1
fi
echo "lintian: no errors ($(grep -c '^W: ' "$out/lintian.txt" || true) warnings; $out/lintian.txt)"

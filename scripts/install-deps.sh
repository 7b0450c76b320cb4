#!/usr/bin/env bash
# Installs from Debian's packages whatever the build, the data generators and the tests need and is missing;
# with the argument "fuzz", also clang and its libFuzzer runtime for the fuzz harnesses (`make fuzz`); with "deb",
# the Debian packaging tools (`make deb`).
# Quiet when everything is there; runs apt-get update only when it has something to install.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-mixer-dev
  libgl-dev libgl1-mesa-dri
  zlib1g-dev libpng-dev libarchive-dev
  libfreetype-dev fonts-dejavu-core
  libvorbis-dev libogg-dev
  espeak-ng
  libgtest-dev
  xvfb xauth x11-utils xdotool
  desktop-file-utils appstream groff-base man-db
)
if [[ "${1:-}" == "fuzz" ]]; then
  packages+=(clang libclang-rt-dev)
fi
# "deb": what `make deb` and `make deb-test` need to build, check and install the Debian package.
if [[ "${1:-}" == "deb" ]]; then
  packages+=(debhelper dpkg-dev fakeroot lintian imagemagick)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

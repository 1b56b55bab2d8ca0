#!/usr/bin/env bash
# Installs the Debian packages that building, playing and testing need.
# Skips what is present; runs apt-get update only when something is missing.
# Usage: tools/setup-deps.sh [build|test|fuzz|bench]
set -euo pipefail

purpose=${1:-build}

packages=(
  g++ cmake ninja-build pkg-config
  zlib1g-dev libpng-dev libjpeg62-turbo-dev
  libsdl2-dev libfreetype-dev libfontconfig-dev libcurl4-openssl-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  libogg-dev libvorbis-dev libavformat-dev libavcodec-dev libswresample-dev libswscale-dev libavutil-dev
)
case "$purpose" in
  build) ;;
  # A real X server, a window manager, screenshots, window lookup and a scripted pointer and
  # keyboard for the window tests; the layout and naming checks.
  # Icon themes give the picture tests real PNGs with alpha.
  # Sound files nobody here wrote: the freedesktop sound theme's Ogg sounds.
  test) packages+=(xvfb xauth imagemagick x11-utils xdotool openbox clang-format-14 clang-tidy-14 adwaita-icon-theme
                   sound-theme-freedesktop) ;;
  fuzz) packages+=(clang-14 libclang-rt-14-dev) ;;
  # The peers the benchmarks measure against; the player never links them.
  bench) packages+=(libpixman-1-dev liblua5.4-dev) ;;
  *) echo "setup-deps: unknown purpose '$purpose' (build, test, fuzz or bench)" >&2; exit 2 ;;
esac
# The build always configures tests and benchmarks unless told otherwise.
packages+=(libgtest-dev libgmock-dev libbenchmark-dev)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
# de-duplicate
mapfile -t missing < <(printf '%s\n' "${missing[@]}" | awk 'NF && !seen[$0]++')

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "setup-deps: installing ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "setup-deps: need root or sudo to install ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

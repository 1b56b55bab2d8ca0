#!/bin/bash
# BMP pictures as games ship them, made by ImageMagick from forty icon PNGs:
# 24-bit, 8-bit palette, grey, OS/2 palette, 32-bit with alpha in bit fields
# and 8-bit run-length. Each kind comes back through pexa convert and export,
# and shows in a headless game, with the pixels ImageMagick reads from the BMPs.
# usage: bmp_kinds.sh PLAYER PEXA GAME
set -u
player=$1 pexa=$2 game=$3
mapfile -t icons < <(find /usr/share/icons/Adwaita/48x48 -name '*.png' -size +1k 2>/dev/null | grep -v symbolic | sort |
  head -n 40)
if [ "${#icons[@]}" -lt 40 ] || ! command -v convert > /dev/null; then
  echo "skipped: no 40 icon theme PNGs or no ImageMagick convert"
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/game" "$work/frames"
cp -r "$game/." "$work/game/"
kinds=("-type TrueColor bmp3" "+dither -posterize 6 -type Palette -compress None bmp3" "-type Grayscale bmp3"
  "+dither -posterize 6 -type Palette bmp2"
  "-type TrueColorAlpha bmp" "+dither -posterize 6 -type Palette -compress RLE bmp3")
status=0
for k in "${!kinds[@]}"; do
  read -r -a options <<< "${kinds[$k]% *}"
  convert "${icons[@]}" "${options[@]}" "${kinds[$k]##* }:$work/game/k${k}_%02d.bmp" || exit 1
  bmps=("$work/game/k${k}"_*.bmp)
  frames=$(printf '%s,' "${bmps[@]:1}")
  "$pexa" convert "${bmps[0]}" "$work/k$k.pxa" --frames "${frames%,}" || { echo "kind $k: pexa convert failed"; exit 1; }
  "$pexa" export "$work/k$k.pxa" "$work/back$k.png" --frame all || { echo "kind $k: pexa export failed"; exit 1; }
  backs=()
  for i in "${!bmps[@]}"; do backs+=("$work/back${k}_$i.png"); done
  # Colour and alpha of every pixel, as ImageMagick reads both.
  if ! cmp -s <(convert "${bmps[@]}" +append -depth 8 rgba:-) <(convert "${backs[@]}" +append -depth 8 rgba:-); then
    echo "FAIL: ${kinds[$k]} pictures differ after pexa convert and export"
    status=1
  fi
done

"$player" --headless "$work/game" --ticks 8 --capture "$work/frames" > "$work/run.txt" ||
  { echo "the player failed: $(cat "$work/run.txt")"; exit 1; }
shot=$(find "$work/frames" -name 'frame_*.png' | sort | tail -n 1)
[ -n "$shot" ] || { echo "FAIL: no frame captured"; exit 1; }
# The screen is a grid of 24 x 10 cells; the cell in row r, column c shows
# picture (r % 5) * 8 + c % 8 of the kind whose block it lies in.
cells=()
for r in $(seq 0 9); do
  for c in $(seq 0 23); do
    cells+=("$(printf '%s/game/k%d_%02d.bmp' "$work" $((r / 5 * 3 + c / 8)) $((r % 5 * 8 + c % 8)))")
  done
done
montage "${cells[@]}" -tile 24x10 -geometry +0+0 -background '#808080' "$work/expected.png"
# Kind 4 has alpha, blended over the grey with the player's rounding, which
# may differ from ImageMagick's by a level or two; the others must be exact.
alpha_block=(-fill black -draw 'rectangle 384,240 767,479')
for picture in expected shot; do
  source=$work/expected.png
  [ $picture = shot ] && source=$shot
  convert "$source" "${alpha_block[@]}" "$work/$picture.opaque.png"
  convert "$source" -crop 384x240+384+240 +repage "$work/$picture.alpha.png"
done
for part in opaque alpha; do
  fuzz=0
  [ $part = alpha ] && fuzz=1%
  differ=$(compare -metric AE -fuzz $fuzz "$work/expected.$part.png" "$work/shot.$part.png" null: 2>&1)
  if [ "$differ" != "0" ]; then
    echo "FAIL: the game's frame differs from ImageMagick's pictures in $differ pixels ($part pictures)"
    status=1
  fi
done
[ $status = 0 ] && echo "bmp kinds: all checks passed"
exit $status

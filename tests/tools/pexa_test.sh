#!/usr/bin/env bash
# pexa as a user runs it: real PNG pictures with alpha (from the icon themes)
# go to every kind of Pexa file and back to the same pixels, info tells the
# frames, and damaged files fail with a message and a non-zero status.
# Usage: pexa_test.sh PEXA WORKDIR
set -euo pipefail
pexa=$1
work=$2
rm -rf "$work"
mkdir -p "$work"

mapfile -t icons < <(find /usr/share/icons -name '*.png' -size +1k 2>/dev/null | sort | head -n 3)
if [ "${#icons[@]}" -lt 2 ] || ! command -v compare > /dev/null; then
  echo "skipped: no icon theme PNGs or no ImageMagick compare"
  exit 0
fi

same_pixels() {
  # compare prints the count of differing pixels (alpha included) on stderr.
  local differ
  differ=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
  if [ "$differ" != "0" ]; then
    echo "FAIL: $2 differs from $1 in $differ pixels"
    exit 1
  fi
}

for icon in "${icons[@]}"; do
  for variant in "" "--raw" "--tile 16" "--tile 7 --protect 0x1234" "--raw --protect 99"; do
    code=$(sed -n 's/.*--protect \([^ ]*\).*/\1/p' <<< "$variant")
    # shellcheck disable=SC2086
    "$pexa" convert "$icon" "$work/p.pxa" $variant
    "$pexa" export "$work/p.pxa" "$work/back.png" ${code:+--code "$code"}
    same_pixels "$icon" "$work/back.png"
  done
  "$pexa" convert "$icon" "$work/j.pxa" --jpeg 90
  "$pexa" export "$work/j.pxa" "$work/j.png"
done

"$pexa" convert "${icons[0]}" "$work/two.pxa" --frames "${icons[1]}" --delay 75
info=$("$pexa" info "$work/two.pxa")
grep -q '^version 106, 2 frames' <<< "$info" || { echo "FAIL: info: $info"; exit 1; }
[ "$(grep -c ', 75 ms' <<< "$info")" = 2 ] || { echo "FAIL: delays: $info"; exit 1; }
"$pexa" export "$work/two.pxa" "$work/second.png" --frame 1
same_pixels "${icons[1]}" "$work/second.png"

head -c 120 "$work/two.pxa" > "$work/cut.pxa"
if "$pexa" export "$work/cut.pxa" "$work/cut.png" 2> "$work/err.txt"; then
  echo "FAIL: a damaged file was exported"
  exit 1
fi
grep -q '^pexa: .*cut.pxa: Pexa' "$work/err.txt" || { echo "FAIL: message: $(cat "$work/err.txt")"; exit 1; }
if "$pexa" export "$work/two.pxa" "$work/none.png" --frame 5 2> /dev/null; then
  echo "FAIL: a missing frame was exported"
  exit 1
fi
echo "pexa: all checks passed"

#!/bin/bash
# SaveScreen writes what the player shows: the picture it saves in the save
# folder, exported by the pexa tool, has the pixels of the headless capture
# of a later tick of the still screen.
# usage: capture.sh PLAYER PEXA GAME
set -u
player=$1 pexa=$2 game=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/game" "$work/frames"
cp -r "$game/." "$work/game/"
rm -f "$work/game/save.dat"
out=$("$player" --headless "$work/game" --ticks 40 --dump-vars --capture "$work/frames" --capture-tick 25) ||
  { echo "the player failed: $out"; exit 1; }
status=0
for line in saved=1 memory=1 kept=2 climbed=0; do
  grep -qx "$line" <<<"$out" || { echo "expected $line in: $out"; status=1; }
done
[ -e "$work/climbed.pxa" ] && { echo "a capture left the save folder"; status=1; }
[ -f "$work/game/shot.pxa" ] || { echo "no shot.pxa in the save folder"; exit 1; }
[ -f "$work/frames/frame_000025.png" ] || { echo "no capture of tick 25"; exit 1; }
# Both pictures go through the same conversion, so equal pixels give equal files.
"$pexa" export "$work/game/shot.pxa" "$work/shot.png" >/dev/null || { echo "shot.pxa does not export"; exit 1; }
"$pexa" convert "$work/frames/frame_000025.png" "$work/frame.pxa" >/dev/null || exit 1
"$pexa" export "$work/frame.pxa" "$work/frame.png" >/dev/null || exit 1
cmp -s "$work/shot.png" "$work/frame.png" || { echo "the saved picture differs from the capture"; status=1; }
exit $status

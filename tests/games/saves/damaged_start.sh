#!/bin/bash
# A save file that cannot be read at all: the player says in a box under
# which name it set the file aside, plays the game without it (the story and
# its save at tick 30 run as usual) and leaves the old bytes under that name.
# usage: damaged_start.sh PLAYER KESTPACK GAME SOURCES
set -u
player=$1 kestpack=$2 game=$3 sources=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$game/." "$work/game"
printf 'vf\001\000\000\000garbage' >"$work/game/save.dat"
cp "$work/game/save.dat" "$work/old.dat"
out=$("$player" --headless "$work/game" --ticks 230 --dump-vars --input "$sources/a.input" 2>&1) ||
  { echo "the player failed: $out"; exit 1; }
status=0
# The box's text runs over several lines.
tr '\n' ' ' <<<"$out" | grep -q 'kestplayer: box [^>]*save\.dat\.damaged-1[^>]* -> ' ||
  { echo "no box names the new name"; status=1; }
grep -qx 'log=deep text done' <<<"$out" || { echo "the game did not run its story"; status=1; }
cmp -s "$work/old.dat" "$work/game/save.dat.damaged-1" || { echo "the old file is not kept"; status=1; }
"$kestpack" extract "$work/game/save.dat" "$work/entries" >/dev/null || { echo "the new save.dat does not open"; exit 1; }
[ -s "$work/entries/GAMESAVEDATA1" ] || { echo "the save at tick 30 was not written"; status=1; }
[ $status -eq 0 ] || echo "$out"
exit $status

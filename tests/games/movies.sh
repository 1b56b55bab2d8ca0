#!/usr/bin/env bash
# The movie game headless, twice: the movies show the same frames at the same
# ticks in both runs (they keep the game's clock), the frames change while
# they play, and the script saw each end once. A third run deactivates and
# activates the window while the first movie plays: it goes on to its end,
# and the movie played after it ends as well.
# Usage: movies.sh PLAYER GAME WORKDIR SOURCES
set -u
player=$1 game=$2 work=$3 sources=$4
rm -rf "$work" && mkdir -p "$work"
for run in 1 2; do
  cp -r "$game/." "$work/game$run"
  "$player" --headless "$work/game$run" --ticks 400 --crc "$work/crc$run.txt" --dump-vars >"$work/out$run.txt" 2>&1 ||
    { echo "the player failed: $(cat "$work/out$run.txt")"; exit 1; }
done
status=0
cmp -s "$work/crc1.txt" "$work/crc2.txt" || { echo "two runs drew different frames"; status=1; }
# The test movie is red for a second, then blue: the frames go through the
# first movie's colours, its end, the second one's fade and the replay.
distinct=$(awk '{print $2}' "$work/crc1.txt" | sort -u | wc -l)
((distinct >= 5)) || { echo "only $distinct different frames"; status=1; }
for line in ended=2 length=2000 above=0 playing=1; do
  grep -qx "$line" "$work/out1.txt" || { echo "not in the listing: $line"; status=1; }
done
cp -r "$game/." "$work/game3"
"$player" --headless "$work/game3" --ticks 400 --input "$sources/away.input" --dump-vars >"$work/out3.txt" 2>&1 ||
  { echo "the player failed: $(cat "$work/out3.txt")"; exit 1; }
grep -qx "ended=2" "$work/out3.txt" || { echo "after the window came back: $(grep '^ended=' "$work/out3.txt")"; status=1; }
echo "$distinct different frames in 400 ticks"
exit $status

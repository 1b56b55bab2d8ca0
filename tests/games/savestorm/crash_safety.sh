#!/bin/bash
# Kills a player that saves on every tick (SIGKILL, at many moments) and
# checks after each kill that save.dat opens, passes its checksums, and holds
# slot 1 (saved by this run or, when the kill came before its first save, by
# the run before) and the status data.
# usage: crash_safety.sh PLAYER KESTPACK GAME [KILLS]
set -u
player=$1 kestpack=$2 game=$3 kills=${4:-25}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$game/." "$work/game"
rm -f "$work/game/save.dat"
status=0
last_run=0
inside=0
for ((run = 1; run <= kills; ++run)); do
  "$player" --headless "$work/game" --ticks 100000000 >/dev/null 2>&1 &
  pid=$!
  # From soon after start-up to well into the saving, in steps that do not
  # line up with the saves.
  sleep "$(awk -v r="$run" 'BEGIN { printf "%.3f", 0.4 + (r * 0.137) % 1.3 }')"
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null
  [ -f "$work/game/save.dat" ] || continue
  if ! "$kestpack" verify "$work/game/save.dat" >/dev/null 2>&1; then
    echo "run $run: save.dat does not pass its checksums"
    status=1
    continue
  fi
  rm -rf "$work/entries"
  "$kestpack" extract "$work/game/save.dat" "$work/entries" >/dev/null 2>&1 || { echo "run $run: cannot extract"; status=1; }
  [ -s "$work/entries/STATUSSAVEDATA" ] || { echo "run $run: no status data"; status=1; }
  [ -s "$work/entries/GAMESAVEDATA1" ] || { echo "run $run: no slot 1"; status=1; continue; }
  # The title follows the version and its length: "RUN:COUNT".
  title=$(tail -c +9 "$work/entries/GAMESAVEDATA1" | head -c 24 | tr -c '0-9:' '\n' | head -1)
  saved_run=${title%%:*}
  if [[ -z $saved_run || $saved_run -lt $last_run ]]; then
    echo "run $run: slot 1 holds \"$title\", older than run $last_run's save"
    status=1
  fi
  last_run=${saved_run:-$last_run}
  inside=$((inside + $(find "$work/game" -name 'save.dat.tmp-*' | wc -l)))
  find "$work/game" -name 'save.dat.tmp-*' -delete
done
[ "$last_run" -gt $((kills / 2)) ] || { echo "only $last_run runs saved anything"; status=1; }
echo "crash safety: $kills kills, the last save from run $last_run, $inside kills inside a write"
exit $status

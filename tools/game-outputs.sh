#!/usr/bin/env bash
# Runs every test game and the demo headless with their input scripts and
# writes what a game shows of itself into DIR: the variables at the end
# (--dump-vars), the command trace and a CRC of every drawn tick. Two runs
# on either side of a change that must not change anything compare with
# diff -r.
# Usage: tools/game-outputs.sh BUILD DIR   (BUILD: build/asan or build/release)
set -euo pipefail
build=$(realpath "$1")
out=$2
src=$(cd "$(dirname "$0")/.." && pwd)
rm -rf "$out" && mkdir -p "$out"
out=$(realpath "$out")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run() {  # NAME GAMEFOLDER TICKS INPUT|-
  local name=$1 game=$2 ticks=$3 input=$4
  rm -rf "$work/game" && cp -r "$game" "$work/game" && rm -f "$work/game/save.dat"
  local args=(--headless "$work/game" --ticks "$ticks" --dump-vars --trace "$out/$name.trace" --crc "$out/$name.crc"
    --date 2026-01-01T12:00:00)
  [[ $input != - ]] && args+=(--input "$input")
  "$build/bin/kestplayer" "${args[@]}" >"$out/$name.vars" 2>"$out/$name.err" || echo "exit $?" >>"$out/$name.vars"
  # The copy's folder differs from run to run.
  sed -i "s|$work/game|GAME|g" "$out/$name".*
}

# The games the suite checks, with their ticks and input scripts.
while read -r name game ticks input; do
  [[ $input != - ]] && input=$src/tests/games/$game/$input
  run "$name" "$build/tests/games/$game" "$ticks" "$input"
done < <(sed -n 's/^kest_game_test(\([a-z_]*\) \([a-z_]*\) \([0-9]*\) \([^ )]*\).*/\1 \2 \3 \4/p' \
  "$src/tests/games/CMakeLists.txt")
# The games only shell tests drive, for a fixed stretch without input.
for game in minimal saves savestorm movies; do
  [[ -d $build/tests/games/$game ]] && run "plain_$game" "$build/tests/games/$game" 200 -
done
run demo "$build/demo/game" 1120 "$src/demo/play.input"
echo "$(ls "$out" | wc -l) files in $out"

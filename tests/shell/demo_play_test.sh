#!/usr/bin/env bash
# The demo game headless with the scripted click of `./kest play`: the title
# screen shows, the click on "はじめる" runs its handler, the first scene
# replaces the title and tells its story letter by letter; the wheel opens
# the history over it and a click closes it.
# Usage: demo_play_test.sh PLAYER GAME INPUT WORKDIR
set -u
player=$1
game=$2
input=$3
work=$4
rm -rf "$work" && mkdir -p "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$player" --headless "$game" --ticks 700 --input "$input" --crc "$work/crc.txt" --trace "$work/trace.txt" \
  >"$work/out.txt" 2>&1 || fail "the player failed: $(cat "$work/out.txt")"
grep -q '<Event>title.ksb' "$work/trace.txt" || fail "the start button's handler did not run"
grep -q 'scene1.ksb' "$work/trace.txt" || fail "the first scene did not start"
crc() { awk -v t="$1" '$1 == t {print $2}' "$work/crc.txt"; }
title=$(crc 30)
hover=$(crc 80)
scene=$(crc 230)
[[ -n "$title" && -n "$scene" ]] || fail "no frames captured"
[[ "$title" != "$hover" ]] || fail "the start button did not change under the mouse"
[[ "$title" != "$scene" && "$hover" != "$scene" ]] || fail "the first scene did not replace the title"
[[ "$(crc 160)" != "$(crc 170)" ]] || fail "the first screenful is not revealed letter by letter"
[[ "$(crc 215)" == "$scene" ]] || fail "Enter did not show the whole screenful, or it does not stay still"
[[ "$(crc 250)" != "$(crc 260)" && "$(crc 260)" != "$scene" ]] || fail "a click did not move on to the next screenful"
history=$(crc 540)
[[ "$history" != "$(crc 515)" && "$history" == "$(crc 580)" ]] || fail "the wheel did not open the history"
[[ "$(crc 620)" != "$history" ]] || fail "a click did not close the history"

if ((failures == 0)); then echo "demo play: all checks passed"; fi
exit $((failures > 0))

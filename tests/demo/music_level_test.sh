#!/usr/bin/env bash
# The demo's music as a player hears it: the demo game headless with the
# scripted input of `./kest play`, its sound written with --audio-wav. The
# music fades in on the title and goes on through the story, past its flip,
# a save and a load (which fades the saved music in again from where it
# was); the buttons' clicks do not clip. The levels are printed.
# Usage: music_level_test.sh PLAYER WAV_LEVEL GAME INPUT WORKDIR
set -u
player=$1
wav_level=$2
game=$3
input=$4
work=$5
rm -rf "$work" && mkdir -p "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A copy of the game, so that its save stays out of the build's game folder.
cp -r "$game/." "$work/game" && rm -f "$work/game/save.dat"
[[ -f "$work/game/bgm.ogg" && -f "$work/game/click.ogg" ]] || fail "the game has no music or no click"

# 960 ticks of 15 ms: the title from 0 s, the story from 1.9 s, the save at
# 9.6 s and the load at 11.0 s, its music back at full level by 12.6 s.
"$player" --headless "$work/game" --ticks 960 --input "$input" --audio-wav "$work/sound.wav" >"$work/out.txt" 2>&1 ||
  fail "the player failed: $(cat "$work/out.txt")"
grep -q 'sound 14400 ms' "$work/out.txt" || fail "the sound output did not follow the game's clock: $(cat "$work/out.txt")"
# The first second is the fade-in.
"$wav_level" "$work/sound.wav" 1 11 -32 || fail "the music is not heard on the title or in the story"
"$wav_level" "$work/sound.wav" 13 14 -32 || fail "the music is not heard after the load"

out=$("$player" --headless "$work/game" --ticks 5 --audio-wav "$work/missing/sound.wav" 2>&1)
status=$?
[[ $status -eq 2 && "$out" == *"cannot write the sound file $work/missing/sound.wav"* ]] ||
  fail "an unwritable sound file: status $status, $out"

if ((failures == 0)); then echo "demo music: all checks passed"; fi
exit $((failures > 0))

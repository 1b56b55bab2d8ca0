#!/usr/bin/env bash
# The demo's music as a player hears it: the demo game headless with the
# scripted input of `./kest play`, its sound written with --audio-wav. The
# music fades in on the title and goes on through the story, past its flip,
# a save and a load (which fades the saved music in again from where it
# was); the buttons' clicks do not clip. The levels are printed.
# Usage: music_level_test.sh PLAYER WAV_LEVEL GAME INPUT WORKDIR KESTC SE_GAME
set -u
player=$1
wav_level=$2
game=$3
input=$4
work=$5
kestc=$6
se_game=$7
rm -rf "$work" && mkdir -p "$work"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A copy of the game, so that its save stays out of the build's game folder.
cp -r "$game/." "$work/game" && rm -f "$work/game/save.dat"
[[ -f "$work/game/bgm.ogg" && -f "$work/game/click.ogg" ]] || fail "the game has no music or no click"

# 960 ticks of 15 ms: the title from 0 s, the story from 1.9 s, the save at
# 9.6 s and the load at 11.0 s, its music back at full level by 12.6 s. Both
# sound paths are heard: the library's players (DirectSound=1) and the
# player's own wave mixer (DirectSound=0).
for ds in 1 0; do
  printf '[Sound]\nDirectSound=%s\n' "$ds" >"$work/sound$ds.ini"
  rm -f "$work/game/save.dat"
  "$player" --headless "$work/game" --ticks 960 --input "$input" --settings "$work/sound$ds.ini" \
    --audio-wav "$work/sound$ds.wav" >"$work/out$ds.txt" 2>&1 || fail "DirectSound=$ds: the player failed: $(cat "$work/out$ds.txt")"
  grep -q 'sound 14400 ms' "$work/out$ds.txt" ||
    fail "DirectSound=$ds: the sound output did not follow the game's clock: $(cat "$work/out$ds.txt")"
  # The first second is the fade-in.
  "$wav_level" "$work/sound$ds.wav" 1 11 -32 || fail "DirectSound=$ds: the music is not heard on the title or in the story"
  "$wav_level" "$work/sound$ds.wav" 13 14 -32 || fail "DirectSound=$ds: the music is not heard after the load"
done

# The click (105 ms, 7 ticks) tells its end on time on both paths: the
# library at once, the wave mixer once its last block has had twice the
# DelayTime (500 ms) to play.
"$kestc" "$se_game" -o "$work/se" >"$work/se.txt" 2>&1 || fail "the click game does not compile: $(cat "$work/se.txt")"
cp "$work/game/click.ogg" "$work/se/"
for ds in 1 0; do
  out=$("$player" --headless "$work/se" --ticks 100 --settings "$work/sound$ds.ini" --dump-vars 2>&1)
  ticks=$(sed -n 's/^ticks=//p' <<<"$out")
  limit=$((ds ? 12 : 80))
  grep -qx 'ended=1' <<<"$out" && ((ticks >= 6 && ticks <= limit)) ||
    fail "DirectSound=$ds: the click ended after ${ticks:-no} ticks: $out"
done

out=$("$player" --headless "$work/game" --ticks 5 --audio-wav "$work/missing/sound.wav" 2>&1)
status=$?
[[ $status -eq 2 && "$out" == *"cannot write the sound file $work/missing/sound.wav"* ]] ||
  fail "an unwritable sound file: status $status, $out"

if ((failures == 0)); then echo "demo music: all checks passed"; fi
exit $((failures > 0))

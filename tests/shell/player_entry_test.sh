#!/usr/bin/env bash
# The player as a program: instance guard, /config, the extension library
# check, the headless exit question, and game data as a Windows disc names it.
set -u
player=$1
work=$2
kestproject=$3
empty_page=$4  # a compiled page without commands
kestpack=$5
bin=$(dirname "$player")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$work" && mkdir -p "$work/one" "$work/two" "$work/none"
"$kestproject" "$work/one/kest.kpb" --title "テスト" --size 640x480 --version 116 && cp "$empty_page" "$work/one/start.ksb"
"$kestproject" "$work/two/kest.kpb" --title "two" --size 320x240 --toolbar 0 && cp "$empty_page" "$work/two/start.ksb"
# Each run gets its own lock folder so parallel tests never collide.
export XDG_RUNTIME_DIR="$work"

# A windowed player on the SDL dummy video driver runs in real time.
DISPLAY=:kest-test SDL_VIDEODRIVER=dummy "$player" "$work/one" --ticks 200 >"$work/first.out" 2>&1 &
first=$!
sleep 0.5
kill -0 $first 2>/dev/null || fail "the first player did not keep running: $(cat "$work/first.out")"

# A second player on the same folder ends at once: one that played the game
# would run its million ticks long past the time it is given.
timeout 30 "$player" "$work/one/" --headless --ticks 1000000 >"$work/second.out" 2>&1
status=$?
[[ $status -ne 124 ]] || fail "the second instance played the game"
[[ $status -eq 0 ]] || fail "second instance exit status $status"
[[ ! -s "$work/second.out" ]] || fail "second instance printed: $(cat "$work/second.out")"

out=$("$player" "$work/two" --headless --ticks 5 2>&1)
[[ "$out" == *'("two" 320x240): 5 ticks in 5 periods'* ]] || fail "a player on another folder did not run: $out"

wait $first || fail "the first player failed: $(cat "$work/first.out")"
out=$("$player" "$work/one" --headless --ticks 5 2>&1)
[[ "$out" == *'("テスト" 640x480): 5 ticks'* ]] || fail "the project's title and size: $out"

out=$("$player" /CONFIG 2>&1); status=$?
[[ $status -eq 0 && "$out" == *"settings"* ]] || fail "/config: status $status, $out"

out=$(KEST_LIBRARY="$work/none/libkest.so" "$player" "$work/one" --headless 2>&1); status=$?
[[ $status -eq 1 && "$out" == *"libkest.so"*"ファイルがありません"* ]] || fail "missing library: status $status, $out"

out=$(KEST_LIBRARY="$bin/libkest_fake_old_version.so" "$player" "$work/one" --headless 2>&1); status=$?
[[ $status -eq 1 && "$out" == *"のバージョンがあいません"* ]] || fail "old library: status $status, $out"

printf '5 toolbar exit\n' >"$work/exit.txt"
out=$(LANG=ja_JP.UTF-8 "$player" "$work/one" --headless --ticks 20 --input "$work/exit.txt" --answers no 2>&1)
[[ "$out" == *"を終了しますか？ -> no"* && "$out" == *"20 ticks"*"still running"* ]] || fail "exit question No: $out"
out=$(LANG=C "$player" "$work/one" --headless --ticks 20 --input "$work/exit.txt" --answers yes 2>&1)
[[ "$out" == *"Do you want to exit"*"-> yes"* && "$out" == *"4 ticks"*"closed at period 5"* ]] || fail "exit question Yes: $out"
# A question with no answer left ends the run, saying which.
out=$(LANG=C "$player" "$work/one" --headless --ticks 20 --input "$work/exit.txt" 2>&1); status=$?
[[ $status -eq 1 && "$out" == *"Do you want to exit"*"-> none"*"left without an answer"* ]] || fail "unanswered question: status $status, $out"

# Frames: a CRC per drawn tick (a black 640 x 480 output: the CRC-32 of its
# zero bytes) and the picture of one chosen tick.
rm -rf "$work/capture"
out=$("$player" "$work/one" --headless --ticks 6 --crc "$work/frames.crc" --capture "$work/capture" --capture-tick 4 2>&1)
[[ "$(wc -l <"$work/frames.crc")" -eq 6 && "$(sed -n 6p "$work/frames.crc")" == "6 7fd9f67a" ]] || fail "crc file: $(cat "$work/frames.crc")"
[[ -s "$work/capture/frame_000004.png" && $(ls "$work/capture" | wc -l) -eq 1 ]] || fail "capture: $(ls "$work/capture")"
# The same ticks give the same frames.
"$player" "$work/one" --headless --ticks 30 --test-pattern --crc "$work/a.crc" >/dev/null 2>&1
"$player" "$work/one" --headless --ticks 30 --test-pattern --crc "$work/b.crc" >/dev/null 2>&1
cmp -s "$work/a.crc" "$work/b.crc" && [[ "$(wc -l <"$work/a.crc")" -eq 30 ]] || fail "two runs gave different CRC files"
out=$("$player" "$work/one" --headless --ticks 1 --output-bits 16 2>&1)
[[ "$out" == *"last CRC c656b350"* ]] || fail "16-bit output: $out"

# A folder without a project does not start, and says so.
out=$("$player" "$work/none" --headless --ticks 5 2>&1)
[[ "$out" == *"the game did not start"* ]] || fail "a folder without kest.kpb: $out"

# Game data named as on a Windows disc: GAME.DAT alone, and GAME.EXT beside
# a GAME.DAT whose own index is wiped, so the game starts only through it.
mkdir -p "$work/src" "$work/upper" "$work/split" "$work/bad"
cp "$work/one/kest.kpb" "$work/one/start.ksb" "$work/src/"
"$kestpack" create "$work/upper/GAME.DAT" "$work/src" >/dev/null
"$kestpack" create --split "$work/split/GAME.DAT" "$work/src" >/dev/null
mv "$work/split/GAME.ext" "$work/split/GAME.EXT"
printf '\0\0\0\0\0\0\0\0\0\0' | dd of="$work/split/GAME.DAT" bs=1 conv=notrunc status=none
for game in upper split; do
  out=$("$player" "$work/$game" --headless --ticks 5 2>&1); status=$?
  [[ $status -eq 0 && "$out" == *'("テスト" 640x480): 5 ticks'* ]] || fail "$game GAME.DAT: status $status, $out"
done
# A damaged game.dat: the warning box names it, and the player exits with 1.
head -c 200 /dev/urandom >"$work/bad/game.dat"
out=$("$player" "$work/bad" --headless --ticks 5 2>&1); status=$?
[[ $status -eq 1 && "$out" == *'box "KestPlayer": '*"bad/game.dat"*'-> ok'*"did not start"* ]] || fail "damaged game.dat: status $status, $out"

out=$("$player" --frobnicate 2>&1); status=$?
[[ $status -eq 2 && "$out" == *"usage"* ]] || fail "bad option: status $status"

if ((failures == 0)); then echo "player entry: all checks passed"; fi
exit $((failures > 0))

#!/usr/bin/env bash
# Under a real X server, driven with xdotool: a damaged game.dat shows its
# warning box, which waits for an answer, and the player then exits with 1;
# in full screen the toolbar shows with the pointer at the top, stays while
# the pointer is on it, and its "画面切替" brings the window back.
set -u
player=$1
work=$2
game=$3  # a 640 x 480 game with the toolbar
rm -rf "$work" && mkdir -p "$work/bad"
export XDG_RUNTIME_DIR="$work"
source "$(dirname "$0")/x_helpers.sh"
geometry() {
  xwininfo -id "$win" 2>/dev/null | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /Width:/{w=$2} /Height:/{h=$2} END{print x "+" y "+" w "x" h}'
}

head -c 200 /dev/urandom >"$work/bad/game.dat"
"$player" "$work/bad" >"$work/bad.out" 2>&1 &
pid=$!
wait_window $pid
if [[ -z "$win" ]]; then
  fail "damaged game.dat: no window ($(cat "$work/bad.out"))"
else
  sleep 1
  kill -0 $pid 2>/dev/null || fail "damaged game.dat: the player did not wait for the box to be answered"
  xdotool key --window "$win" Return
fi
wait $pid
status=$?
[[ $status -eq 1 ]] || fail "damaged game.dat: exit status $status"

# The pattern's bars lie under the toolbar row; the dock's face is F0F0F0.
"$player" "$game" --test-pattern >"$work/game.out" 2>&1 &
pid=$!
wait_window $pid
if [[ -z "$win" ]]; then
  fail "no game window ($(cat "$work/game.out"))"
else
  until_true '[[ $(geometry) == *x502 ]]' || fail "windowed: $(geometry)"
  read -r x y < <(geometry | awk -F'[+x]' '{print $1, $2}')
  xdotool mousemove $((x + 100)) $((y + 9)) click 1
  until_true '[[ $(geometry) == "0+0+1024x768" ]]' || fail "full screen: $(geometry)"
  # 640 x 480 in the middle of 1024 x 768: the picture's top left is 192, 144.
  xdotool mousemove 600 400
  until_true '[[ $(pixel 550 150) != "#F0F0F0" ]]' || fail "the toolbar shows in the middle of the picture"
  xdotool mousemove 600 0
  until_true '[[ $(pixel 550 150) == "#F0F0F0" ]]' || fail "the pointer at the top shows no toolbar"
  xdotool mousemove 250 150 sleep 0.3 mousemove 292 153
  sleep 1
  [[ $(pixel 550 150) == "#F0F0F0" ]] || fail "the toolbar went while the pointer was on it"
  xdotool click 1
  until_true '[[ $(geometry) == *+640x502 ]]' || fail "画面切替 on the full-screen toolbar: $(geometry)"
fi
kill $pid 2>/dev/null
wait $pid 2>/dev/null

if ((failures == 0)); then echo "player window: all checks passed"; fi
exit $((failures > 0))

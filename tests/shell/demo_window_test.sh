#!/usr/bin/env bash
# The demo game in a window under a real X server, driven with xdotool: the
# title screen shows, a button changes its picture under the pointer, and
# "おわる" asks whether to end the game; "はい" ends it.
# Usage: demo_window_test.sh PLAYER GAME WORKDIR
set -u
player=$1
game=$2
work=$3
rm -rf "$work" && mkdir -p "$work"
export XDG_RUNTIME_DIR="$work"
source "$(dirname "$0")/x_helpers.sh"

"$player" "$game" >"$work/out.txt" 2>&1 &
pid=$!
wait_window $pid
if [[ -z "$win" ]]; then
  fail "no window ($(cat "$work/out.txt"))"
else
  read -r x y < <(xwininfo -id "$win" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}')
  # Scene point (sx, sy) on the screen: the toolbar takes the top 22 rows.
  at() { echo $((x + $1)) $((y + 22 + $2)); }
  # The start button's face left of its label: #2A2450, under the pointer #4A3C8C.
  read -r bx by < <(at 232 274)
  until_true '[[ $(pixel $bx $by) == "#2A2450" ]]' || fail "the title screen's start button: $(pixel $bx $by)"
  import -window root "$work/title.png"
  read -r mx my < <(at 320 262)
  xdotool mousemove "$mx" "$my"
  until_true '[[ $(pixel $bx $by) == "#4A3C8C" ]]' || fail "the start button under the pointer: $(pixel $bx $by)"
  import -window root "$work/hover.png"
  # おわる: the question's panel (#1C1838) comes over the title.
  read -r ex ey < <(at 320 394)
  xdotool mousemove "$ex" "$ey" sleep 0.2 click 1
  read -r qx qy < <(at 160 170)
  until_true '[[ $(pixel $qx $qy) == "#1C1838" ]]' || fail "おわる asked nothing: $(pixel $qx $qy)"
  import -window root "$work/question.png"
  read -r yx yy < <(at 240 268)
  xdotool mousemove "$yx" "$yy" sleep 0.2 click 1
  until_true '! kill -0 $pid 2>/dev/null' || fail "はい did not end the game"
fi
kill $pid 2>/dev/null
wait $pid 2>/dev/null

if ((failures == 0)); then echo "demo window: all checks passed"; fi
exit $((failures > 0))

#!/usr/bin/env bash
# Full screen under a window manager (openbox, on an X server of its own):
# the game is centred on the whole screen with equal borders and none of its
# rows cut off, 1:1 and at twice its size with --integer-scale; the pointer
# at the top edge shows the toolbar; Alt+Enter, F11 and the toolbar's
# "画面切替" switch between full screen and the window.
set -u
player=$1
work=$2
game=$3  # a 640 x 480 game with the toolbar
for tool in Xvfb openbox xdotool xwininfo xprop import; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work"
export XDG_RUNTIME_DIR="$work"
source "$(dirname "$0")/x_helpers.sh"
screen_w=1344 screen_h=1008

Xvfb -displayfd 3 -screen 0 ${screen_w}x${screen_h}x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.err" &
xvfb=$!
until_true '[[ -s $work/display ]]' || { echo "SKIP: Xvfb did not start: $(cat "$work/xvfb.err")"; exit 77; }
export DISPLAY=:$(cat "$work/display")
openbox --sm-disable >"$work/openbox.out" 2>&1 &
wm=$!
trap 'kill $wm $xvfb 2>/dev/null; wait 2>/dev/null' EXIT
until_true 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
  { echo "FAIL: openbox did not start: $(cat "$work/openbox.out")"; exit 1; }

geometry() {
  xwininfo -id "$win" 2>/dev/null | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /Width:/{w=$2} /Height:/{h=$2} END{print x "+" y "+" w "x" h}'
}
# The first and last pixels that are not black along a row (r) or a column
# (c) of the screen: the test pattern has no black pixel there, so they are
# the picture's edges, and its white frame is on them.
extent() {
  local crop
  if [[ $1 == r ]]; then crop=${screen_w}x1+0+$2; else crop=1x${screen_h}+$2+0; fi
  import -window root -crop "$crop" -depth 8 txt:- 2>/dev/null | awk -v axis="$1" -F'[,: ]+' '
    /^#/ {next}
    { at = axis == "r" ? $1 : $2
      if ($0 !~ /#000000/) { if (first == "") { first = at; top = $0 ~ /#FFFFFF/ } last = at; bottom = $0 ~ /#FFFFFF/ } }
    END { print first, last, top && bottom }'
}
# The picture of size*scale pixels along the axis lies in the middle of the
# screen's `span`: the borders differ by a pixel at most, the frame on both edges.
centred() {
  local first last framed
  read -r first last framed < <(extent "$1" "$2")
  local size=$(($3 * scale)) span=$4
  [[ -n $first ]] && ((last - first + 1 == size && framed)) &&
    ((first - (span - 1 - last) <= 1 && (span - 1 - last) - first <= 1)) && return 0
  echo "  $1 $2: picture from $first to $last (framed $framed), $size pixels wanted in $span"
  return 1
}

# Each run: the switch into full screen, its checks, and F11 back.
check_run() {
  local name=$1 into=$2
  shift 2
  "$player" "$game" --test-pattern "$@" >"$work/$name.out" 2>&1 &
  pid=$!
  wait_window $pid
  if [[ -z "$win" ]]; then
    fail "$name: no window ($(cat "$work/$name.out"))"
    return
  fi
  until_true '[[ $(geometry) == *x502 ]]' || fail "$name: windowed $(geometry)"
  read -r x y < <(geometry | awk -F'[+x]' '{print $1, $2}')
  if [[ $into == button ]]; then
    xdotool mousemove $((x + 100)) $((y + 9)) click 1
  else
    xdotool mousemove $((x + 320)) $((y + 300)) sleep 0.3 key "$into"
  fi
  until_true '[[ $(geometry) == "0+0+${screen_w}x${screen_h}" ]]' || fail "$name: full screen $(geometry)"
  xdotool mousemove $((screen_w / 2)) $((screen_h / 2))
  sleep 1
  import -window root "$work/$name.png"
  centred c $((screen_w / 2)) 480 $screen_h || fail "$name: not centred from top to bottom"
  centred r $((screen_h / 2)) 640 $screen_w || fail "$name: not centred from left to right"
  # The toolbar's face (F0F0F0) comes over the picture's top rows.
  local dock_x=$((screen_w / 2 + 200)) dock_y=$(((screen_h - 480 * scale) / 2 + 5))
  xdotool mousemove $((screen_w / 2)) 0
  until_true '[[ $(pixel $dock_x $dock_y) == "#F0F0F0" ]]' || fail "$name: the pointer at the top edge shows no toolbar"
  xdotool mousemove $((screen_w / 2)) $((screen_h / 2)) sleep 0.3 key F11
  until_true '[[ $(geometry) == *+640x502 ]]' || fail "$name: F11 in full screen: $(geometry)"
  kill $pid 2>/dev/null
  wait $pid 2>/dev/null
}

scale=1 check_run one_to_one alt+Return
scale=2 check_run integer_scale button --integer-scale

if ((failures == 0)); then echo "full screen under a window manager: all checks passed"; fi
exit $((failures > 0))

#!/usr/bin/env bash
# Under a real X server: a pattern presented through the screen manager shows
# on the window's panel pixel for pixel, for 32-bit and 16-bit output.
set -u
program=$1
work=$2
mkdir -p "$work"
failures=0
# Starts the program for one bit count and waits up to 30 s for its window;
# sets pid and geometry (empty when no window came).
start() {
  rm -f "$work/expected$1.rgb"
  "$program" "$1" "$work/expected$1.rgb" 90 &
  pid=$!
  geometry=""
  for _ in $(seq 1 300); do
    sleep 0.1
    geometry=$(xwininfo -name present_pattern 2>/dev/null | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{if (x != "") print x "+" y}')
    [[ -n "$geometry" ]] && return
    kill -0 $pid 2>/dev/null || return
  done
}
# Waits up to 20 s for the panel to show the pattern; sets same.
compare() {
  same=no
  for _ in $(seq 1 40); do
    sleep 0.5
    import -window root -crop "320x240+${geometry}" -depth 8 "rgb:$work/actual$1.rgb"
    if cmp -s "$work/expected$1.rgb" "$work/actual$1.rgb"; then same=yes; return; fi
  done
}
stop() {
  kill $pid 2>/dev/null
  wait $pid 2>/dev/null
}
for bits in 32 16 15; do
  # A machine busy with other tests can keep a new window, or its first
  # frames, from the server for a long time: one more start before calling
  # it a failure.
  same=no
  for attempt in 1 2; do
    start $bits
    if [[ -n "$geometry" ]]; then
      compare $bits
      [[ $same == yes ]] && break
    fi
    [[ $attempt == 1 ]] && echo "$bits-bit: no window or no pattern yet, starting again"
    stop
  done
  if [[ -z "$geometry" ]]; then
    echo "FAIL: $bits-bit: no window"
    failures=$((failures + 1))
  elif [[ $same == yes ]]; then
    echo "$bits-bit output: the panel shows the pattern exactly"
  else
    convert -size 320x240 -depth 8 "rgb:$work/actual$bits.rgb" "$work/actual$bits.png" 2>/dev/null
    echo "FAIL: $bits-bit: the screenshot differs ($(cmp "$work/expected$bits.rgb" "$work/actual$bits.rgb" | head -1)); see $work/actual$bits.png"
    failures=$((failures + 1))
  fi
  stop
done
exit $((failures > 0))

# Helpers of the tests that drive the player under a real X server; sourced.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Waits up to 60 s (a sanitizer build on a loaded machine is slow to start) for the player's window to be shown; sets win (empty when
# none came). A window the toolkit makes first and then replaces (to give
# the renderer another visual) is not taken for it.
wait_window() {
  win=""
  for _ in $(seq 1 600); do
    sleep 0.1
    for w in $(xdotool search --pid "$1" 2>/dev/null); do
      if xwininfo -id "$w" 2>/dev/null | grep -q "Map State: IsViewable"; then
        win=$w
        return
      fi
    done
    kill -0 "$1" 2>/dev/null || return
  done
}
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}' | head -1; }
# Waits up to 10 s for a test to hold.
until_true() {
  for _ in $(seq 1 100); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}

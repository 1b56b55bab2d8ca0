#!/bin/bash
# Runs a game headless and checks lines of its --dump-vars listing.
# usage: expect_vars.sh PLAYER GAME TICKS INPUT|- LINE...
# A LINE starting with "summary:" is looked for in the player's summary line.
set -u
player=$1 game=$2 ticks=$3 input=$4
shift 4
# Each run plays a fresh copy: status data written by one run (save.dat) must
# not reach the next.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$game/." "$work/"
rm -f "$work/save.dat"
args=(--headless "$work" --ticks "$ticks" --dump-vars)
[ "$input" != - ] && args+=(--input "$input")
out=$("$player" "${args[@]}") || { echo "the player failed: $out"; exit 1; }
status=0
summary=$(grep '^kestplayer: headless' <<<"$out")
for line in "$@"; do
  if [[ $line == summary:* ]]; then
    grep -qF -- "${line#summary:}" <<<"$summary" || { echo "summary without: ${line#summary:}"; status=1; }
  elif ! grep -qxF -- "$line" <<<"$out"; then
    echo "missing: $line"
    status=1
  fi
done
[ $status -eq 0 ] || { echo "--- listing:"; echo "$out"; }
exit $status

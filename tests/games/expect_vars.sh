#!/bin/bash
# Runs a game headless and checks lines of its --dump-vars listing.
# usage: expect_vars.sh PLAYER GAME TICKS INPUT|- LINE...
# A LINE starting with "summary:" is looked for in the player's summary line,
# one starting with "trace:" in its command trace, one starting with "!" must
# not be in the listing.
# With RUNS=n in the environment the game runs n times over the same copy
# (each run finding the status data the one before left) and the last run's
# listing is checked.
set -u
player=$1 game=$2 ticks=$3 input=$4
shift 4
# Each run plays a fresh copy: status data written by one run (save.dat) must
# not reach the next.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$game/." "$work/"
rm -f "$work/save.dat"
args=(--headless "$work" --ticks "$ticks" --dump-vars --trace "$work/trace.txt")
[ "$input" != - ] && args+=(--input "$input")
for ((run = 0; run < ${RUNS:-1}; ++run)); do
  out=$("$player" "${args[@]}") || { echo "the player failed: $out"; exit 1; }
done
status=0
summary=$(grep '^kestplayer: headless' <<<"$out")
for line in "$@"; do
  if [[ $line == summary:* ]]; then
    grep -qF -- "${line#summary:}" <<<"$summary" || { echo "summary without: ${line#summary:}"; status=1; }
  elif [[ $line == trace:* ]]; then
    grep -qF -- "${line#trace:}" "$work/trace.txt" || { echo "trace without: ${line#trace:}"; status=1; }
  elif [[ $line == !* ]]; then
    grep -qxF -- "${line#!}" <<<"$out" && { echo "unexpected: ${line#!}"; status=1; }
  elif ! grep -qxF -- "$line" <<<"$out"; then
    echo "missing: $line"
    status=1
  fi
done
[ $status -eq 0 ] || { echo "--- listing:"; echo "$out"; }
exit $status

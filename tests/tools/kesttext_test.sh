#!/usr/bin/env bash
# kesttext as an author runs it: a paragraph of Japanese prose with ruby,
# outline and shadow drawn with the IPA fonts at 16 and 24 px; the pictures
# have the size asked for and hold the text's colours; a text that runs
# past the page makes two pages; mistakes fail with a message.
# Usage: kesttext_test.sh KESTTEXT WORKDIR
set -euo pipefail
kesttext=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
if ! command -v identify > /dev/null; then
  echo "skipped: no ImageMagick identify"
  exit 0
fi

prose='夏の終わり、<RUBY VALUE="ふるさと">故郷</RUBY>の駅に降りた。<BR>「……<B>ただいま</B>」と小さくつぶやくと、<FONT COLOR=#FF8040>夕焼け</FONT>の風が頬をなでていった。'
for size in 16 24; do
  out="$work/prose$size.png"
  "$kesttext" --size "$size" --border 2 --shadow 2 --width 480 --height 160 --background 203040 -o "$out" "$prose"
  [ "$(identify -format '%wx%h' "$out")" = "480x160" ] || { echo "FAIL: $out has the wrong size"; exit 1; }
  colours=$(identify -format '%k' "$out")
  [ "$colours" -gt 50 ] || { echo "FAIL: $out holds $colours colours: no anti-aliased text"; exit 1; }
done

# Two pages: the picture holds both, one under the other.
"$kesttext" --size 24 --width 200 --height 40 -o "$work/pages.png" "一行目<BR>二行目<BR>三行目" | grep -q "3 page(s)" ||
  { echo "FAIL: three lines at 40 px each should make three pages"; exit 1; }

status=0
"$kesttext" --size 0 -o "$work/x.png" "a" 2> "$work/err" || status=$?
[ "$status" = 2 ] && grep -q "bad number" "$work/err" || { echo "FAIL: a bad size must fail with status 2"; exit 1; }
status=0
"$kesttext" -o "$work/x.png" "<A>no link</A>" 2> "$work/err" || status=$?
[ "$status" = 1 ] && grep -q "HREF" "$work/err" || { echo "FAIL: an A tag without HREF must fail"; exit 1; }
echo "ok"

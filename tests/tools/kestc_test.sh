#!/usr/bin/env bash
# kestc as a shell user runs it. Usage: kestc_test.sh KESTC GAMES_DIR DOC WORKDIR [GAME...]
# Every game below GAMES_DIR that has .kst sources, each further GAME folder,
# and the example game of the language reference DOC, is compiled; each page is dumped into a second
# source tree, which must compile to the same bytes.
set -euo pipefail
kestc=$(realpath "$1")
games=$(realpath "$2")
doc=$(realpath "$3")
work=$4
extra=()
for game in "${@:5}"; do extra+=("$(realpath "$game")/"); done
rm -rf "$work"
mkdir -p "$work"
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }

# The reference shows its example as 'File `example/NAME`:' and a code block.
awk -v dir="$work/doc" '
  /^File `.*`:$/ { name = $0; sub(/^File `/, "", name); sub(/`:$/, "", name); want = 1; next }
  want && /^```/ {
    want = 0; inside = 1; path = dir "/" name
    folder = path; sub(/\/[^\/]*$/, "", folder); system("mkdir -p \"" folder "\"")
    printf "" > path; next
  }
  inside && /^```/ { inside = 0; close(path); next }
  inside { print > path }
' "$doc"
[[ -f doc/example/start.kst && -f doc/example/game.ini ]] || fail "the example game of $doc"

pages=0
for game in "$games"/*/ "${extra[@]}" doc/example/; do
  name=$(basename "$game")
  [[ -n "$(find "$game" -name '*.kst' -print -quit)" ]] || continue
  "$kestc" "$game" -o "out/$name" --pack || fail "$name compiles"
  [[ -f "out/$name/kest.kpb" && -f "out/$name/game.dat" ]] || fail "$name: kest.kpb and game.dat"
  mkdir -p "again/$name"
  [[ -f "$game/game.ini" ]] && cp "$game/game.ini" "again/$name/"
  # The pages compiled from sources (a game may also carry finished pages).
  compiled=()
  while IFS= read -r source; do
    relative=${source#"$game"}
    compiled+=("${relative%.kst}.ksb")
  done < <(find "$game" -name '*.kst')
  for relative in "${compiled[@]}"; do
    page="out/$name/$relative"
    mkdir -p "again/$name/$(dirname "$relative")"
    "$kestc" --dump "$page" > "again/$name/${relative%.ksb}.kst" || fail "$page dumps"
    pages=$((pages + 1))
  done
  "$kestc" "again/$name" -o "back/$name" || fail "the dump of $name compiles"
  for relative in "${compiled[@]}"; do
    cmp -s "out/$name/$relative" "back/$name/$relative" || fail "out/$name/$relative: the dump compiles to other bytes"
  done
  cmp -s "out/$name/kest.kpb" "back/$name/kest.kpb" || fail "$name: kest.kpb"
done
(( pages >= 8 )) || fail "only $pages pages were found"

# A bad source: the message names the place, the exit status is 1 and the
# game folder is left alone.
mkdir -p bad
printf 'calc a = 1\nif x = = 2\n    jump :nowhere\n' > bad/start.kst
status=0
"$kestc" bad -o bad_out 2> errors.txt || status=$?
(( status == 1 )) || fail "a bad source exits 1, not $status"
grep -q '^bad/start.kst:2:4: 構文エラー$' errors.txt || fail "the syntax error: $(cat errors.txt)"
grep -q '^bad/start.kst:3:10: page start.ksb has no label nowhere$' errors.txt || fail "the label: $(cat errors.txt)"
[[ ! -e bad_out ]] || fail "nothing is written"

status=0
"$kestc" --frobnicate 2> /dev/null || status=$?
(( status == 2 )) || fail "an unknown option exits 2"
"$kestc" --help | grep -q 'usage: kestc' || fail "--help"
echo "kestc: $pages pages round-trip"

#!/usr/bin/env bash
# kestpack as a shell user runs it. Usage: kestpack_test.sh KESTPACK WORKDIR
set -euo pipefail
kestpack=$(realpath "$1")
work=$2
rm -rf "$work"
mkdir -p "$work/src/bg" "$work/src/se" "$work/src/文字"
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }

head -c 300000 < <(yes 'a line of the script') > src/kest.kpb
head -c 70000 /dev/urandom > src/se/voice.ogg || true
printf 'picture' > src/bg/title.pxa
printf '' > src/empty.txt
head -c 5000 < <(yes 'テキスト') > src/文字/台詞.txt

"$kestpack" create game.dat src | grep -q '5 entries' || fail "create"
"$kestpack" list game.dat > list.txt
grep -Eq '^ +70000  stored .* se\\voice\.ogg$' list.txt || fail "list shows the stored sound: $(cat list.txt)"
grep -Eq ' zlib .* kest\.kpb$' list.txt || fail "list shows the compressed script"
grep -q '文字\\台詞.txt' list.txt || fail "list shows the Shift-JIS name in UTF-8"
"$kestpack" verify game.dat | grep -q '5 entries, 0 bad' || fail "verify"
"$kestpack" extract game.dat out > /dev/null
diff -r src out || fail "extract gives the folder back"

# The split form: the index in game.ext, the data in segments.
mkdir split
"$kestpack" create --split --segment-size 30000 split/game.dat src > /dev/null
[[ -f split/game.ext && -f split/game.001 ]] || fail "split writes game.ext and segments"
"$kestpack" verify --segment-size 30000 split/game.dat > /dev/null || fail "verify the split archive"

# Appended to a program, and as its resource.
cp "$kestpack" player
"$kestpack" append player game.dat player_game
"$kestpack" list player_game | grep -q '5 entries, version 102' || fail "list the appended archive"
"$kestpack" extract player_game out2 > /dev/null
diff -r src out2 || fail "extract from the program"
"$kestpack" resource add player DUMMY BINTYPE game.dat player_res
"$kestpack" resource list player_res | grep -q 'BINTYPE     DUMMY' || fail "resource list"
"$kestpack" verify --resource player_res > /dev/null || fail "verify the resource archive"

# A corrupted byte in a compressed entry is found.
cp game.dat damaged.dat
offset=$(( $(stat -c %s damaged.dat) - 100 ))
printf '\xff\xff\xff\xff' | dd of=damaged.dat bs=1 seek="$offset" conv=notrunc status=none
if "$kestpack" verify damaged.dat > verify.txt; then fail "verify passes a damaged archive"; fi
grep -q 'BAD' verify.txt || fail "verify names the damaged entry"

# An entry named ..\..\evil (a version 99 archive, one zlib entry "x").
printf 'vf\x63\x00\x00\x00\x01\x00\x00\x00\x0a\x00\x00\x00..\\..\\evil\x20\x00\x00\x00\x2c\x00\x00\x00' > evil.dat
printf '\x78\x01\x01\x01\x00\xfe\xff\x78\x00\x79\x00\x79' >> evil.dat
"$kestpack" list evil.dat | grep -q 'evil' || fail "list the hand-made archive"
mkdir -p target/inner
status=0
"$kestpack" extract evil.dat target/inner 2> refuse.txt || status=$?
[[ $status -eq 1 ]] || fail "extract of ..\\..\\evil exits 1, not $status"
grep -q 'refusing' refuse.txt || fail "extract says why it refuses"
[[ ! -e evil && ! -e target/evil && -z "$(ls -A target/inner)" ]] || fail "nothing was written"

status=0
"$kestpack" frobnicate 2> /dev/null || status=$?
[[ $status -eq 2 ]] || fail "an unknown command exits 2"
"$kestpack" --help | grep -q 'usage: kestpack' || fail "--help"
echo "kestpack: all checks passed"

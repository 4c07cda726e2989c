#!/bin/bash
# File names are bytes: a silent run backs up a folder holding "\xff",
# "caf\xe9.txt" (Latin-1) and a file really named U+FFFD as three distinct,
# byte-identical copies, walks a folder whose name is no UTF-8, and writes
# the names into its lists, logs and planner records as their own bytes.
# $1 = the folder that holds the built programs.
set -u
source "$(dirname "$0")/lib/program_folder.bash"
mkdir -p "$dest"
ff=$'\xff'
cafe=$'caf\xe9.txt'
fffd=$'\xef\xbf\xbd'
dur=$'D\xfcr'
printf 'byte ff\n' > "$tree/$ff"
printf 'latin-1 name\n' > "$tree/$cafe"
printf 'a real replacement character\n' > "$tree/$fffd"
mkdir "$tree/$dur"
printf 'inside\n' > "$tree/$dur/inner.txt"

list_tree
silent_settings "$dest" 0 1 RecordToPlandel=1

QT_QPA_PLATFORM=offscreen timeout 60 "$prog/corvex"
rc=$?
[ $rc -eq 0 ] || fail "corvex ended with status $rc"
for f in "$ff" "$cafe" "$fffd" "$dur/inner.txt"; do
    cmp -s "$tree/$f" "$dest$tree/$f" || fail "copy of $(printf %q "$f") missing or different"
done
[ "$(find "$dest$tree" -type f | wc -l)" = 4 ] || fail "expected four copies: $(find "$dest" -type f | od -c | head)"
for f in "$ff" "$cafe" "$fffd" "$dur/inner.txt"; do
    grep -aqxF "$tree/$f"$'\r' "$prog/copied.txt" || fail "copied.txt lacks $(printf %q "$f")"
    grep -aqxF "$tree/$f"$'\r' "$dest/_files.txt" || fail "_files.txt lacks $(printf %q "$f")"
    grep -aqF ",Backed up $tree/$f"$'\r' "$prog/corvex.log" || fail "log lacks $(printf %q "$f")"
    grep -aqF $'\x1f'"$tree/$f"$'\x1f' "$prog"/D*.dat || fail "planner lacks $(printf %q "$f")"
done
grep -aqF "$tree/$dur"$'\r' "$prog/folders.lis" || fail "folders.lis lacks the folder's own bytes"
grep -aqF "copied 4 files" "$prog/events.log" || fail "events.log: $(cat -v "$prog/events.log")"
grep -aqF "with 0 errors" "$prog/events.log" || fail "events.log: $(cat -v "$prog/events.log")"
echo "odd names: ok"

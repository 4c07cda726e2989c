#!/bin/bash
# A silent run that meets errors (a listed folder that has gone, a file that
# cannot be copied) still backs up the rest, says so in its logs and ends with
# status 1, so that a scheduler or a login script can see it. The next run
# tries the failed file again although it is older than its date window.
# $1 = the folder that holds the built programs.
set -u
source "$(dirname "$0")/lib/program_folder.bash"
mkdir -p "$dest"
printf 'alpha\n' > "$tree/a.txt"
printf 'stuck\n' > "$tree/stuck.txt"
mkdir "$dest/stuck.txt"  # a folder where the copy should go

printf '%s\r\n' "$tree/*" "$work/unplugged/*" > "$prog/MyPaths.txt"
: > "$prog/ExcludedPaths.txt"
silent_settings "$dest" 0 0 IgnoreFailedFileCopies=1

QT_QPA_PLATFORM=offscreen timeout 60 "$prog/corvex"
rc=$?
[ $rc -eq 1 ] || fail "corvex ended with status $rc, expected 1 (124 = did not end by itself)"
cmp -s "$tree/a.txt" "$dest/a.txt" || fail "a.txt not backed up"
grep -qF "copied 2 files (6 bytes) to $dest/ with 2 errors" "$prog/events.log" || fail "events.log: $(cat "$prog/events.log")"
grep -qF ",BuildFolderList : cant find folder $work/unplugged/" "$prog/corvex.log" || fail "no log line for the lost folder"
grep -qxF "$tree/stuck.txt"$'\r' "$prog/failed.txt" || fail "failed.txt lacks stuck.txt"

# Mended: the next run, with a date window that starts after the file's date,
# copies it from failed.txt and ends with status 0.
rmdir "$dest/stuck.txt"
printf '%s\r\n' "$tree/*" > "$prog/MyPaths.txt"
touch -d '3 days ago' "$tree/stuck.txt"
sed -i "s/^dateOfLastBackup=.*/dateOfLastBackup=$(date -d yesterday +%Y-%m-%d) 00:00:00/" "$prog/corvex.ini"
QT_QPA_PLATFORM=offscreen timeout 60 "$prog/corvex"
rc=$?
[ $rc -eq 0 ] || fail "second run ended with status $rc"
cmp -s "$tree/stuck.txt" "$dest/stuck.txt" || fail "stuck.txt not tried again"
[ ! -e "$prog/failed.txt" ] || fail "failed.txt should be gone"
echo "silent errors: ok"

#!/bin/bash
# The list of files waiting for a retry (failed.txt) survives every run that
# does not copy them: a run killed in its copy loop and a test run leave it as
# it was, and the run that finally copies them empties it. A file waits only
# while its listed folder is away, and counts as an error of each such run.
# $1 = the folder that holds the built programs.
set -u
source "$(dirname "$0")/lib/program_folder.bash"
mkdir -p "$dest"
printf 'stuck\n' > "$tree/stuck.txt"
touch -d '10 days ago' "$tree/stuck.txt"
mkdir "$dest/stuck.txt"  # a folder where the copy should go
list_tree
settings() {  # $1 = destination, $2 = IgnoreFailedFileCopies; the stored date is kept
    local last
    last=$(grep -a '^dateOfLastBackup=' "$prog/corvex.ini" 2>/dev/null)
    silent_settings "$1" 0 0 "IgnoreFailedFileCopies=$2" ${last:+"$last"}
}
run() { QT_QPA_PLATFORM=offscreen timeout 60 "$prog/corvex"; }

settings "$dest" 1
run
[ $? -eq 1 ] || fail "the first run should end with status 1"
grep -qxF "$tree/stuck.txt"$'\r' "$prog/failed.txt" || fail "failed.txt lacks stuck.txt"
cp "$prog/failed.txt" "$work/expected.txt"

# A run killed while it asks about a file that failed to copy (listed before
# stuck.txt, which only failed.txt brings back).
sleep 1
printf 'blocked\n' > "$tree/blocker.txt"
mkdir "$dest/blocker.txt"
settings "$dest" 0
QT_QPA_PLATFORM=offscreen "$prog/corvex" &
pid=$!
for _ in $(seq 1 300); do
    grep -qF "blocker.txt' to" "$prog/failed.log" 2>/dev/null && break
    sleep 0.1
done
grep -qF "blocker.txt' to" "$prog/failed.log" || { kill -9 $pid; fail "the run never reached blocker.txt"; }
kill -9 $pid
wait $pid 2>/dev/null
cmp -s "$prog/failed.txt" "$work/expected.txt" || fail "the killed run changed failed.txt: $(cat "$prog/failed.txt")"

# A test run copies nothing and keeps the list.
settings /dev/null 1
run
[ $? -eq 0 ] || fail "the test run should end with status 0"
grep -qF " to /dev/null/ with 0 errors" "$prog/events.log" || fail "no test run: $(cat "$prog/events.log")"
cmp -s "$prog/failed.txt" "$work/expected.txt" || fail "the test run changed failed.txt"

# Mended: the next run copies what waited and leaves no list.
rmdir "$dest/stuck.txt" "$dest/blocker.txt"
touch "$tree/blocker.txt"
settings "$dest" 1
run
[ $? -eq 0 ] || fail "the last run should end with status 0"
cmp -s "$tree/stuck.txt" "$dest/stuck.txt" || fail "stuck.txt was not tried again"
cmp -s "$tree/blocker.txt" "$dest/blocker.txt" || fail "blocker.txt was not backed up"
[ ! -e "$prog/failed.txt" ] || fail "failed.txt should be gone: $(cat "$prog/failed.txt")"
# A file whose listed folder is away waits, and it is an error of the run as
# the folder is; one whose folders were deleted for good below a listed
# folder that is there, and one below no listed folder, go.
usb="$work/usb"
mkdir -p "$usb/album" "$work/elsewhere"
printf 'waiting\n' > "$usb/album/waiting.txt"
printf 'unlisted\n' > "$work/elsewhere/unlisted.txt"
printf '%s\r\n' "$tree/*" "$usb/*" > "$prog/MyPaths.txt"
printf '%s\r\n' "$usb/album/waiting.txt" "$tree/deleted/for/good.txt" "$work/elsewhere/unlisted.txt" \
    > "$prog/failed.txt"
mv "$usb" "$work/usb-away"
settings "$dest" 1
run
[ $? -eq 1 ] || fail "a run with its listed folder away should end with status 1"
tail -n 1 "$prog/events.log" | grep -qF " with 2 errors" ||
    fail "the folder away and the file waiting in it are two errors: $(tail -n 1 "$prog/events.log")"
[ "$(tr -d '\r' < "$prog/failed.txt")" = "$usb/album/waiting.txt" ] ||
    fail "only the file whose listed folder is away waits: $(cat "$prog/failed.txt")"
mv "$work/usb-away" "$usb"
run
[ $? -eq 0 ] || fail "the run with the folder back should end with status 0"
cmp -s "$usb/album/waiting.txt" "$dest/waiting.txt" || fail "waiting.txt was not copied once its folder was back"
[ ! -e "$dest/unlisted.txt" ] || fail "a file below no listed folder was copied"
[ ! -e "$prog/failed.txt" ] || fail "failed.txt should be gone at last: $(cat "$prog/failed.txt")"
echo "retry list: ok"

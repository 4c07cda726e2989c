#!/bin/bash
# The built backup program on a machine it shares with ordinary users: run as
# root it keeps every copy's owner and group (so a set-user-ID program of a
# user never becomes root's) and lets a set-group-ID destination give no copy
# its group; run as an ordinary user it backs up the files of a read-only
# folder and leaves that folder's backup read-only once done.
# $1 = the folder that holds the built programs. Exit status 77: skipped.
set -u
source "$(dirname "$0")/lib/program_folder.bash" "$1"

if [ "$(id -u)" != 0 ] || ! command -v setpriv > /dev/null; then
    echo "SKIP: needs root and setpriv to stand for an ordinary user"
    exit 77
fi
user=65534
group=$(id -g "$user" 2> /dev/null || echo 65534)
chmod 755 "$work" "$prog"

# Run as root: a user's set-user-ID program and a group-private file, copied
# into a set-group-ID destination whose group is another one.
mkdir -p "$tree/tools" "$dest"
cp /usr/bin/id "$tree/tools/myid"
printf 'salary\n' > "$tree/tools/notes.txt"
# The owner first: a change of owner clears the set-user-ID bit.
chown -R "$user:$group" "$tree"
chmod 4755 "$tree/tools/myid"
chmod 640 "$tree/tools/notes.txt"
chgrp 0 "$dest"
chmod 2775 "$dest"
list_tree
silent_settings "$dest" 1 0
timeout 60 "$prog/corvex"
rc=$?
[ $rc -eq 0 ] || fail "the root run ended with status $rc"
folder="$dest/$(date +%Y%m%d)"
[ "$(stat -c '%u:%g %a' "$folder/myid")" = "$user:$group 4755" ] ||
    fail "the set-user-ID copy is $(stat -c '%u:%g %a' "$folder/myid"), not the user's own"
[ "$(stat -c '%u:%g %a' "$folder/notes.txt")" = "$user:$group 640" ] ||
    fail "the group-private copy is $(stat -c '%u:%g %a' "$folder/notes.txt")"

# Run as an ordinary user: a read-only source folder with keep-paths. Its
# files are copied on every run, and its backup folder ends read-only.
rm -rf "$dest" "$prog"/*.log "$prog"/*.txt "$prog/folders.lis" "$prog/corvex.ini"
mkdir -p "$tree/readonly" "$dest"
printf 'one\n' > "$tree/readonly/one.txt"
chown -R "$user:$group" "$tree" "$dest" "$prog"
chmod 555 "$tree/readonly"
list_tree
silent_settings "$dest" 0 1
chown "$user:$group" "$prog/corvex.ini" "$prog/MyPaths.txt" "$prog/ExcludedPaths.txt"
mkdir -m 700 "$work/run-user" && chown "$user:$group" "$work/run-user"
for run in 1 2; do
    [ $run = 2 ] && chmod u+w "$tree/readonly" && printf 'two\n' > "$tree/readonly/two.txt" &&
        chown "$user:$group" "$tree/readonly/two.txt" && chmod 555 "$tree/readonly"
    XDG_RUNTIME_DIR="$work/run-user" setpriv --reuid="$user" --regid="$group" --clear-groups timeout 60 "$prog/corvex"
    rc=$?
    [ $rc -eq 0 ] || fail "run $run as an ordinary user ended with status $rc: $(cat "$prog/corvex.log")"
done
copy="$dest$tree/readonly"
[ "$(cat "$copy/one.txt")" = one ] || fail "one.txt of the read-only folder was not backed up"
[ "$(cat "$copy/two.txt")" = two ] || fail "two.txt, added later, was not backed up into the read-only backup folder"
[ "$(stat -c '%a' "$copy")" = 555 ] || fail "the read-only folder's backup is $(stat -c '%a' "$copy"), not 555"
chmod -R u+w "$tree" "$dest"
echo "PASS"

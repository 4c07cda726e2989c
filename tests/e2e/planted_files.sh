#!/bin/bash
# FIFOs and links planted where a silent run writes its logs and its lock: the
# run neither waits on a FIFO nor writes through a link. It backs up all the
# same and ends with status 1, the refused lock being an error of the run.
# $1 = the folder that holds the built programs.
set -u
source "$(dirname "$0")/lib/program_folder.bash"
mkdir -p "$dest"
printf 'alpha\n' > "$tree/a.txt"
list_tree
silent_settings "$dest" 0 0
printf 'keep me\n' > "$work/victim.txt"
for name in corvex.log events.log failed.log corvex.lock; do mkfifo "$prog/$name" || fail "mkfifo $name"; done
ln -s "$work/victim.txt" "$prog/error.log"

QT_QPA_PLATFORM=offscreen timeout 60 "$prog/corvex"
rc=$?
[ $rc -eq 1 ] || fail "corvex ended with status $rc, expected 1 (124 = it waited)"
cmp -s "$tree/a.txt" "$dest/a.txt" || fail "a.txt not backed up"
[ "$(cat "$work/victim.txt")" = "keep me" ] || fail "written through the link: $(cat "$work/victim.txt")"
[ -L "$prog/error.log" ] || fail "error.log is no longer the link"
for name in corvex.log events.log failed.log corvex.lock; do
    [ -p "$prog/$name" ] || fail "$name is no longer the FIFO"
done
echo "planted files: ok"

#!/bin/bash
# A silent run that backs up nothing must say so with its exit status: a blank
# destination and a program folder held by another run each end with status 1
# and a program-log line; a lock left by a run that is gone is taken over.
# $1 = the folder that holds the built programs.
set -u
bin="$1"
work=$(mktemp -d)
holder=
trap '[ -n "$holder" ] && kill "$holder" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prog="$work/prog"
tree="$work/tree"
dest="$work/dest"
mkdir -p "$prog" "$tree"
cp "$bin/corvex" "$prog/" || fail "cannot copy corvex"
printf 'alpha\n' > "$tree/a.txt"
printf '%s\r\n' "$tree/*" > "$prog/MyPaths.txt"
: > "$prog/ExcludedPaths.txt"

settings() {
    cat > "$prog/corvex.ini" <<INI
[general]
runSilently=1
backupTo=$1
backupType=0
keepPaths=0
RecordToPlandel=0
[Plandel]
dataPath=$prog
INI
}
run() { QT_QPA_PLATFORM=offscreen timeout 60 "$prog/corvex"; echo $?; }

# A blank destination.
settings "   "
rc=$(run)
[ "$rc" = 1 ] || fail "blank destination: status $rc, expected 1"
grep -q ",There is no destination directory specified - nothing backed up"$'\r'"$" "$prog/corvex.log" ||
    fail "blank destination: no log line"
[ ! -e "$prog/copied.txt" ] || fail "blank destination: something was copied"

# Another run holds the program folder: a live process named in the lock file.
settings "$dest"
sleep 60 &
holder=$!
printf '%s\nsleep\n\n' "$holder" > "$prog/corvex.lock"
rc=$(run)
[ "$rc" = 1 ] || fail "held lock: status $rc, expected 1"
grep -qF ",Another backup run holds $prog/corvex.lock - nothing backed up" "$prog/corvex.log" ||
    fail "held lock: no log line"
[ ! -e "$dest" ] || fail "held lock: the destination was written"

# That run is gone: its lock no longer stops anyone.
kill "$holder"
wait "$holder" 2>/dev/null
holder=
rc=$(run)
[ "$rc" = 0 ] || fail "stale lock: status $rc, expected 0"
cmp -s "$tree/a.txt" "$dest/a.txt" || fail "stale lock: a.txt was not backed up"
[ ! -e "$prog/corvex.lock" ] || fail "the lock file was left behind"
echo "silent run status: OK"

#!/bin/bash
# A silent run of the built backup program in a temporary program folder:
# it must back up the changed files of its folder list and end by itself.
# $1 = the folder that holds the built programs.
set -u
bin="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prog="$work/prog"
tree="$work/tree"
dest="$work/dest"
plan="$work/plan"
mkdir -p "$prog" "$tree/sub" "$tree/skipme" "$plan"
cp "$bin/corvex" "$prog/" || fail "cannot copy corvex"

printf 'alpha\n' > "$tree/a.txt"
head -c 150000 /dev/urandom > "$tree/sub/b.bin"
chmod 640 "$tree/sub/b.bin"
printf 'excluded\n' > "$tree/skipme/c.txt"
printf 'too old\n' > "$tree/old.txt"
touch -d '100 days ago' "$tree/old.txt"

printf '%s\r\n' "$tree/*" > "$prog/MyPaths.txt"
printf '%s\r\n' "/skipme" > "$prog/ExcludedPaths.txt"
cat > "$prog/corvex.ini" <<INI
[general]
runSilently=1
backupTo=$dest
backupType=1
keepPaths=1
RecordToPlandel=1
[Plandel]
dataPath=$plan
INI

QT_QPA_PLATFORM=offscreen timeout 60 "$prog/corvex"
rc=$?
[ $rc -eq 0 ] || fail "corvex ended with status $rc (124 = did not end by itself)"

day=$(date +%Y%m%d)
month=$(date +%Y%m)
folder="$dest/$day"
[ -d "$folder" ] || fail "backup folder $folder missing"

# The copies keep their source folders, contents, modification times and permission bits.
for f in a.txt sub/b.bin; do
    copy="$folder$tree/$f"
    [ -f "$copy" ] || fail "copy of $f missing at $copy"
    cmp -s "$tree/$f" "$copy" || fail "copy of $f differs"
    [ "$(stat -c %Y "$tree/$f")" = "$(stat -c %Y "$copy")" ] || fail "modification time of $f not kept"
    [ "$(stat -c %a "$tree/$f")" = "$(stat -c %a "$copy")" ] || fail "permission bits of $f not kept"
done
[ ! -e "$folder$tree/old.txt" ] || fail "a file outside the date window was copied"
[ ! -e "$folder$tree/skipme/c.txt" ] || fail "an excluded folder was copied"

# The four per-run files.
crlf_lines() { grep -c $'\r$' "$1"; }
[ -f "$prog/copied.txt" ] || fail "copied.txt missing"
[ "$(crlf_lines "$prog/copied.txt")" = 2 ] || fail "copied.txt should hold two CR LF lines"
grep -qxF "$tree/a.txt"$'\r' "$prog/copied.txt" || fail "copied.txt lacks a.txt"
[ ! -e "$prog/failed.txt" ] || fail "failed.txt should not exist"
[ "$(crlf_lines "$folder/_files.txt")" = 2 ] || fail "_files.txt should hold two lines"
[ "$(crlf_lines "$folder/_fileDetails.txt")" = 2 ] || fail "_fileDetails.txt should hold two lines"
grep -qF "b.bin,$tree/sub/,150000," "$folder/_fileDetails.txt" || fail "_fileDetails.txt line of b.bin"

# The run's summary line.
grep -qE "^$day,[0-9:]{8},.*,Corvex-Pro v3\.0   \(build [0-9]+\) copied 2 files \(150,006 bytes\) to $folder/ with 0 errors"$'\r'"$" \
    "$prog/events.log" || fail "events.log line: $(cat "$prog/events.log")"

# Planner records: one per copied file and one for the run, in this month's file.
data="$plan/D$month.dat"
[ -f "$data" ] || fail "planner data file $data missing"
[ "$(head -c 2 "$data" | od -An -c | tr -d ' ')" = '\r\n' ] || fail "data file should start with an empty line"
records=$(grep -c $'\x1f' "$data")
[ "$records" = 3 ] || fail "expected 3 planner records, found $records"
grep -qF $'\x1f'"PCFile"$'\x1f'$'\x1f'"$tree/a.txt"$'\x1f' "$data" || fail "file record of a.txt"
grep -qE "^D${day}000[123]"$'\x1f'"${day}"$'\x1f'"Corvex"$'\x1f' "$data" || fail "run record"
grep -qF "Corvex copied 150,006 bytes in 2 files to the folder $folder/"$'\x1f' "$data" || fail "run text"

# The date of this backup is the start of the next one's window.
grep -qE "^dateOfLastBackup=$(date +%Y-%m-%d) [0-9]{2}:[0-9]{2}:[0-9]{2}"$'\r'"?$" "$prog/corvex.ini" \
    || fail "dateOfLastBackup not written: $(cat "$prog/corvex.ini")"
echo "silent backup: ok"

#!/bin/bash
# The settings program's one switch, through the built program's own command
# line: "/quick" alone (any case) ends without the main window and writes
# nothing; "/QUICK " with a trailing blank, or followed by a further argument,
# is no switch, so the main window opens and stays until it is closed.
# $1 = the folder that holds the built programs.
set -u
bin="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen

cp "$bin/vantor" "$work/" || fail "cannot copy vantor"
printf '[general]\r\ntitle=CorvexPro\r\n' > "$work/corvex.ini"
before=$(cat "$work/corvex.ini")

timeout 20 "$work/vantor" /quick
rc=$?
[ "$rc" -eq 0 ] || fail "vantor /quick ended with $rc instead of ending by itself"
[ "$(cat "$work/corvex.ini")" = "$before" ] || fail "vantor /quick changed the settings file"
[ ! -e "$work/MyPaths.txt" ] || fail "vantor /quick wrote a folder list"

# No switch: the window opens and waits for the user, so only the time-out ends it.
for args in "/QUICK |" "/QUICK|extra" "-QUICK"; do
    IFS='|' read -r -a argv <<< "$args"
    timeout 2 "$work/vantor" "${argv[@]}"
    rc=$?
    [ "$rc" -eq 124 ] || fail "vantor ${argv[*]} ended by itself ($rc) instead of showing its window"
done
[ "$(cat "$work/corvex.ini")" = "$before" ] || fail "the settings file changed"
echo "1 passed, 0 failed"

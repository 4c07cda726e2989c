#!/bin/bash
# The settings program's one switch, through the built program's own command
# line. "/quick" alone (any case) opens the options dialog by itself, which
# waits for the user, so only the time-out ends it here; waiting writes
# nothing. "/QUICK " with a trailing blank, or followed by a further argument,
# or "-QUICK", is no switch: the main window opens and likewise waits. Which
# window shows is checked by the window tests; here the built program must
# wait instead of ending by itself, and leave the files alone.
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

for args in "/quick" "/QUICK" "/QUICK |" "/QUICK|extra" "-QUICK"; do
    IFS='|' read -r -a argv <<< "$args"
    timeout 3 "$work/vantor" "${argv[@]}"
    rc=$?
    [ "$rc" -eq 124 ] || fail "vantor ${argv[*]} ended by itself ($rc) instead of waiting in its window"
done
[ "$(cat "$work/corvex.ini")" = "$before" ] || fail "the settings file changed"
[ ! -e "$work/MyPaths.txt" ] || fail "a folder list was written"
[ ! -e "$work/ExcludedPaths.txt" ] || fail "an excluded list was written"
echo "1 passed, 0 failed"

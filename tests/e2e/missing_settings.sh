#!/usr/bin/env bash
# A first start without a settings file: the backup program logs the missing
# file, starts the settings program and ends without a window.
set -euo pipefail
bin="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$bin/corvex" "$dir/"
cat > "$dir/vantor" <<'STUB'
#!/bin/sh
echo ran > "$(dirname "$0")/vantor-ran"
STUB
chmod +x "$dir/vantor"

timeout 20 "$dir/corvex"

lines=$(wc -l < "$dir/corvex.log")
[ "$lines" -eq 1 ] || { echo "FAIL: corvex.log has $lines lines"; cat "$dir/corvex.log"; exit 1; }
expected="Initialising : Cant find ini file '$dir/corvex.ini'"
line=$(tr -d '\r' < "$dir/corvex.log")
[[ "$line" == *",$expected" ]] || { echo "FAIL: unexpected log line: $line"; exit 1; }
[[ "$(tail -c 2 "$dir/corvex.log" | od -An -c | tr -d ' ')" == '\r\n' ]] || { echo "FAIL: no CR LF"; exit 1; }
for _ in $(seq 50); do [ -f "$dir/vantor-ran" ] && break; sleep 0.1; done
[ -f "$dir/vantor-ran" ] || { echo "FAIL: the settings program was not started"; exit 1; }
[ ! -e "$dir/corvex.ini" ] || { echo "FAIL: a settings file appeared"; exit 1; }
echo "1 passed, 0 failed"

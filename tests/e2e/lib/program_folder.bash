# Shared set-up of the end-to-end scripts: a temporary work folder removed on
# exit, fail(), and an empty program folder "$prog" holding a copy of the built
# backup program, beside a source tree "$tree" and a destination "$dest".
# Source it with the folder that holds the built programs in $1.
bin="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prog="$work/prog"
tree="$work/tree"
dest="$work/dest"
mkdir -p "$prog" "$tree"
cp "$bin/corvex" "$prog/" || fail "cannot copy corvex"

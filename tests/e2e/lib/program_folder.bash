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

# The folder list "$tree/*" and an empty excluded list.
list_tree() {
    printf '%s\r\n' "$tree/*" > "$prog/MyPaths.txt"
    : > "$prog/ExcludedPaths.txt"
}

# corvex.ini of a silent run into $1 with backup type $2 and keep-paths $3;
# further arguments are more lines of [general]. The planner's data folder is
# $plan when it is set, else the program folder.
silent_settings() {
    local to="$1" type="$2" keep="$3"
    shift 3
    {
        printf '[general]\nrunSilently=1\nbackupTo=%s\nbackupType=%s\nkeepPaths=%s\n' "$to" "$type" "$keep"
        [ $# -gt 0 ] && printf '%s\n' "$@"
        printf '[Plandel]\ndataPath=%s\n' "${plan:-$prog}"
    } > "$prog/corvex.ini"
}

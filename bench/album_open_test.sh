#!/usr/bin/env bash
# Checks vistrel-bench-album-open on small folders made from one JPEG:
#   ALBUM_OPEN_PROGRAM JPEG
# A view of 3 x 2 cells (200 x 150) over 20 pictures pages down to a last page that the scroll
# range cuts short, over 12 to a last page that ends exactly at the scroll range's end, and must
# count every picture either way; a view that shows the whole folder at once never pages; a picture
# whose data is cut off leaves its item undecoded, which fails the run (status 1) instead of
# stalling it; a view too small for one cell fails at once; an empty folder is done at once; a
# missing folder or a bad size is a usage error.
set -uo pipefail
program=$1
jpeg=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# expect NAME STATUS PATTERN... -- ARGS...: runs the program with ARGS and checks its exit status
# and that its output matches every PATTERN (extended regular expressions).
expect() {
    local name=$1 status=$2
    shift 2
    local patterns=()
    while [ "$1" != "--" ]; do
        patterns+=("$1")
        shift
    done
    shift
    local out got
    out=$(timeout 120 "$program" "$@" 2>&1)
    got=$?
    [ "$got" = "$status" ] || fail "$name: exit status $got, expected $status; output: $out"
    local p
    for p in "${patterns[@]}"; do
        grep -Eq "$p" <<<"$out" || fail "$name: no '$p' in: $out"
    done
    printf '%s\n' "$out" >"$work/$name.out"
}

mkdir -p "$work/pictures" "$work/twelve" "$work/broken" "$work/empty"
for i in $(seq -w 1 20); do
    install -m 644 "$jpeg" "$work/pictures/p$i.jpg"
done
for i in $(seq -w 1 12); do
    install -m 644 "$jpeg" "$work/twelve/p$i.jpg"
done
for i in 1 2 3 4 5; do
    install -m 644 "$jpeg" "$work/broken/p$i.jpg"
done
head -c $(($(stat -c %s "$jpeg") / 4)) "$jpeg" >"$work/broken/p6.jpg"

expect pages 0 "^first screenful \(6 pictures\)" "^20 of 20 pictures decoded, 6 of 6 on the first screen$" \
    -- "$work/pictures" --size 200x150
# Both times count from the folder change: the whole folder never takes less than its first page.
if [ -f "$work/pages.out" ]; then
    read -r first whole < <(sed -nE 's/^first screenful .* ([0-9.]+) ms, whole folder .* ([0-9.]+) ms$/\1 \2/p' "$work/pages.out")
    awk -v f="${first:-x}" -v w="${whole:-x}" 'BEGIN { exit !(f > 0 && w >= f) }' \
        || fail "pages: first screenful ${first:-?} ms, whole folder ${whole:-?} ms"
fi
expect twelve 0 "^12 of 12 pictures decoded, 6 of 6 on the first screen$" \
    -- "$work/twelve" --size 200x150
expect onescreen 0 "^first screenful \(20 pictures\)" "^20 of 20 pictures decoded, 20 of 20" \
    -- "$work/pictures" --size 800x600
expect broken 1 "^5 of 6 pictures decoded" -- "$work/broken" --size 200x150
expect tiny 1 "too small for one cell" -- "$work/pictures" --size 200x50
expect empty 0 "^0 of 0 pictures decoded" -- "$work/empty"
expect missing 2 "is not a folder" -- "$work/none"
expect badsize 2 "usage" -- "$work/pictures" --size 200x0
expect badtail 2 "usage" -- "$work/pictures" --size 200x150px

[ "$failures" = 0 ] && echo "album_open_test: all passed"
exit $((failures > 0))

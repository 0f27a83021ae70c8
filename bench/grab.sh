#!/usr/bin/env bash
# Speed of the screen grab on a 1920 x 1080 x 24 X screen (a private Xvfb started here): the time
# per grab through shared memory and through the plain image request beside a memcpy of the same
# bytes (the limit), then whole processes that grab the screen once, ours beside ImageMagick's
# `import -window root` (raw RGB output, so that little but the grab is timed), with the ratio.
# Environment: BUILD (default build/), RUNS (whole-process runs per tool, default 20).
set -euo pipefail
source "$(dirname "$0")/prepare.sh"
RUNS=${RUNS:-20}
BENCH="$BUILD/bench/vistrel-bench-grab"

install_missing xvfb imagemagick
cmake --build "$BUILD" --target vistrel-bench-grab >/dev/null

WORK=$(mktemp -d "${TMPDIR:-/tmp}/vistrel-grab.XXXXXX")
XPID=""
cleanup() {
    if [ -n "$XPID" ]; then kill "$XPID" 2>/dev/null || true; wait "$XPID" 2>/dev/null || true; fi
    rm -rf "$WORK"
}
trap cleanup EXIT

# -displayfd: the server picks a free display itself and writes its number once it is ready.
exec {numfd}> "$WORK/display"
Xvfb -displayfd "$numfd" -screen 0 1920x1080x24 -nolisten tcp -noreset 2>"$WORK/xvfb.log" &
XPID=$!
exec {numfd}>&-
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
[ -s "$WORK/display" ] || { echo "Xvfb did not start:" >&2; cat "$WORK/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$WORK/display")"
echo "Xvfb $DISPLAY 1920x1080x24"

"$BENCH"
"$BENCH" --plain

# Milliseconds per run of a command, over RUNS runs after one warm-up.
per_run_ms() {
    "$@" >/dev/null
    local start end
    start=$(date +%s%N)
    for _ in $(seq "$RUNS"); do "$@" >/dev/null; done
    end=$(date +%s%N)
    echo $(( (end - start) / RUNS / 1000 ))
}
ours=$(per_run_ms "$BENCH" --once)
import=$(per_run_ms import -window root -depth 8 "rgb:$WORK/screen.rgb")
printf 'whole process, one grab: ours %d.%03d ms, import -window root %d.%03d ms\n' \
    $((ours / 1000)) $((ours % 1000)) $((import / 1000)) $((import % 1000))
awk -v a="$import" -v b="$ours" 'BEGIN { printf "import / ours: %.2f\n", a / b }'

#!/usr/bin/env bash
# Whole-process screen capture of a 1920 x 1080 x 24 X screen (a private Xvfb showing the corpus's
# screenshot-like picture screen_1080.bmp), written as BMP, JPEG, GIF and PNG: `vistrel-cli
# capture` beside scrot (BMP, JPEG and its default, PNG) and ImageMagick's `import -window root`
# (all four) in the same run, with the harness's paired ratios (their time / ours) and PSNR against
# the picture shown.
# Goals: BMP and JPEG within 1.2 x of scrot (scrot / ours >= 0.83); GIF at least 2 x faster than
# import; PNG at most as long as scrot's (scrot / ours >= 1).
# Environment: CORPUS (default /tmp/vistrel-corpus, built when missing), BUILD (default build/),
#              SHARED_BENCH (the peer harness, default ../shared/bench), RUNS, ROUNDS,
#              THREADS=1 (peers single-threaded), FORMATS (default "bmp jpg gif png").
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=prepare.sh
source "$HERE/prepare.sh"

install_missing hyperfine imagemagick scrot xvfb x11-utils python3-pil python3-numpy
need_corpus screen_1080.bmp
cmake --build "$BUILD" --target vistrel-cli >/dev/null
CLI=$BUILD/tools/vistrel-cli

# shellcheck source=/dev/null
source "$SHARED_BENCH/lib.sh"
REF=$C/screen_1080.bmp
XPID=""; DPID=""
cleanup() {
    set +e
    if [ -n "$DPID" ]; then kill "$DPID" 2>/dev/null; wait "$DPID" 2>/dev/null; fi
    if [ -n "$XPID" ]; then kill "$XPID" 2>/dev/null; wait "$XPID" 2>/dev/null; fi
    if [ "${WORK_OWNED:-0}" = 1 ]; then rm -rf "$WORK"; fi
    return 0
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

# The picture fills the screen in a borderless window; wait until a grab shows it exactly.
"$IMDIR/display" -geometry +0+0 -borderwidth 0 -immutable "$REF" >"$WORK/display.log" 2>&1 &
DPID=$!
shown=""
for _ in $(seq 100); do
    sleep 0.1
    "$IMDIR/import" -window root "$WORK/check.bmp" 2>/dev/null || continue
    [ "$("$PY" "$PERF/psnr.py" "$REF" "$WORK/check.bmp" 2>/dev/null)" = "inf/inf" ] && { shown=1; break; }
done
[ -n "$shown" ] || { echo "the screen does not show $REF" >&2; exit 1; }
echo "Xvfb $DISPLAY 1920x1080x24 shows $(basename "$REF")"

# Settings of our own, so that the album's capture settings of this machine play no part.
export XDG_CONFIG_HOME=$WORK/config
for fmt in ${FORMATS:-bmp jpg gif png}; do
    o=$WORK/cap.$fmt
    mkdir -p "$WORK/ours_$fmt"
    group_begin "screen capture 1920x1080 -> $fmt"
    add_ours "$CLI capture --folder {dir} --prefix shot --format {fmt}" dir="$WORK/ours_$fmt" \
        fmt="$fmt" -- "$WORK/ours_$fmt/shot001.$fmt" "$REF"
    if [ "$fmt" != gif ]; then
        # scrot's JPEG quality default is 75, the same as ours; its PNG is its default file.
        add "scrot" "scrot -o '$o.scrot.$fmt'" "$o.scrot.$fmt" "$REF"
    fi
    imfmt=$fmt; [ "$fmt" = bmp ] && imfmt=BMP3
    quality=""; [ "$fmt" = jpg ] && quality="-quality 75"
    add "ImageMagick import -window root" \
        "'$IMDIR/import' -window root $quality '$imfmt:$o.import.$fmt'" \
        "$o.import.$fmt" "$REF"
    group_run
done

PYTHONPATH="$BENCH_HERE" "$PY" - "$TSV" <<'PY'
import sys
import tsv_ratios
rows = tsv_ratios.load(sys.argv[1])
print()
for fmt, goal in (("bmp", 1.2), ("jpg", 1.2), ("png", 1.0)):
    r = tsv_ratios.ratio(rows, f"screen capture 1920x1080 -> {fmt}", "scrot")
    if r:
        print(f"{fmt}: scrot takes {r:.2f}x our time, so ours takes {1 / r:.2f}x scrot's "
              f"({'met' if 1 / r <= goal else 'NOT met'}: goal <= {goal})")
for fmt in ("bmp", "jpg", "gif", "png"):
    r = tsv_ratios.ratio(rows, f"screen capture 1920x1080 -> {fmt}", "ImageMagick import -window root")
    if r:
        goal = f" ({'met' if r >= 2 else 'NOT met'}: goal >= 2)" if fmt == "gif" else ""
        print(f"{fmt}: import -window root takes {r:.2f}x our time{goal}")
PY

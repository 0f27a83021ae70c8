#!/usr/bin/env bash
# BMP decoding of the 4000 x 3000 24-bit picture of the benchmark corpus: at full size and into a
# 55 x 71 box (the thumbnail path, which skips rows), beside ImageMagick's and Pillow's decodes.
# Prints the harness's table (ratio = their time / ours) and then the two goals:
#   full-size decode at least as fast as the faster peer; boxed decode under a quarter of our own
#   full-size decode.
# Environment: CORPUS (default /tmp/vistrel-corpus, built when missing), BUILD (default build/),
#              SHARED_BENCH (the peer harness, default ../shared/bench), RUNS, ROUNDS.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
# shellcheck source=prepare.sh
source "$HERE/prepare.sh"

install_missing hyperfine imagemagick libjpeg-turbo-progs python3-pil python3-numpy
need_corpus photo_12mp_24.bmp
cmake --build "$BUILD" --target vistrel-bench-decode >/dev/null
DECODE=$BUILD/bench/vistrel-bench-decode

# shellcheck source=/dev/null
source "$SHARED_BENCH/lib.sh"
in=$C/photo_12mp_24.bmp

group_begin "BMP decode, full size: $(basename "$in")"
add_ours "$DECODE {in}" in="$in"
add "ImageMagick null:" "'$IM' '$in' null:"
add "PIL open+load (+convert RGB)" "'$PY' '$PERF/pil_ops.py' decode '$in' rgb"
add "floor: cat file > /dev/null" "cat '$in' > /dev/null"
group_run

group_begin "BMP decode into a 55x71 box: $(basename "$in")"
add_ours "$DECODE {in} --box 55x71" in="$in"
add "ours at full size" "'$DECODE' '$in'"
add "ImageMagick -thumbnail 55x71" "'$IM' '$in' -thumbnail 55x71 null:"
group_run

PYTHONPATH="$BENCH_HERE" "$PY" - "$TSV" <<'PY'
import sys
import tsv_ratios
rows = tsv_ratios.load(sys.argv[1])
def ratio(task_start, tool):
    return tsv_ratios.ratio(rows, task_start, tool)
im = ratio("BMP decode, full size", "ImageMagick null:")
pil = ratio("BMP decode, full size", "PIL open+load (+convert RGB)")
full = ratio("BMP decode into a 55x71 box", "ours at full size")
print()
if im and pil:
    faster = min(im, pil)
    print(f"full size: ImageMagick takes {im:.2f}x our time, Pillow {pil:.2f}x; "
          f"faster peer / ours = {faster:.2f} ({'met' if faster >= 1 else 'NOT met'}: goal >= 1)")
if full:
    print(f"55x71 box: our full-size decode takes {full:.2f}x our boxed decode, so boxed / full = "
          f"{1 / full:.3f} ({'met' if full > 4 else 'NOT met'}: goal < 0.25)")
PY

#!/usr/bin/env bash
# PNG decoding of a 4000 x 3000 photo (the corpus's 12-megapixel master saved by Pillow with its
# defaults: zlib level 6, adaptive filters, as a photo converted to PNG usually is): at full size
# beside Pillow and netpbm's pngtopam, and into a 55 x 71 box (the thumbnail path) beside our own
# full-size decode. Prints the harness's table (ratio = their time / ours) and the goal:
#   full-size decode at least as fast as the faster peer.
# Environment: CORPUS (default /tmp/vistrel-corpus, built when missing), BUILD (default build/),
#              SHARED_BENCH (the peer harness, default ../shared/bench), RUNS, ROUNDS.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=prepare.sh
source "$HERE/prepare.sh"

install_missing hyperfine imagemagick libjpeg-turbo-progs python3-pil python3-numpy netpbm
need_corpus master_12mp.ppm
in=$CORPUS/photo_12mp.png
[ -f "$in" ] || /usr/bin/python3 -c \
    "import sys; from PIL import Image; Image.open(sys.argv[1]).save(sys.argv[2])" \
    "$CORPUS/master_12mp.ppm" "$in"
cmake --build "$BUILD" --target vistrel-bench-decode >/dev/null
DECODE=$BUILD/bench/vistrel-bench-decode

# shellcheck source=/dev/null
source "$SHARED_BENCH/lib.sh"

group_begin "PNG decode, full size: $(basename "$in")"
add_ours "$DECODE {in}" in="$in"
add "PIL open+load (+convert RGB)" "'$PY' '$PERF/pil_ops.py' decode '$in' rgb"
add "pngtopam > /dev/null" "pngtopam '$in' > /dev/null"
add "floor: cat file > /dev/null" "cat '$in' > /dev/null"
group_run

group_begin "PNG decode into a 55x71 box: $(basename "$in")"
add_ours "$DECODE {in} --box 55x71" in="$in"
add "ours at full size" "'$DECODE' '$in'"
group_run

PYTHONPATH="$BENCH_HERE" "$PY" - "$TSV" <<'PY'
import sys
import tsv_ratios
rows = tsv_ratios.load(sys.argv[1])
pil = tsv_ratios.ratio(rows, "PNG decode, full size", "PIL open+load (+convert RGB)")
pam = tsv_ratios.ratio(rows, "PNG decode, full size", "pngtopam > /dev/null")
print()
if pil and pam:
    faster = min(pil, pam)
    print(f"full size: Pillow takes {pil:.2f}x our time, pngtopam {pam:.2f}x; "
          f"faster peer / ours = {faster:.2f} ({'met' if faster >= 1 else 'NOT met'}: goal >= 1)")
PY

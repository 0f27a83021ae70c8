#!/usr/bin/env bash
# GIF decoding of the benchmark corpus: the 1920 x 1080 still photo (256 colours) and screenshot,
# and the 30-frame 640 x 480 animation, every frame at full size, beside giflib's gif2rgb and
# netpbm's giftopnm (all frames). Prints the harness's table (ratio = their time / ours) and then
# the goal for each file: at least as fast as both peers.
# Environment: CORPUS (default /tmp/vistrel-corpus, built when missing), BUILD (default build/),
#              SHARED_BENCH (the peer harness, default ../shared/bench), RUNS, ROUNDS.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
# shellcheck source=prepare.sh
source "$HERE/prepare.sh"

install_missing hyperfine imagemagick giflib-tools netpbm python3-pil python3-numpy
need_corpus anim_640x480x30.gif
cmake --build "$BUILD" --target vistrel-bench-decode >/dev/null
DECODE=$BUILD/bench/vistrel-bench-decode

# shellcheck source=/dev/null
source "$SHARED_BENCH/lib.sh"

for name in photo_1080_256 screen_1080 anim_640x480x30; do
    in=$C/$name.gif
    group_begin "GIF decode $name"
    add_ours "$DECODE {in}" in="$in"
    add "giflib gif2rgb -1" "gif2rgb -1 -o '$WORK/g2r.rgb' '$in'"
    add "netpbm giftopnm --image=all" "giftopnm --image=all '$in' > /dev/null"
    add "floor: cat file > /dev/null" "cat '$in' > /dev/null"
    group_run
done

"$PY" - "$TSV" <<'PY'
import csv, sys
rows = list(csv.DictReader(open(sys.argv[1]), delimiter="\t"))
print()
for name in ("photo_1080_256", "screen_1080", "anim_640x480x30"):
    ratios = {}
    for r in rows:
        if r["task"] == f"GIF decode {name}" and r["ratio"]:
            ratios[r["tool"]] = float(r["ratio"])
    g2r = ratios.get("giflib gif2rgb -1")
    pnm = ratios.get("netpbm giftopnm --image=all")
    if g2r is None or pnm is None:
        print(f"{name}: a peer is missing from the table")
        continue
    slower = min(g2r, pnm)
    print(f"{name}: gif2rgb takes {g2r:.2f}x our time, giftopnm {pnm:.2f}x; faster peer / ours = "
          f"{slower:.2f} ({'met' if slower >= 1 else 'NOT met'}: goal >= 1)")
PY

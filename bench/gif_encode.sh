#!/usr/bin/env bash
# GIF encoding of the 1920 x 1080 24-bit pictures of the benchmark corpus (photo_1080, and
# screen_1080 unless INPUTS says otherwise) with 256, 16 and 2 colours, beside ImageMagick's
# Floyd-Steinberg encode and Pillow's median cut with and without Floyd-Steinberg. Every output is
# compared with the 24-bit original: PSNR/PSNR_blur (after a sigma 1 low-pass) in dB.
# Prints the harness's table per case (ratio = their time / ours), then per case:
#   speed: at least 2x faster than ImageMagick and than Pillow's median cut;
#   quality (reported, not tuned): our dithered PSNR and PSNR_blur beside Pillow's median cut
#   with Floyd-Steinberg, our undithered ones beside Pillow's median cut without.
# Peers run single-threaded (THREADS=1) like ours, unless THREADS is set otherwise.
# Environment: CORPUS (default /tmp/vistrel-corpus, built when missing), BUILD (default build/),
#              SHARED_BENCH (the peer harness, default ../shared/bench), RUNS, ROUNDS, COLORS,
#              INPUTS.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
# shellcheck source=prepare.sh
source "$HERE/prepare.sh"
export THREADS=${THREADS:-1}

install_missing hyperfine imagemagick python3-pil python3-numpy
need_corpus photo_1080.bmp
cmake --build "$BUILD" --target vistrel-bench-gif-encode >/dev/null
ENCODE=$BUILD/bench/vistrel-bench-gif-encode

# shellcheck source=/dev/null
source "$SHARED_BENCH/lib.sh"

for name in ${INPUTS:-photo_1080 screen_1080}; do
    in=$C/$name.bmp
    for n in ${COLORS:-256 16 2}; do
        o=$WORK/$name.$n
        group_begin "GIF encode $name -> $n colours"
        add_ours "$ENCODE {in} {out} --colors {colors}" in="$in" out="$o.ours.gif" colors="$n" \
            -- "$o.ours.gif" "$in"
        add "ours --no-dither" "'$ENCODE' '$in' '$o.oursnd.gif' --colors $n --no-dither" \
            "$o.oursnd.gif" "$in"
        add "ImageMagick -dither FloydSteinberg" \
            "'$IM' '$in' -dither FloydSteinberg -colors $n '$o.im.gif'" "$o.im.gif" "$in"
        add "PIL MEDIANCUT + FS dither" \
            "'$PY' '$PERF/pil_ops.py' quantize '$in' '$o.pilfs.gif' $n mediancut fs" "$o.pilfs.gif" "$in"
        add "PIL MEDIANCUT, no dither" \
            "'$PY' '$PERF/pil_ops.py' quantize '$in' '$o.pil.gif' $n mediancut none" "$o.pil.gif" "$in"
        group_run
    done
done

"$PY" - "$TSV" <<'PY'
import csv, sys
rows = [r for r in csv.DictReader(open(sys.argv[1]), delimiter="\t") if r["median_s"] != "FAILED"]
tasks = list(dict.fromkeys(r["task"] for r in rows))
def row(task, tool):
    return next((r for r in rows if r["task"] == task and r["tool"] == tool), None)
def ratio(task, tool):
    r = row(task, tool)
    return float(r["ratio"]) if r and r["ratio"] else None
def psnr(task, tool):
    r = row(task, tool)
    return r["psnr_db"] if r and r["psnr_db"] else "?"
def at_least(ours, theirs):
    try:
        return all(float(a) >= float(b) for a, b in zip(ours.split("/"), theirs.split("/")))
    except ValueError:
        return False
print()
for task in tasks:
    im = ratio(task, "ImageMagick -dither FloydSteinberg")
    pil = [v for v in (ratio(task, "PIL MEDIANCUT + FS dither"), ratio(task, "PIL MEDIANCUT, no dither")) if v]
    print(task)
    if im and pil:
        slowest_gap = min([im] + pil)
        print(f"  speed: ImageMagick takes {im:.2f}x our time, Pillow's median cut "
              f"{min(pil):.2f}x-{max(pil):.2f}x; smallest = {slowest_gap:.2f} "
              f"({'met' if slowest_gap >= 2 else 'NOT met'}: goal >= 2)")
    for ours, theirs in (("ours", "PIL MEDIANCUT + FS dither"), ("ours --no-dither", "PIL MEDIANCUT, no dither")):
        a, b = psnr(task, ours), psnr(task, theirs)
        print(f"  PSNR/PSNR_blur dB: {ours} {a} beside {theirs} {b} "
              f"({'at least' if at_least(a, b) else 'below'} Pillow's on "
              f"{'both' if at_least(a, b) else 'one or both'})")
PY

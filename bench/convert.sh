#!/usr/bin/env bash
# vistrel-cli convert and thumbs beside their peers, with the benchmark corpus:
#   a. the 12-megapixel JPEG converted to a 256-colour GIF and to a 24-bit BMP, beside
#      ImageMagick's convert doing the same;
#   b. a 1000 x 1000 crop of the same JPEG (from its middle) saved as a 256-colour GIF and as a
#      JPEG of quality 90, as the album's crop-and-save does, beside ImageMagick's -crop;
#   c. the 200-JPEG folder turned into thumbnails that fit 48 x 64 and written as BMPs
#      (vistrel-cli thumbs --out) beside vipsthumbnail, ImageMagick and Pillow, which write their
#      thumbnails too (the peer commands of jpeg_decode.sh).
# Prints the harness's tables (ratio = their time / ours) and then the goals:
#   both conversions and both crops at least 2 x faster than ImageMagick;
#   thumbnails at least 1.5 x faster than the fastest of vipsthumbnail, ImageMagick and Pillow.
# Environment: CORPUS (default /tmp/vistrel-corpus, built when missing), BUILD (default build/),
#              SHARED_BENCH (the peer harness, default ../shared/bench), SIZE (default 48x64),
#              RUNS, ROUNDS, THREADS=1 (peers single-threaded).
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
# shellcheck source=prepare.sh
source "$HERE/prepare.sh"
SIZE=${SIZE:-48x64}

install_missing hyperfine imagemagick libvips-tools python3-pil python3-numpy
need_corpus photo_12mp.jpg
cmake --build "$BUILD" --target vistrel-cli >/dev/null
CLI=$BUILD/tools/vistrel-cli

# shellcheck source=/dev/null
source "$SHARED_BENCH/lib.sh"
in=$C/photo_12mp.jpg
dir=$C/thumbs
W=${SIZE%x*}; H=${SIZE#*x}

group_begin "convert to GIF, 256 colours: $(basename "$in")"
add_ours "$CLI convert {in} {out} --colors 256" in="$in" out="$WORK/ours.gif" -- "$WORK/ours.gif"
add "ImageMagick convert -colors 256" "'$IM' '$in' -colors 256 '$WORK/im.gif'" "$WORK/im.gif"
group_run

group_begin "convert to BMP, 24 bits: $(basename "$in")"
add_ours "$CLI convert {in} {out}" in="$in" out="$WORK/ours.bmp" -- "$WORK/ours.bmp"
add "ImageMagick convert (BMP3, 24 bits)" "'$IM' '$in' 'BMP3:$WORK/im.bmp'" "$WORK/im.bmp"
group_run

# The crop rectangle: 1000 x 1000 from the middle of the 4000 x 3000 picture.
CROP_X=1500; CROP_Y=1000; CROP_W=1000; CROP_H=1000
group_begin "crop to GIF, 256 colours: $(basename "$in") ${CROP_W}x${CROP_H}"
add_ours "$CLI convert {in} {out} --crop $CROP_X,$CROP_Y,$CROP_W,$CROP_H --colors 256" \
    in="$in" out="$WORK/crop_ours.gif" -- "$WORK/crop_ours.gif"
add "ImageMagick convert -crop -colors 256" \
    "'$IM' '$in' -crop ${CROP_W}x${CROP_H}+$CROP_X+$CROP_Y +repage -colors 256 '$WORK/crop_im.gif'" \
    "$WORK/crop_im.gif"
group_run

group_begin "crop to JPEG, quality 90: $(basename "$in") ${CROP_W}x${CROP_H}"
add_ours "$CLI convert {in} {out} --crop $CROP_X,$CROP_Y,$CROP_W,$CROP_H --quality 90" \
    in="$in" out="$WORK/crop_ours.jpg" -- "$WORK/crop_ours.jpg"
add "ImageMagick convert -crop -quality 90" \
    "'$IM' '$in' -crop ${CROP_W}x${CROP_H}+$CROP_X+$CROP_Y +repage -quality 90 '$WORK/crop_im.jpg'" \
    "$WORK/crop_im.jpg"
group_run

for t in ours vips im pil; do mkdir -p "$WORK/t_$t"; done
group_begin "thumbs of $(ls "$dir"/*.jpg | wc -l) JPEGs to fit $SIZE"
add_ours "$CLI thumbs {dir} --box {size} --out {outdir}" dir="$dir" size="$SIZE" \
    outdir="$WORK/t_ours" -- "$WORK/t_ours/*"
add "vipsthumbnail (shrink-on-load)" \
    "vipsthumbnail '$dir'/*.jpg --size '$SIZE' -o '$WORK/t_vips/%s.jpg'" "$WORK/t_vips/*"
add "ImageMagick mogrify jpeg:size -thumbnail" \
    "'$IMDIR/mogrify' -path '$WORK/t_im' -define jpeg:size=$((2 * W))x$((2 * H)) -thumbnail '$SIZE' -format jpg '$dir'/*.jpg" \
    "$WORK/t_im/*"
add "PIL draft()+thumbnail()" "'$PY' '$PERF/pil_ops.py' thumbs '$dir' '$WORK/t_pil' '$SIZE'" \
    "$WORK/t_pil/*"
group_run

PYTHONPATH="$BENCH_HERE" "$PY" - "$TSV" <<'PY'
import sys
import tsv_ratios
rows = tsv_ratios.load(sys.argv[1])
def ratio(task_start, tool):
    return tsv_ratios.ratio(rows, task_start, tool)
print()
for task, tool in (("convert to GIF", "ImageMagick convert -colors 256"),
                   ("convert to BMP", "ImageMagick convert (BMP3, 24 bits)"),
                   ("crop to GIF", "ImageMagick convert -crop -colors 256"),
                   ("crop to JPEG", "ImageMagick convert -crop -quality 90")):
    r = ratio(task, tool)
    if r:
        print(f"{task}: ImageMagick takes {r:.2f}x our time "
              f"({'met' if r >= 2 else 'NOT met'}: goal >= 2)")
peers = {tool: ratio("thumbs of", tool) for tool in
         ("vipsthumbnail (shrink-on-load)", "ImageMagick mogrify jpeg:size -thumbnail",
          "PIL draft()+thumbnail()")}
known = {t: r for t, r in peers.items() if r}
if known:
    tool, fastest = min(known.items(), key=lambda item: item[1])
    print("thumbs: " + ", ".join(f"{t} {r:.2f}x" for t, r in known.items()))
    print(f"thumbs: the fastest peer ({tool}) takes {fastest:.2f}x our time "
          f"({'met' if fastest >= 1.5 else 'NOT met'}: goal >= 1.5)")
PY

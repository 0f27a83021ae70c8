#!/usr/bin/env bash
# JPEG decoding beside its peers, with the benchmark corpus:
#   a. the 12-megapixel photograph decoded at full size (vistrel-bench-decode) beside djpeg of the
#      same library and the other decoders of the shared JPEG benchmark;
#   b. the 200-JPEG folder turned into thumbnails that fit 48 x 64 (vistrel-bench-thumbs: the
#      thumbnail path, written as BMPs) beside vipsthumbnail, ImageMagick and Pillow, which write
#      their thumbnails too.
# Prints the harness's tables (ratio = their time / ours) and then the two goals:
#   full size within 10 % of djpeg (djpeg / ours >= 0.91);
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

install_missing hyperfine imagemagick libjpeg-turbo-progs libvips-tools python3-pil python3-numpy
need_corpus photo_12mp.jpg
cmake --build "$BUILD" --target vistrel-bench-decode vistrel-bench-thumbs >/dev/null
DECODE=$BUILD/bench/vistrel-bench-decode
THUMBS=$BUILD/bench/vistrel-bench-thumbs

# shellcheck source=/dev/null
source "$SHARED_BENCH/lib.sh"
in=$C/photo_12mp.jpg
dir=$C/thumbs
W=${SIZE%x*}; H=${SIZE#*x}

group_begin "JPEG decode, full size: $(basename "$in") ($("$IMDIR/identify" -format '%wx%h' "$in"))"
add_ours "$DECODE {in}" in="$in"
add "djpeg (PPM to /dev/null)" "djpeg '$in' > /dev/null"
add "djpeg -bmp (to file)" "djpeg -bmp -outfile '$WORK/djpeg.bmp' '$in'" "$WORK/djpeg.bmp"
add "vips avg (decode only)" "vips avg '$in' > /dev/null"
add "ImageMagick convert null:" "'$IM' '$in' null:"
add "PIL open+load" "'$PY' '$PERF/pil_ops.py' decode '$in'"
group_run

for t in ours vips im pil; do mkdir -p "$WORK/t_$t"; done
group_begin "thumbnails of $(ls "$dir"/*.jpg | wc -l) JPEGs to fit $SIZE"
add_ours "$THUMBS {dir} {size} {outdir}" dir="$dir" size="$SIZE" outdir="$WORK/t_ours" \
    -- "$WORK/t_ours/*"
add "vipsthumbnail (shrink-on-load)" \
    "vipsthumbnail '$dir'/*.jpg --size '$SIZE' -o '$WORK/t_vips/%s.jpg'" "$WORK/t_vips/*"
add "ImageMagick mogrify jpeg:size -thumbnail" \
    "'$IMDIR/mogrify' -path '$WORK/t_im' -define jpeg:size=$((2 * W))x$((2 * H)) -thumbnail '$SIZE' -format jpg '$dir'/*.jpg" \
    "$WORK/t_im/*"
add "PIL draft()+thumbnail()" "'$PY' '$PERF/pil_ops.py' thumbs '$dir' '$WORK/t_pil' '$SIZE'" \
    "$WORK/t_pil/*"
add "djpeg -scale 1/8 loop (PPM, no resize)" \
    "for f in '$dir'/*.jpg; do djpeg -scale 1/8 -outfile '$WORK/x.ppm' \"\$f\"; done"
group_run

PYTHONPATH="$BENCH_HERE" "$PY" - "$TSV" <<'PY'
import sys
import tsv_ratios
rows = tsv_ratios.load(sys.argv[1])
def ratio(task_start, tool):
    return tsv_ratios.ratio(rows, task_start, tool)
djpeg = ratio("JPEG decode, full size", "djpeg (PPM to /dev/null)")
peers = {tool: ratio("thumbnails of", tool) for tool in
         ("vipsthumbnail (shrink-on-load)", "ImageMagick mogrify jpeg:size -thumbnail",
          "PIL draft()+thumbnail()")}
print()
if djpeg:
    print(f"full size: djpeg takes {djpeg:.2f}x our time ({'met' if djpeg >= 1 / 1.1 else 'NOT met'}: "
          f"goal >= 0.91, ours within 10 % of djpeg)")
known = {t: r for t, r in peers.items() if r}
if known:
    tool, fastest = min(known.items(), key=lambda item: item[1])
    print("thumbnails: " + ", ".join(f"{t} {r:.2f}x" for t, r in known.items()))
    print(f"thumbnails: the fastest peer ({tool}) takes {fastest:.2f}x our time "
          f"({'met' if fastest >= 1.5 else 'NOT met'}: goal >= 1.5)")
PY

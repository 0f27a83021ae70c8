#!/usr/bin/env bash
# Thumbnails of phone photos: 200 HEIC and 200 WebP pictures of 4032 x 3024 (a phone camera's
# twelve megapixels; the HEIC files carry a 320 x 240 thumbnail as phones write them) fitted into
# 48 x 64 by `vistrel-cli thumbs` beside vipsthumbnail and Pillow (WebP only: Debian's Pillow
# reads no HEIF), each writing its thumbnails. Once on one thread (ours --jobs 1, vips with one
# worker, Pillow in one process) and once on every core (ours by default, the peers over as many
# processes as there are cores). Prints the harness's tables (ratio = their time / ours) and the
# goal: at least as fast as the faster peer, on one thread and on all.
# The photos are made from the corpus's 12-megapixel master: four crops of it encoded (heif-enc
# quality 80, cwebp quality 80), each copied to 50 names.
# Environment: CORPUS (default /tmp/vistrel-corpus, built when missing), BUILD (default build/),
#              SHARED_BENCH (the peer harness, default ../shared/bench), RUNS, ROUNDS.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=prepare.sh
source "$HERE/prepare.sh"

install_missing hyperfine libvips-tools python3-pil webp libheif-examples
need_corpus master_12mp.ppm
cmake --build "$BUILD" --target vistrel-cli >/dev/null
CLI=$BUILD/tools/vistrel-cli
CORES=$(nproc)

# Four 4032 x 3024 photos from the master (tiled where it is smaller), then 50 names each.
make_photos() {
    local kind=$1 dir=$CORPUS/phone_$1 i
    [ -d "$dir" ] && [ "$(ls "$dir" | wc -l)" -ge 200 ] && return
    mkdir -p "$dir"
    for i in 0 1 2 3; do
        /usr/bin/python3 - "$CORPUS/master_12mp.ppm" "$dir/src$i.png" "$i" <<'PY'
import sys
from PIL import Image
master = Image.open(sys.argv[1]).convert('RGB')
i = int(sys.argv[3])
photo = Image.new('RGB', (4032, 3024))
for x in range(0, 4032, master.width):
    for y in range(0, 3024, master.height):
        photo.paste(master, (x - i * 97, y - i * 61))
photo.save(sys.argv[2])
PY
        if [ "$kind" = heic ]; then
            heif-enc -q 80 -t 320 -o "$dir/src$i.heic" "$dir/src$i.png" >/dev/null
        else
            cwebp -quiet -q 80 "$dir/src$i.png" -o "$dir/src$i.webp"
        fi
        rm "$dir/src$i.png"
    done
    for i in $(seq 0 199); do
        cp "$dir/src$((i % 4)).$kind" "$dir/$(printf 'IMG_%04d' "$i").$kind"
    done
    rm "$dir"/src*
}
make_photos heic
make_photos webp

# shellcheck source=/dev/null
source "$SHARED_BENCH/lib.sh"
# The harness keeps each command on one line: Pillow's few lines go to a file of their own.
PILTHUMBS=$WORK/pil_thumbs.py
cat >"$PILTHUMBS" <<'PY'
import sys
from PIL import Image
for f in sys.argv[2:]:
    with Image.open(f) as im:
        im.thumbnail((48, 64))
        im.convert("RGB").save(sys.argv[1] + "/" + f.rsplit("/", 1)[-1] + ".jpg")
PY

for kind in heic webp; do
    dir=$CORPUS/phone_$kind
    for threads in 1 all; do
        out=$WORK/$kind-$threads
        for t in ours vips pil; do mkdir -p "$out/$t"; done
        if [ "$threads" = 1 ]; then
            jobs=1; vips="VIPS_CONCURRENCY=1 vipsthumbnail '$dir'/*.$kind --size 48x64 -o '$out/vips/%s.jpg'"
            pil="'$PY' '$PILTHUMBS' '$out/pil' '$dir'/*.$kind"
        else
            jobs=$CORES
            vips="ls '$dir'/*.$kind | xargs -P $CORES -n 25 vipsthumbnail --size 48x64 -o '$out/vips/%s.jpg'"
            pil="ls '$dir'/*.$kind | xargs -P $CORES -n 25 '$PY' '$PILTHUMBS' '$out/pil'"
        fi
        group_begin "$kind thumbnails, $threads thread(s): 200 photos of 4032x3024 to fit 48x64"
        add_ours "$CLI thumbs {dir} --box 48x64 --out {outdir} --jobs {jobs} --overwrite" \
            dir="$dir" outdir="$out/ours" jobs="$jobs" -- "$out/ours/*"
        add "vipsthumbnail" "$vips" "$out/vips/*"
        [ "$kind" = webp ] && add "Pillow thumbnail()" "$pil" "$out/pil/*"
        group_run
    done
done

PYTHONPATH="$BENCH_HERE" "$PY" - "$TSV" <<'PY'
import sys
import tsv_ratios
rows = tsv_ratios.load(sys.argv[1])
print()
for kind in ("heic", "webp"):
    for threads in ("1", "all"):
        task = f"{kind} thumbnails, {threads} thread(s)"
        peers = {tool: tsv_ratios.ratio(rows, task, tool) for tool in ("vipsthumbnail", "Pillow thumbnail()")}
        known = {t: r for t, r in peers.items() if r}
        if not known:
            continue
        tool, fastest = min(known.items(), key=lambda item: item[1])
        print(f"{task}: " + ", ".join(f"{t} {r:.2f}x" for t, r in known.items())
              + f"; the faster peer ({tool}) takes {fastest:.2f}x our time "
              + f"({'met' if fastest >= 1 else 'NOT met'}: goal >= 1)")
PY

#!/usr/bin/env bash
# Showing the 12-megapixel JPEG in the image view, beside the peers decoding it for a screen:
#   ours: vistrel-bench-image-view, the image view offscreen at 1280 x 800 in Full Screen View and
#         at the picture pane of a 1280 x 800 window in Select View (SELECT_VIEW), from the
#         message that shows the picture until its paint has returned (decoded at the scale the
#         fitted zoom needs, drawn, on the window's surface), in the process;
#   djpeg -scale 1/4 and vipsthumbnail -s 1280x800 on the same file, as whole processes.
# Then one panning redraw of the whole 1280 x 800 window at 100 % beside a memory copy of the
# same bytes, as frames per second.
# The machine is shared: wall times suffer from other load, so processor times (user + system)
# are given beside them and the goal is judged on both. ROUNDS rounds alternate ours and the
# peers so that drifting load hits both alike; medians over all rounds.
# Goals: show within 1.3 x of djpeg -scale 1/4; a panning redraw under 1/60 s (over 60 frames/s).
# Environment: CORPUS (default /tmp/vistrel-corpus, built when missing), BUILD (default build/),
#              SHARED_BENCH, RUNS (default 10 per round), ROUNDS (default 3),
#              SELECT_VIEW (default 1203x800), PANS (default 200).
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=prepare.sh
source "$HERE/prepare.sh"
RUNS=${RUNS:-10}
ROUNDS=${ROUNDS:-3}
SELECT_VIEW=${SELECT_VIEW:-1203x800}
PANS=${PANS:-200}

install_missing hyperfine libvips-tools libjpeg-turbo-progs
need_corpus photo_12mp.jpg
FILE=$CORPUS/photo_12mp.jpg
cmake --build "$BUILD" --target vistrel-bench-image-view >/dev/null
OURS=$BUILD/bench/vistrel-bench-image-view
export QT_QPA_PLATFORM=offscreen
WORK=$(mktemp -d /dev/shm/vistrel-image-view.XXXXXX)
trap 'rm -rf "$WORK"' EXIT

for ((r = 0; r < ROUNDS; r++)); do
    "$OURS" "$FILE" --repeat "$RUNS" 2>/dev/null | sed 's/^/full\t/' >>"$WORK/ours.txt"
    hyperfine -N --style none --runs "$RUNS" --warmup 1 --export-json "$WORK/peers$r.json" \
        -n "djpeg -scale 1/4" "djpeg -scale 1/4 -outfile /dev/null $FILE" \
        -n "vipsthumbnail -s 1280x800" "vipsthumbnail $FILE -s 1280x800 -o $WORK/tn.jpg" \
        >/dev/null 2>&1
    "$OURS" "$FILE" --repeat "$RUNS" --select --size "$SELECT_VIEW" 2>/dev/null \
        | sed 's/^/select\t/' >>"$WORK/ours.txt"
done
"$OURS" "$FILE" --pan "$PANS" 2>/dev/null | grep panning >"$WORK/pan.txt"

echo "== the 12-megapixel JPEG shown in the image view, $ROUNDS rounds of $RUNS"
python3 - "$WORK" "$ROUNDS" <<'PY'
import glob, json, re, statistics, sys
work, rounds = sys.argv[1], int(sys.argv[2])
peers = {}
for path in sorted(glob.glob(work + "/peers*.json")):
    for result in json.load(open(path))["results"]:
        p = peers.setdefault(result["command"], {"wall": [], "cpu": []})
        p["wall"] += [t * 1000 for t in result["times"]]
        p["cpu"].append((result["user"] + result["system"]) * 1000)
ours = {}
for line in open(work + "/ours.txt"):
    m = re.match(r"(\w+)\tshow to painted ([\d.]+) ms, cpu ([\d.]+) ms .*?(\d+) x (\d+) at zoom (\d+), decoded at (\d+)", line)
    if m:
        o = ours.setdefault(m.group(1), {"wall": [], "cpu": [], "what": ""})
        o["wall"].append(float(m.group(2)))
        o["cpu"].append(float(m.group(3)))
        o["what"] = f"{m.group(4)} x {m.group(5)}, zoom {m.group(6)}, decoded at {m.group(7)} %"
med = statistics.median
rows = [(f"ours, {'Full Screen' if k == 'full' else 'Select'} View ({v['what']})", med(v["wall"]), med(v["cpu"]))
        for k, v in ours.items()]
rows += [(k, med(v["wall"]), med(v["cpu"])) for k, v in peers.items()]
print(f"{'':58} {'wall ms':>9} {'cpu ms':>9}")
for name, wall, cpu in rows:
    print(f"{name:58} {wall:9.1f} {cpu:9.1f}")
dj = peers.get("djpeg -scale 1/4")
if dj:
    for k, v in ours.items():
        wall, cpu = med(v["wall"]) / med(dj["wall"]), med(v["cpu"]) / med(dj["cpu"])
        verdict = "met" if min(wall, cpu) <= 1.3 else "NOT met"
        print(f"{'Full Screen' if k == 'full' else 'Select'} View: {wall:.2f} x djpeg -scale 1/4 by wall time, "
              f"{cpu:.2f} x by processor time ({verdict}: goal within 1.3 x)")
PY
echo
echo "== one panning redraw of the whole 1280 x 800 window at 100 %"
sed 's/ \[[0-9]*\]$//' "$WORK/pan.txt"
python3 - "$WORK/pan.txt" <<'PY'
import re, sys
m = re.search(r"panning redraw ([\d.]+) ms .*?cpu ([\d.]+) ms", open(sys.argv[1]).read())
if m:
    best = min(float(m.group(1)), float(m.group(2)))
    print(f"goal: under {1000 / 60:.1f} ms (60 frames/s): {'met' if best < 1000 / 60 else 'NOT met'}")
PY

#!/usr/bin/env bash
# Drawing speed of renderImage: the 4000 x 3000 24-bit picture of the benchmark corpus drawn into
# a 1920 x 1080 view at zoom 48 (reduced) and 400 (enlarged), in megapixels of the view per
# second beside a plain memcpy of the same bytes, the upper limit. No peers: the figure to watch
# is the share of memcpy speed.
# Environment: CORPUS (default /tmp/vistrel-corpus, built when missing), BUILD (default build/),
#              SHARED_BENCH (the corpus scripts, default ../shared/bench).
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
SHARED_BENCH=${SHARED_BENCH:-$ROOT/../shared/bench}
export CORPUS=${CORPUS:-/tmp/vistrel-corpus}
BUILD=${BUILD:-$ROOT/build}

[ -f "$CORPUS/photo_12mp_24.bmp" ] || "$SHARED_BENCH/make_corpus.sh"
cmake --build "$BUILD" --target vistrel-bench-render >/dev/null
"$BUILD/bench/vistrel-bench-render" "$CORPUS/photo_12mp_24.bmp"

# Sourced by the benchmark scripts: shared locations and set-up.
#   CORPUS (default /tmp/vistrel-corpus), RESULTS (default bench/results), BUILD (default build/),
#   SHARED_BENCH (the peer harness, default ../shared/bench).
BENCH_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$BENCH_HERE/.." && pwd)
SHARED_BENCH=${SHARED_BENCH:-$ROOT/../shared/bench}
export CORPUS=${CORPUS:-/tmp/vistrel-corpus}
export RESULTS=${RESULTS:-$BENCH_HERE/results}
BUILD=${BUILD:-$ROOT/build}

# install_missing PACKAGE...: installs the Debian packages that are not there yet.
install_missing() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if ((${#missing[@]})); then
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
    fi
}

# need_corpus FILE: builds the benchmark corpus when FILE (a name inside it) is missing.
need_corpus() {
    [ -f "$CORPUS/$1" ] || "$SHARED_BENCH/make_corpus.sh"
}

#!/usr/bin/env bash
# Runs every libFuzzer target of BUILD_DIR for SECONDS each, seeded with the committed regression
# inputs and the target's own seeds: the public test pictures for the decoders (the PNG suite kept
# with the tests for the PNG reader), fuzz/seeds/ for the text parsers. New crashers are left in
# fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${2:-60}
testdata=${VISTREL_TESTDATA:-../shared/testdata}
mkdir -p fuzz/artifacts
found=0
for target in fuzz_describe fuzz_first_frame fuzz_all_frames fuzz_exif fuzz_png fuzz_webp fuzz_heif \
    fuzz_settings_text fuzz_command_line fuzz_convert_arguments; do
    # A reader left out of this build (its library missing) has no target.
    [ -x "$build/fuzz/$target" ] || continue
    case $target in
        fuzz_png) own=tests/data/pngsuite max_len=262144 ;;
        fuzz_webp) own=tests/data/webp max_len=262144 ;;
        fuzz_heif) own=tests/data/heif max_len=262144 ;;
        fuzz_settings_text) own=fuzz/seeds/settings_text max_len=4096 ;;
        fuzz_command_line) own=fuzz/seeds/command_line max_len=1024 ;;
        fuzz_convert_arguments) own=fuzz/seeds/convert_arguments max_len=256 ;;
        *) own=$testdata max_len=262144 ;;
    esac
    seeds=()
    for dir in "$own" fuzz/regressions; do
        [ -d "$dir" ] && seeds+=("$dir")
    done
    corpus=$(mktemp -d)
    echo "-- $target for ${seconds}s"
    if ! "$build/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -max_len="$max_len" -print_final_stats=0 -artifact_prefix=fuzz/artifacts/ \
        "$corpus" "${seeds[@]}" > "$corpus.log" 2>&1; then
        # A short run finds new inputs by chance, so a finding is reported loudly but does not
        # fail the test run; the committed regressions are what the replay tests hold fixed.
        found=1
        echo "!! $target found a failing input (kept in fuzz/artifacts/):"
        grep -E 'ERROR|SUMMARY|Test unit written' "$corpus.log" | head -n 5
    fi
    tail -n 1 "$corpus.log"
    rm -rf "$corpus" "$corpus.log"
done
[ "$found" = 0 ] || echo "!! fuzzing found failing inputs: fix them and add them to fuzz/regressions/"

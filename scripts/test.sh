#!/usr/bin/env bash
# Sets up and runs every test:
#   1. the whole program with warnings as errors, and its tests;
#   2. the portable core with AddressSanitizer and UBSan, and its tests;
#   3. where clang is present, each fuzz target briefly over the test pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

VISTREL_CMAKE_ARGS="-DVISTREL_WERROR=ON ${VISTREL_CMAKE_ARGS:-}" scripts/setup.sh

if command -v clang++ >/dev/null; then
    echo "== fuzz targets (libFuzzer, AddressSanitizer, UBSan)"
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVISTREL_CORE_ONLY=ON -DVISTREL_SANITIZE=ON -DVISTREL_FUZZ=ON -DVISTREL_BUILD_TESTS=OFF >/dev/null
    cmake --build build-fuzz -j"$jobs" --target fuzz_describe fuzz_first_frame fuzz_all_frames
    scripts/fuzz.sh build-fuzz "${FUZZ_SECONDS:-20}"
fi

echo "== core with AddressSanitizer and UBSan"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVISTREL_CORE_ONLY=ON \
    -DVISTREL_SANITIZE=ON -DVISTREL_WERROR=ON >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan -j"$jobs" --output-on-failure

echo "== whole program"
ctest --test-dir build -j"$jobs" --output-on-failure

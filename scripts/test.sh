#!/usr/bin/env bash
# Sets up and runs every test:
#   1. the whole program with warnings as errors, and its tests;
#   2. the portable core with AddressSanitizer and UBSan, and its tests, and each fuzz target
#      briefly over its seeds: one build (clang, libFuzzer) where clang is present, else the core
#      with gcc and no fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

VISTREL_CMAKE_ARGS="-DVISTREL_WERROR=ON ${VISTREL_CMAKE_ARGS:-}" scripts/setup.sh

core_args=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVISTREL_CORE_ONLY=ON -DVISTREL_SANITIZE=ON
           -DVISTREL_WERROR=ON)
if command -v clang++ >/dev/null; then
    echo "== core with AddressSanitizer and UBSan, and the fuzz targets (clang, libFuzzer)"
    CC=clang CXX=clang++ cmake -S . -B build-asan "${core_args[@]}" -DVISTREL_FUZZ=ON >/dev/null
else
    echo "== core with AddressSanitizer and UBSan"
    cmake -S . -B build-asan "${core_args[@]}" >/dev/null
fi
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build-asan -j"$jobs" --output-on-failure
if command -v clang++ >/dev/null; then
    scripts/fuzz.sh build-asan "${FUZZ_SECONDS:-20}"
fi

echo "== whole program"
ctest --test-dir build -j"$jobs" --output-on-failure

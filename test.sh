#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
# the unit, conformance and corpus tests, then the core tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, then a short run of every
# fuzz target. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh build test

echo "== build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARBLEYE_TESTS=ON >/dev/null
cmake --build build -j2
echo "== tests"
ctest --test-dir build --output-on-failure -j2

if command -v clang++ >/dev/null; then
    echo "== sanitizer build (ASan + UBSan) with fuzz targets"
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DMARBLEYE_SANITIZE=ON -DMARBLEYE_FUZZ=ON >/dev/null
    cmake --build build-asan -j2
    echo "== tests under sanitizers"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan-suppressions.txt \
        ctest --test-dir build-asan --output-on-failure -j2 -L 'unit|corpus'
    echo "== fuzzing"
    scripts/run-fuzzers.sh build-asan/fuzz "${FUZZ_SECONDS:-10}"
else
    echo "clang++ not found: sanitizer build and fuzzing skipped"
fi
echo "== all tests passed"

#!/usr/bin/env bash
# Builds Kelvarox and runs the whole test suite, then builds it again with AddressSanitizer
# and UndefinedBehaviorSanitizer and runs the whole suite there too (any report fails its
# test), then, when clang is present, runs each fuzz target for a short while.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
scripts/check-install.sh build

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVAROX_SANITIZE=ON \
  -DKELVAROX_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"

if command -v clang++ >/dev/null; then
  fuzz/run.sh "${KELVAROX_FUZZ_SECONDS:-20}"
else
  echo "clang++ not found: the fuzz targets are not run"
fi

#!/usr/bin/env bash
# Builds Kelvarox and runs the whole test suite (the "test" preset), then builds it again with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs the whole suite there too (the
# "sanitize" preset; any report fails its test), then, when clang is present, runs each fuzz
# target for a short while. After the plain build it checks the format and the names
# (scripts/check-format.sh). Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
for preset in test sanitize; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
  # The installed tree and the Debian packages, once, from the plain build.
  if [ "$preset" = test ]; then
    scripts/check-install.sh build
    scripts/check-format.sh
  fi
done

if command -v clang++ >/dev/null; then
  fuzz/run.sh "${KELVAROX_FUZZ_SECONDS:-20}"
else
  echo "clang++ not found: the fuzz targets are not run"
fi

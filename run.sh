#!/usr/bin/env bash
# Builds Kelvarox (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVAROX_BENCHMARKS=OFF >/dev/null
cmake --build build-release -j "$(nproc 2>/dev/null || echo 2)"
exec build-release/ui/kelvarox "$@"

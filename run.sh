#!/usr/bin/env bash
# Builds Kelvarox (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVAROX_BENCHMARKS=OFF >/dev/null
cmake --build build-release -j "$(nproc 2>/dev/null || echo 2)"
cli=build-release/cli/kelvarox-cli
for f in samples/telemetry/*; do
  "$cli" info "$f" || true
done
"$cli" table samples/telemetry/temperature-one-orbit.dat

#!/usr/bin/env bash
# Builds Kelvarox (the "release" preset: the programs alone, optimised) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)"
exec build-release/ui/kelvarox "$@"

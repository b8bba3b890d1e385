#!/usr/bin/env bash
# Builds the two Debian packages of Kelvarox, kelvarox and kelvarox-cli, into packages/
# (or the folder given): a Release build of the programs, then CPack.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-packages}")
scripts/install-deps.sh

cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DKELVAROX_BENCHMARKS=OFF >/dev/null
cmake --build build-package -j "$(nproc 2>/dev/null || echo 2)"
cpack --config build-package/CPackConfig.cmake -B "$out"
rm -rf "$out/_CPack_Packages"  # CPack's staging folders
ls "$out"/*.deb

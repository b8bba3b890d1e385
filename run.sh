#!/usr/bin/env bash
# Builds Kelvarox (the "release" preset: the programs alone, optimised) and starts it with the
# arguments given, or, without any, on the sample blocks of this checkout. The arguments are
# read from the caller's folder, so relative paths name what the caller sees.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
(
  cd "$here"
  scripts/install-deps.sh
  cmake --preset release >/dev/null
  cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)"
)
if [ $# -eq 0 ]; then set -- "$here/samples/telemetry"; fi
exec "$here/build-release/ui/kelvarox" "$@"

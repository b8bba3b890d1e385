#!/usr/bin/env bash
# Checks the tree's format and names; exits non-zero on any finding.
#   --format-only  clang-format --dry-run -Werror on every tracked C++ file (.clang-format)
#   --names-only   clang-tidy's readability-identifier-naming on every translation unit of
#                  build/compile_commands.json (the "test" preset's build; .clang-tidy), and
#                  scripts/check-qobject-names.py for the members of QObject subclasses
# Without an option, both. KELVAROX_BUILD_DIR names another build directory.
set -euo pipefail
cd "$(dirname "$0")/.."

format=1 names=1
case "${1:-}" in
  --format-only) names=0 ;;
  --names-only) format=0 ;;
  "") ;;
  *) echo "usage: $0 [--format-only|--names-only]" >&2; exit 2 ;;
esac
build="${KELVAROX_BUILD_DIR:-build}"
jobs=$(nproc 2>/dev/null || echo 2)
status=0

if [ "$format" = 1 ]; then
  if ! git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror; then
    echo "check-format: files differ from .clang-format (clang-format -i fixes them)" >&2
    status=1
  fi
fi

if [ "$names" = 1 ]; then
  if [ ! -f "$build/compile_commands.json" ]; then
    echo "check-format: $build/compile_commands.json missing: configure the \"test\" preset first" >&2
    exit 2
  fi
  root=$(pwd)
  report=$(mktemp)
  trap 'rm -f "$report"' EXIT
  # The project's own translation units, not those that CMake generates in the build directory.
  python3 -c '
import json, sys
root, build = sys.argv[1], sys.argv[2]
seen = set()
for e in json.load(open(build + "/compile_commands.json")):
    f = e["file"]
    if f.startswith(root + "/") and not f.startswith(build + "/") and f not in seen:
        seen.add(f)
        print(f)
' "$root" "$(cd "$build" && pwd)" |
    xargs -P "$jobs" -n 4 clang-tidy -p "$build" --config-file=.clang-tidy --quiet \
      --extra-arg=-Wno-unknown-warning-option 2>/dev/null >"$report" || true
  # clang 14 does not parse every C++20 construct that g++ builds (a lambda capturing a
  # structured binding), so only the naming check's findings count.
  if grep -A2 'readability-identifier-naming' "$report"; then
    echo "check-format: names that break .clang-tidy's convention" >&2
    status=1
  fi
  if ! python3 scripts/check-qobject-names.py; then
    echo "check-format: QObject members not in lowerCamel" >&2
    status=1
  fi
fi
exit "$status"

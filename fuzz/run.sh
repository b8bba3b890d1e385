#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 60), one after the
# other, starting from the seeds in fuzz/corpus/<target>. Inputs that find new paths are kept
# in build-fuzz/corpus/<target>; an input that breaks a target is saved as
# build-fuzz/artifacts/<target>-crash-... and the script exits non-zero at the end.
#   fuzz/run.sh [SECONDS] [TARGET...]     TARGET: block, settings, text (default: all three)
# KELVAROX_FUZZ_BUILD names another build directory, for a long run beside a short one.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build=${KELVAROX_FUZZ_BUILD:-build-fuzz}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(block settings text)

if ! command -v clang++ >/dev/null; then
  echo "fuzz/run.sh: clang++ is needed for the fuzz targets" >&2
  exit 1
fi
cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target $(printf 'fuzz_%s ' "${targets[@]}")

failed=()
for target in "${targets[@]}"; do
  mkdir -p "$build/corpus/$target" "$build/artifacts"
  log="$build/$target.log"
  echo "fuzz_$target: ${seconds}s"
  # A run of one input longer than 10 s counts as a hang.
  if "$build/fuzz_$target" "$build/corpus/$target" "fuzz/corpus/$target" \
       -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$build/artifacts/$target-" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$target: ${runs:-?} runs, no failure"
  else
    failed+=("$target")
    echo "fuzz_$target FAILED; the last lines of $log:" >&2
    tail -n 40 "$log" >&2
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz targets that failed: ${failed[*]}" >&2
  exit 1
fi

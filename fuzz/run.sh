#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each, one after the other, starting from the seeds
# in fuzz/corpus/<target>. Inputs that find new paths are kept in build-fuzz/corpus/<target>; an
# input that breaks a target is saved as build-fuzz/artifacts/<target>-crash-... and the script
# exits non-zero at the end.
#   fuzz/run.sh [SECONDS] [TARGET...]        each target for SECONDS (default 60)
#   fuzz/run.sh --runs N [TARGET...]         each target for N executions (a long run: 10000000)
# TARGET: block, settings, settings-large, text, satellite (default: all five). The settings target runs on
# inputs of up to a kilobyte, many of them; settings-large is the same target on inputs of up to
# a megabyte from the start (no slow growth of lengths) with a timeout of 5 s, so that parsing
# that grows faster than the size of the file is found as crashes are. Both use the dictionary
# of the file's tokens, fuzz/settings.dict.
# KELVAROX_FUZZ_BUILD names another build directory, for a long run beside a short one.
set -euo pipefail
cd "$(dirname "$0")/.."

limit=(-max_total_time=60)
if [ "${1:-}" = "--runs" ]; then
  limit=(-runs="$2")
  shift 2
elif [ $# -gt 0 ]; then
  limit=(-max_total_time="$1")
  shift
fi
build=${KELVAROX_FUZZ_BUILD:-build-fuzz}
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(block settings settings-large text satellite)

if ! command -v clang++ >/dev/null; then
  echo "fuzz/run.sh: clang++ is needed for the fuzz targets" >&2
  exit 1
fi
programs=()
for target in "${targets[@]}"; do programs+=("fuzz_${target%-large}"); done
cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target $(printf '%s\n' "${programs[@]}" | sort -u)

failed=()
for target in "${targets[@]}"; do
  seeds=${target%-large}
  # A run of one input longer than 10 s counts as a hang.
  options=(-timeout=10)
  case $target in
    settings) options+=(-max_len=1024 -dict=fuzz/settings.dict) ;;
    settings-large) options=(-timeout=5 -max_len=1048576 -len_control=0 -dict=fuzz/settings.dict) ;;
  esac
  mkdir -p "$build/corpus/$seeds" "$build/artifacts"
  log="$build/$target.log"
  echo "fuzz_$seeds ($target): ${limit[*]}"
  if "$build/fuzz_$seeds" "$build/corpus/$seeds" "fuzz/corpus/$seeds" "${limit[@]}" "${options[@]}" \
       -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz_$seeds ($target): ${runs:-?} runs, no failure"
  else
    failed+=("$target")
    echo "fuzz_$seeds ($target) FAILED; the last lines of $log:" >&2
    tail -n 40 "$log" >&2
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz targets that failed: ${failed[*]}" >&2
  exit 1
fi

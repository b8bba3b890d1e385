#!/usr/bin/env bash
# The time line window's archive reader at 1,000,000 blocks: the processor time and the peak
# resident size of opening the archive, and of following ten commits of a running import. Each
# benchmark runs RUNS times (default 3), each time in a process of its own (the peak is the
# process's); the medians are printed.
# Usage: bench/time-line-reader.sh [BUILD_DIR [DATA_DIR]]   (default build-bench, a Release build
# with the benchmarks; the archive is built in a temporary folder, or kept in DATA_DIR)
set -euo pipefail
source "$(dirname "$0")/common.sh"
build=${1:-build-bench}
program=$(built "$build/bench/time_line_reader_benchmark")
export KELVAROX_BENCH_DATA=${2:-$work}
runs=${RUNS:-3}
for benchmark in BM_OpenMillionBlockArchive BM_FollowTenCommitsOfMillionBlockArchive; do
  for run in $(seq "$runs"); do
    "$program" --benchmark_filter="^$benchmark/" --benchmark_format=json --benchmark_out="$work/$benchmark-$run.json" \
      --benchmark_out_format=json >/dev/null
  done
done
python3 - "$work" <<'PY'
import glob, json, statistics, sys
runs = {}
for path in sorted(glob.glob(sys.argv[1] + "/BM_*.json")):
    for b in json.load(open(path))["benchmarks"]:
        runs.setdefault(b["name"].split("/")[0], []).append(b)
for name, results in runs.items():
    counters = [k for k in results[0] if k.endswith(("_s", "_MB"))]
    print(name + ": " + ", ".join(f"{k} {statistics.median(r[k] for r in results):.2f}" for k in counters)
          + f"  ({len(results)} runs)")
PY

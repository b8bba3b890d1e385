#!/usr/bin/env bash
# What the per-orbit statistics cost and give, in SQLite:
#  - intake with the statistics against intake without them: archive add of SMALL blocks
#    (default 100,000) into a new archive by this build and by a build of the tree before the
#    statistics (BASE_BUILD), RUNS times each in turn (default 3), and of SCALE blocks (default
#    1,000,000) once each;
#  - orbits of one channel out of the SCALE-block archive against series of that channel,
#    RUNS times each; and the orbits of both builds compared byte for byte.
# The blocks are those of make_bench_blocks: ten channels in turn, each block 256 samples over
# four orbits.
# Usage: [SCALE=N] [SMALL=N] [RUNS=N] bench/orbit-statistics.sh BASE_BUILD [BUILD [DATA_DIR]]
# (BUILD default build-bench, a Release build; the blocks are written into a temporary folder, or
# kept in DATA_DIR for the next run: a million blocks take 512 MB there)
set -euo pipefail
source "$(dirname "$0")/common.sh"
base=$(built "$1/cli/kelvarox-cli")
build=${2:-build-bench}
cli=$(built "$build/cli/kelvarox-cli")
make_blocks=$(built "$build/bench/make_bench_blocks")
scale=${SCALE:-1000000}
small=${SMALL:-100000}
runs_each=${RUNS:-3}
data=${3:-}
[ -n "$data" ] || data=$work/blocks
export XDG_CONFIG_HOME=$work/config  # no stored settings
[ -d "$data/scale" ] || "$make_blocks" "$data/scale" 0 "$scale"
all=$(ls -d "$data/scale"/d* | sed -n "1,$(( (scale + 999) / 1000 ))p")
some=$(ls -d "$data/scale"/d* | sed -n "1,$(( (small + 999) / 1000 ))p")
find "$data/scale" -type f -print0 | xargs -0 cat >/dev/null  # warm the page cache

runs=$work/runs.txt
# Elapsed seconds and peak resident KiB of one command, appended to $runs as "NAME SECONDS KIB".
measure() {
  local name=$1
  shift
  /usr/bin/time -f "$name %e %M" -o "$runs" -a "$@" >/dev/null 2>"$work/measure.err" ||
    { cat "$work/measure.err" >&2; exit 1; }
}
fresh() { rm -f "$1" "$1-wal" "$1-shm"; }
for _ in $(seq "$runs_each"); do
  fresh "$work/before.sqlite"
  # shellcheck disable=SC2086
  measure add-before "$base" archive add --orbit-hibyte 10 --database "$work/before.sqlite" $some
  fresh "$work/after.sqlite"
  # shellcheck disable=SC2086
  measure add-after "$cli" archive add --orbit-hibyte 10 --database "$work/after.sqlite" $some
done
fresh "$work/before.sqlite"
# shellcheck disable=SC2086
measure scale-before "$base" archive add --orbit-hibyte 10 --database "$work/before.sqlite" $all
fresh "$work/after.sqlite"
# shellcheck disable=SC2086
measure scale-after "$cli" archive add --orbit-hibyte 10 --database "$work/after.sqlite" $all
for _ in $(seq "$runs_each"); do
  measure series "$cli" series --database "$work/after.sqlite" '#140'
  measure orbits "$cli" orbits --database "$work/after.sqlite" '#140'
done
"$cli" archive check --database "$work/after.sqlite" >/dev/null ||
  { echo "archive check found the statistics of the new archive wrong" >&2; exit 1; }
cmp <("$base" orbits --database "$work/before.sqlite" '#140') <("$cli" orbits --database "$work/after.sqlite" '#140') ||
  { echo "orbits from the stored statistics differ from orbits from the samples" >&2; exit 1; }

python3 - "$runs" "$small" "$scale" <<'PY'
import statistics, sys
runs = {}
for line in open(sys.argv[1]):
    name, seconds, kib = line.split()
    runs.setdefault(name, []).append((float(seconds), int(kib)))
def median(name, i=0):
    return statistics.median(r[i] for r in runs[name])
small, scale = int(sys.argv[2]), int(sys.argv[3])
print(f"add of {small:,} blocks, before the statistics: {median('add-before'):7.2f} s  {median('add-before', 1) / 1024:5.0f} MB  (median of {len(runs['add-before'])})")
print(f"add of {small:,} blocks, with the statistics:   {median('add-after'):7.2f} s  {median('add-after', 1) / 1024:5.0f} MB  with / before {median('add-after') / median('add-before'):.2f}")
print(f"add of {scale:,} blocks, before the statistics: {median('scale-before'):7.2f} s  {median('scale-before', 1) / 1024:5.0f} MB")
print(f"add of {scale:,} blocks, with the statistics:   {median('scale-after'):7.2f} s  {median('scale-after', 1) / 1024:5.0f} MB  with / before {median('scale-after') / median('scale-before'):.2f}")
print(f"series #140 out of {scale:,} blocks:             {median('series'):7.2f} s  {median('series', 1) / 1024:5.0f} MB  (median of {len(runs['series'])})")
print(f"orbits #140 out of them:                      {median('orbits'):7.2f} s  {median('orbits', 1) / 1024:5.0f} MB  orbits / series {median('orbits') / median('series'):.3f}")
PY

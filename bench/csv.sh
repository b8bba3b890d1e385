#!/usr/bin/env bash
# Speed of `kelvarox-cli csv` against reading the same files with cat, with hyperfine:
# 10,000 blocks of 256 samples in one directory (page cache warm), and one block with the
# process start-up; then the peak resident size for 1,000 and 10,000 blocks.
# Usage: bench/csv.sh [BUILD_DIR]   (default build-bench, a Release build)
set -euo pipefail
source "$(dirname "$0")/common.sh"
build=${1:-build-bench}
cli=$(built "$build/cli/kelvarox-cli")
need_hyperfine
export XDG_CONFIG_HOME=$work/config  # no stored settings
python3 - "$work" <<'PY'
import os, sys
work = sys.argv[1]
def block(n):
    b = bytearray(512)
    b[3:6] = b"Who"
    for i in range(256):
        b[64 + i] = (i * 7 + n) & 0xFF
    def put(addr, text):
        b[addr:addr + len(text)] = text.encode()
    put(464, "8766"); put(495, "8766")   # start and end AmDay
    put(471, "10"); put(473, "00")       # start orbit and MA
    put(502, "13"); put(504, "FC")       # end orbit and MA
    put(36, "04")                        # MA step: 255 steps, 256 samples
    put(60, "0140")                      # a temperature channel
    return bytes(b)
for name, count in (("blocks", 10000), ("blocks1k", 1000)):
    os.makedirs(f"{work}/{name}")
    for n in range(count):
        with open(f"{work}/{name}/b{n:05d}.dat", "wb") as f:
            f.write(block(n))
PY
one=$work/blocks/b00000.dat
cat "$work"/blocks/* >/dev/null  # warm the page cache

hyperfine -N --warmup 3 --runs 15 --export-json "$work/many.json" \
  -n 'cat DIR/*' "bash -c 'cat $work/blocks/* > /dev/null'" \
  -n 'kelvarox-cli csv DIR' "bash -c '$cli csv $work/blocks > /dev/null'"
hyperfine -N --warmup 5 --runs 100 --export-json "$work/one.json" \
  -n 'cat one block' "bash -c 'cat $one > /dev/null'" \
  -n 'kelvarox-cli csv one block' "bash -c '$cli csv $one > /dev/null'"

echo; echo "Medians:"; python3 "$(dirname "$0")/medians.py" "$work/many.json" "$work/one.json"
for dir in blocks1k blocks; do
  rss=$( { /usr/bin/time -f '%M' "$cli" csv "$work/$dir" >/dev/null; } 2>&1 | tail -n 1)
  echo "peak resident size, $(ls "$work/$dir" | wc -l) blocks: ${rss} KiB"
done
echo "rows of 10,000 blocks: $("$cli" csv "$work/blocks" | wc -l)"

#!/usr/bin/env bash
# The cost of a satellite file in force, with hyperfine: kelvarox-cli csv of 10,000 blocks
# (page cache warm) with the built-in catalogue, with the catalogue exported as a file, and with
# a file that gives the blocks' channel three entries by date with limits; then breaches and
# series of that channel out of an archive of the same blocks.
# Usage: bench/satellite.sh [BUILD_DIR]   (default build-bench, a Release build)
set -euo pipefail
source "$(dirname "$0")/common.sh"
build=${1:-build-bench}
cli=$(built "$build/cli/kelvarox-cli")
need_hyperfine
export XDG_CONFIG_HOME=$work/config KELVAROX_SATELLITE=  # no stored settings, no file in force
python3 - "$work" <<'PY'
import os, sys
work = sys.argv[1]
os.makedirs(f"{work}/blocks")
for n in range(10000):
    b = bytearray(512)
    b[3:6] = b"Who"
    for i in range(256):
        b[64 + i] = (i * 7 + n) & 0xFF
    day, orbit = 7000 + n // 100, 256 + int(n / 100 * 14.3)
    def put(addr, text):
        b[addr:addr + len(text)] = text.encode()
    put(464, "%4d" % day); put(495, "%4d" % day)
    put(471, "%02X" % (orbit % 256)); put(473, "00")
    put(502, "%02X" % ((orbit + 3) % 256)); put(504, "FC")
    put(36, "04"); put(60, "0140")
    with open(f"{work}/blocks/b{n:05d}.dat", "wb") as f:
        f.write(b)
with open(f"{work}/dated.toml", "w") as f:
    f.write('format = 1\nsatellite = "Bench-1"\n')
    for date, x1 in (("", 0.6567), ("1997-03-01", 0.66), ("1997-06-01", 0.661)):
        f.write('[[channel]]\nhex = "#140"\nequation = { x1 = %s, x0 = -69.4 }\n' % x1)
        if date: f.write("from = %s\n" % date)
        f.write("limits = { yellow_low = -60.0, yellow_high = 60.0, red_high = 80.0, persistence = 2 }\n")
PY
"$cli" satellite export > "$work/exported.toml"
cat "$work"/blocks/* >/dev/null
db=$work/archive.sqlite
"$cli" archive add --database "$db" --orbit-hibyte 1 "$work/blocks" >/dev/null

hyperfine -N --warmup 2 --runs 15 --export-json "$work/csv.json" \
  -n 'csv, built-in' "bash -c '$cli csv $work/blocks > /dev/null'" \
  -n 'csv, exported file' "bash -c '$cli csv --satellite $work/exported.toml $work/blocks > /dev/null'" \
  -n 'csv, dated file' "bash -c '$cli csv --satellite $work/dated.toml $work/blocks > /dev/null'"
hyperfine -N --warmup 2 --runs 15 --export-json "$work/archive.json" \
  -n 'series #140' "bash -c '$cli series --database $db --satellite $work/dated.toml \"#140\" > /dev/null'" \
  -n 'breaches #140' "bash -c '$cli breaches --database $db --satellite $work/dated.toml \"#140\" > /dev/null'" \
  -n 'orbits #140' "bash -c '$cli orbits --database $db --satellite $work/dated.toml \"#140\" > /dev/null'" \
  -n 'fold #140' "bash -c '$cli fold --database $db --satellite $work/dated.toml \"#140\" > /dev/null'"
echo; echo "Medians:"; python3 "$(dirname "$0")/medians.py" "$work/csv.json" "$work/archive.json"

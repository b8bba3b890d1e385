#!/usr/bin/env bash
# Speed and memory of the block archive, with hyperfine:
#  - archive add of 10,000 blocks into a new SQLite archive, and into a new PostgreSQL database,
#    against kelvarox-cli csv of the same directory;
#  - series of one channel (10,000 blocks) out of a 100,000-block archive, SQLite and PostgreSQL,
#    against csv of just that channel's block files, and breaches of that channel beside it;
#  - the peak resident size of add and series for 1,000 and 10,000 blocks;
#  - at scale (SCALE blocks, default 1,000,000, in SQLite; SCALE=0 leaves it out): add of them
#    into a new archive against csv of them, the peak resident size of add at 100,000 and at
#    SCALE blocks, add again when every block is stored, 10,000 blocks older than all of them
#    added, series and breaches of one channel out of them, and four imports of overlapping folders at once against the same four one after
#    another (four tenths of SCALE, two imports for each block).
# PostgreSQL runs as a throwaway cluster in a temporary folder (Unix socket only), stopped at the end.
# Usage: [SCALE=N] [RUNS=N] bench/archive.sh [BUILD_DIR [DATA_DIR]]   (default build-bench, a Release
# build; the blocks are written into a temporary folder, or kept in DATA_DIR for the next run;
# a million blocks take 512 MB there; RUNS: how often csv and add run at scale, default 3)
set -euo pipefail
source "$(dirname "$0")/common.sh"
build=${1:-build-bench}
cli=$(built "$build/cli/kelvarox-cli")
need_hyperfine
pgbin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)

data=${2:-}
[ -n "$data" ] || data=$work/blocks
mkdir -p "$data"
as_server() { if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
cleanup() {
  [ -d "$work/pg" ] && as_server "$pgbin/pg_ctl" -D "$work/pg" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_CONFIG_HOME=$work/config  # no stored settings

# Blocks of 256 samples over four orbits of a satellite that flies 14.3 orbits a day, 100 a day
# from AmDay 7000 on:
# blocks1k and blocks10k of one channel, and 100,000 of ten channels in turn, one folder each.
[ -d "$data/all" ] || python3 - "$data" <<'PY'
import os, sys
data = sys.argv[1]
channels = ["0140", "0141", "0106", "010B", "0171", "0100", "0134", "0130", "0142", "0180"]
def block(n, channel):
    b = bytearray(512)
    b[3:6] = b"Who"
    for i in range(256):
        b[64 + i] = (i * 7 + n) & 0xFF
    b[64], b[65], b[66] = n & 0xFF, (n >> 8) & 0xFF, (n >> 16) & 0xFF
    day, orbit = 7000 + n // 100, 256 + int(n / 100 * 14.3)
    def put(addr, text):
        b[addr:addr + len(text)] = text.encode()
    put(464, "%4d" % day); put(495, "%4d" % day)               # start and end AmDay
    put(471, "%02X" % (orbit % 256)); put(473, "00")           # start orbit and MA
    put(502, "%02X" % ((orbit + 3) % 256)); put(504, "FC")     # end orbit and MA
    put(36, "04")                                              # MA step: 256 samples
    put(60, channel)
    return bytes(b)
def write(folder, n, channel):
    os.makedirs(folder, exist_ok=True)
    with open(f"{folder}/b{n:06d}.dat", "wb") as f:
        f.write(block(n, channel))
for n in range(10000):
    write(f"{data}/blocks10k", n, "0140")
    if n < 1000:
        write(f"{data}/blocks1k", n, "0140")
for n in range(100000):
    write(f"{data}/all/{channels[n % 10]}", n, channels[n % 10])
PY
cat "$data"/blocks10k/* "$data"/all/0140/* >/dev/null  # warm the page cache

# The PostgreSQL cluster.
mkdir -p "$work/pgsock"
[ "$(id -u)" -eq 0 ] && chown postgres "$work" "$work/pgsock"
as_server "$pgbin/initdb" -D "$work/pg" -A trust -U kelvarox --no-sync -E UTF8 --locale=C >/dev/null
as_server "$pgbin/pg_ctl" -D "$work/pg" -l "$work/pgsock/log" -w \
  -o "-k $work/pgsock -c listen_addresses=''" start >/dev/null
psql="psql -q -h $work/pgsock -U kelvarox -d postgres"
pg() { echo "postgresql:///$1?host=$work/pgsock&user=kelvarox"; }
fresh_pg() { echo "$psql -c 'DROP DATABASE IF EXISTS $1' -c 'CREATE DATABASE $1'"; }

hyperfine -N --warmup 1 --runs 10 --export-json "$work/add.json" \
  --prepare true -n 'csv DIR (10,000 blocks)' "bash -c '$cli csv $data/blocks10k > /dev/null'" \
  --prepare "rm -f $work/add.sqlite $work/add.sqlite-wal $work/add.sqlite-shm" \
  -n 'archive add DIR, SQLite' "$cli archive add --database $work/add.sqlite $data/blocks10k" \
  --prepare "$(fresh_pg addbench)" \
  -n 'archive add DIR, PostgreSQL' "$cli archive add --database $(pg addbench) $data/blocks10k"

# The 100,000-block archives.
# (each channel's folder holds blocks of every day, so every batch after the first folder's
# places the later blocks of the archive again)
timed() { /usr/bin/time -f "  ($1: %e s, peak resident size %M KiB)" "${@:2}"; }
timed 'SQLite, 100,000 blocks' $cli archive add --database "$work/all.sqlite" "$data"/all/*
$psql -c 'CREATE DATABASE allbench'
timed 'PostgreSQL, 100,000 blocks' $cli archive add --database "$(pg allbench)" "$data"/all/*
# Limits of #140 that its sawtooth of values crosses often, with a persistence.
printf 'format = 1\n[[channel]]\nhex = "#140"\nlimits = { yellow_low = -60.0, yellow_high = 60.0, red_high = 80.0, persistence = 2 }\n' \
  > "$work/limits.toml"
hyperfine -N --warmup 2 --runs 10 --export-json "$work/series.json" \
  -n "csv of the channel's 10,000 files" "bash -c '$cli csv $data/all/0140 > /dev/null'" \
  -n 'series #140, SQLite' "bash -c '$cli series --database $work/all.sqlite 0x140 > /dev/null'" \
  -n 'series #140, PostgreSQL' "bash -c '$cli series --database \"$(pg allbench)\" 0x140 > /dev/null'" \
  -n 'breaches #140, SQLite' "bash -c '$cli breaches --satellite $work/limits.toml --database $work/all.sqlite 0x140 > /dev/null'"

echo; echo "Medians:"; python3 "$(dirname "$0")/medians.py" "$work/add.json" "$work/series.json"

echo; echo "Peak resident size (KiB):"
peak() { { /usr/bin/time -f '%M' "$@" >/dev/null; } 2>&1 | tail -n 1; }
for dir in blocks1k blocks10k; do
  rm -f "$work/m.sqlite"*
  $psql -c 'DROP DATABASE IF EXISTS mem' -c 'CREATE DATABASE mem' 2>/dev/null
  echo "archive add, $(ls "$data/$dir" | wc -l) blocks: SQLite $(peak "$cli" archive add --database "$work/m.sqlite" "$data/$dir")," \
       "PostgreSQL $(peak "$cli" archive add --database "$(pg mem)" "$data/$dir")," \
       "csv $(peak "$cli" csv "$data/$dir")"
  echo "series of those $(ls "$data/$dir" | wc -l) blocks: SQLite $(peak "$cli" series --database "$work/m.sqlite" '#140')," \
       "PostgreSQL $(peak "$cli" series --database "$(pg mem)" '#140')"
done
echo "series rows of #140 out of 100,000 blocks: $("$cli" series --database "$work/all.sqlite" '#140' | wc -l)," \
     "csv rows of its files: $("$cli" csv "$data/all/0140" | wc -l)"

scale=${SCALE:-1000000}
[ "$scale" -gt 0 ] || exit 0
make_blocks=$(realpath "$build/bench/make_bench_blocks")
[ -d "$data/scale" ] || "$make_blocks" "$data/scale" 0 "$scale"
[ -d "$data/older" ] || "$make_blocks" "$data/older" -10000 10000
folders() { ls -d "$data/scale"/d* | sed -n "$(( $1 + 1 )),$(( $2 ))p"; }  # folders FROM (0-based) to TO
all_folders=$(folders 0 $(( (scale + 999) / 1000 )))
find "$data/scale" "$data/older" -type f -print0 | xargs -0 cat >/dev/null  # warm the page cache

# Elapsed seconds and peak resident KiB of one command, appended to the file $1 as "NAME SECONDS KIB".
measure() {
  local file=$1 name=$2
  shift 2
  /usr/bin/time -f "$name %e %M" -o "$file" -a "$@" >/dev/null 2>"$work/measure.err" ||
    { cat "$work/measure.err" >&2; exit 1; }
}
fresh_sqlite() { rm -f "$1" "$1-wal" "$1-shm"; }
echo; echo "At scale, SQLite ($scale blocks of ten channels, 1,000 a folder):"
runs=$work/scale.txt
for _ in $(seq "${RUNS:-3}"); do
  # shellcheck disable=SC2086
  measure "$runs" csv "$cli" csv $all_folders
  fresh_sqlite "$work/scale.sqlite"
  # shellcheck disable=SC2086
  measure "$runs" add "$cli" archive add --orbit-hibyte 10 --database "$work/scale.sqlite" $all_folders
done
# shellcheck disable=SC2086
measure "$runs" again "$cli" archive add --database "$work/scale.sqlite" $all_folders
measure "$runs" older "$cli" archive add --orbit-hibyte 5 --database "$work/scale.sqlite" "$data/older"/d*
for _ in $(seq "${RUNS:-3}"); do
  measure "$runs" series "$cli" series --database "$work/scale.sqlite" '#140'
  measure "$runs" breaches "$cli" breaches --satellite "$work/limits.toml" --database "$work/scale.sqlite" '#140'
done
fresh_sqlite "$work/tenth.sqlite"
# shellcheck disable=SC2086
measure "$runs" tenth "$cli" archive add --orbit-hibyte 10 --database "$work/tenth.sqlite" $(folders 0 100)

# (The blocks begin at orbit 2560, Orbit HiByte 10; the older ones at 1368, Orbit HiByte 5.)
# Four imports of four tenths of the blocks in four quarters, each import two quarters (its own
# and the next), at once and one after another; the archives they leave must hold the same.
q=$(( scale / 10000 ))  # folders a quarter
quarter() { folders $(( $1 * q )) $(( $1 * q + q )); }
four() {
  local k
  for k in 0 1 2 3; do
    echo "$cli archive add --orbit-hibyte 10 --database $1 $(quarter $k | tr '\n' ' ') $(quarter $(( (k + 1) % 4 )) | tr '\n' ' ')"
  done
}
if [ "$q" -gt 0 ]; then
  fresh_sqlite "$work/serial.sqlite"
  measure "$runs" serial bash -c "$(four "$work/serial.sqlite" | sed 's/$/ >\/dev\/null/')"
  fresh_sqlite "$work/parallel.sqlite"
  measure "$runs" parallel bash -c "$(four "$work/parallel.sqlite" | sed 's/$/ >\/dev\/null \&/')
wait"
  # (in another order where blocks tie in time: they were stored in another order)
  cmp <("$cli" archive list --database "$work/serial.sqlite" | sort) \
      <("$cli" archive list --database "$work/parallel.sqlite" | sort) ||
    { echo "the overlapping imports left another archive than one after another" >&2; exit 1; }
fi

python3 - "$runs" "$scale" <<'PY'
import statistics, sys
runs = {}
for line in open(sys.argv[1]):
    name, seconds, kib = line.split()
    runs.setdefault(name, []).append((float(seconds), int(kib)))
def median(name, i):
    return statistics.median(r[i] for r in runs[name])
scale = int(sys.argv[2])
print(f"  csv of {scale:,} blocks:                   {median('csv', 0):7.1f} s  {median('csv', 1) / 1024:6.0f} MB   (median of {len(runs['csv'])})")
print(f"  add of them into a new archive:          {median('add', 0):7.1f} s  {median('add', 1) / 1024:6.0f} MB   add / csv {median('add', 0) / median('csv', 0):.2f}")
print(f"  add of the first 100,000 of them:        {median('tenth', 0):7.1f} s  {median('tenth', 1) / 1024:6.0f} MB")
print(f"  add of them again, every block stored:   {median('again', 0):7.1f} s  {median('again', 1) / 1024:6.0f} MB")
print(f"  add of 10,000 blocks older than all:     {median('older', 0):7.1f} s  {median('older', 1) / 1024:6.0f} MB")
print(f"  series of one channel out of them:       {median('series', 0):7.1f} s  {median('series', 1) / 1024:6.0f} MB")
print(f"  breaches of that channel:                {median('breaches', 0):7.1f} s  {median('breaches', 1) / 1024:6.0f} MB   breaches / series {median('breaches', 0) / median('series', 0):.2f}")
if "serial" in runs:
    print(f"  four overlapping imports of {4 * scale // 10:,} blocks, one by one: {median('serial', 0):7.1f} s")
    print(f"  the same four at once:                   {median('parallel', 0):7.1f} s            at once / one by one {median('parallel', 0) / median('serial', 0):.2f}")
PY

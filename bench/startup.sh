#!/usr/bin/env bash
# Start-up of Kelvarox to its main window against one empty window, under Xvfb, with hyperfine;
# then the same start-up with a telemetry directory of 100,000 block files against an empty one.
# Usage: bench/startup.sh [BUILD_DIR]   (default build-bench, a Release build with the benchmarks)
set -euo pipefail
source "$(dirname "$0")/common.sh"
build=${1:-build-bench}
bin=$(built "$build/bench/startup_benchmark")
need_hyperfine
settings() {  # settings() HOME TELEMETRY_PARENT
  mkdir -p "$1/config/kelvarox"
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Qarn Programs\\Trelm\\Startup]\r\n"Default Directory"="%s"\r\n' \
    "$2" >"$1/config/kelvarox/user.reg"
}
mkdir -p "$work/small/Trelm/telemetry" "$work/empty/Trelm/telemetry" "$work/large/Trelm/telemetry"
cp samples/telemetry/* "$work/small/Trelm/telemetry/"
settings "$work/small" "$work/small/Trelm"
settings "$work/empty" "$work/empty/Trelm"
settings "$work/large" "$work/large/Trelm"
python3 - "$work/large/Trelm/telemetry" samples/telemetry/temperature-one-orbit.dat <<'PY'
import sys
block = open(sys.argv[2], 'rb').read()
for i in range(100000):
    with open(f"{sys.argv[1]}/b{i:05d}.dat", 'wb') as f:
        f.write(block)
PY

run() { echo "HOME=$1 XDG_CONFIG_HOME=$1/config $bin"; }
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
  hyperfine -N --warmup 3 --runs 30 --export-json '$work/window.json' \
    -n 'empty QWidget' '$bin --empty-widget' \
    -n 'one QLabel' '$bin --label-widget' \
    -n 'Kelvarox main window' 'env $(run "$work/small")'
  hyperfine -N --warmup 2 --runs 20 --export-json '$work/large.json' \
    -n 'empty telemetry directory' 'env $(run "$work/empty")' \
    -n '100,000 block files' 'env $(run "$work/large")'
"
echo; echo "Medians:"; python3 "$(dirname "$0")/medians.py" "$work/window.json" "$work/large.json"
# Time to the window on the screen, inside the process (no process end), median of 15 runs.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
  for what in '--empty-widget' '--label-widget' 'small' 'empty' 'large'; do
    for i in \$(seq 15); do
      case \$what in
        --*) $bin \$what --report ;;
        *) HOME=$work/\$what XDG_CONFIG_HOME=$work/\$what/config $bin --report ;;
      esac
    done 2>/dev/null | sort -n | awk -v w=\$what '{a[NR]=\$1} END {print \"to exposure, \" w \": median \" a[int((NR+1)/2)] \" ms\"}'
  done
"

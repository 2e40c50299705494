#!/bin/sh
# Picking the 1M-row table in the main window: time to the first rows on screen
# and peak memory, beside the bare recordset load of the same table; typing into
# the find bar and copying every cell, with the longest the window went unanswered.
#   bench/grid_bench.sh [build folder, configured with -DVARNEX_BUILD_BENCH=ON] [rows]
set -eu
build=${1:-build}
rows=${2:-1000000}
db=${TMPDIR:-/tmp}/varnex_grid_bench_$rows.mdb
bench="$build/bin/grid_bench"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

[ -f "$db" ] || "$bench" make "$db" "$rows"
for run in 1 2 3; do
  echo "run $run"
  "$bench" load "$db"
  "$bench" grid "$db"
done

#!/bin/sh
# Time and peak memory of writing the synthetic benchmark table with varnex-mkdb.
#   bench/writer/generate.sh [ROWS]     (default 1,000,000 rows; Jet 4 and Jet 3)
# Prints one figure a line as "name: value".
set -eu
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${VARNEX_BENCH_BUILD:-$here/build-bench}
work=${VARNEX_BENCH_DIR:-/tmp/varnex-bench}
rows=${1:-1000000}
mkdir -p "$work"

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVARNEX_BUILD_TESTS=OFF -DVARNEX_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target varnex-mkdb >/dev/null

for format in jet4 jet3; do
  out="$work/generate_${format}_$rows.mdb"
  /usr/bin/time -f "%e %M" -o "$work/generate.time" \
    "$build/bin/varnex-mkdb" generate --rows "$rows" --format "$format" --table Bench "$out"
  read -r seconds peak_kb < "$work/generate.time"
  echo "${format}_rows: $rows"
  echo "${format}_write_s: $seconds"
  echo "${format}_peak_rss_mb: $(awk -v k="$peak_kb" 'BEGIN { printf "%.1f", k / 1024 }')"
  echo "${format}_file_mb: $(awk -v b="$(stat -c %s "$out")" 'BEGIN { printf "%.1f", b / 1048576 }')"
  rm -f "$out" "$work/generate.time"
done

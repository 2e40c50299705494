#!/usr/bin/env bash
# Runs one fuzzer for a bounded time over a fresh working corpus built from the seeds.
# Any crash, hang, sanitizer report or memory blow-up makes libFuzzer exit non-zero,
# which fails the run; the offending input is kept in the artifacts folder.
#   run-fuzzer.sh FUZZER WORKDIR SECONDS [SEED_FOLDER] [-- extra libFuzzer options]
set -euo pipefail
fuzzer=$1 workdir=$2 seconds=$3
shift 3
seeds=()
if [ $# -gt 0 ] && [ "$1" != "--" ]; then
  seeds=("$1")
  shift
fi
[ "${1:-}" = "--" ] && shift
mkdir -p "$workdir/corpus" "$workdir/artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TMPDIR=$workdir
exec "$fuzzer" "$workdir/corpus" "${seeds[@]}" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
  -close_fd_mask=2 -print_final_stats=1 -artifact_prefix="$workdir/artifacts/" "$@"

#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite, then the same
# tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
# VARNEX_SKIP_SANITIZE=1 runs the plain build only; VARNEX_SANITIZE_ONLY=1 the sanitizer build only.
# Both runs happen even when the first fails; the exit status says whether either failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-debian.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
status=0

if [ "${VARNEX_SANITIZE_ONLY:-0}" != 1 ]; then
  "$root/scripts/build.sh" "$root/build" -DVARNEX_BUILD_TESTS=ON
  (cd "$root/build" && ctest --output-on-failure -j"$jobs" --timeout 600) || status=1
fi

if [ "${VARNEX_SKIP_SANITIZE:-0}" != 1 ]; then
  "$root/scripts/build.sh" "$root/build-asan" -DVARNEX_BUILD_TESTS=ON -DVARNEX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export LSAN_OPTIONS=suppressions="$root/tests/lsan.supp"
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  (cd "$root/build-asan" && ctest --output-on-failure -j"$jobs" --timeout 900 -LE no-sanitize) || status=1
fi
exit "$status"

#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite, then the same
# tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
# VARNEX_SKIP_SANITIZE=1 runs the plain build only; VARNEX_SANITIZE_ONLY=1 the sanitizer build only.
# VARNEX_SKIP_FUZZ=1 leaves out the fuzzers (built with clang in build-fuzz, about a minute each).
# VARNEX_SKIP_PACKAGE=1 leaves out building and checking the Debian package (in build-package).
# Every run happens even when an earlier one fails; the exit status says whether any failed.
# Tests labelled soak (long runs, e.g. ctest -L soak) are left out.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-debian.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
status=0
passed=0
failed=0

# Runs ctest in a folder and adds its counts to the totals printed at the end.
run_ctest() {
  local dir=$1 log rc=0 summary
  shift
  log=$(mktemp)
  (cd "$dir" && ctest "$@") 2>&1 | tee "$log" || rc=1
  summary=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1 || true)
  rm -f "$log"
  if [ -n "$summary" ]; then
    local fails total
    fails=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$summary")
    total=$(sed -E 's/.* tests failed out of ([0-9]+).*/\1/' <<<"$summary")
    passed=$((passed + total - fails))
    failed=$((failed + fails))
  fi
  return "$rc"
}

if [ "${VARNEX_SANITIZE_ONLY:-0}" != 1 ]; then
  "$root/scripts/build.sh" "$root/build" -DVARNEX_BUILD_TESTS=ON -DVARNEX_WERROR=ON
  run_ctest "$root/build" --output-on-failure -j"$jobs" --timeout 600 -LE soak || status=1
fi

if [ "${VARNEX_SKIP_SANITIZE:-0}" != 1 ]; then
  "$root/scripts/build.sh" "$root/build-asan" -DVARNEX_BUILD_TESTS=ON -DVARNEX_WERROR=ON -DVARNEX_SANITIZE=ON \
    -DCMAKE_BUILD_TYPE=Debug
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export LSAN_OPTIONS=suppressions="$root/tests/lsan.supp"
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  run_ctest "$root/build-asan" --output-on-failure -j"$jobs" --timeout 900 -LE 'no-sanitize|soak' || status=1
fi
if [ "${VARNEX_SKIP_FUZZ:-0}" != 1 ]; then
  cmake -S "$root" -B "$root/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DVARNEX_BUILD_TESTS=OFF -DVARNEX_WERROR=ON -DVARNEX_FUZZ=ON >/dev/null
  cmake --build "$root/build-fuzz" -j"$jobs" --target varnex_fuzz_database varnex_fuzz_profile
  run_ctest "$root/build-fuzz/fuzz" --output-on-failure -j"$jobs" -L fuzz || status=1
fi
if [ "${VARNEX_SKIP_PACKAGE:-0}" != 1 ]; then
  if "$root/scripts/package.sh" "$root/build-package"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    status=1
  fi
fi
echo "total: $passed passed, $failed failed"
exit "$status"

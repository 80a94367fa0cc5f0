#!/usr/bin/env bash
# Builds everything with clang under AddressSanitizer, UndefinedBehaviorSanitizer
# and LeakSanitizer, runs the whole test suite on that build, then runs each
# fuzzer for a bounded time from its seed corpus.
#   bash tools/check-sanitized.sh [SECONDS_PER_FUZZER]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLO_SANITIZE_BUILD_DIR:-$here/build-sanitize}
seconds=${1:-30}

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DQUILLO_SANITIZE=ON -DQUILLO_FUZZ=ON -DQUILLO_BUILD_BENCH=OFF -DQUILLO_WERROR=ON
cmake --build "$build" -j2

export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Leaks inside the system's font and graphics libraries are theirs, not ours.
export LSAN_OPTIONS=suppressions=$here/tools/lsan-third-party.supp:print_suppressions=0
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j1 --timeout 600)

for fuzzer in fuzz_wildcard fuzz_setting_values fuzz_rounded_region fuzz_picture_guard; do
  work=$(mktemp -d)
  echo "== $fuzzer for ${seconds}s"
  (cd "$work" && "$build/tests/fuzz/$fuzzer" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
      -max_len=4096 -print_final_stats=1 "$work" "$here/tests/fuzz/corpus/$fuzzer" 2>&1 | tail -n 12)
  rm -rf "$work"
done

#!/usr/bin/env bash
# Builds everything with clang under AddressSanitizer, UndefinedBehaviorSanitizer
# and LeakSanitizer, runs the whole test suite on that build, and runs each
# fuzzer for a bounded time from its seed corpus, beside the suite.
#   bash tools/check-sanitized.sh [--install-only | --build-only | --test-only] [SECONDS_PER_FUZZER]
# --install-only installs the compiler, --build-only installs and builds,
# --test-only runs the tests and fuzzers of a build made before: the build
# can go on (niced) while another suite runs.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLO_SANITIZE_BUILD_DIR:-$here/build-sanitize}
steps=all
case ${1:-} in
  --install-only) steps=install; shift ;;
  --build-only) steps=build; shift ;;
  --test-only) steps=test; shift ;;
esac
seconds=${1:-30}

if [ "$steps" != test ]; then
  missing=()
  for p in clang libclang-rt-14-dev llvm lld; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    run_as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
    [ -n "${QUILLO_APT_UPDATED:-}" ] || run_as_root apt-get update -qq
    # Another install going on is waited for; a CI machine, thrown away
    # after its run, has dpkg skip syncing each file.
    unsafe=()
    [ "${CI:-}" = true ] && unsafe=(-o Dpkg::Options::=--force-unsafe-io)
    run_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      -o DPkg::Lock::Timeout=900 "${unsafe[@]}" "${missing[@]}"
  fi
  [ "$steps" = install ] && exit 0

  # Debug keeps the assertions; -O1 is the sanitizers' own advice, and runs
  # the suite far faster than -O0 while every check stays in. The reports
  # need only the source lines of each frame, not the full debug information.
  # Qt's headers precompiled: the plain build, without them, shows a missing
  # include. LLVM's linker links the eighty programs in a third of the time.
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_FLAGS_DEBUG="-O1 -gline-tables-only" -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld \
    -DQUILLO_SANITIZE=ON -DQUILLO_FUZZ=ON -DQUILLO_BUILD_BENCH=OFF -DQUILLO_WERROR=ON -DQUILLO_PRECOMPILE_QT=ON
  cmake --build "$build" -j2
fi
[ "$steps" = build ] && exit 0

# libxkbcommon-x11 reads past the end of the X server's atom names with
# strndup; the check for that interceptor is left off so the X tests can run.
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:intercept_strndup=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Leaks inside the system's font and graphics libraries are theirs, not ours.
export LSAN_OPTIONS=suppressions=$here/tools/lsan-third-party.supp:print_suppressions=0
# Left to the plain suite, which has run them already: the tests that build
# a program or a package of their own without the sanitizers, or that judge
# files rather than run code (the configure test of the Wayland hold, the
# package and its desktop files, the bundled recordings against their speaker
# and their loudness, the include order), and the held-key runs, whose
# waiting for sounds to end adds a minute while their code runs here in
# test_key_queue and x11_key_queue.
plain_only='^(configure_wayland_hold|package_deb|install_layout|validate_.*|bundled_recordings|test_speaker_recordings|include_direction|x11_held_key|wayland_held_key)$'
# Two tests at a time, but for those that share a display or a sound server
# (tests/CMakeLists.txt runs them alone).
jobs=$(( $(nproc) < 2 ? 1 : 2 ))

# fuzz RUNS NAME: one fuzzer in a folder of its own (its new inputs and any
# crash land there), its report in RUNS/NAME.log, its exit status in
# RUNS/NAME.status.
fuzz() {
  local work=$1/$2 status=0
  mkdir "$work"
  (cd "$work" && nice -n 10 "$build/tests/fuzz/$2" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
      -max_len=4096 -print_final_stats=1 "$work" "$here/tests/fuzz/corpus/$2" >"$1/$2.log" 2>&1) || status=$?
  echo "$status" >"$1/$2.status"
}
fuzzers=(fuzz_wildcard fuzz_setting_values fuzz_ini_lines fuzz_rounded_region fuzz_picture_guard fuzz_wav_header)
runs=$(mktemp -d)
trap 'rm -rf "$runs"' EXIT
# The fuzzers run one after another beside the suite, at a lower priority:
# the suite's tests mostly wait on their X and sound servers, and leave a
# core free for them.
(for fuzzer in "${fuzzers[@]}"; do fuzz "$runs" "$fuzzer"; done) &
fuzzing=$!
failed=0
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" --timeout 600 -E "$plain_only") || failed=1
wait "$fuzzing"
for fuzzer in "${fuzzers[@]}"; do
  echo "== $fuzzer for ${seconds}s"
  tail -n 12 "$runs/$fuzzer.log"
  status=$(cat "$runs/$fuzzer.status" 2>/dev/null || echo "?")
  if [ "$status" != 0 ]; then
    echo "$fuzzer failed with status $status"
    failed=1
  fi
done
exit "$failed"

#!/usr/bin/env bash
# Runs every benchmark on a built tree and prints each one's figures.
#   bash bench/run-all.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
reps=(--benchmark_repetitions=7 --benchmark_enable_random_interleaving=true)

echo "== start to mapped window (real X server)"
if [ -n "${DISPLAY:-}" ]; then
  QT_QPA_PLATFORM=xcb "$build/bench/bench_startup" 15
else
  QT_QPA_PLATFORM=xcb xvfb-run -a "$build/bench/bench_startup" 15
fi
echo "== SIGTERM to ended, idle"
"$build/bench/bench_signal_exit" 11
echo "== resident memory"
"$build/bench/bench_memory"
for b in bench_keystroke bench_picture_list bench_show_word bench_audio_latency; do
  echo "== $b"
  "$build/bench/$b" "${reps[@]}" 2>/dev/null | grep -E "^[A-Za-z_]+.*(ms|us|ns)" || true
done

#!/usr/bin/env bash
# Builds and runs the performance suite: the receive path, the trend chart, the seven-segment
# display (medians of five runs each), then the whole console under simulator load, after a
# pulled cable and in a flood, and its peak memory after a million lines (about four minutes).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
for bench in bench_receive_path bench_trend_chart bench_morph_display; do
  "$root/build/bench/$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
done
"$root/build/bench/bench_console_process"

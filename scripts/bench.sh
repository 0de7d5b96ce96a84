#!/usr/bin/env bash
# Builds and runs the performance suite: the receive path, the trend chart, the seven-segment
# display (medians of five runs each), the run history on a 1 MB and a 10 MB runs.csv and a
# 200 MB record compared on the chart (the window's longest stall and the peak memory), the plant
# model's fit and the tuning advice, then the whole console under simulator load, after a pulled
# cable and in a flood, and its peak memory after a million lines, offscreen and as a shown
# window on a virtual X display; last the console beside a plain terminal (xterm and picocom) on
# the same telemetry stream, at the link's full rate and at a line every 500 ms (about twenty
# minutes in all).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

bench_packages=(xvfb xauth xterm picocom xdotool python3 imagemagick)
missing=()
for package in "${bench_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
    || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  as_root=()
  [ "$(id -u)" -ne 0 ] && as_root=(sudo)
  "${as_root[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends \
    "${missing[@]}"
fi

"$root/scripts/build.sh"
for bench in bench_receive_path bench_trend_chart bench_morph_display; do
  "$root/build/bench/$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
done
# Each alone, so that its peak memory is its own.
for case in 'BM_RunHistoryOpens/1/' 'BM_RunHistoryOpens/10/' 'BM_CompareLargeRecord'; do
  "$root/build/bench/bench_records" --benchmark_filter="$case"
done
for bench in bench_plant_model bench_tuning_advice; do
  "$root/build/bench/$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
done
echo "The console process, offscreen:"
QT_QPA_PLATFORM=offscreen "$root/build/bench/bench_console_process"
echo "The console process, shown on a virtual X display:"
QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 1600x1000x24' "$root/build/bench/bench_console_process"

echo "Beside a plain terminal, 960 characters a second:"
"$root/scripts/peer-cpu.sh" "$root/build/termiva" 60 960
echo "Beside a plain terminal, a line every 500 ms:"
"$root/scripts/peer-cpu.sh" "$root/build/termiva" 60 92

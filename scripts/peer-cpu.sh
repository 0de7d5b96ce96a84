#!/usr/bin/env bash
# The console beside a plain terminal: the CPU that a shown termiva and picocom in an xterm use
# on the same telemetry stream, both on one virtual X display at the same time.
#
# Adapted from the team's shared bench scripts (peer_cpu.sh, with stream.py as
# scripts/telemetry-stream.py), kept here so that scripts/bench.sh needs nothing outside the
# repository.
#
# peer-cpu.sh TERMIVA [SECONDS] [CHARS_PER_S]: measures for SECONDS (60 unless told) at
# CHARS_PER_S characters a second (960, a full 9600-baud line, unless told; 92 is a line every
# 500 ms). Needs Xvfb, xterm, picocom, xdotool and python3; ImageMagick's import for the
# screenshot. Prints the ticks (1/100 s of CPU) each side used and their ratio. The console
# reads a settings file of its own and records into the work folder, never the user's.
set -euo pipefail
[ $# -ge 1 ] && [ $# -le 3 ] || { echo "usage: $0 TERMIVA [SECONDS] [CHARS_PER_S]" >&2; exit 2; }
termiva=$(realpath "$1")
seconds=${2:-60}
rate=${3:-960}
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb xterm picocom xdotool python3; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/bench.sh installs it)" >&2; exit 1; }
done
[ -x "$termiva" ] || { echo "No console at $termiva: build first" >&2; exit 1; }

work=$(mktemp -d /tmp/peer-cpu.XXXXXX)
started=()
stop_all() {
  for ((k = ${#started[@]} - 1; k >= 0; k--)); do
    kill "${started[k]}" 2>/dev/null || true
  done
  for pid in "${started[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
}
trap stop_all EXIT

# Waits up to SECONDS for a command to succeed.
wait_for() {
  local seconds=$1
  shift
  for _ in $(seq $((seconds * 10))); do
    "$@" && return 0
    sleep 0.1
  done
  echo "Gave up waiting for: $*" >&2
  return 1
}

# The server picks a free display and names it, so that two runs never meet.
Xvfb -displayfd 3 -screen 0 2600x1000x24 3>"$work/display" >/dev/null 2>&1 &
started+=($!)
wait_for 10 test -s "$work/display"
export DISPLAY=":$(head -1 "$work/display")" QT_QPA_PLATFORM=xcb

printf '[PORTS]\nCOM1=%s/ttyB\n[RECORD]\nDIR=%s/records\n' "$work" "$work" >"$work/tarvex.ini"
# Each reader has a stream of its own; they run 40 s longer than the measure to cover start-up.
for side in A B; do
  python3 "$here/telemetry-stream.py" "$work/tty$side" $((seconds + 40)) "$rate" \
    >"$work/stream$side.log" 2>&1 &
  started+=($!)
done
wait_for 10 test -L "$work/ttyA" -a -L "$work/ttyB" -a -s "$work/streamA.log"

xterm -geometry 120x40+1300+0 -e picocom -q -b 9600 "$(head -1 "$work/streamA.log")" &
xterm=$!
started+=($xterm)
"$termiva" --settings "$work/tarvex.ini" >"$work/termiva.log" 2>&1 &
console=$!
started+=($console)

wait_for 20 xdotool search --pid "$console" --name '^Termiva' >"$work/window"
window=$(head -1 "$work/window")
xdotool windowmove "$window" 0 0
sleep 1
# "连接" is at (13, 104), 58 × 25 in the window; COM1 is chosen when the console opens.
xdotool mousemove --window "$window" 42 117 click 1
wait_for 10 compgen -G "$work/records/*_COM1.csv" >/dev/null
wait_for 10 pgrep -P "$xterm" picocom >"$work/picocom"
picocom=$(head -1 "$work/picocom")
# Start-up and the first lines settle before the measure.
sleep 5

ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
xterm_before=$(ticks "$xterm")
picocom_before=$(ticks "$picocom")
console_before=$(ticks "$console")
sleep "$seconds"
xterm_used=$(($(ticks "$xterm") - xterm_before))
picocom_used=$(($(ticks "$picocom") - picocom_before))
console_used=$(($(ticks "$console") - console_before))

screenshot=""
if command -v import >/dev/null; then
  import -window root "$work/both.png" && screenshot="; screenshot $work/both.png"
fi
peer=$((xterm_used + picocom_used))
echo "xterm $xterm_used + picocom $picocom_used = $peer ticks; termiva $console_used ticks over ${seconds}s$screenshot"
awk -v ours="$console_used" -v peer="$peer" \
  'BEGIN { printf "termiva/peer CPU ratio: %.2f\n", ours / (peer > 0 ? peer : 1) }'

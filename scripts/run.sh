#!/usr/bin/env bash
# Installs what is missing, builds, and starts the console against the simulated controller:
# the simulator's device is COM1 in the settings file beside the executable.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

link="$build/ttyTERMIVA0"
"$build/tools/sim/termiva-sim" --link "$link" </dev/null >/dev/null 2>"$build/termiva-sim.log" &
simulator=$!
trap 'kill "$simulator" 2>/dev/null; wait "$simulator" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -L "$link" ] && break
  sleep 0.1
done
[ -L "$link" ] || { echo "The simulator did not start; see $build/termiva-sim.log" >&2; exit 1; }

settings="$build/tarvex.ini"
wanted=$(printf '; Written by scripts/run.sh: COM1 is the simulated controller.\n[PORTS]\nCOM1=%s' "$link")
if [ -f "$settings" ] && [ "$(cat "$settings")" != "$wanted" ]; then
  cp "$settings" "$settings.bak"
  echo "Kept the previous settings file as $settings.bak"
fi
printf '%s\n' "$wanted" >"$settings"

echo "Press 连接 to connect to the simulated controller on COM1 ($link)."
"$build/termiva" "$@"

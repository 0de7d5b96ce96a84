#!/usr/bin/env bash
# Draws every replay golden in tests/replay (the report and the picture) again from its script,
# under the same fixed locale and fonts the replay test uses. Run after ./scripts/build.sh, when a
# change is meant to alter what the window shows; then review the diff before committing it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
replay="$root/build/tools/replay/termiva-replay"
[ -x "$replay" ] || { echo "Build first: ./scripts/build.sh" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen LANG=C LC_ALL=C FONTCONFIG_FILE="$root/build/tests/fonts.conf"
for script in "$root"/tests/replay/*.txt; do
  golden="${script%.txt}"
  "$replay" "$script" --json "$golden.json" --png "$golden.png"
  echo "Wrote ${golden#"$root"/}.json and .png"
done

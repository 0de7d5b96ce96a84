#!/usr/bin/env bash
# Renders the README's picture of the window from the kept replay script docs/window.txt.
# Run after ./scripts/build.sh; pass --lang en for the English window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/docs/termiva-window.png"
[ "${1:-}" = "--lang" ] && out="$root/docs/termiva-window-${2}.png"
QT_QPA_PLATFORM=offscreen "$root/build/tools/replay/termiva-replay" "$@" --png "$out" \
  "$root/docs/window.txt"
echo "Wrote $out"

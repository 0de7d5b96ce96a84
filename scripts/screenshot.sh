#!/usr/bin/env bash
# Renders the README's pictures from the kept replay scripts: the window from docs/window.txt and
# a tuning session from docs/tuning.txt. Run after ./scripts/build.sh; pass --lang en for the
# English window (the tuning script chooses menu entries by their Chinese texts).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
replay="$root/build/tools/replay/termiva-replay"
if [ "${1:-}" = "--lang" ]; then
  out="$root/docs/termiva-window-${2}.png"
  QT_QPA_PLATFORM=offscreen "$replay" "$@" --png "$out" "$root/docs/window.txt"
  echo "Wrote $out"
  exit 0
fi
for name in window tuning; do
  out="$root/docs/termiva-$name.png"
  QT_QPA_PLATFORM=offscreen "$replay" --png "$out" "$root/docs/$name.txt"
  echo "Wrote $out"
done

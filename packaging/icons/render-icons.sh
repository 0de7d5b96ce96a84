#!/usr/bin/env bash
# Renders termiva.svg into the PNG sizes the hicolor icon theme installs (16 to 256 px), kept in
# the repository beside the drawing so that building needs no SVG renderer. Run after editing
# the drawing; needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
for size in 16 32 48 128 256; do
  mkdir -p "$here/hicolor/${size}x${size}"
  rsvg-convert --width "$size" --height "$size" "$here/termiva.svg" \
    --output "$here/hicolor/${size}x${size}/termiva.png"
done

#!/usr/bin/env bash
# Collects every translatable text of the console into translations/termiva_en.ts; run it after
# changing a user-visible text, then translate what lupdate marks unfinished.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
/usr/lib/qt6/bin/lupdate -locations none -no-obsolete -source-language zh_CN -target-language en \
  console platform widgets tools/tune main.cpp -ts translations/termiva_en.ts

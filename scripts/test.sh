#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless: the unit, window and
# end-to-end tests, then a short run of every fuzz target (built with clang, ASan and UBSan).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build" --output-on-failure -j "$(nproc)" "$@"

cmake -S "$root" -B "$root/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DTERMIVA_FUZZ=ON
cmake --build "$root/build-fuzz" -j "$(nproc)"
ctest --test-dir "$root/build-fuzz" --output-on-failure

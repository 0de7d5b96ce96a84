#!/usr/bin/env bash
# Builds the Debian package of Termiva: installs what is missing, configures a Release build of the
# programs alone (no tests or benchmarks) in ./build-package with Debian's hardening flags, and
# makes ./build-package/termiva_<version>_<arch>.deb with CPack.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-package"
"$root/scripts/install-deps.sh"

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTERMIVA_BUILD_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G DEB)
ls "$build"/termiva_*.deb

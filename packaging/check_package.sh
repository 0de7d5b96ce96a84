#!/usr/bin/env bash
# Builds the Debian package from an already built tree with cpack, unpacks it into a scratch root
# and checks what a user would get: the control fields, the files and where they lie, that the
# unpacked programs run and name the project's version, then desktop-file-validate, appstreamcli
# and lintian. Exits 77 (skipped) without dpkg-deb.
# Usage: check_package.sh CPACK BUILD_DIR VERSION SCRATCH_DIR
set -euo pipefail
cpack=$1
build=$2
version=$3
scratch=$4

if ! command -v dpkg-deb >/dev/null; then
  echo "SKIP: dpkg-deb is not installed"
  exit 77
fi

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

rm -rf "$scratch"
mkdir -p "$scratch"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 \
  || { cat "$scratch/cpack.log"; echo "FAIL: cpack" >&2; exit 1; }
deb="$scratch/out/termiva_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { ls -l "$scratch/out"; echo "FAIL: no $deb" >&2; exit 1; }

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = termiva ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Section)" = electronics ] || fail "Section is '$(field Section)'"
depends=$(field Depends)
# The Qt libraries come from dpkg-shlibdeps; the plugin, translation and font packages are named
# by hand.
for wanted in libqt6widgets6 libqt6serialport6 qt6-qpa-plugins qt6-translations-l10n \
  fonts-arphic-uming fonts-wqy-zenhei fonts-dejavu-core; do
  [[ "$depends" == *"$wanted"* ]] || fail "Depends lacks '$wanted': $depends"
done

root="$scratch/root"
dpkg -x "$deb" "$root"
share="$root/usr/share"
expected=(
  usr/bin/termiva
  usr/bin/termiva-sim
  usr/bin/termiva-tune
  usr/share/applications/termiva.desktop
  usr/share/metainfo/io.github.termiva.Termiva.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/termiva.svg
  usr/share/man/man1/termiva.1.gz
  usr/share/man/man1/termiva-sim.1.gz
  usr/share/man/man1/termiva-tune.1.gz
  usr/share/doc/termiva/copyright
  usr/share/doc/termiva/changelog.gz
)
for size in 16 32 48 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/termiva.png")
done
for path in "${expected[@]}"; do
  [ -f "$root/$path" ] || fail "missing $path"
done
unexpected=$(cd "$root" && find . -type f | sed 's|^\./||' | sort \
  | comm -23 - <(printf '%s\n' "${expected[@]}" | sort))
[ -z "$unexpected" ] || fail "files not meant for the package: $unexpected"

for size in 16 32 48 128 256; do
  png="$share/icons/hicolor/${size}x${size}/apps/termiva.png"
  [ -f "$png" ] || continue
  # Width and height are the big-endian words at bytes 16 and 20 of the PNG header.
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" \
    | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$width x $height" = "$size x $size" ] || fail "${size}x${size} icon is $width x $height"
done

for program in termiva termiva-sim termiva-tune; do
  binary="$root/usr/bin/$program"
  [ -x "$binary" ] || continue
  if readelf -S "$binary" | grep -Eq '\.(debug_info|symtab)\b'; then
    fail "$program is not stripped"
  fi
  # A program that ignored --version would open its window and never end.
  output=$(timeout 60 "$binary" --version 2>&1) || fail "$program --version exited with $?"
  [ "$output" = "$program $version" ] || fail "$program --version printed '$output'"
done

gzip -t "$share"/man/man1/*.gz "$share/doc/termiva/changelog.gz" || fail "a compressed file is broken"
changelog_top=$(zcat "$share/doc/termiva/changelog.gz" | head -n 1)
[[ "$changelog_top" == "termiva ($version) "* ]] || fail "changelog starts with '$changelog_top'"
metainfo="$share/metainfo/io.github.termiva.Termiva.metainfo.xml"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$share/applications/termiva.desktop" || fail "desktop-file-validate"
else
  echo "desktop-file-validate is not installed; the desktop file is not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
else
  echo "appstreamcli is not installed; the metainfo file is not validated"
fi
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" || fail "lintian reports errors"
else
  echo "lintian is not installed; the package is not checked by it"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "termiva_${version} package checks passed"

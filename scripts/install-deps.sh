#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running, testing and packaging Termiva need.
# Packages already present are skipped; nothing is installed when all are there.
set -euo pipefail

packages=(
  g++ clang libclang-rt-14-dev make cmake pkg-config libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-qpa-plugins libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  fonts-arphic-uming fonts-wqy-zenhei fonts-dejavu-core
  dpkg-dev lintian desktop-file-utils appstream tzdata
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"

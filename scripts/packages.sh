#!/usr/bin/env bash
# Installs the Debian packages the build needs, and a German locale for the tests.
# Usage: scripts/packages.sh [--with-test-tools]   (adds GDAL's programs, the tests' second
# opinion, and the desktop, MIME and packaging tools that the desktop-file and package
# tests use)
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev libmd-dev libcli11-dev libgtest-dev libbenchmark-dev libgdal-dev nlohmann-json3-dev locales)
if [ "${1:-}" = "--with-test-tools" ]; then
  packages+=(gdal-bin desktop-file-utils shared-mime-info libglib2.0-bin dpkg-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# A German locale (decimal comma) for the tests that check numbers do not follow it.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 2>/dev/null || echo "note: no de_DE.UTF-8 locale; its tests will skip"
fi

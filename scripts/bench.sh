#!/usr/bin/env bash
# Builds and runs the generation benchmark; installs gdal-bin for its gdalwarp reference.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if ! command -v gdalwarp >/dev/null; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq gdal-bin >/dev/null
fi
build/bench/bench_generate "$@"

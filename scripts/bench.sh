#!/usr/bin/env bash
# Builds and runs the benchmarks: theater generation (against MD5 and gdalwarp), E00
# parsing (against avcimport and ogrinfo), loading a vector layer (against ogrinfo), the
# map preview's pictures, and the theater form (a drag step, and opening a 1 GB DEM until
# its form is painted). Installs the peers they are measured against.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for tool in gdalwarp:gdal-bin avcimport:avce00; do
  if ! command -v "${tool%%:*}" >/dev/null; then
    sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${tool##*:}" >/dev/null
  fi
done
build/bench/bench_generate
echo
build/bench/bench_e00
echo
scripts/bench_vector.sh
echo
build/bench/bench_preview
echo
build/bench/bench_view

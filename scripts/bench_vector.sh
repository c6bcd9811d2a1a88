#!/usr/bin/env bash
# Times loading a 1,000,000-vertex GeoPackage line layer with gridwright-cli beside GDAL's
# own reading of it (ogrinfo -al -q), in the same run, and prints both and their ratio.
# ogrinfo -al -q prints every feature; a copy of the layer into memory (ogr2ogr -f Memory)
# is timed too, as GDAL's reading without printing.
# The layer (1,000 lines of 1,000 vertices over the sample DEM) is made in a temporary
# folder. The loading is a generate run of one L2 segment without the other outputs; the
# same run without the layer is printed too, so that what the loading adds can be seen.
# Usage: scripts/bench_vector.sh [runs]   (best of runs, default 3)
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-3}"
for tool in ogr2ogr ogrinfo; do
  command -v "$tool" >/dev/null || { echo "bench_vector: $tool is missing (apt-get install gdal-bin)" >&2; exit 1; }
done
[ -d build ] || scripts/setup.sh
cmake --build build --target gridwright-cli >/dev/null
cli="$PWD/build/cli/gridwright-cli"
dem="$PWD/sample/coast.hdr"  # 10..18 E, 41..47 N

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Random walks that stay on the DEM, written as WKT and made a GeoPackage layer.
awk 'BEGIN {
  srand(1); print "WKT,name"
  for (l = 0; l < 1000; ++l) {
    x = 10.5 + 7 * rand(); y = 41.5 + 5 * rand(); line = ""
    for (v = 0; v < 1000; ++v) {
      x += (rand() - 0.5) * 0.01; y += (rand() - 0.5) * 0.01
      line = line (v ? "," : "") sprintf("%.7f %.7f", x, y)
    }
    printf "\"LINESTRING (%s)\",river %d\n", line, l
  }
}' >"$work/rivers.csv"
ogr2ogr -f GPKG -a_srs EPSG:4326 -nlt LINESTRING -nln rivers "$work/rivers.gpkg" "$work/rivers.csv"
rm "$work/rivers.csv"

# The best wall time of the command's runs, in seconds.
best() {
  local best_time="" start end
  for _ in $(seq "$runs"); do
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    best_time=$(awk -v s="$start" -v e="$end" -v b="$best_time" 'BEGIN { t = e - s; print (b == "" || t < b) ? t : b }')
  done
  echo "$best_time"
}

generate=("$cli" generate "$dem" "$work/t.l2" --builtin-rules --segments 1 --no-mea --no-description --no-tdf --quiet)
vertices=$(ogrinfo -ro -q -sql "SELECT SUM(ST_NPoints(geom)) AS n FROM rivers" "$work/rivers.gpkg" | awk '/n \(Integer/ { print $NF }')
ogr=$(best ogrinfo -ro -al -q "$work/rivers.gpkg")
copy=$(best ogr2ogr -f Memory memory "$work/rivers.gpkg")
ours=$(best "${generate[@]}" --vector "$work/rivers.gpkg=RIVER")
bare=$(best "${generate[@]}")
echo "layer: 1000 lines, $vertices vertices, $(du -k "$work/rivers.gpkg" | cut -f1) KB GeoPackage; best of $runs runs"
echo "ogrinfo -al -q:                  $ogr s"
echo "ogr2ogr -f Memory:               $copy s"
echo "gridwright-cli generate --vector: $ours s (the same run without the layer: $bare s)"
awk -v o="$ogr" -v g="$ours" 'BEGIN { printf "ratio: %.2f (the target is at most 1.5)\n", g / o }'

#!/usr/bin/env bash
# Times gridwright-cli import-dem on a synthetic GeoTIFF mosaic of 4 x 4 tiles (1.08 GB of
# 16-bit posts by default) against gdalwarp doing the same job in the same run: the same
# sources, grid, resampling, block cache and warp options (memory, threads, chunks without
# a source skipped), writing a raw raster.
# Prints each one's time and peak memory, and the ratio of the times. Not run by CI.
# Usage: scripts/bench_import.sh [POSTS_PER_SIDE]   (default 23200; a multiple of 4)
set -euo pipefail
cd "$(dirname "$0")/.."
side=${1:-23200}
tile=$((side / 4))
for tool in gdal_translate gdalwarp; do
  command -v "$tool" >/dev/null || { echo "bench_import: needs $tool (apt-get install gdal-bin)" >&2; exit 1; }
done
if [ ! -x build/cli/gridwright-cli ] || [ ! -x build/tools/make_sample_dem ]; then
  echo "bench_import: build first (scripts/setup.sh)" >&2
  exit 1
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/bench-import.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A synthetic DEM of side x side posts over 0..4 E, 40..44 N, cut into 16 GeoTIFF tiles.
echo "making the mosaic: 16 tiles of $tile x $tile posts in $work"
build/tools/make_sample_dem "$work/base" "$side" "$side" 0 4 44 40
spacing=$(awk -v side="$side" 'BEGIN { printf "%.17g", 4 / side }')
cat >"$work/base.vrt" <<VRT
<VRTDataset rasterXSize="$side" rasterYSize="$side">
  <SRS>EPSG:4326</SRS>
  <GeoTransform>0, $spacing, 0, 44, 0, -$spacing</GeoTransform>
  <VRTRasterBand dataType="Int16" band="1" subClass="VRTRawRasterBand">
    <SourceFilename relativeToVRT="1">base.bin</SourceFilename>
    <ImageOffset>0</ImageOffset><PixelOffset>2</PixelOffset><LineOffset>$((2 * side))</LineOffset>
    <ByteOrder>LSB</ByteOrder>
  </VRTRasterBand>
</VRTDataset>
VRT
tiles=()
for row in 0 1 2 3; do
  for col in 0 1 2 3; do
    gdal_translate -q -srcwin $((col * tile)) $((row * tile)) "$tile" "$tile" "$work/base.vrt" "$work/tile_$row$col.tif"
    tiles+=("$work/tile_$row$col.tif")
  done
done
rm "$work/base.bin"
echo "mosaic: $(du -cb "${tiles[@]}" | tail -1 | cut -f1) bytes"
cat "${tiles[@]}" >/dev/null  # both runs start with the sources in the page cache

# The job: the import's defaults (the sources' union and spacing, bilinear), 64 MB of warp
# memory and of block cache.
mkdir "$work/gdalwarp" "$work/import"
timed() {  # label, command...: prints "label seconds peak-kB"
  local label=$1
  shift
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null
  echo "$label $(cat "$work/time")"
}
warp=$(timed gdalwarp gdalwarp -q --config GDAL_CACHEMAX 64 -t_srs EPSG:4326 -te 0 40 4 44 -ts "$side" "$side" \
  -r bilinear -wm 64 -wo NUM_THREADS=ALL_CPUS -wo SKIP_NOSOURCE=YES -ot Int16 -dstnodata -32768 -of ENVI "${tiles[@]}" "$work/gdalwarp/out.bin")
rm -f "$work/gdalwarp/"*
import=$(timed import-dem build/cli/gridwright-cli import-dem "${tiles[@]}" "$work/import/out.hdr")
echo "output: $(stat -c %s "$work/import/out.bin") bytes"
echo "$warp" | awk '{printf "gdalwarp:   %7.2f s, peak %6.0f MB\n", $2, $3 / 1024}'
echo "$import" | awk '{printf "import-dem: %7.2f s, peak %6.0f MB\n", $2, $3 / 1024}'
echo "$warp $import" | awk '{printf "ratio:      %7.2f (import-dem / gdalwarp; the target is at most 1.2)\n", $5 / $2}'

#!/usr/bin/env bash
# Builds the E00, DEM header, DEM, objective rules, palette, theater reader and theater
# project fuzzers (clang, AddressSanitizer, UBSan) and runs each for the given number of seconds, seeded with
# the real files beside the project and with small texts made here.
# Usage: scripts/fuzz.sh [SECONDS_EACH]   (default 30; GRIDWRIGHT_DATA overrides the data folder)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"

if ! command -v clang++ >/dev/null; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq clang >/dev/null
fi
scripts/packages.sh >/dev/null
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DGRIDWRIGHT_FUZZ=ON -DGRIDWRIGHT_BUILD_TESTS=OFF -DGRIDWRIGHT_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j2 --target e00_fuzzer dem_header_fuzzer dem_fuzzer obr_fuzzer palette_fuzzer theater_fuzzer project_fuzzer

data="${GRIDWRIGHT_DATA:-../shared/data}"
seeds() { for d in "$@"; do [ -d "$d" ] && echo "$d"; done; }
mkdir -p build-fuzz/corpus/e00 build-fuzz/corpus/hdr build-fuzz/corpus/dem build-fuzz/corpus/obr build-fuzz/corpus/pal \
  build-fuzz/corpus/theater build-fuzz/corpus/project build-fuzz/seeds/dem build-fuzz/seeds/obr build-fuzz/seeds/theater build-fuzz/seeds/project

# A DEM seed: the header's length in two little-endian bytes, the header, the raster.
dem_seed() {  # NAME HEADER_FILE RASTER_FILE
  local length; length=$(stat -c %s "$2")
  { printf '%b' "\\x$(printf %02x $((length & 255)))\\x$(printf %02x $((length >> 8 & 255)))"
    cat "$2" "$3"; } >"build-fuzz/seeds/dem/$1"
}
printf 'file_title = tiny\nleft_map_x = 0\nright_map_x = 2\nupper_map_y = 2\nlower_map_y = 0\nnumber_of_rows = 2\nnumber_of_columns = 2\nelev_m_unit = meters\n' >build-fuzz/seeds/tiny.hdr
printf '\x10\x00\xff\xff\x00\x80\xe8\x03' >build-fuzz/seeds/tiny.bin
dem_seed tiny build-fuzz/seeds/tiny.hdr build-fuzz/seeds/tiny.bin
for hdr in $data/dem/*.hdr; do
  [ -f "$hdr" ] || continue
  bin="${hdr%.hdr}.bin"
  if [ -f "$bin" ] && [ "$(stat -c %s "$bin")" -le 60000 ]; then dem_seed "$(basename "$hdr" .hdr)" "$hdr" "$bin"; fi
done
printf 'BaseId 500\nIgnoreNoNames 1\nType Label-2\nPriority 50\nIds 231, 859, 1070\nGenerates Factory 1-2\nType Factory\nPriority 25\nIds 218 230\n' >build-fuzz/seeds/obr/example
printf 'Type Town\r\nIds ,5\r\nGenerates Town 2\r\nGenerates Depot 3 - 5\r\nType Depot\r\nGenerates Town 1\r\n' >build-fuzz/seeds/obr/loops
# A theater seed: a sound 1 x 1 theater with every companion file.
{ printf 'Theater size: Regular\nSize (L2 segments): 1 x 1\nSize (L2 tiles): 16 x 16\nHighest point: 0ft\nLowest point: 0ft\n'
  printf '\n--8<--\n\0\0\0\0\n--8<--\n'; head -c 1792 /dev/zero
  printf '\n--8<--\n\0\0\0\0\0\0\0\0\n--8<--\n'; head -c 1112 /dev/zero
  printf '\n--8<--\nRIVER 2 0,0 16,16 1 a\n\n--8<--\ntime\nnames\nTown, 1, 5, 3, 4, 0, 2, 1, 0, 50, 2\n'
} >build-fuzz/seeds/theater/theater
# A project seed: every key, a layer of each kind.
cat >build-fuzz/seeds/project/example <<'JSON'
{"version": 1, "dem": "coast.hdr",
 "layout": {"title": "t", "segments_x": 8, "segments_y": 4, "square": false, "unit": "km",
            "resolution_nm": 0.16, "center_lat": 44.0, "center_long": 14.0, "large": true},
 "layers": [{"e00": "rivers.e00"}, {"vector": "/data/towns.gpkg", "layer": "towns", "rule": 0}],
 "e00_rules": [{"file": "dnnet.e00", "colour": "906800", "keyword": "RIVER", "info": "", "index_field": "",
                "name_field": "", "type_field": "", "label": 0}],
 "heights": [{"altitude": 0, "colour": "d8b69a", "tile_code": 0}, {"altitude": 32767, "colour": "ffffff", "tile_code": 694}],
 "objective_rules": "r.obr", "objective_settings": {"base_id": 4, "ignore_no_names": 0}, "palette": "coast.pal", "output": "out/t.l2",
 "build": {"mea": true, "description": true, "map": true, "tdf": true, "objectives": false}}
JSON
# A project seed nested past what the reader takes.
printf '%.0s[' {1..100} >build-fuzz/seeds/project/deep
options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1)
build-fuzz/fuzz/e00_fuzzer "${options[@]}" build-fuzz/corpus/e00 $(seeds $data/e00 $data/e00/dcw $data/e00/compressed)
build-fuzz/fuzz/dem_header_fuzzer "${options[@]}" -max_len=4096 build-fuzz/corpus/hdr $(seeds $data/dem)
build-fuzz/fuzz/dem_fuzzer "${options[@]}" -dict=fuzz/dem.dict build-fuzz/corpus/dem build-fuzz/seeds/dem
build-fuzz/fuzz/obr_fuzzer "${options[@]}" -max_len=8192 -dict=fuzz/obr.dict build-fuzz/corpus/obr build-fuzz/seeds/obr
build-fuzz/fuzz/palette_fuzzer "${options[@]}" -max_len=16384 build-fuzz/corpus/pal $(seeds $data/palette)
build-fuzz/fuzz/theater_fuzzer "${options[@]}" build-fuzz/corpus/theater build-fuzz/seeds/theater
build-fuzz/fuzz/project_fuzzer "${options[@]}" -max_len=8192 -dict=fuzz/project.dict build-fuzz/corpus/project build-fuzz/seeds/project

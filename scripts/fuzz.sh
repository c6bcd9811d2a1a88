#!/usr/bin/env bash
# Builds the E00, DEM header and palette fuzzers (clang, AddressSanitizer, UBSan) and runs each
# for the given number of seconds, seeded with the real files beside the project.
# Usage: scripts/fuzz.sh [SECONDS_EACH]   (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"

if ! command -v clang++ >/dev/null; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq clang >/dev/null
fi
scripts/setup.sh >/dev/null
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DGRIDWRIGHT_FUZZ=ON -DGRIDWRIGHT_BUILD_TESTS=OFF -DGRIDWRIGHT_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz --target e00_fuzzer dem_header_fuzzer palette_fuzzer

data=../shared/data
seeds() { for d in "$@"; do [ -d "$d" ] && echo "$d"; done; }
mkdir -p build-fuzz/corpus/e00 build-fuzz/corpus/hdr build-fuzz/corpus/pal
options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1)
build-fuzz/fuzz/e00_fuzzer "${options[@]}" build-fuzz/corpus/e00 $(seeds $data/e00 $data/e00/dcw $data/e00/compressed)
build-fuzz/fuzz/dem_header_fuzzer "${options[@]}" -max_len=4096 build-fuzz/corpus/hdr $(seeds $data/dem)
build-fuzz/fuzz/palette_fuzzer "${options[@]}" -max_len=16384 build-fuzz/corpus/pal $(seeds $data/palette)

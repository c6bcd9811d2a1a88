#!/usr/bin/env bash
# Sets up, builds and generates a complete theater from the bundled sample DEM into out/.
# Usage: scripts/demo.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh gridwright-cli
mkdir -p out
build/cli/gridwright-cli generate sample/coast.hdr out/coast.l2 --segments 32 --map sample/coast.pal
echo
echo "--- out/coast.txt"
cat out/coast.txt

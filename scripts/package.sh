#!/bin/sh
# Builds the Debian package gridwright_VERSION_ARCH.deb in the build folder.
# Usage: scripts/package.sh [BUILD_DIR]   (needs dpkg-dev for dpkg-shlibdeps)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" -j2 --target gridwright gridwright-cli
cd "$build"
cpack -G DEB
ls -1 "$build"/gridwright_*.deb

#!/usr/bin/env bash
# Installs what the build needs (Debian packages) and builds into build/: the named
# targets, or everything.
# Usage: scripts/setup.sh [--with-test-tools] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--with-test-tools" ]; then
  scripts/packages.sh --with-test-tools
  shift
else
  scripts/packages.sh
fi

# GRIDWRIGHT_WERROR=ON (as CI sets it) makes every compiler warning an error.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DGRIDWRIGHT_WERROR="${GRIDWRIGHT_WERROR:-OFF}" >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build "${targets[@]}"

#!/usr/bin/env bash
# Builds the core, the command line and their tests with AddressSanitizer and UBSan into
# build-asan/ and runs the tests there; any report of either ends the run with a failure.
# Usage: scripts/sanitize.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh --with-test-tools >/dev/null
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRIDWRIGHT_SANITIZE=ON \
  -DGRIDWRIGHT_WERROR="${GRIDWRIGHT_WERROR:-OFF}" -DGRIDWRIGHT_BUILD_BENCH=OFF -DGRIDWRIGHT_BUILD_GUI=OFF >/dev/null
cmake --build build-asan
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

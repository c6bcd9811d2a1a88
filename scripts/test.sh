#!/usr/bin/env bash
# Sets up, builds and runs every test.
# Usage: scripts/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --with-test-tools
ctest --test-dir build --output-on-failure -j "$(nproc)"

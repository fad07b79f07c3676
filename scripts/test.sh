#!/usr/bin/env bash
# Builds the optimised, the sanitizer and the Windows flavour and runs every test.
# Tests labelled "long" (full reference runs) run in the optimised build only; so do the
# tests labelled "wine", which run the Windows programs of build-win/ under Wine. The tests
# labelled "gtk" run the desktop program of each build on virtual displays of their own. Then the
# fuzz targets (built with clang) run for a few seconds each.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
scripts/check-layers.sh
jobs=$(nproc)
scripts/build.sh win
scripts/build.sh release
ctest --test-dir build --output-on-failure -j "$jobs"
scripts/build.sh asan
ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE long
# Every fuzz target over its corpus and a few seconds of new inputs.
scripts/build.sh fuzz
scripts/fuzz.sh 3 100000

#!/usr/bin/env bash
# Builds the optimised, the sanitizer, the Windows and the browser flavour and runs every test.
# Tests labelled "long" (full reference runs) run in the optimised build only; so do the
# tests labelled "wine", which run the Windows programs of build-win/ under Wine, and those
# labelled "web", which run the page of build-web/ in headless Chromium. The tests labelled "gtk"
# run the desktop program of each build on virtual displays of their own. The packages of
# scripts/package.sh are built and checked after the optimised build's tests. Then the fuzz targets
# (built with clang) run for a few seconds each.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
scripts/check-layers.sh
scripts/check-format.sh
jobs=$(nproc)
scripts/build.sh win
scripts/build.sh web
# The browser tests' npm packages, as the lock file pins them.
[ -d tests/web/node_modules/puppeteer-core ] || (cd tests/web && npm ci --no-audit --no-fund)
scripts/build.sh release
ctest --test-dir build --output-on-failure --no-tests=error -j "$jobs"
# The packages a user installs, built from the builds above and checked with each platform's
# tools (a few minutes together).
for kind in deb win web; do
  tests/packages/package_test.sh "$kind"
done
scripts/build.sh asan
ctest --test-dir build-asan --output-on-failure --no-tests=error -j "$jobs" -LE 'long|web'
# Every fuzz target over its corpus and a few seconds of new inputs.
scripts/build.sh fuzz
scripts/fuzz.sh 3 100000

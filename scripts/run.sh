#!/usr/bin/env bash
# Builds the optimised programs and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
scripts/build.sh release
build/z80-cpm ../shared/testdata/z80/zexdoc.com

#!/usr/bin/env bash
# Builds the optimised programs and runs the main job: the emulator without
# a window on the default model (Tarvik 4.1), printing its screen after
# three seconds of emulated time. The settings go to a file of their own, so
# that the user's settings stay untouched.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
scripts/build.sh release
settings="$(mktemp)"
trap 'rm -f "$settings"' EXIT
build/tarvik-cli --settings "$settings" --frames 150 --screen-text /h /w

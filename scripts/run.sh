#!/usr/bin/env bash
# Installs what building and running the two Linux programs needs, builds only those two
# (optimised) and runs the main job: with a display, the desktop program (build/tarvik) on the
# user's settings; without one, the emulator without a window on the default model (Tarvik 4.1),
# printing its screen after three seconds of emulated time (tarvik-cli keeps no settings of its
# own, so the user's stay untouched). scripts/test.sh installs and builds the rest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh run
scripts/build.sh release tarvik tarvik-cli
# A display that answers: a Wayland one, or an X display that xdpyinfo reaches.
if [ -n "${WAYLAND_DISPLAY:-}" ] || { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
  exec build/tarvik "$@"
fi
build/tarvik-cli --frames 150 --screen-text /h /w

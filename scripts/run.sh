#!/usr/bin/env bash
# Builds the optimised programs and runs the main job: with a display, the desktop program
# (build/tarvik) on the user's settings; without one, the emulator without a window on the
# default model (Tarvik 4.1), printing its screen after three seconds of emulated time, with the
# settings in a file of their own so that the user's settings stay untouched.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
scripts/build.sh release
# A display that answers: a Wayland one, or an X display that xdpyinfo reaches.
if [ -n "${WAYLAND_DISPLAY:-}" ] || { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }; then
  exec build/tarvik "$@"
fi
settings="$(mktemp)"
trap 'rm -f "$settings"' EXIT
build/tarvik-cli --settings "$settings" --frames 150 --screen-text /h /w

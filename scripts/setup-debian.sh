#!/usr/bin/env bash
# Installs the Debian packages that building and testing need.
# Runs apt-get only when something is missing, so repeated builds stay quick.
set -euo pipefail
packages=(cmake ninja-build g++ make googletest libgtest-dev libgmock-dev clang-format pasmo ffmpeg
  # Windows programs: the mingw-w64 cross compiler; Wine and a virtual X display to test them.
  g++-mingw-w64-x86-64 wine wine64 xvfb
  # Tests of Tarvik.exe: typing into its window, screenshots, window properties, the Hungarian
  # locale that gives Wine code page 1250.
  xdotool imagemagick x11-utils locales
  # The Linux desktop program: GTK 3 for the window, SDL2 for the sound, pkg-config to find them;
  # its tests run it on a virtual display (xvfb-run from xvfb).
  pkg-config libgtk-3-dev libsdl2-dev
  # The browser program: Emscripten (with Debian's acorn for its JavaScript optimiser) and
  # Chromium, in which its tests run headless.
  emscripten node-acorn chromium
  # The fuzz targets: clang with libFuzzer and the sanitizers' runtime.
  clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# npm for the browser tests' packages (tests/web), unless a Node.js with its own npm is there.
if ! command -v npm >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends npm
fi

# The Hungarian locale: Wine run with LC_ALL=hu_HU.UTF-8 behaves as a Hungarian Windows (ANSI
# code page 1250).
if ! locale -a 2>/dev/null | grep -qix 'hu_HU.utf8'; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  if [ -f /etc/locale.gen ] && grep -q '^# *hu_HU.UTF-8 UTF-8' /etc/locale.gen; then
    $sudo sed -i 's/^# *hu_HU.UTF-8 UTF-8/hu_HU.UTF-8 UTF-8/' /etc/locale.gen
  elif ! grep -q '^hu_HU.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'hu_HU.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  fi
  $sudo locale-gen >/dev/null
fi

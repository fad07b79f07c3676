#!/usr/bin/env bash
# Installs the Debian packages that building and testing need.
#   setup-debian.sh run   only what building and running tarvik and tarvik-cli needs (scripts/run.sh)
#   setup-debian.sh       everything: also the tests, the Windows and the browser programs
# Runs apt-get only when something is missing, so repeated builds stay quick.
set -euo pipefail
what="${1:-all}"
# The two Linux programs: the compiler and build tools, pasmo for the firmware, GTK 3 for the
# window, SDL2 for the sound and speech-dispatcher's library for "&Felolvasás" (all found through
# pkg-config); xdpyinfo (x11-utils) tells
# scripts/run.sh whether a display answers.
run_packages=(cmake ninja-build g++ pasmo pkg-config libgtk-3-dev libsdl2-dev libspeechd-dev
  x11-utils)
test_packages=(make googletest libgtest-dev libgmock-dev clang-format ffmpeg
  # Windows programs: the mingw-w64 cross compiler; Wine and a virtual X display to test them
  # (xvfb-run needs xauth, which xvfb only recommends).
  g++-mingw-w64-x86-64 wine wine64 xvfb xauth
  # Tests of Tarvik.exe: typing into its window, screenshots, the Hungarian locale that gives
  # Wine code page 1250. The Linux desktop program's tests run it on a virtual display too
  # (xvfb-run from xvfb).
  xdotool imagemagick locales
  # The libretro core's tests: Debian's RetroArch on a virtual display, with a session bus of
  # its own (dbus-run-session from dbus-daemon).
  retroarch dbus-daemon
  # The desktop program's screen reader and speech tests: the accessibility bus (at-spi2-core),
  # pyatspi to read the picture's text through it, and the speech service whose generic module
  # writes what it is told to a file.
  at-spi2-core python3-pyatspi speech-dispatcher
  # The browser program: Emscripten (with Debian's acorn for its JavaScript optimiser) and
  # Chromium, in which its tests run headless.
  emscripten node-acorn chromium
  # The fuzz targets: clang with libFuzzer and the sanitizers' runtime.
  clang libclang-rt-14-dev
  # The packages (scripts/package.sh) and their checks: dpkg-shlibdeps, lintian, the AppStream
  # and desktop-entry validators, the manual pages' formatter, NSIS for the Windows installer,
  # zip for the Windows zip.
  dpkg-dev lintian appstream desktop-file-utils man-db nsis zip unzip
  # The tape recording tests: sox spoils the firmware's recordings the way real cassettes are
  # spoilt (level, DC offset, hiss, hum, speed, wow, cut highs, other layouts).
  sox)
case "$what" in
  run) packages=("${run_packages[@]}") ;;
  all) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: setup-debian.sh [run]" >&2; exit 2 ;;
esac
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
[ "$what" = run ] && exit 0

# npm for the browser tests' packages (tests/web), unless a Node.js with its own npm is there.
if ! command -v npm >/dev/null; then
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends npm
fi

# The Hungarian locale: Wine run with LC_ALL=hu_HU.UTF-8 behaves as a Hungarian Windows (ANSI
# code page 1250).
if ! locale -a 2>/dev/null | grep -qix 'hu_HU.utf8'; then
  if [ -f /etc/locale.gen ] && grep -q '^# *hu_HU.UTF-8 UTF-8' /etc/locale.gen; then
    $sudo sed -i 's/^# *hu_HU.UTF-8 UTF-8/hu_HU.UTF-8 UTF-8/' /etc/locale.gen
  elif ! grep -q '^hu_HU.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'hu_HU.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  fi
  $sudo locale-gen >/dev/null
fi

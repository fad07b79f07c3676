#!/usr/bin/env bash
# Installs the Debian packages that building and testing need.
# Runs apt-get only when something is missing, so repeated builds stay quick.
set -euo pipefail
packages=(cmake ninja-build g++ make googletest libgtest-dev libgmock-dev clang-format pasmo
  # AVI captures are checked with ffprobe.
  ffmpeg
  # Windows programs: the mingw-w64 cross compiler; Wine and a virtual X display to test them.
  g++-mingw-w64-x86-64 wine wine64 xvfb)
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

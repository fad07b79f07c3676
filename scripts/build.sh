#!/usr/bin/env bash
# Configures and builds one flavour: "release" (optimised, in build/),
# "asan" (AddressSanitizer + UndefinedBehaviorSanitizer, in build-asan/) or
# "win" (the Windows programs, cross-built with mingw-w64, in build-win/) or
# "fuzz" (the libFuzzer targets, built with clang, in build-fuzz/).
set -euo pipefail
cd "$(dirname "$0")/.."
flavour="${1:-release}"
case "$flavour" in
  release) dir=build; args=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan) dir=build-asan; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_SANITIZE=ON) ;;
  win) dir=build-win; args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake) ;;
  fuzz) dir=build-fuzz
    args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTARVIK_FUZZ=ON -DTARVIK_TESTS=OFF) ;;
  *) echo "unknown build flavour: $flavour" >&2; exit 2 ;;
esac
cmake -S . -B "$dir" -G Ninja "${args[@]}" >/dev/null
cmake --build "$dir"

#!/usr/bin/env bash
# Configures and builds one flavour: "release" (optimised, in build/),
# "asan" (AddressSanitizer + UndefinedBehaviorSanitizer, in build-asan/),
# "win" (the Windows programs, cross-built with mingw-w64, in build-win/),
# "web" (the browser program, compiled to WebAssembly with Emscripten, in build-web/) or
# "fuzz" (the libFuzzer targets, built with clang, in build-fuzz/).
# Names after the flavour build only those targets: "build.sh release tarvik tarvik-cli".
set -euo pipefail
cd "$(dirname "$0")/.."
flavour="${1:-release}"
shift || true
case "$flavour" in
  release) dir=build; args=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan) dir=build-asan; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_SANITIZE=ON) ;;
  win) dir=build-win; args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake) ;;
  web)
    dir=build-web
    # Emscripten's JavaScript optimiser finds Debian's acorn here.
    export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
    toolchain=$(em-config EMSCRIPTEN_ROOT)/cmake/Modules/Platform/Emscripten.cmake
    args=(-DCMAKE_BUILD_TYPE=Release -DTARVIK_TESTS=OFF -DCMAKE_TOOLCHAIN_FILE="$toolchain") ;;
  fuzz) dir=build-fuzz
    args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTARVIK_FUZZ=ON -DTARVIK_TESTS=OFF) ;;
  *) echo "unknown build flavour: $flavour" >&2; exit 2 ;;
esac
cmake -S . -B "$dir" -G Ninja "${args[@]}" >/dev/null
if [ $# -gt 0 ]; then
  cmake --build "$dir" --target "$@"
else
  cmake --build "$dir"
fi

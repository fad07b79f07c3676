#!/usr/bin/env bash
# Configures and builds one flavour: "release" (optimised, in build/) or
# "asan" (AddressSanitizer + UndefinedBehaviorSanitizer, in build-asan/).
set -euo pipefail
cd "$(dirname "$0")/.."
flavour="${1:-release}"
case "$flavour" in
  release) dir=build; args=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan) dir=build-asan; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIK_SANITIZE=ON) ;;
  *) echo "unknown build flavour: $flavour" >&2; exit 2 ;;
esac
cmake -S . -B "$dir" -G Ninja "${args[@]}" >/dev/null
cmake --build "$dir"

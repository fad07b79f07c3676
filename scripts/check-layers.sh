#!/usr/bin/env bash
# Fails when a file of a lower layer includes a header of a higher one.
# The layers from the bottom: cpu/, machine/, media/, debugger/, host/. The
# host has parts of its own, from the bottom: the seam headers at its root
# (platform.h, platform_script.h, sound_driver.h), ui/, script/, store/,
# output/, core/, and above them the platforms (gtk/, win32/, web/, libretro/,
# headless/, and posix/, which three of them share). A lower layer or part
# reaches a higher one only through hooks it declares itself.
set -euo pipefail
cd "$(dirname "$0")/.."
layers=(cpu machine media debugger host host/ui host/script host/store host/output host/core
        host/platforms)
platforms=(gtk win32 web headless posix libretro)
# The layer or part a path belongs to ("host/core/app.h" -> "host/core").
part_of() {
  local path=$1 top=${1%%/*}
  if [ "$top" != host ]; then
    echo "$top"
    return
  fi
  local rest=${path#host/}
  if [ "$rest" = "${rest%%/*}" ]; then
    echo host # a seam header at the root
    return
  fi
  local sub=${rest%%/*} p
  for p in "${platforms[@]}"; do
    if [ "$sub" = "$p" ]; then
      echo host/platforms
      return
    fi
  done
  echo "host/$sub"
}
rank() {
  local i
  for i in "${!layers[@]}"; do
    if [ "${layers[$i]}" = "$1" ]; then
      echo "$i"
      return
    fi
  done
  echo -1
}
status=0
while IFS= read -r -d '' file; do
  part=$(part_of "$file")
  own=$(rank "$part")
  if [ "$own" -lt 0 ]; then
    echo "$file: not in a known layer or host part ($part)" >&2
    status=1
    continue
  fi
  while IFS=: read -r line target; do
    other=$(rank "$(part_of "$target")")
    if [ "$other" -gt "$own" ]; then
      echo "$file:$line: $part includes $target from a part above" >&2
      status=1
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+/' "$file" |
           sed -E 's/^([0-9]+):.*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1:\2/')
done < <(find cpu machine media debugger host -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
if [ "$status" -eq 0 ]; then echo "Layer includes: every include points down."; fi
exit "$status"

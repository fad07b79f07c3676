#!/usr/bin/env bash
# Fails when a file of a lower layer includes a header of a higher one.
# The layers from the bottom: cpu/, machine/, media/, debugger/, host/ (with
# the platforms under it). A lower layer reaches a higher one only through
# hooks it declares itself.
set -euo pipefail
cd "$(dirname "$0")/.."
layers=(cpu machine media debugger host)
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
for layer in "${layers[@]}"; do
  own=$(rank "$layer")
  while IFS= read -r -d '' file; do
    while IFS=: read -r line target; do
      other=$(rank "${target%%/*}")
      if [ "$other" -gt "$own" ]; then
        echo "$file:$line: $layer/ includes $target from the layer above" >&2
        status=1
      fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+/' "$file" |
             sed -E 's/^([0-9]+):.*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1:\2/')
  done < <(find "$layer" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
done
if [ "$status" -eq 0 ]; then echo "Layer includes: every include points down."; fi
exit "$status"

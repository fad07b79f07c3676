#!/usr/bin/env bash
# Runs the documented-instruction exerciser and expects all 67 groups OK.
set -euo pipefail
out=$("$1" --no-count "$2")
printf '%s\n' "$out"
ok=$(grep -c '\.\.  OK' <<<"$out" || true)
if grep -q ERROR <<<"$out" || [ "$ok" -ne 67 ]; then
  echo "expected 67 groups OK, got $ok" >&2
  exit 1
fi

#!/usr/bin/env bash
# Runs every fuzz target of build-fuzz/ (scripts/build.sh fuzz) over its seed
# corpus and then for a bounded number of new inputs:
#   scripts/fuzz.sh [SECONDS] [RUNS]
# SECONDS (default 3) and RUNS (default 200000) bound each target's new runs,
# whichever comes first. The corpora grow in build-fuzz/corpus/. Exits non-zero
# when a target finds a crash, a leak or undefined behaviour (the input is
# kept in build-fuzz/crashes/).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-3}"
runs="${2:-200000}"
fuzz=$PWD/build-fuzz/fuzz
corpus=$PWD/build-fuzz/corpus
crashes=$PWD/build-fuzz/crashes
[ -x "$fuzz/fuzz-seeds" ] || { echo "fuzz.sh: build the targets first (scripts/build.sh fuzz)" >&2; exit 2; }
mkdir -p "$corpus" "$crashes"
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
"$fuzz/fuzz-seeds" "$corpus"
failed=0
passed=0
printf '%-14s %10s %10s %s\n' target runs execs/s result
for target in "$fuzz"/fuzz_*; do
  name=${target##*/fuzz_}
  mkdir -p "$corpus/$name"
  log="$work/$name.log"
  # Each target writes its files under its own TMPDIR.
  mkdir -p "$work/$name"
  if TMPDIR="$work/$name" "$target" -max_total_time="$seconds" -runs="$runs" -max_len=4096 \
      -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$crashes/$name-" \
      "$corpus/$name" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    failed=1
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  printf '%-14s %10s %10s %s\n' "$name" "${execs:-?}" "${speed:-?}" "$result"
  [ "$result" = ok ] && passed=$((passed + 1))
  if [ "$result" != ok ]; then
    grep -A40 -m1 -E 'ERROR: |runtime error|==ERROR' "$log" || tail -40 "$log"
  fi
done
count=$(ls "$fuzz"/fuzz_* | wc -l)
echo "fuzz: $passed passed, $((count - passed)) failed"
exit $failed

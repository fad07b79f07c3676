#!/usr/bin/env bash
# Speed of Tarvik.exe under Wine beside tarvik-cli, at the Tarvik 4.1 prompt (the firmware
# waiting for a key, so the keyboard is read all the time), both unpaced and silent (/w /h).
#
#   bench/wine_speed.sh [FRAMES [ROUNDS [Tarvik.exe...]]]
#
# Each round runs every program twice, with 50 frames and with 50 + FRAMES frames (tarvik-cli
# 50 times as many); the difference is the time of FRAMES frames without the start-up. Programs and rounds alternate,
# so that a busy machine slows all of them alike. Prints each program's median as frames per
# second and as a multiple of real time (50 frames per second). Defaults: 20000 frames, 3 rounds,
# build-win/Tarvik.exe; the Linux program is build/tarvik-cli.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
frames="${1:-20000}"
rounds="${2:-3}"
shift $(($# > 2 ? 2 : $#))
exes=("$@")
[ ${#exes[@]} -gt 0 ] || exes=("$root/build-win/Tarvik.exe")
cli="$root/build/tarvik-cli"
run="$root/tests/wine/run-wine.sh"
for p in "$cli" "${exes[@]}"; do
  [ -f "$p" ] || { echo "$p is missing (scripts/build.sh release, scripts/build.sh win)" >&2; exit 1; }
done

work="$(mktemp -d)"
prefix="$work/prefix"
trap '"$run" --prefix "$prefix" --shutdown; rm -rf -- "$work"' EXIT
"$run" --prefix "$prefix" --init --display || exit 1

# seconds COMMAND...: the wall time of a command, in seconds.
seconds() {
  local t0 t1
  t0="$(date +%s.%N)"
  "$@" >/dev/null 2>&1 || echo "failed: $*" >&2
  t1="$(date +%s.%N)"
  awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }'
}

run_exe() { # EXE FRAMES
  printf 'frames %s\nquit\n' "$2" >"$work/script.txt"
  "$run" --prefix "$prefix" --display --cwd "$work" --timeout 1800 "$1" /script script.txt /w /h
}
# tarvik-cli is so much faster that it runs 50 times the frames, to rise above the noise.
run_cli() { "$cli" --frames $((50 * $2)) /w /h; }

declare -A results
for round in $(seq "$rounds"); do
  for i in cli "${!exes[@]}"; do
    if [ "$i" = cli ]; then f=run_cli; p=""; else f=run_exe; p="${exes[$i]}"; fi
    short="$(seconds $f "$p" 50)"
    long="$(seconds $f "$p" $((50 + frames)))"
    n=$frames
    [ "$i" = cli ] && n=$((50 * frames))
    rate="$(awk -v n="$n" -v l="$long" -v s="$short" 'BEGIN { print n / (l - s) }')"
    results[$i]+="$rate "
    printf 'round %d %-40s %8.1f frames/s\n' "$round" "${p:-tarvik-cli}" "$rate"
  done
done
echo "median over $rounds rounds of $frames frames:"
for i in cli "${!exes[@]}"; do
  if [ "$i" = cli ]; then name=tarvik-cli; else name="${exes[$i]}"; fi
  median="$(tr ' ' '\n' <<<"${results[$i]}" | grep . | sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}')"
  printf '%-40s %8.1f frames/s  %6.1f x real time\n' "$name" "$median" "$(awk -v m="$median" 'BEGIN { print m / 50 }')"
done

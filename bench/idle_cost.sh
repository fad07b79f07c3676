#!/usr/bin/env bash
# What the programs cost while they run at real time at the idle Tarvik 4.1 prompt: the share of
# one core that `tarvik` (on a virtual display), `tarvik-cli` (paced, no window) and the web page
# (headless Chromium: the time the page spends in tasks) take, for one or more builds side by
# side. Rounds alternate between the builds, so that a busy machine slows all of them alike; the
# medians are printed per program and build.
#
#   bench/idle_cost.sh [-s SECONDS] [-r ROUNDS] [-p tarvik,cli,web,exe] LABEL=DIR [LABEL=DIR...]
#
# DIR holds `tarvik` and `tarvik-cli` (a build folder) and, for the web page, a folder `web` or
# the page itself (build-web); for Tarvik.exe a file Tarvik.exe (measured under Wine, for
# reference). Defaults: 30 seconds a measurement, 3 rounds, the native programs and the web page;
# DIR defaults to this checkout's build, build-web and build-win.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds=30 rounds=3 programs="tarvik,cli,web"
while getopts "s:r:p:" opt; do
  case "$opt" in
    s) seconds="$OPTARG" ;; r) rounds="$OPTARG" ;; p) programs="$OPTARG" ;;
    *) sed -n '2,13p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
builds=("$@")
[ ${#builds[@]} -gt 0 ] || builds=("now=$root/build")
hz="$(getconf CLK_TCK)"
work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  # The Wine prefix's own X server and services.
  [ -d "$work/prefix" ] && "$root/tests/wine/run-wine.sh" --prefix "$work/prefix" --shutdown >/dev/null 2>&1
  rm -rf -- "$work"
}
trap cleanup EXIT

# ticks PID: the processor time (user + system) the process has taken, in clock ticks.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }

# share PID: the share of one core the process takes over the measurement, after a warm-up that
# lets the firmware reach its prompt.
share() {
  sleep 5
  local a b
  a="$(ticks "$1")"
  sleep "$seconds"
  b="$(ticks "$1")"
  awk -v a="$a" -v b="$b" -v s="$seconds" -v hz="$hz" 'BEGIN { printf "%.2f", 100 * (b - a) / (s * hz) }'
}

run_cli() { # DIR
  XDG_CONFIG_HOME="$work/config" "$1/tarvik-cli" --frames 100000000 /h >/dev/null 2>&1 &
  local pid=$!
  pids+=("$pid")
  share "$pid"
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
}

run_tarvik() { # DIR
  rm -rf "$work/config"
  XDG_CONFIG_HOME="$work/config" SDL_AUDIODRIVER=dummy \
    xvfb-run -a -s "-screen 0 1024x768x24" "$1/tarvik" >/dev/null 2>&1 &
  local runner=$! pid=""
  pids+=("$runner")
  for _ in $(seq 100); do
    pid="$(pgrep -n -f "^$1/tarvik\$" || true)"
    [ -n "$pid" ] && break
    sleep 0.1
  done
  [ -n "$pid" ] && share "$pid" || printf 'nan'
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  wait "$runner" 2>/dev/null
}

run_web() { # DIR
  local page="$1/web"
  [ -f "$page/tarvik.wasm" ] || page="$1"
  [ -f "$page/tarvik.wasm" ] || page="$root/build-web"
  node "$root/tests/web/idle_cost.mjs" "$page" "$seconds" 2>/dev/null || printf 'nan'
}

run_exe() { # DIR
  local exe="$1/Tarvik.exe" run="$root/tests/wine/run-wine.sh" prefix="$work/prefix"
  [ -f "$exe" ] || exe="$root/build-win/Tarvik.exe"
  [ -d "$prefix" ] || "$run" --prefix "$prefix" --init --display >/dev/null 2>&1
  "$run" --prefix "$prefix" --display --cwd "$work" --timeout $((seconds + 60)) "$exe" /h \
    >/dev/null 2>&1 &
  local runner=$! pid=""
  pids+=("$runner")
  for _ in $(seq 300); do
    pid="$(pgrep -n -x Tarvik.exe || true)" # the program itself, not its wrappers
    [ -n "$pid" ] && break
    sleep 0.1
  done
  # Wine's own processes (wineserver) are left out: their cost is not the program's.
  [ -n "$pid" ] && share "$pid" || printf 'nan'
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  wait "$runner" 2>/dev/null
}

declare -A results
for round in $(seq "$rounds"); do
  for b in "${builds[@]}"; do
    label="${b%%=*}" dir="${b#*=}"
    for p in ${programs//,/ }; do
      v="$(run_$p "$dir")"
      results["$p $label"]+="$v "
      echo "round $round: $p $label $v %" >&2
    done
  done
done
for p in ${programs//,/ }; do
  for b in "${builds[@]}"; do
    label="${b%%=*}"
    echo "${results["$p $label"]}" | tr ' ' '\n' | grep -v '^$' | sort -g |
      awk -v name="$p $label" '{ v[NR] = $1 } END { printf "%-14s median %6.2f %% of one core (%s)\n", name, v[int((NR + 1) / 2)], NR " runs" }'
  done
done

#!/usr/bin/env bash
# Runs a Windows program under Wine for the tests, in a private Wine prefix, and exits with the
# program's exit status.
#
#   run-wine.sh [OPTIONS] PROGRAM.EXE [ARG...]     run a program
#   run-wine.sh --prefix DIR --init [--display]    make a prefix to share between runs
#   run-wine.sh --prefix DIR --shutdown            stop everything in it and remove it
#   run-wine.sh --prefix DIR --winpath PATH        print the Windows form of a Linux path
#
# Options for a run:
#   --prefix DIR      the prefix to run in (default: $TARVIK_WINEPREFIX), made if the folder
#                     does not exist yet. Without one, a fresh prefix is made for this run
#                     alone and removed afterwards (wineboot takes several seconds: share a
#                     prefix between runs where you can).
#   --cwd DIR         the program's current directory (default: the current one)
#   --path DIRS       Windows folders, ';'-separated, put in front of the Windows PATH
#   --env NAME=VALUE  an environment variable for the program (repeatable)
#   --stdin FILE      the program's standard input (default: empty); a named pipe lets a
#                     test feed the program as it runs
#   --stdout FILE     write the program's standard output to FILE as it runs (default: to
#                     ours, when it has ended)
#   --stderr FILE     write the program's standard error to FILE as it runs (default: to ours,
#                     when it has ended)
#   --display         the program needs a display: with a prefix of its own it gets a virtual X
#                     server (Xvfb); a shared prefix must have been made with --init --display
#   --timeout SECS    stop the program after SECS seconds (default 120)
#
# Output bytes are passed on unchanged: a Windows console program ends its lines with CR LF.
# Exit status: the program's (modulo 256); 124 when it timed out; 125 when this script failed
# (bad option, Wine missing, no such program, the prefix could not be made).
#
# Every program run in a prefix that has a virtual display gets it as DISPLAY, so that Wine's
# desktop process, started once per prefix, always talks to the same X server. Without one,
# DISPLAY is unset: a run never opens windows on the developer's screen. The script works as
# root and without any display (as in CI). TARVIK_WINEDEBUG sets WINEDEBUG (default "-all").
set -uo pipefail

readonly marker=.tarvik-wine-prefix

die() {
  echo "run-wine.sh: $*" >&2
  exit 125
}

# Prints the comment above; exits with $1 (125 for a misuse).
usage() {
  sed -n '2,/^set -uo/{/^set -uo/d;s/^# \{0,1\}//;p}' "$0" >&2
  exit "${1:-125}"
}

# ---- options ----
prefix="${TARVIK_WINEPREFIX:-}"
mode=run
cwd=""
win_dirs=""
have_win_dirs=0
envs=()
stdin_file=/dev/null
stdout_file=""
stderr_file=""
want_display=0
timeout_secs=120
winpath_arg=""
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) [ $# -ge 2 ] || usage; prefix="$2"; shift 2 ;;
    --init) mode=init; shift ;;
    --shutdown) mode=shutdown; shift ;;
    --winpath) [ $# -ge 2 ] || usage; mode=winpath; winpath_arg="$2"; shift 2 ;;
    --cwd) [ $# -ge 2 ] || usage; cwd="$2"; shift 2 ;;
    --path) [ $# -ge 2 ] || usage; win_dirs="$2"; have_win_dirs=1; shift 2 ;;
    --env)
      [ $# -ge 2 ] || usage
      [[ "$2" =~ ^[A-Za-z_][A-Za-z0-9_]*= ]] || die "--env wants NAME=VALUE, not '$2'"
      envs+=("$2"); shift 2 ;;
    --stdin) [ $# -ge 2 ] || usage; stdin_file="$2"; shift 2 ;;
    --stdout) [ $# -ge 2 ] || usage; stdout_file="$2"; shift 2 ;;
    --stderr) [ $# -ge 2 ] || usage; stderr_file="$2"; shift 2 ;;
    --display) want_display=1; shift ;;
    --timeout)
      [ $# -ge 2 ] || usage
      [[ "$2" =~ ^[1-9][0-9]*$ ]] || die "--timeout wants a whole number of seconds, not '$2'"
      timeout_secs="$2"; shift 2 ;;
    -h|--help) usage 0 ;;
    --) shift; break ;;
    -*) die "unknown option '$1' (--help lists them)" ;;
    *) break ;;
  esac
done

command -v wine >/dev/null 2>&1 || die "Wine is not installed (scripts/setup-debian.sh installs it)"

export WINEDEBUG="${TARVIK_WINEDEBUG:--all}"
export WINEARCH=win64
# No installers for Wine's .NET and HTML engines: nothing may be downloaded or asked for.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH DISPLAY WAYLAND_DISPLAY WINESERVER WINELOADER

absolute() { (cd "$1" 2>/dev/null && pwd -P); }

# Runs a command with the Wine environment of prefix $1. Wine keeps its server's socket in a
# folder under TMPDIR (as root, a new /tmp/wine-XXXXXX for every server): inside the prefix it
# is found by every program of the prefix and goes away with it.
in_prefix() {
  local dir="$1"
  shift
  mkdir -p "$dir/.tmp" && WINEPREFIX="$dir" TMPDIR="$dir/.tmp" "$@"
}

# Stops the prefix's Wine processes and its X server; removes it when asked to.
prefix_stop() {
  local dir="$1" remove="$2"
  [ -f "$dir/$marker" ] || return 0
  in_prefix "$dir" wineserver -k >/dev/null 2>&1
  in_prefix "$dir" wineserver -w >/dev/null 2>&1
  local pid
  pid="$(cat "$dir/.xvfb-pid" 2>/dev/null)"
  # Only the X server this script started: the recorded process, if it is still an Xvfb.
  if [[ "$pid" =~ ^[0-9]+$ ]] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then
    kill "$pid" >/dev/null 2>&1
  fi
  if [ "$remove" = 1 ]; then
    rm -rf -- "$dir"
  fi
}

# Makes a fresh prefix in the empty or missing folder $1, with a virtual display if $2 is 1.
prefix_init() {
  local dir="$1" display="$2" i
  if [ -e "$dir" ]; then
    if [ -f "$dir/$marker" ]; then
      prefix_stop "$dir" 1 # left over from an interrupted run
    elif [ -n "$(ls -A "$dir" 2>/dev/null)" ]; then
      die "$dir is not empty and was not made by this script: not touching it"
    fi
  fi
  mkdir -p "$dir" || die "cannot make $dir"
  touch "$dir/$marker"
  if [ "$display" = 1 ]; then
    command -v Xvfb >/dev/null 2>&1 || die "Xvfb is not installed (scripts/setup-debian.sh installs it)"
    # -displayfd picks a free display number and writes it when the server is ready. setsid and
    # redirected output keep the server from holding the caller's terminal or pipes.
    setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/.display" \
      </dev/null >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/.xvfb-pid"
    for i in $(seq 100); do
      [ -s "$dir/.display" ] && break
      sleep 0.1
    done
    [ -s "$dir/.display" ] || { prefix_stop "$dir" 1; die "Xvfb did not start"; }
    export DISPLAY=":$(tr -d '\n' <"$dir/.display")"
  fi
  # The registry files appear only when the server saves them: the Windows folder shows the
  # prefix was made.
  if ! in_prefix "$dir" wineboot --init </dev/null >"$dir/wineboot.log" 2>&1 ||
    [ ! -d "$dir/drive_c/windows/system32" ]; then
    cat "$dir/wineboot.log" >&2
    prefix_stop "$dir" 1
    die "wineboot could not make a prefix in $dir"
  fi
}

# Sets DISPLAY for a run in prefix $1.
use_display() {
  if [ -s "$1/.display" ]; then
    export DISPLAY=":$(tr -d '\n' <"$1/.display")"
  elif [ "$want_display" = 1 ]; then
    die "the prefix $1 has no display: make it with --init --display"
  fi
}

case "$mode" in
  init)
    [ -n "$prefix" ] || die "--init needs --prefix DIR"
    mkdir -p "$prefix" || die "cannot make $prefix"
    prefix="$(absolute "$prefix")"
    prefix_init "$prefix" "$want_display"
    exit 0 ;;
  shutdown)
    [ -n "$prefix" ] || die "--shutdown needs --prefix DIR"
    [ -e "$prefix" ] || exit 0
    [ -f "$prefix/$marker" ] || die "$prefix was not made by this script: not touching it"
    prefix_stop "$(absolute "$prefix")" 1
    exit 0 ;;
  winpath)
    [ -n "$prefix" ] && [ -f "$prefix/$marker" ] || die "--winpath needs a prefix made with --init"
    out="$(in_prefix "$(absolute "$prefix")" winepath -w "$winpath_arg" 2>/dev/null </dev/null)" ||
      die "winepath failed for $winpath_arg"
    printf '%s\n' "${out%$'\r'}"
    exit 0 ;;
esac

# ---- run ----
[ $# -ge 1 ] || usage
program="$1"
shift
[ -f "$program" ] || die "no such program: $program"
program="$(absolute "$(dirname "$program")")/$(basename "$program")"
[ -z "$cwd" ] || [ -d "$cwd" ] || die "no such folder: $cwd"
[ -r "$stdin_file" ] || die "cannot read $stdin_file"

own_prefix=0
if [ -z "$prefix" ]; then
  prefix="$(mktemp -d "${TMPDIR:-/tmp}/tarvik-wine.XXXXXX")" || die "cannot make a temporary prefix"
  own_prefix=1
  trap 'prefix_stop "$prefix" 1' EXIT
  prefix_init "$prefix" "$want_display"
elif [ ! -e "$prefix" ]; then
  mkdir -p "$prefix" || die "cannot make $prefix"
  prefix_init "$(absolute "$prefix")" "$want_display"
fi
[ -f "$prefix/$marker" ] || die "$prefix was not made by this script (use --init)"
prefix="$(absolute "$prefix")"
[ "$own_prefix" = 1 ] || use_display "$prefix"
[ "$have_win_dirs" = 0 ] || export WINEPATH="$win_dirs"
for e in "${envs[@]}"; do export "${e?}"; done

# The program writes into files, never into a caller's pipe: Wine's helper processes, which the
# first program of a prefix starts, inherit its standard error and would hold the pipe open.
# Files named with --stdout and --stderr are written as the program runs, so that a test can
# follow its log; the others go to files of our own, passed on at the end.
capture="$(mktemp -d "${TMPDIR:-/tmp}/tarvik-wine-out.XXXXXX")" || die "cannot make a temporary folder"
out_file="${stdout_file:-$capture/out}"
err_file="${stderr_file:-$capture/err}"
: >"$out_file" && : >"$err_file" || die "cannot write $out_file or $err_file"
out_file="$(absolute "$(dirname "$out_file")")/$(basename "$out_file")"
err_file="$(absolute "$(dirname "$err_file")")/$(basename "$err_file")"
if [ "$own_prefix" = 1 ]; then
  trap 'prefix_stop "$prefix" 1; rm -rf -- "$capture"' EXIT
else
  trap 'rm -rf -- "$capture"' EXIT
fi
(
  [ -z "$cwd" ] || cd "$cwd" || exit 125
  export WINEPREFIX="$prefix" TMPDIR="$prefix/.tmp"
  mkdir -p "$TMPDIR" || exit 125
  exec timeout --kill-after=10 "$timeout_secs" wine "$program" "$@" \
    <"$stdin_file" >"$out_file" 2>"$err_file"
)
status=$?
[ -n "$stdout_file" ] || cat -- "$capture/out"
[ -n "$stderr_file" ] || cat -- "$capture/err" >&2
[ "$status" != 124 ] || echo "run-wine.sh: $program timed out after $timeout_secs s" >&2
exit "$status"

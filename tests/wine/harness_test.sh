#!/usr/bin/env bash
# Tests of run-wine.sh with the probe program: what a Windows program run under it sees and
# what comes back from it.   harness_test.sh PATH/wine-probe.exe
# Runs in the prefix named by TARVIK_WINEPREFIX (made with --init --display), and makes one
# prefix of its own to test that mode.
set -u
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/testlib.sh"
run="$here/run-wine.sh"
probe="${1:?usage: harness_test.sh PATH/wine-probe.exe}"
[ -f "$probe" ] || { echo "$probe is missing: build the Windows programs (scripts/build.sh win)" >&2; exit 1; }
[ -n "${TARVIK_WINEPREFIX:-}" ] || { echo "TARVIK_WINEPREFIX is not set (CTest sets it)" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf -- "$work"' EXIT
mkdir -p "$work/run dir" "$work/other"
crlf() { printf '%s\r\n' "$@"; }

# Arguments reach the program unchanged; the working folder is the one asked for; standard
# output and standard error stay apart; the exit status comes back.
"$run" --cwd "$work/run dir" --stdout "$work/out" --stderr "$work/err" -- "$probe" \
  "two words" 'quote"inside' 'back\slash' "" err:to-stderr exit:3
status=$?
check_eq "exit status passed on" 3 "$status"
win_dir="$("$run" --prefix "$TARVIK_WINEPREFIX" --winpath "$work/run dir")"
check_eq "Windows path of a folder" "Z:${work//\//\\}\\run dir" "$win_dir"
check_eq "arguments and working folder" \
  "$(crlf "arg1=two words" 'arg2=quote"inside' 'arg3=back\slash' "arg4=" "arg5=err:to-stderr" \
    "arg6=exit:3" "cwd=$win_dir")" "$(cat "$work/out")"
check_eq "standard error apart" "$(crlf to-stderr)" "$(cat "$work/err")"

"$run" --cwd "$work/other" "$probe" exit:200 >/dev/null
check_eq "a large exit status" 200 $?
"$run" "$probe" >/dev/null
check_eq "exit status 0" 0 $?

# Without --stdout the output comes on our own standard output.
out="$("$run" "$probe" err:x 2>/dev/null)"
check_eq "output passed through" "$(crlf "arg1=err:x" "cwd=$("$run" --prefix "$TARVIK_WINEPREFIX" --winpath "$PWD")")" "$out"
err="$("$run" "$probe" err:only-this 2>&1 >/dev/null)"
check_eq "standard error passed through" "$(crlf only-this)" "$err"

# PATH: --path puts folders in front of the Windows PATH; a WINEPATH of the caller is not used.
out="$(WINEPATH='C:\from-caller' "$run" --path 'C:\first;D:\second' "$probe" env:PATH)"
check "--path leads the Windows PATH" grep -q $'^PATH=C:\\\\first;D:\\\\second;C:\\\\windows' <<<"$out"
out="$(WINEPATH='C:\from-caller' "$run" "$probe" env:PATH)"
check "PATH without --path is Wine's own" grep -q $'^PATH=C:\\\\windows\\\\system32;' <<<"$out"

# Environment variables and standard input.
out="$("$run" --env TARVIK_PROBE="a b=c" "$probe" env:TARVIK_PROBE env:TARVIK_UNSET_VAR)"
check "--env sets a variable" grep -q $'^TARVIK_PROBE=a b=c\r$' <<<"$out"
check "other variables stay unset" grep -q $'^TARVIK_UNSET_VAR unset\r$' <<<"$out"
printf 'typed line\n' >"$work/in"
out="$("$run" --stdin "$work/in" "$probe" stdin)"
check "standard input from a file" grep -q $'^stdin=typed line\r$' <<<"$out"
out="$("$run" "$probe" stdin)"
check "standard input empty by default" grep -q $'^stdin=\r$' <<<"$out"

# A display: the shared prefix has one.
out="$("$run" --display "$probe" window)"
check_eq "window in the shared prefix" 0 $?
check "window created" grep -q $'^window=created\r$' <<<"$out"

# The timeout stops a program that runs too long.
start=$SECONDS
"$run" --timeout 2 "$probe" sleep:60000 >/dev/null 2>"$work/err"
check_eq "timeout status" 124 $?
check "timeout within seconds" test $((SECONDS - start)) -lt 30
check "timeout reported" grep -q "timed out after 2 s" "$work/err"

# Failures of the harness itself: status 125 and a message, the program not run.
"$run" "$work/missing.exe" 2>"$work/err"
check_eq "missing program status" 125 $?
check "missing program reported" grep -q "no such program" "$work/err"
"$run" --frobnicate "$probe" 2>"$work/err"
check_eq "unknown option status" 125 $?
"$run" --env "=x" "$probe" 2>"$work/err"
check_eq "bad --env status" 125 $?
"$run" --cwd "$work/nowhere" "$probe" 2>"$work/err"
check_eq "missing working folder status" 125 $?
"$run" --prefix "$work" --shutdown 2>"$work/err"
check_eq "shutdown refuses a folder it did not make" 125 $?
check "that folder is left alone" test -d "$work/other"

# A prefix of the run's own: made, used without a display, removed afterwards.
mkdir "$work/tmp"
out="$(TMPDIR="$work/tmp" TARVIK_WINEPREFIX="" "$run" "$probe" window exit:5)"
check_eq "own prefix: no display, window fails" 4 $?
check "own prefix: program ran" grep -q $'^window=failed\r$' <<<"$out"
check_eq "own prefix removed" "" "$(ls -A "$work/tmp")"

finish

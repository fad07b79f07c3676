# Checks for the shell tests that run Windows programs under Wine. Source it, make the checks,
# and end with `finish`, which prints "N passed, N failed" and fails when any check failed.
# A failed check prints what it expected and what it got, and the test goes on.
checks_passed=0
checks_failed=0

fail() {
  checks_failed=$((checks_failed + 1))
  echo "FAIL: $*" >&2
}

# wait_for SECONDS COMMAND...: polls until the command succeeds; false when the deadline passes
# first. Every wait for a program is one of these: a busy machine only makes it longer.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# check DESCRIPTION COMMAND...: the command succeeds.
check() {
  local what="$1"
  shift
  if "$@"; then checks_passed=$((checks_passed + 1)); else fail "$what"; fi
}

# check_eq DESCRIPTION EXPECTED ACTUAL
check_eq() {
  if [ "$2" == "$3" ]; then
    checks_passed=$((checks_passed + 1))
  else
    fail "$1"
    printf '  expected: %q\n  got:      %q\n' "$2" "$3" >&2
  fi
}

# check_same_bytes DESCRIPTION EXPECTED_FILE FILE
check_same_bytes() {
  if [ -f "$3" ] && cmp -s -- "$2" "$3"; then
    checks_passed=$((checks_passed + 1))
  else
    fail "$1"
    if [ -f "$3" ]; then
      diff <(cat -A -- "$2") <(cat -A -- "$3") | head -20 >&2
    else
      echo "  $3 does not exist" >&2
    fi
  fi
}

finish() {
  echo "$checks_passed passed, $checks_failed failed"
  [ "$checks_failed" -eq 0 ]
}

# The package checks' reporting, sourced by the scripts in this folder:
# one line per check, and $failed set once any check failed.
# shellcheck shell=bash
failed=0
pass() { echo "ok   $1"; }
fail() { echo "FAIL $1" >&2; failed=1; }
# check DESCRIPTION COMMAND...: runs the command, quietly unless it fails.
check() {
  local description=$1 output
  shift
  if output=$("$@" 2>&1); then pass "$description"; else fail "$description"; [ -z "$output" ] || printf '%s\n' "$output" >&2; fi
}

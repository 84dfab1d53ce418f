#!/usr/bin/env bash
# Runs every writing command of orlavo-cli with one kind of call failing with
# EIO (the fail_io shim, preloaded): the writes, the syncs, or the renames and
# links that put a finished file under its name; each from the first such call
# on, and after a few have gone through. Each run either succeeds with whole
# outputs or fails with a message and exit 1, leaving no partial output under
# a final name and every source as it was.
#
#   io_errors.sh ORLAVO_CLI FAIL_IO_SO
set -uo pipefail
cli=$(readlink -f "$1")
shim=$(readlink -f "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home LC_ALL=C.UTF-8
mkdir -p "$HOME"

W=$work/w
# shellcheck source=support/writing_ops.sh
. "$(dirname "$0")/support/writing_ops.sh"

failures=0 cases=0 injected=0
for op in "${op_names[@]}"; do
  reset "$op"
  before=$(tree)
  # shellcheck disable=SC2086
  if ! "$cli" ${ops[$op]} > "$work/out" 2> "$work/err"; then
    echo "io-errors $op: the reference run failed: $(cat "$work/err")" >&2
    failures=$((failures + 1))
    continue
  fi
  reference=$(tree)
  met=0
  for call in write sync rename; do
    for after in 0 2; do
      reset "$op"
      rm -f "$work/log"
      cases=$((cases + 1))
      # shellcheck disable=SC2086
      LD_PRELOAD=$shim ORLAVO_FAIL_CALL=$call ORLAVO_FAIL_AFTER=$after ORLAVO_FAIL_PATH=$work/ \
        ORLAVO_FAIL_LOG=$work/log timeout 60 "$cli" ${ops[$op]} > "$work/out" 2> "$work/err"
      rc=$?
      [ -s "$work/log" ] && met=1 && injected=$((injected + 1))
      [ -n "${IO_ERRORS_VERBOSE:-}" ] && echo "$op $call $after: exit $rc, $(cat "$work/log" 2> /dev/null | wc -l) failures made: $(head -c 150 "$work/err" | tr "\n" " ")"
      problem=$(judge "$rc" "$(tree)" "$before" "$reference")
      # Every failure made sticks, so a run that met one cannot have done
      # all its work: success then means an error went unnoticed.
      [ "$rc" -eq 0 ] && [ -s "$work/log" ] && problem="a failed $(head -1 "$work/log") went unreported"
      if [ -n "$problem" ]; then
        echo "FAIL io-errors $op, $call failing after $after: $problem (exit $rc: $(head -c 300 "$work/err"))" >&2
        failures=$((failures + 1))
      fi
    done
  done
  # A writer whose calls the shim never met would pass without being tested.
  [ "$met" -eq 1 ] || { echo "FAIL io-errors $op: no failure was ever made" >&2; failures=$((failures + 1)); }
done
echo "io-errors: $cases cases, $injected with a failure made, $failures failures"
[ "$failures" -eq 0 ]

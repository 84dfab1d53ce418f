#!/usr/bin/env bash
# Runs every writing command of orlavo-cli on a small file system filled to
# several levels, and checks that each either succeeds with whole outputs or
# fails with a message, leaving no partial output, no temporary and every
# source as it was. Needs root for the size-limited tmpfs; skips otherwise.
#
#   full_disk.sh ORLAVO_CLI
set -uo pipefail
cli=$(readlink -f "$1")

work=$(mktemp -d)
mnt=$work/mnt
mkdir -p "$mnt"
if ! mount -t tmpfs -o size=4m tmpfs "$mnt" 2> /dev/null; then
  echo "full-disk: skipped, a size-limited tmpfs cannot be mounted here (needs root)"
  rm -rf "$work"
  exit 0
fi
trap 'umount "$mnt"; rm -rf "$work"' EXIT
export HOME=$work/home LC_ALL=C.UTF-8
mkdir -p "$HOME"

W=$mnt/w
# shellcheck source=support/writing_ops.sh
. "$(dirname "$0")/support/writing_ops.sh"

failures=0 cases=0
for op in "${op_names[@]}"; do
  # The reference: the same command with room enough.
  rm -f "$mnt/.fill"
  reset "$op"
  before=$(tree)
  # shellcheck disable=SC2086
  if ! "$cli" ${ops[$op]} > "$work/out" 2> "$work/err"; then
    echo "full-disk $op: the reference run failed: $(cat "$work/err")" >&2
    failures=$((failures + 1))
    continue
  fi
  reference=$(tree)
  [ "$reference" != "$before" ] || { echo "full-disk $op: the reference run wrote nothing" >&2; }
  for free in 0 4096 16384 65536 262144; do
    rm -f "$mnt/.fill"
    reset "$op"
    avail=$(df -B1 --output=avail "$mnt" | tail -1)
    if [ "$avail" -gt "$free" ]; then
      head -c $((avail - free)) /dev/zero > "$mnt/.fill" 2> /dev/null
    fi
    cases=$((cases + 1))
    # shellcheck disable=SC2086
    "$cli" ${ops[$op]} > "$work/out" 2> "$work/err"
    rc=$?
    problem=$(judge "$rc" "$(tree)" "$before" "$reference")
    if [ -n "$problem" ]; then
      echo "FAIL full-disk $op, $free bytes free: $problem (exit $rc: $(head -c 300 "$work/err"))" >&2
      failures=$((failures + 1))
    fi
  done
done
echo "full-disk: $cases cases, $failures failures"
[ "$failures" -eq 0 ]

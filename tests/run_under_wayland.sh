#!/usr/bin/env bash
# Runs the Wayland test cases of the GUI tests on a private headless weston,
# then stops it. Without weston they are skipped (exit 77).
# Usage: run_under_wayland.sh GUI_TEST_BINARY
set -u
binary="$1"
if ! command -v weston >/dev/null; then
  echo "weston is not installed: the Wayland cases are skipped (scripts/install-deps installs it)"
  exit 77
fi
work=$(mktemp -d)
chmod 0700 "$work"
weston_pid=""
cleanup() {
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR="$work"
socket="orlavo-test-$$"
weston --backend=headless-backend.so --socket="$socket" --width=1280 --height=900 \
  --use-pixman --idle-time=0 >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
  [ -S "$work/$socket" ] && break
  sleep 0.1
done
if [ ! -S "$work/$socket" ]; then
  echo "weston did not start:" >&2
  cat "$work/weston.log" >&2
  exit 1
fi

# The test program makes a runtime folder of its own, so the socket is named
# by its full path.
export WAYLAND_DISPLAY="$work/$socket"
export QT_QPA_PLATFORM=wayland
# A headless compositor has no seat; Qt's own text input then fails on the
# first focused line edit.
export QT_IM_MODULE=none
timeout --kill-after=10 240 "$binary" --gtest_filter='WaylandChromeTest.*'

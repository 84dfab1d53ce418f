#!/usr/bin/env bash
# Runs one libFuzzer target for a few seconds over a copy of its seed corpus.
set -euo pipefail
# Targets that read files write them to a temporary folder: on tmpfs, where
# the settings writer's sync costs nothing.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
target=$1 seeds=$2 corpus=$3
rm -rf "$corpus" && mkdir -p "$corpus"
[ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
exec "$target" -max_total_time="${ORLAVO_FUZZ_SECONDS:-5}" -max_len=70000 -rss_limit_mb=1024 \
  -print_final_stats=1 -artifact_prefix="$corpus/../$(basename "$target")-" "$corpus"

#!/usr/bin/env bash
# Kills orlavo-cli (SIGKILL) at random moments of a batch rename, a sort, a
# join and a split, and checks after every kill that each source file exists
# exactly once with its bytes, that no output stands under its final name
# unless whole, and that the next run of a join or split removes the
# temporaries a killed run left.
#
#   kill_consistency.sh ORLAVO_CLI KILLS [OPERATION...]
#
# OPERATION is names, sort, join or split (default: all four). Prints one line
# per operation: kills, files checked, temporaries found and removed.
set -uo pipefail
cli=$1 kills=$2
shift 2
ops=("$@")
[ ${#ops[@]} -eq 0 ] && ops=(names sort join split)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home LC_ALL=C.UTF-8
mkdir -p "$HOME"
failures=0

fail() {
  echo "FAIL [$op kill $k]: $*" >&2
  failures=$((failures + 1))
}

# An MPEG-1 Layer III frame (128 kbit/s, 44.1 kHz) filled with one letter.
frame() {
  printf '\xff\xfb\x90\x44'
  head -c 413 /dev/zero | tr '\0' "$1"
}
# count frames of fill, then an ID3v1 tag with artist.
mp3() {
  local out=$1 fill=$2 count=$3 artist=${4:-}
  frame "$fill" > "$out.frame"
  : > "$out"
  local chunk=$out.frame
  while [ "$count" -gt 0 ]; do
    if [ $((count & 1)) -eq 1 ]; then cat "$chunk" >> "$out"; fi
    count=$((count >> 1))
    [ "$count" -gt 0 ] && cat "$chunk" "$chunk" > "$chunk.2" && mv "$chunk.2" "$chunk"
  done
  rm -f "$out.frame"
  if [ -n "$artist" ]; then
    printf 'TAG%-30s%-30s%-30s%-4s%-30s\x00' "Song $fill" "$artist" "Album" "2001" "" |
      head -c 128 >> "$out"
  fi
}
sums() { (cd "$1" && find . -type f -name '*.mp3' -print0 | xargs -0 -r sha256sum | cut -c1-64 | sort); }
ms() { date +%s%3N; }

# Runs the command in the background and kills it after a random part of
# the time a whole run took (up to 1.3 times as long).
run_and_kill() {
  local full_ms=$1
  shift
  "$@" > /dev/null 2>&1 &
  local pid=$!
  local delay=$((RANDOM % (full_ms * 13 / 10 + 2)))
  sleep "$(printf '0.%03d' "$delay")" 2> /dev/null || sleep "$((delay / 1000))"
  kill -9 "$pid" 2> /dev/null
  wait "$pid" 2> /dev/null
}

letters=(a b c d e f g h i j k l m n o p q r s t u v w x y z)

for op in "${ops[@]}"; do
  src=$work/src dst=$work/dst
  rm -rf "$src" "$dst" "$work/run" && mkdir -p "$src" "$dst"
  checked=0 temps=0
  case $op in
    names)
      for i in $(seq 0 23); do mp3 "$src/${letters[i]} song.mp3" "${letters[i]}" $((20 + i)); done
      cmd=(names --add "Live " --apply "$work/run") ;;
    sort)
      for i in $(seq 0 23); do
        mp3 "$src/${letters[i]}.mp3" "${letters[i]}" $((20 + i)) "Band$((i % 4))"
      done
      cmd=(sort --apply "$work/run/plan.txt" --root "$work/run/sorted" --m3u-each --m3u-global) ;;
    join)
      for i in 0 1 2; do mp3 "$src/${letters[i]}.mp3" "${letters[i]}" 3000; done
      cmd=(join --out "$work/run/out/joined.mp3" "$work/run/a.mp3" "$work/run/b.mp3"
        "$work/run/c.mp3") ;;
    split)
      mp3 "$src/long.mp3" L 9000
      cmd=(split --to "$work/run/out" --end 0:40 --end 1:30 --end 2:50 --end 3:30
        "$work/run/long.mp3") ;;
    *) echo "unknown operation $op" >&2; exit 2 ;;
  esac
  before=$(sums "$src")

  fresh() {
    rm -rf "$work/run" && cp -a "$src" "$work/run" && mkdir -p "$work/run/out" "$work/run/sorted"
    if [ "$op" = sort ]; then
      "$cli" sort --by artist --root "$work/run/sorted" "$work/run" > "$work/plan_path" 2>&1 ||
        { echo "sort plan failed: $(cat "$work/plan_path")" >&2; exit 1; }
      mv "$(head -1 "$work/plan_path")" "$work/run/plan.txt"
    fi
  }

  # One whole run gives the reference outputs and the time a run takes.
  fresh
  t0=$(ms)
  "$cli" "${cmd[@]}" > "$work/ref.log" 2>&1 || { echo "$op: reference run failed" >&2; cat "$work/ref.log" >&2; exit 1; }
  full=$(($(ms) - t0))
  rm -rf "$work/ref" && cp -a "$work/run" "$work/ref"

  for k in $(seq 1 "$kills"); do
    fresh
    run_and_kill "$full" "$cli" "${cmd[@]}"
    # Every source file once, with its bytes (outputs of join and split are
    # new files and are checked against the reference below).
    case $op in
      names | sort) after=$(sums "$work/run") ;;
      *) after=$(cd "$work/run" && find . -maxdepth 1 -type f -name '*.mp3' -print0 |
           xargs -0 -r sha256sum | cut -c1-64 | sort) ;;
    esac
    [ "$after" = "$before" ] || fail "source files lost, doubled or changed"
    checked=$((checked + $(echo "$before" | wc -l)))
    # Every other file is whole (as the reference has it) or a temporary.
    while IFS= read -r -d '' f; do
      rel=${f#"$work/run/"}
      base=$(basename "$f")
      case $base in
        *.mp3) [ "$op" = names ] || [ "$op" = sort ] && continue ;;
      esac
      [ "$rel" = plan.txt ] && continue
      if [[ $base == .*.joining-* || $base == .orlavo-track-*.part || $base == *.m3u.?????? ]]; then
        temps=$((temps + 1))
        continue
      fi
      checked=$((checked + 1))
      if [ "$op" = sort ]; then
        # A playlist holds the lines of the files moved so far at most.
        [ -f "$work/ref/$rel" ] || { fail "unexpected file $rel"; continue; }
        [ "$(tail -c1 "$f" | od -An -c | tr -d ' ')" = '\n' ] || fail "partial playlist $rel"
      elif ! cmp -s "$f" "$work/ref/$rel"; then
        fail "partial or wrong output under its final name: $rel"
      fi
    done < <(find "$work/run" -type f -print0)
    # The next run of a join or split removes what a killed run left.
    if [ "$op" = join ] || [ "$op" = split ]; then
      find "$work/run/out" -name '*.mp3' -delete
      "$cli" "${cmd[@]}" > /dev/null 2>&1 || fail "the run after the kill failed"
      left=$(find "$work/run" -name '.*.joining-*' -o -name '.orlavo-track-*.part' | wc -l)
      [ "$left" -eq 0 ] || fail "$left temporaries left after the next run"
      diff -r "$work/run/out" "$work/ref/out" > /dev/null || fail "the next run's output differs"
    fi
  done
  echo "kill-consistency $op: $kills kills, $checked files checked, $temps temporaries found, $failures failures"
done
[ "$failures" -eq 0 ]

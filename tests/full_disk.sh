#!/usr/bin/env bash
# Runs every writing command of orlavo-cli on a small file system filled to
# several levels, and checks that each either succeeds with whole outputs or
# fails with a message, leaving no partial output, no temporary and every
# source as it was. Needs root for the size-limited tmpfs; skips otherwise.
#
#   full_disk.sh ORLAVO_CLI
set -uo pipefail
cli=$(readlink -f "$1")
bin=$(dirname "$cli")

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

# The program folder (its Files/ is where plans, lists and saved cue sheets
# go) is a copy of the binary's folder whose Files/ lies on the small disk.
prog=$work/prog
mkdir -p "$prog"
cp "$cli" "$bin"/*.so "$prog"/
ln -s "$mnt/w/Files" "$prog/Files"
cli=$prog/$(basename "$cli")

frame() {
  printf '\xff\xfb\x90\x44'
  head -c 413 /dev/zero | tr '\0' "$1"
}
mp3() {
  local out=$1 fill=$2 count=$3
  for _ in $(seq "$count"); do frame "$fill"; done > "$out"
  [ -n "${4:-}" ] && printf 'TAG%-30s%-30s%-30s%-4s%-30s\x0c' "Song $fill" "$4" "Album" "2001" "" >> "$out"
  return 0
}
le32() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))\\x$(printf %02x $((($1 >> 16) & 255)))\\x$(printf %02x $((($1 >> 24) & 255)))"; }
wav() {
  local out=$1 bytes=$2
  { printf 'RIFF'; le32 $((bytes + 36)); printf 'WAVEfmt '; le32 16
    printf '\x01\x00\x02\x00'; le32 44100; le32 176400; printf '\x04\x00\x10\x00'
    printf 'data'; le32 "$bytes"; head -c "$bytes" /dev/urandom; } > "$out"
}

src=$work/src
mkdir -p "$src/Files" "$src/sorted" "$src/out"
mp3 "$src/a.mp3" a 120 "Band"
mp3 "$src/b.mp3" b 140
mp3 "$src/long.mp3" L 900 "Other"
wav "$src/s.wav" 352800

W=$mnt/w
declare -A ops=(
  [tag]="tag --title New --artist Someone $W/a.mp3 $W/b.mp3"
  [names]="names --add New_ --apply $W"
  [listgen]="listgen --out $W/list.txt --pattern %Path%Filename%Tab%Title $W"
  [join]="join --tag --title J --out $W/out/j.mp3 $W/a.mp3 $W/b.mp3 $W/long.mp3"
  [split]="split --to $W/out --end 0:05 --end 0:15 --end 0:20 $W/long.mp3"
  [cue]="split --to $W/out --end 0:05 --save-cue orv --dry-run $W/long.mp3"
  [plan]="sort --by artist --root $W/sorted $W"
  [sort]="sort --apply $W/Files/plan.txt --root $W/sorted --m3u-each --m3u-global"
  [encode]="encode --out $W/out $W/s.wav"
)
# Contents of the tree as "path sha256" lines, the filler left out.
tree() { (cd "$W" && find . -type f ! -name .fill -print0 | xargs -0 -r sha256sum | awk '{print $2, $1}' | sort); }
reset() {
  rm -rf "$W" "$mnt/.fill" && cp -a "$src" "$W"
  if [ "$1" = sort ]; then
    "$cli" sort --by artist --root "$W/sorted" "$W" > /dev/null 2>&1 &&
      mv "$W/Files/Sort by Artist.txt" "$W/Files/plan.txt"
  fi
}

failures=0 cases=0
for op in tag names listgen join split cue plan sort encode; do
  # The reference: the same command with room enough.
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
    reset "$op"
    avail=$(df -B1 --output=avail "$mnt" | tail -1)
    if [ "$avail" -gt "$free" ]; then
      head -c $((avail - free)) /dev/zero > "$mnt/.fill" 2> /dev/null
    fi
    cases=$((cases + 1))
    # shellcheck disable=SC2086
    "$cli" ${ops[$op]} > "$work/out" 2> "$work/err"
    rc=$?
    after=$(tree)
    problem=
    if [ "$rc" -eq 0 ]; then
      [ "$after" = "$reference" ] || problem="succeeded, but the tree is not the reference"
    elif [ "$rc" -ne 1 ]; then
      problem="exit $rc"
    # A failure is told on stderr, or in the status column of encode's rows.
    elif ! grep -q "^orlavo-cli: " "$work/err" && ! grep -q $'\t' "$work/out"; then
      problem="failed without a message"
    else
      # Every file as it was, or as the reference run left it; nothing else.
      while read -r path sum; do
        grep -qxF "$path $sum" <<< "$before"$'\n'"$reference" || problem="$path is partial or new"
      done <<< "$after"
      # Every source file's bytes are still there.
      while read -r path sum; do
        case $path in *.mp3 | *.wav) ;; *) continue ;; esac
        grep -q " $sum\$" <<< "$after" || problem="the bytes of $path were lost"
      done <<< "$before"
    fi
    if [ -n "$problem" ]; then
      echo "FAIL full-disk $op, $free bytes free: $problem (exit $rc: $(head -c 300 "$work/err"))" >&2
      failures=$((failures + 1))
    fi
  done
done
echo "full-disk: $cases cases, $failures failures"
[ "$failures" -eq 0 ]

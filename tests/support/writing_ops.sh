# Sourced by the harnesses that make writes fail (full_disk.sh, io_errors.sh):
# one source tree, every writing command of orlavo-cli on it, and the
# comparison of a tree after a failed run with the tree before and with a
# reference run.
#
# Before sourcing: work (a scratch folder), W (where the tree is copied
# before each run), cli (orlavo-cli). After it, cli is a copy of the program
# whose Files/ (plans, lists, saved cue sheets) is W/Files, so that those
# writes meet the same failures as the rest.

prog=$work/prog
mkdir -p "$prog"
cp "$cli" "$(dirname "$cli")"/*.so "$prog"/
ln -s "$W/Files" "$prog/Files"
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

declare -A ops=(
  [tag]="tag --title New --artist Someone $W/a.mp3 $W/b.mp3"
  [names]="names --add New_ --apply $W"
  [listgen]="listgen --out $W/list.txt --pattern %Path%Filename%Tab%Title $W"
  [join]="join --tag --title J --out $W/out/j.mp3 $W/a.mp3 $W/b.mp3 $W/long.mp3"
  [split]="split --to $W/out --end 0:05 --end 0:15 --end 0:20 $W/long.mp3"
  [cue]="split --to $W/out --end 0:05 --end 0:09 --save-cue orv $W/long.mp3"
  [cue-standard]="split --to $W/out --end 0:05 --end 0:09 --save-cue standard $W/long.mp3"
  [plan]="sort --by artist --root $W/sorted $W"
  [sort]="sort --apply $W/Files/plan.txt --root $W/sorted --m3u-each --m3u-global"
  [encode]="encode --out $W/out $W/s.wav"
)
op_names=(tag names listgen join split cue cue-standard plan sort encode)

# Contents of the tree as "path sha256" lines, the filler left out.
tree() { (cd "$W" && find . -type f ! -name .fill -print0 | xargs -0 -r sha256sum | awk '{print $2, $1}' | sort); }

# A fresh copy of the sources (and, for sort, its plan).
reset() {
  rm -rf "$W" && cp -a "$src" "$W"
  if [ "$1" = sort ]; then
    "$cli" sort --by artist --root "$W/sorted" "$W" > /dev/null 2>&1 &&
      mv "$W/Files/Sort by Artist.txt" "$W/Files/plan.txt"
  fi
}

# What is wrong with a run that ended with exit code $1, after which the tree
# is $2, given the tree before it ($3) and after a run with nothing failing
# ($4); "" when nothing is. The run's output is in $work/out and $work/err.
judge() {
  local rc=$1 after=$2 before=$3 reference=$4 path sum
  if [ "$rc" -eq 0 ]; then
    [ "$after" = "$reference" ] || echo "succeeded, but the tree is not the reference"
    return
  fi
  [ "$rc" -eq 1 ] || { echo "exit $rc"; return; }
  grep -q "^orlavo-cli: " "$work/err" || { echo "failed without a message"; return; }
  # Every file as it was, or as the reference run left it; nothing else.
  while read -r path sum; do
    [ -z "$path" ] && continue
    grep -qxF "$path $sum" <<< "$before"$'\n'"$reference" || { echo "$path is partial or new"; return; }
  done <<< "$after"
  # Every source file's bytes are still there.
  while read -r path sum; do
    case $path in *.mp3 | *.wav) ;; *) continue ;; esac
    grep -q " $sum\$" <<< "$after" || { echo "the bytes of $path were lost"; return; }
  done <<< "$before"
}

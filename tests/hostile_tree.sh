#!/usr/bin/env bash
# Runs the reading commands of orlavo-cli over a hostile tree: FIFOs, device
# links, dangling links, link loops, names with newlines, tabs and
# backslashes, 255-byte names, 60 levels of folders, a sparse 4 GiB file and
# tags that claim huge sizes. Nothing may hang (a FIFO is never opened), crash
# or print a row that cannot be split on its tabs.
#
#   hostile_tree.sh ORLAVO_CLI
set -uo pipefail
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home LC_ALL=C.UTF-8
mkdir -p "$HOME"
t=$work/tree
mkdir -p "$t"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

frame() {
  printf '\xff\xfb\x90\x44'
  head -c 413 /dev/zero | tr '\0' "$1"
}
for _ in 1 2 3; do frame a; done > "$t/plain.mp3"
mkfifo "$t/fifo.mp3"
ln -s /dev/zero "$t/zero.mp3"
ln -s /dev/urandom "$t/random.mp3"
ln -s "$t/missing.mp3" "$t/dangling.mp3"
ln -s "$t/loop" "$t/loop"
mkdir -p "$t/sub"
ln -s .. "$t/sub/up"
ln -s "$t" "$t/sub/root.mp3"
cp "$t/plain.mp3" "$t/new"$'\n'"line.mp3"
cp "$t/plain.mp3" "$t/tab"$'\t'"name.mp3"
cp "$t/plain.mp3" "$t/back\\slash.mp3"
cp "$t/plain.mp3" "$t/$(printf 'n%.0s' $(seq 251)).mp3"
deep=$t
for i in $(seq 60); do deep=$deep/d$i; done
mkdir -p "$deep" && cp "$t/plain.mp3" "$deep/deep.mp3"
truncate -s 4G "$t/sparse.mp3"
# An ID3v2 tag that claims 256 MiB, and one whose frame claims more than the file.
{ printf 'ID3\x04\x00\x00\x7f\x7f\x7f\x7f'; frame b; } > "$t/huge_tag.mp3"
{ printf 'ID3\x03\x00\x00\x00\x00\x01\x00TIT2\x7f\xff\xff\xff\x00\x00\x00'; frame c; } > "$t/huge_frame.mp3"
mkdir -p "$t/folder.mp3"

run() {
  local what=$1
  shift
  timeout 60 "$cli" "$@" > "$work/out" 2> "$work/err"
  local rc=$?
  if [ "$rc" -eq 124 ]; then
    fail "$what hangs"
  elif [ "$rc" -gt 2 ]; then
    fail "$what ended with $rc: $(head -c 300 "$work/err")"
  fi
  return "$rc"
}

# Rows of N tab-separated fields; a name with a tab or line break must not
# break a row.
check_rows() {
  local what=$1 fields=$2
  local bad
  bad=$(awk -F'\t' -v n="$fields" 'NF != n' "$work/out" | head -3)
  [ -z "$bad" ] || fail "$what prints rows without $fields fields: $bad"
}

run "scan" scan --subdirs "$t"
check_rows scan 3
rows=$(wc -l < "$work/out")
# plain, the three odd names, the long name, deep, sparse and the two tags.
[ "$rows" -eq 9 ] || fail "scan lists $rows files, not 9: $(cut -f1 "$work/out" | tr '\n' ' ')"
grep -q 'fifo\|zero\.mp3\|random\.mp3\|dangling\|folder\.mp3' "$work/out" &&
  fail "scan lists what is not a regular MP3 file"

run "info" info "$t/huge_tag.mp3" "$t/huge_frame.mp3" "$t/sparse.mp3" "$t/fifo.mp3" "$t/zero.mp3"
run "dupes" dupes --by size --subdirs "$t"
run "filter" filter --subdirs "$t"
run "listgen" listgen --subdirs --out "$work/list.txt" --pattern '%Path%Filename%Tab%Title%Tab%Duration' "$t"
run "dry-run names" names --add x --subdirs "$t"

# A file that becomes a folder between the plan and its execution is not
# moved (with all it holds) but reported.
s=$work/sort
mkdir -p "$s/sorted"
for name in a b; do
  { frame "$name"; printf 'TAG%-30s%-30s%-30s%-4s%-30s\x0c' "Song" "Band" "Album" "2001" ""; } > "$s/$name.mp3"
done
if run "sort plan" sort --by artist --root "$s/sorted" "$s"; then
  mv "$(head -1 "$work/out")" "$work/plan.txt"
  rm "$s/a.mp3" && mkdir -p "$s/a.mp3/inner"
  run "sort apply" sort --apply "$work/plan.txt" --root "$s/sorted"
  [ -d "$s/a.mp3/inner" ] || fail "a folder listed as a file was moved by the sort"
  [ -f "$s/sorted/Band/b.mp3" ] || fail "the sort did not move the other file"
  grep -q "a.mp3: not moved" "$work/err" || fail "the sort did not report the folder"
fi

# Unreadable files and folders, as a user without rights over them: the suite
# runs as root, for whom permission bits never bite. The reading commands list
# what they can, name what they cannot ("cannot be read") and exit 1; the
# writing commands refuse on a read-only folder and change nothing.
nobody() { return 1; }
if [ "$(id -u)" -ne 0 ]; then
  echo "hostile-tree: unreadable cases skipped, they need root to switch to an unprivileged user"
elif setpriv --reuid=nobody --regid=nogroup --clear-groups true 2> /dev/null; then
  nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"; }
elif runuser -u nobody -- true 2> /dev/null; then
  nobody() { runuser -u nobody -- "$@"; }
else
  echo "hostile-tree: unreadable cases skipped, neither setpriv nor runuser can switch to nobody"
fi
if nobody true; then
  chmod 755 "$work"
  p=$work/perm
  mkdir -p "$p/tree/ok" "$p/tree/closed" "$p/tree/nox" "$p/ro" "$p/out" "$p/home"
  chmod 777 "$p/home"
  for name in a b locked ok/c closed/d nox/e; do
    { frame "${name: -1}"; frame x; printf 'TAG%-30s%-30s%-30s%-4s%-30s\x0c' "Song" "Band" "Album" "2001" ""; } > "$p/tree/$name.mp3"
  done
  cp "$p/tree/a.mp3" "$p/tree/b.mp3" "$p/ro/"
  chmod 000 "$p/tree/locked.mp3" "$p/tree/closed"
  chmod 644 "$p/tree/nox"
  chmod 555 "$p/ro" "$p/out"
  T=$p/tree
  # name | arguments | a row that must be there | stderr lines that must be there
  perm_reads=(
    "scan|scan --subdirs $T|c.mp3|$T/closed/ $T/nox/"
    "filter|filter --subdirs --no-v1 $T||$T/closed/ $T/nox/ $T/locked.mp3"
    "filter v1|filter --subdirs --v1 $T|c.mp3|$T/closed/"
    "filter v2|filter --subdirs --no-v2 $T|c.mp3|$T/closed/ $T/locked.mp3"
    "info|info $T/locked.mp3 $T/nox/e.mp3 $T/a.mp3|Filename: a.mp3|$T/locked.mp3 $T/nox/e.mp3"
    "names|names --add X --subdirs $T|c.mp3|$T/nox/"
    "dupes|dupes --by tag --subdirs $T|c.mp3|$T/closed/ $T/locked.mp3"
    "sort plan|sort --by artist --subdirs --root $p/sorted $T|Sort by Artist|$T/locked.mp3 $T/nox/"
    "listgen|listgen --subdirs --out $p/home/list.txt --pattern %Filename%Tab%Title $T|lines written|$T/locked.mp3 $T/closed/"
  )
  for entry in "${perm_reads[@]}"; do
    IFS='|' read -r what args row errs <<< "$entry"
    # shellcheck disable=SC2086
    nobody env HOME="$p/home" timeout 60 "$cli" $args > "$work/out" 2> "$work/err"
    rc=$?
    [ "$rc" -eq 1 ] || fail "unreadable $what: exit $rc, not 1: $(head -c 300 "$work/err")"
    [ -z "$row" ] || grep -q "$row" "$work/out" || fail "unreadable $what: the readable files are not listed"
    for e in $errs; do
      grep -qxF "orlavo-cli: $e: cannot be read (Permission denied)" "$work/err" ||
        fail "unreadable $what: $e is not reported: $(head -c 300 "$work/err")"
    done
    grep -q 'locked\|/e\.mp3\|/d\.mp3' "$work/out" && [ "$what" != names ] && [ "$what" != scan ] && [ "$what" != listgen ] &&
      fail "unreadable $what lists a file it could not read"
  done
  plan=$(find "$p/home" -name 'Sort by Artist.txt' | head -1)
  [ -n "$plan" ] && grep -q locked "$plan" && fail "the sort plan files a file whose tag it could not read"
  nobody env HOME="$p/home" "$cli" sort --by artist --root "$p/out/sorted" "$p/ro" > "$work/out" 2> "$work/err" ||
    fail "the plan of the read-only folder: $(cat "$work/err")"
  cp "$(head -1 "$work/out")" "$p/plan.txt" && plan=$p/plan.txt

  snapshot() { (cd "$p" && find ro out -print0 | sort -z | xargs -0 sha256sum 2> /dev/null; ls -lR ro out); }
  perm_writes=(
    "tag|tag --title New $p/ro/a.mp3"
    "tag remove|tag --remove $p/ro/a.mp3"
    "rename-from-tag|rename-from-tag $p/ro/a.mp3"
    "names apply|names --add X --apply $p/ro"
    "join|join --out $p/out/j.mp3 $p/ro/a.mp3 $p/ro/b.mp3"
    "split|split --to $p/out --end 0:0:20 $p/ro/a.mp3"
    "listgen|listgen --out $p/out/list.txt $p/ro"
    "sort apply|sort --apply $plan --root $p/out/sorted --m3u-global"
  )
  before=$(snapshot)
  for entry in "${perm_writes[@]}"; do
    IFS='|' read -r what args <<< "$entry"
    # shellcheck disable=SC2086
    nobody env HOME="$p/home" timeout 60 "$cli" $args > "$work/out" 2> "$work/err"
    rc=$?
    [ "$rc" -eq 1 ] || fail "read-only $what: exit $rc, not 1: $(head -c 300 "$work/err")"
    grep -q "^orlavo-cli: " "$work/err" || fail "read-only $what: no message"
    [ "$(snapshot)" = "$before" ] || fail "read-only $what changed the folder"
  done
  chmod -R u+rwx "$p"
  echo "hostile-tree: ${#perm_reads[@]} unreadable and ${#perm_writes[@]} read-only cases"
fi

echo "hostile-tree: $failures failures"
[ "$failures" -eq 0 ]

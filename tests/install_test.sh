#!/usr/bin/env bash
# The installed program: `cmake --install` of the build into a temporary root (DESTDIR),
# then the installed orlavo-cli and the windowed program run from there. The installed
# program folder is read-only and marked as installed; what the program writes must land
# in the user's data folder and nothing in the installed tree may change.
# Usage: install_test.sh BUILD_FOLDER
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >"$work/install.log"
bin="$work/root/usr/bin"
for program in orlavo-professional orlavo-cli twcheck; do
  [[ -x $bin/$program ]] || fail "$program is not installed in bin/"
done

# The command line, started through its link in bin/, finds libpellox.so.
version=$("$bin/orlavo-cli" --version)
[[ $version == "orlavo-cli "* ]] || fail "--version printed '$version'"
music="$work/music folder"
mkdir -p "$music"
mp3="$music/Tester - Installed.mp3"
head -c 176400 /dev/zero |
  lame --quiet -r -s 44.1 -m m --bitwidth 16 --tt Installed --ta Tester - "$mp3" 2>/dev/null
info=$("$bin/orlavo-cli" info "$mp3")
grep -q "^Frequency: 44100Hz" <<<"$info" || fail "info without stream information: $info"
grep -q "^ID3v1 Exists: True" <<<"$info" || fail "info without the ID3v1 tag: $info"
grep -q "^-Artist: Tester" <<<"$info" || fail "info without the artist: $info"
# The encoder library is found by the installed command line too.
lame --quiet --decode "$mp3" "$work/tone.wav"
mkdir -p "$work/encoded"
"$bin/orlavo-cli" encode --out "$work/encoded" "$work/tone.wav" >/dev/null ||
  fail "the installed orlavo-cli could not encode (libmevrit.so not found?)"
[[ -s $work/encoded/tone.mp3 ]] || fail "encode wrote no MP3"
share="$work/root/usr/share"
grep -q "^MimeType=audio/mpeg;inode/directory;$" "$share/applications/orlavo-professional.desktop" ||
  fail "the desktop entry does not take MP3 files and folders"
for f in icons/hicolor/scalable/apps/orlavo-professional.svg \
  icons/hicolor/48x48/apps/orlavo-professional.png man/man1/orlavo-cli.1.gz \
  bash-completion/completions/orlavo-cli; do
  [[ -s $share/$f ]] || fail "$f is not installed"
done

# The windowed program, handed an MP3 as a file manager would, for a few seconds.
chmod -R a-w "$work/root"
home="$work/home"
mkdir -p "$home" "$work/run"
chmod 0700 "$work/run"
touch "$work/stamp"
sleep 1
HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
  XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen \
  "$bin/orlavo-professional" "$mp3" >"$work/gui.log" 2>&1 &
pid=$!
sleep 4
kill -0 "$pid" 2>/dev/null || {
  cat "$work/gui.log" >&2
  fail "the windowed program ended by itself"
}
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[[ $status == 0 ]] || fail "the windowed program ended with status $status on SIGTERM"

data="$home/data/Orlavo Professional"
[[ -f $data/Settings.ini ]] || fail "no Settings.ini in the user's data folder"
grep -q "^DirPath=$music/" "$data/Settings.ini" || fail "the MP3's folder was not opened"
[[ -f $data/Files/SyntaxIgnoreList.txt ]] || fail "no Files/ in the user's data folder"
changed=$(find "$work/root" -newer "$work/stamp")
[[ -z $changed ]] || fail "the program changed its installed files: $changed"
echo "install test passed"

// `orlavo-cli info` over 5,000 tagged MP3 files (ID3v2.3 + audio + ID3v1)
// against other programs that list the same tags, in the same run: `id3v2 -l`
// and mutagen's MP3() (a few lines of Python). A program that is not
// installed is skipped, and the run says so.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "tests/support/bench_floor.h"
#include "tests/support/id3v2_builder.h"
#include "tests/support/lame_fixture.h"

using namespace orlavo;

namespace {

constexpr int kFiles = 5000;
constexpr int kRounds = 5;

constexpr char kMutagenScript[] =
    "import sys\n"
    "from mutagen.mp3 import MP3\n"
    "for name in sys.argv[1:]:\n"
    "    print(MP3(name).pprint())\n";

QList<QByteArray> MakeFiles(const QString& root) {
  const testing::Bytes audio = testing::EncodeMp3({.seconds = 0.5});
  QList<QByteArray> paths;
  for (int i = 0; i < kFiles; ++i) {
    const QString folder = QStringLiteral("%1/Artist %2/").arg(root).arg(i / 100);
    QDir().mkpath(folder);
    const std::string n = std::to_string(i);
    const testing::Bytes v2 = testing::Id3v2Tag(
        3,
        {testing::TextFrame("TIT2", 0, "Title " + n), testing::TextFrame("TPE1", 0, "Artist"),
         testing::TextFrame("TALB", 0, "Album"), testing::TextFrame("TYER", 0, "2001"),
         testing::TextFrame("TCON", 0, "(17)"), testing::TextFrame("TRCK", 0, "3")},
        512);
    const testing::Bytes v1 =
        testing::Id3v1Block("Title " + n, "Artist", "Album", "2001", "comment", 17);
    const QString path = folder + QStringLiteral("%1 - Title %2.mp3").arg(i % 100).arg(i);
    testing::WriteFileBytes(path, testing::Concat({v2, audio, v1}));
    paths << QFile::encodeName(path);
  }
  return paths;
}

struct Peer {
  const char* name;
  QList<QByteArray> argv;
  double seconds = 0;
  bool present = false;
};

double MedianRun(const QList<QByteArray>& argv, bool* ok) {
  std::vector<double> times;
  testing::RunChild(argv);  // warms the cache and the program's own files
  for (int round = 0; round < kRounds; ++round) {
    const testing::ChildRun run = testing::RunChild(argv);
    *ok = run.ok;
    if (!run.ok) return 0;
    times.push_back(run.seconds);
  }
  return testing::Median(times);
}

}  // namespace

int main() {
  QTemporaryDir dir;
  const QList<QByteArray> files = MakeFiles(dir.path());

  bool ok = false;
  const double ours =
      MedianRun(QList<QByteArray>{ORLAVO_BIN_DIR "/orlavo-cli", "info"} + files, &ok);
  if (!ok) {
    std::fprintf(stderr, "orlavo-cli info failed\n");
    return 1;
  }
  // The system's Python holds the distribution's mutagen; a Python of the
  // person's own may come first on PATH without it.
  QByteArray python = "python3";
  for (const QByteArray candidate : {"/usr/bin/python3", "python3"}) {
    if (testing::RunChild({candidate, "-c", "import mutagen"}, true).ok) {
      python = candidate;
      break;
    }
  }
  std::vector<Peer> peers = {
      {"id3v2 -l", QList<QByteArray>{"id3v2", "-l"} + files},
      {"mutagen MP3()", QList<QByteArray>{python, "-c", kMutagenScript} + files},
  };
  // Present means it runs on one file without failing.
  peers[0].present = testing::RunChild({"id3v2", "-l", files.front()}, true).ok;
  peers[1].present = testing::RunChild({python, "-c", kMutagenScript, files.front()}, true).ok;
  QList<QByteArray> skipped;
  for (Peer& peer : peers) {
    if (peer.present) peer.seconds = MedianRun(peer.argv, &peer.present);
    if (!peer.present) skipped << peer.name;
  }

  std::printf("files: %d tagged MP3s (medians of %d runs)\n", kFiles, kRounds);
  std::printf("orlavo-cli info:  %.3f s\n", ours);
  for (const Peer& peer : peers) {
    if (peer.present) std::printf("%-16s  %.3f s\n", peer.name, peer.seconds);
  }
  if (!skipped.isEmpty()) {
    std::printf("skipped (not installed): %s\n", skipped.join(", ").constData());
  }
  if (peers[0].present) {
    std::printf("peers-id3v2: %.2fx faster than id3v2 -l (target >= 8x)\n",
                peers[0].seconds / ours);
  }
  if (peers[1].present) {
    std::printf("peers-mutagen: %.2fx faster than mutagen (target >= 5x)\n",
                peers[1].seconds / ours);
  }
  return 0;
}

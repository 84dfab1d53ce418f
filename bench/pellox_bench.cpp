// ReadID3v1 + ReadMP3 through libpellox.so over 20,000 generated files, against
// the floor the library's contract allows (each export opens, reads and closes
// the file itself: two open-read-close sequences per file), and for
// information against the floor of one open per file, reading its first 4 and
// last 128 bytes. Measured in the same run on the same (cached) files.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/pellox_binding.h"
#include "tests/support/bench_floor.h"
#include "tests/support/id3v2_builder.h"
#include "tests/support/lame_fixture.h"

using namespace orlavo;

int main() {
  constexpr int kFiles = 20000;
  QTemporaryDir dir;
  testing::Bytes audio = testing::EncodeMp3({.seconds = 0.2});
  testing::Bytes v2 = testing::Id3v2Tag(3, {testing::TextFrame("TIT2", 0, "Title")}, 256);
  testing::Bytes v1 = testing::Id3v1Block("Title", "Artist", "Album", "2000", "", 12);
  std::vector<QByteArray> paths;
  paths.reserve(kFiles);
  for (int i = 0; i < kFiles; ++i) {
    QDir(dir.path()).mkpath(QString::number(i / 1000));
    QString path = dir.filePath(QStringLiteral("%1/Track %2.mp3").arg(i / 1000).arg(i));
    // A third of the files begin with an ID3v2 tag, most end with an ID3v1 tag.
    testing::WriteFileBytes(path, i % 3 == 0   ? testing::Concat({v2, audio, v1})
                                  : i % 3 == 1 ? testing::Concat({audio, v1})
                                               : audio);
    paths.push_back(QFile::encodeName(path));
  }

  PelloxBinding pellox(QStringLiteral(ORLAVO_BIN_DIR));
  if (!testing::BindPelloxOrSay(pellox)) return 1;

  long checksum = 0;
  auto ours = [&] {
    for (const QByteArray& p : paths) {
      StreamInfo info;
      ID3v1Tag tag;
      QString path = QFile::decodeName(p);
      pellox.ReadID3v1(path, &tag);
      pellox.ReadMP3(path, &info);
      checksum += info.Frames + tag.Exists;
    }
  };
  auto one_open = [&] { checksum += testing::ReadHeadAndTail(paths, 4); };
  auto contract = [&] { checksum += testing::PelloxContractFloor(paths, 10); };
  auto time = [](auto&& f) { return testing::TimeSeconds(f); };
  time(ours);  // warm the cache
  constexpr int kRounds = 9;
  std::vector<double> t_ours, t_one, t_contract;
  for (int round = 0; round < kRounds; ++round) {
    t_one.push_back(time(one_open));
    t_contract.push_back(time(contract));
    t_ours.push_back(time(ours));
  }
  const double m_ours = testing::Median(t_ours), m_one = testing::Median(t_one),
               m_contract = testing::Median(t_contract);
  std::printf("files: %d, checksum %ld (medians of %d runs)\n", kFiles, checksum, kRounds);
  std::printf("one-open floor (open, read 4 + last 128, close):  %.1f ms\n", m_one * 1e3);
  std::printf("contract floor (that, then open, last 128, close): %.1f ms\n", m_contract * 1e3);
  std::printf("ReadID3v1 + ReadMP3 via libpellox.so:             %.1f ms\n", m_ours * 1e3);
  std::printf("pellox-read: %.2fx of contract floor (target <= 1.15x)\n", m_ours / m_contract);
  std::printf("pellox-read-one-open: %.2fx of one-open floor (information)\n", m_ours / m_one);
  return 0;
}

// Encoding a 60-second stereo 44.1 kHz WAV at 128 kbit/s through libmevrit.so,
// against the lame command (-b 128 -m s) on the same WAV in the same run; and
// the library's peak memory over a three-minute WAV, measured in a child
// process of this program that does nothing else.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tests/support/bench_floor.h"
#include "tests/support/wav_fixture.h"
#include "tools/encoder/encoder_library.h"

using namespace orlavo;

namespace {

// The kB value of a /proc/self/status line ("VmHWM", "VmRSS").
long StatusKb(const char* key) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith(key))
      return line.mid(static_cast<int>(std::strlen(key)) + 1).trimmed().split(' ')[0].toLong();
  }
  return -1;
}

// Writes a stereo 16-bit WAV of the given length in pieces, so that the
// writer itself needs little memory.
void WriteLongWav(const QString& path, int seconds) {
  constexpr int kRate = 44100;
  const int64_t frames = int64_t{kRate} * seconds;
  testing::Bytes head = testing::WavBytes({kRate, 2, 16, false, false, 0});
  const uint32_t data = static_cast<uint32_t>(frames * 4);
  const uint32_t riff = data + 36;
  std::memcpy(head.data() + 4, &riff, 4);
  std::memcpy(head.data() + 40, &data, 4);
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(reinterpret_cast<const char*>(head.data()), static_cast<qint64>(head.size()));
  std::vector<int16_t> block(kRate * 2);
  for (int s = 0; s < seconds; ++s) {
    for (int i = 0; i < kRate; ++i) {
      const double t = double(int64_t{s} * kRate + i) / kRate;
      block[2 * i] =
          static_cast<int16_t>(12000 * std::sin(2 * M_PI * 440 * t) + 3000 * std::sin(t * 7919));
      block[2 * i + 1] = static_cast<int16_t>(12000 * std::sin(2 * M_PI * 660 * t));
    }
    file.write(reinterpret_cast<const char*>(block.data()), static_cast<qint64>(block.size() * 2));
  }
}

int32_t EncodeOnce(MevritBinding& library, const QString& wav) {
  library.SetEncoder(128, MEVRIT_MODE_STEREO);
  return library.EncodeMp3(wav, [](int) { return true; });
}

// The child: peak memory growth of one encoding, in kB.
int MeasureMemory(const QString& wav) {
  MevritBinding library{QStringLiteral(ORLAVO_BIN_DIR)};
  if (!library.Bind()) return 1;
  const long before = StatusKb("VmRSS:");
  const int32_t status = EncodeOnce(library, wav);
  std::printf("%ld\n", StatusKb("VmHWM:") - before);
  return status == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc == 3 && std::strcmp(argv[1], "--memory") == 0)
    return MeasureMemory(QString::fromLocal8Bit(argv[2]));

  QTemporaryDir dir;
  const QString wav = dir.filePath(QStringLiteral("minute.wav"));
  const QString ours = dir.filePath(QStringLiteral("minute.mp3"));
  const QString theirs = dir.filePath(QStringLiteral("lame.mp3"));
  WriteLongWav(wav, 60);
  MevritBinding library{QStringLiteral(ORLAVO_BIN_DIR)};
  if (!library.Bind()) {
    std::fprintf(stderr, "%s\n", qPrintable(library.error()));
    return 1;
  }
  auto run_ours = [&] {
    QFile::remove(ours);
    if (EncodeOnce(library, wav) != 0) std::fprintf(stderr, "encoding failed\n");
  };
  auto run_lame = [&] {
    QFile::remove(theirs);
    QProcess::execute(QStringLiteral("lame"),
                      {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"),
                       QStringLiteral("-m"), QStringLiteral("s"), wav, theirs});
  };
  double best_ours = 1e9, best_lame = 1e9;
  for (int round = 0; round < 3; ++round) {
    best_lame = std::min(best_lame, testing::TimeSeconds(run_lame));
    best_ours = std::min(best_ours, testing::TimeSeconds(run_ours));
  }
  std::printf("lame -b 128 -m s, 60 s WAV: %.0f ms\n", best_lame * 1e3);
  std::printf("EncodeMp3 via libmevrit.so:  %.0f ms (MP3 %lld bytes, lame's %lld)\n",
              best_ours * 1e3, QFile(ours).size(), QFile(theirs).size());
  std::printf("encode-60s: %.2fx of lame (target <= 1.0x)\n", best_ours / best_lame);

  const QString long_wav = dir.filePath(QStringLiteral("three-minutes.wav"));
  WriteLongWav(long_wav, 180);
  QProcess child;
  child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), long_wav});
  child.waitForFinished(-1);
  const long grown_kb = QString::fromLatin1(child.readAllStandardOutput()).trimmed().toLong();
  std::printf("encode-memory: %.1f MiB peak growth over a %.0f MiB WAV (target < 32 MiB)\n",
              grown_kb / 1024.0, QFile(long_wav).size() / 1048576.0);
  return 0;
}

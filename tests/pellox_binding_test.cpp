#include "app/pellox_binding.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstring>

#include "tests/support/lame_fixture.h"

namespace orlavo {
namespace {

TEST(PelloxBindingTest, ReadsThroughTheLibraryOfTheProgramFolder) {
  QTemporaryDir dir;
  QString path = dir.filePath("song.mp3");
  testing::WriteFileBytes(path, testing::Concat({testing::EncodeMp3({.seconds = 2.0}),
                                                 testing::Id3v1Block("T", "A", "", "", "", 8)}));
  PelloxBinding pellox(QStringLiteral(ORLAVO_BIN_DIR));
  StreamInfo info;
  ASSERT_TRUE(pellox.ReadMP3(path, &info));
  EXPECT_EQ(info.Bitrate, 128);
  EXPECT_EQ(info.Frequency, 44100);
  EXPECT_EQ(info.Duration, 2);
  ID3v1Tag tag;
  ASSERT_TRUE(pellox.ReadID3v1(path, &tag));
  EXPECT_EQ(tag.Exists, 1);
  EXPECT_EQ(tag.Genre, 8);
  EXPECT_STREQ(tag.Artist, "A");
  EXPECT_TRUE(pellox.error().isEmpty());
}

TEST(PelloxBindingTest, AMissingLibraryIsAnErrorValueNotACrash) {
  QTemporaryDir dir;
  PelloxBinding pellox(dir.path());
  StreamInfo info;
  std::memset(&info, 0x7A, sizeof(info));
  EXPECT_FALSE(pellox.ReadMP3(dir.filePath("x.mp3"), &info));
  EXPECT_EQ(info.Bitrate, 0);
  EXPECT_TRUE(pellox.error().contains("libpellox.so")) << pellox.error().toStdString();
  ID3v1Tag tag;
  EXPECT_FALSE(pellox.ReadID3v1(dir.filePath("x.mp3"), &tag));
  EXPECT_EQ(tag.Exists, 0);
  EXPECT_FALSE(pellox.Bind());
}

TEST(PelloxBindingTest, ALibraryWithoutTheExportsIsAnErrorValue) {
  QTemporaryDir dir;
  // Some other real shared library under the expected name.
  QString other;
  for (const char* candidate :
       {"/usr/lib/x86_64-linux-gnu/libmp3lame.so.0", "/usr/lib/x86_64-linux-gnu/libm.so.6",
        "/lib/x86_64-linux-gnu/libm.so.6"}) {
    if (QFile::exists(candidate)) {
      other = candidate;
      break;
    }
  }
  ASSERT_FALSE(other.isEmpty());
  ASSERT_TRUE(QFile::copy(other, dir.filePath("libpellox.so")));
  PelloxBinding pellox(dir.path());
  EXPECT_FALSE(pellox.Bind());
  EXPECT_TRUE(pellox.error().contains("does not export")) << pellox.error().toStdString();

  QTemporaryDir junk_dir;
  testing::WriteFileBytes(junk_dir.filePath("libpellox.so"), testing::Bytes(100, 'x'));
  PelloxBinding junk(junk_dir.path());
  StreamInfo info;
  EXPECT_FALSE(junk.ReadMP3("/dev/null", &info));
  EXPECT_FALSE(junk.error().isEmpty());
}

TEST(PelloxBindingTest, TheLibraryExportsExactlyTheTwoFunctions) {
  QProcess nm;
  nm.start("nm", {"-D", "--defined-only", QStringLiteral(ORLAVO_BIN_DIR "/libpellox.so")});
  ASSERT_TRUE(nm.waitForFinished(10000));
  QStringList functions;
  for (const QString& line : QString::fromLocal8Bit(nm.readAllStandardOutput()).split('\n')) {
    QStringList parts = line.split(' ', Qt::SkipEmptyParts);
    if (parts.size() == 3 && (parts[1] == "T" || parts[1] == "W")) functions << parts[2];
  }
  functions.sort();
  EXPECT_EQ(functions, QStringList({"ReadID3v1", "ReadMP3"}));
}

}  // namespace
}  // namespace orlavo

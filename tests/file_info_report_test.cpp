#include "app/file_info_report.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "app/tag_helpers.h"
#include "tests/support/id3v2_builder.h"
#include "tests/support/lame_fixture.h"

namespace orlavo {
namespace {

using testing::Bytes;

class FileInfoReportTest : public ::testing::Test {
 protected:
  QString Make(const QString& name, const Bytes& bytes) {
    QString path = dir_.filePath(name);
    testing::WriteFileBytes(path, bytes);
    return path;
  }
  QTemporaryDir dir_;
  PelloxBinding pellox_{QStringLiteral(ORLAVO_BIN_DIR)};
};

TEST_F(FileInfoReportTest, FileWithBothTags) {
  Bytes audio = testing::EncodeMp3({44100, 2, 128, 3.0, 1});
  Bytes v2 = testing::Id3v2Tag(
      3,
      {testing::TextFrame("TIT2", 1, "Wish You Were Here"),
       testing::TextFrame("TPE1", 0, "Pink Floyd"), testing::TextFrame("TALB", 0, "WYWH"),
       testing::TextFrame("TYER", 0, "1975"), testing::TextFrame("TCON", 0, "(17)Rock"),
       testing::TextFrame("TRCK", 0, "4/5")},
      100);
  Bytes v1 = testing::Id3v1Block("Wish You Were Here", "Pink Floyd", "WYWH", "1975", "  c  ", 17);
  QString path = Make("Pink Floyd - Wish You Were Here.mp3", testing::Concat({v2, audio, v1}));
  const qint64 size = v2.size() + audio.size() + v1.size();
  const int frames = static_cast<int>(audio.size() / (128000.0 / 44100 * 144));

  QStringList expected = {
      "Filename: Pink Floyd - Wish You Were Here.mp3",
      "Size: " + QLocale(QLocale::English, QLocale::UnitedStates).toString(size) + " bytes",
      "Duration: 0:03 mins",
      "Bitrate: 128 Kbps",
      "Frequency: 44100Hz",
      QStringLiteral("Frames: %1 frames").arg(frames),
      "MPEG Version: MPEG 1.0 Layer 3",
      "Original: True",
      "CopyRight: False",
      "Private: False",
      "",
      "ID3v1 Exists: True",
      "-Title: Wish You Were Here",
      "-Artist: Pink Floyd",
      "-Album: WYWH",
      "-Year: 1975",
      "-Comment: c",
      "-Genre: Rock",
      "",
      "ID3v2 Exists: True",
      "-Title: Wish You Were Here",
      "-Artist: Pink Floyd",
      "-Album: WYWH",
      "-Year: 1975",
      "-Genre: Rock",
      "-TrackNum: 4",
      "-Version: 3",
  };
  EXPECT_EQ(FileInfoReport(path, pellox_), expected);
}

TEST_F(FileInfoReportTest, FileWithoutTagsShowsNoFieldLines) {
  QString path = Make("plain.mp3", testing::EncodeMp3({22050, 1, 32, 1.0, 3}));
  QStringList lines = FileInfoReport(path, pellox_);
  ASSERT_EQ(lines.size(), 13);
  EXPECT_EQ(lines[6], "MPEG Version: MPEG 2.0 Layer 3");
  EXPECT_EQ(lines[11], "ID3v1 Exists: False");
  EXPECT_EQ(lines[12], "ID3v2 Exists: False");
}

TEST_F(FileInfoReportTest, VersionTextsAsShown) {
  auto shown = [](const char* text) {
    StreamInfo info{};
    std::strncpy(info.Version, text, sizeof(info.Version));
    return ShownVersionText(info);
  };
  EXPECT_EQ(shown("MPEG 1.000000 Layer 3"), "MPEG 1.0 Layer 3");
  EXPECT_EQ(shown("MPEG 2.500000 Layer 2"), "MPEG 2.5 Layer 2");
  EXPECT_EQ(shown("MPEG 2.000000 Layer 1"), "MPEG 2.0 Layer 1");
  EXPECT_EQ(shown("MPEG 0.000000 Layer 4"), "MPEG .0 Layer 4");
}

TEST_F(FileInfoReportTest, UnreadableFileGivesZeroFields) {
  QStringList lines = FileInfoReport(dir_.filePath("gone.mp3"), pellox_);
  EXPECT_EQ(lines[0], "Filename: gone.mp3");
  EXPECT_EQ(lines[1], "Size: 0 bytes");
  EXPECT_EQ(lines[2], "Duration: 0:00 mins");
  EXPECT_EQ(lines[6], "MPEG Version: ");
}

TEST_F(FileInfoReportTest, CommandLineInfoPrintsTheReportOfEachFile) {
  QString a = Make("a.mp3", testing::EncodeMp3({.seconds = 1.0}));
  QString b = Make(
      "b.mp3", testing::Concat({testing::Id3v2Tag(3, {testing::TextFrame("TIT2", 0, "Two")}, 40),
                                testing::EncodeMp3({48000, 2, 192, 1.0, 1}),
                                testing::Id3v1Block("x", "y", "", "", "", 0)}));
  ASSERT_TRUE(QFile::link(b, dir_.filePath("link.mp3")));
  // Each record read on its own, as the report is defined: the command reads
  // them in fewer opens, and must print the same.
  auto separately = [this](const QString& path) {
    StreamInfo stream;
    ID3v1Tag v1;
    pellox_.ReadMP3(path, &stream);
    pellox_.ReadID3v1(path, &v1);
    return FileInfoReportLines(path, QFileInfo(path).size(), stream, v1, ReadID3v2(path));
  };
  QProcess cli;
  cli.setWorkingDirectory(dir_.path());
  cli.setProcessEnvironment([] {
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "en_US.UTF-8");
    env.insert("LANG", "en_US.UTF-8");
    return env;
  }());
  cli.start(ORLAVO_BIN_DIR "/orlavo-cli",
            {"info", a, dir_.filePath("missing.mp3"), "b.mp3", "link.mp3"});
  ASSERT_TRUE(cli.waitForFinished(20000));
  EXPECT_EQ(cli.exitCode(), 1);
  QString err = QString::fromUtf8(cli.readAllStandardError());
  EXPECT_EQ(err, "orlavo-cli: " + dir_.filePath("missing.mp3") + ": no such file\n");
  QStringList expected = separately(a) + QStringList{""} + separately(b) + QStringList{""} +
                         separately(dir_.filePath("link.mp3"));
  QString out = QString::fromUtf8(cli.readAllStandardOutput());
  ASSERT_TRUE(out.endsWith('\n'));
  out.chop(1);
  QStringList got = out.split('\n');
  // The size line follows the process's own locale; compare the rest exactly.
  ASSERT_EQ(got.size(), expected.size());
  for (int i = 0; i < got.size(); ++i) {
    if (expected[i].startsWith("Size: ")) continue;
    EXPECT_EQ(got[i], expected[i]) << i;
  }

  QProcess usage;
  usage.start(ORLAVO_BIN_DIR "/orlavo-cli", {"info"});
  ASSERT_TRUE(usage.waitForFinished(20000));
  EXPECT_EQ(usage.exitCode(), 2);
  QProcess unknown;
  unknown.start(ORLAVO_BIN_DIR "/orlavo-cli", {"frobnicate"});
  ASSERT_TRUE(unknown.waitForFinished(20000));
  EXPECT_EQ(unknown.exitCode(), 2);
  EXPECT_TRUE(unknown.readAllStandardError().contains("unknown command"));
}

}  // namespace
}  // namespace orlavo

// orlavo-cli's folder and tag commands, run as a user runs them.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/support/id3v2_builder.h"
#include "tests/support/lame_fixture.h"

namespace orlavo {
namespace {

using testing::Bytes;

struct CliRun {
  int code;
  QString out, err;
};

CliRun Cli(const QStringList& args) {
  QProcess p;
  auto env = QProcessEnvironment::systemEnvironment();
  env.insert("LC_ALL", "en_US.UTF-8");
  p.setProcessEnvironment(env);
  p.start(ORLAVO_BIN_DIR "/orlavo-cli", args);
  p.waitForFinished(30000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
}

// A snapshot of every file below a folder: relative path -> bytes.
std::map<QString, Bytes> Snapshot(const QString& root) {
  std::map<QString, Bytes> files;
  QDir dir(root);
  QStringList stack{root};
  while (!stack.isEmpty()) {
    QDir d(stack.takeLast());
    for (const QFileInfo& fi : d.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
      if (fi.isDir()) {
        stack << fi.filePath();
      } else {
        files[dir.relativeFilePath(fi.filePath())] = testing::ReadFileBytes(fi.filePath());
      }
    }
  }
  return files;
}

class CliCoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = dir_.path() + "/";
    QDir(root_).mkpath("sub");
    audio_ = testing::EncodeMp3({.seconds = 0.5});
    Put("pink floyd - wish you were here.mp3", audio_);
    Put("Queen - Bohemian Rhapsody.MP3",
        testing::Concat({audio_, testing::Id3v1Block("Bohemian Rhapsody", "Queen", "A Night",
                                                     "1975", "", 17)}));
    Put("sub/Abba - SOS.mp3",
        testing::Concat({testing::Id3v2Tag(3, {testing::TextFrame("TIT2", 0, "SOS")}), audio_}));
    Put("notes.txt", Bytes(10, 'x'));
  }
  QString Put(const QString& name, const Bytes& bytes) {
    testing::WriteFileBytes(root_ + name, bytes);
    return root_ + name;
  }
  QTemporaryDir dir_;
  QString root_;
  Bytes audio_;
};

TEST_F(CliCoreTest, ScanListsRowsLikeTheReportList) {
  CliRun r = Cli({"scan", root_});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  const QString size = QLocale(QLocale::English).toString(qint64(audio_.size()));
  const QString tagged = QLocale(QLocale::English).toString(qint64(audio_.size() + 128));
  EXPECT_EQ(r.out, "pink floyd - wish you were here.mp3\t" + size + " bytes\t\n" +
                       "Queen - Bohemian Rhapsody.MP3\t" + tagged + " bytes\t\n");

  r = Cli({"scan", root_, "--subdirs", "--prefix-dir", "--size-unit", "MB"});
  EXPECT_EQ(r.code, 0);
  QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3);
  EXPECT_TRUE(lines[0].startsWith(root_ + "pink floyd"));
  EXPECT_TRUE(lines[2].startsWith(root_ + "sub/Abba - SOS.mp3\t0.01 MB")) << lines[2].toStdString();

  // Names are written as UTF-8, with the separators they hold escaped.
  const QString odd =
      QString::fromUtf8("Sigur R\xc3\xb3s \xe2\x80\x94 back\\slash\ttab\xf0\x9f\x8e\xb5.mp3");
  Put("sub/" + odd, audio_);
  r = Cli({"scan", root_ + "sub"});
  EXPECT_TRUE(r.out.contains(
      QString::fromUtf8("Sigur R\xc3\xb3s \xe2\x80\x94 back\\\\slash\\ttab\xf0\x9f\x8e\xb5.mp3\t" +
                        size.toUtf8() + " bytes\t\n")))
      << r.out.toStdString();

  EXPECT_EQ(Cli({"scan", root_ + "nothere"}).code, 2);
  EXPECT_EQ(Cli({"scan", root_, "--size-unit", "GB"}).code, 2);
}

TEST_F(CliCoreTest, FilterGivesOneRowPerFilterMet) {
  CliRun r = Cli({"filter", root_, "--subdirs", "--no-v1", "--v2"});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  QStringList refs;
  for (const QString& line : r.out.split('\n', Qt::SkipEmptyParts)) {
    QStringList cells = line.split('\t');
    refs << cells.first() + "|" + cells.last();
  }
  EXPECT_EQ(refs, QStringList({"Abba - SOS.mp3|v1 tag", "Abba - SOS.mp3|v2 tag",
                               "pink floyd - wish you were here.mp3|v1 tag"}));
  EXPECT_EQ(Cli({"filter", root_}).code, 2);
  EXPECT_EQ(Cli({"filter", root_, "--v1", "--no-v1"}).code, 2);
}

TEST_F(CliCoreTest, CorrectPrintsTheTitleCaseSpelling) {
  CliRun r =
      Cli({"correct", "pink floyd - wish you were here.mp3", "rock-n-roll song", "Song.MP3"});
  EXPECT_EQ(r.out, "Pink Floyd - Wish You Were Here.mp3\nRock-N-Roll Song\nSong.mp3\n");
  // The exception words hold whether or not the program folder has its list.
  EXPECT_EQ(Cli({"correct", "queen - live in wembley.mp3"}).out, "Queen - Live in Wembley.mp3\n");
}

TEST_F(CliCoreTest, CommandHelpNamesTheProgramAndTheCommand) {
  for (const char* command : {"info", "scan", "correct"}) {
    CliRun r = Cli({command, "--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Usage: orlavo-cli %1 [options]").arg(command)))
        << r.out.toStdString();
  }
}

TEST_F(CliCoreTest, DryRunsChangeNothing) {
  auto before = Snapshot(root_);
  const QString pink = root_ + "pink floyd - wish you were here.mp3";
  const QString queen = root_ + "Queen - Bohemian Rhapsody.MP3";
  EXPECT_EQ(Cli({"tag", "--dry-run", "--title", "X", pink, queen}).code, 0);
  EXPECT_EQ(Cli({"tag", "--dry-run", "--remove", queen}).code, 0);
  CliRun r = Cli({"rename-from-tag", "--dry-run", queen});
  EXPECT_EQ(r.out, queen + "\t" + root_ + "Queen - Bohemian Rhapsody.mp3\n");
  EXPECT_EQ(Cli({"tag-from-name", "--dry-run", pink}).code, 0);
  EXPECT_EQ(Snapshot(root_), before);
}

TEST_F(CliCoreTest, TagWritesKeptFieldsAndRemoves) {
  const QString queen = root_ + "Queen - Bohemian Rhapsody.MP3";
  CliRun r = Cli({"tag", "--year", "1976", "--genre", "Bebob", queen});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  Bytes b = testing::ReadFileBytes(queen);
  ASSERT_EQ(b.size(), audio_.size() + 128);
  const char* t = reinterpret_cast<const char*>(&b[audio_.size()]);
  EXPECT_EQ(std::string(t + 3, 17), "Bohemian Rhapsody");  // kept
  EXPECT_EQ(std::string(t + 93, 4), "1976");
  EXPECT_EQ(static_cast<uint8_t>(t[127]), 84);

  EXPECT_EQ(Cli({"tag", "--remove", queen}).code, 0);
  b = testing::ReadFileBytes(queen);
  EXPECT_EQ(b.size(), audio_.size() + 128);
  EXPECT_NE(std::string(reinterpret_cast<const char*>(&b[audio_.size()]), 3), "TAG");

  EXPECT_EQ(Cli({"tag", "--genre", "Nonsense", queen}).code, 2);
  EXPECT_EQ(Cli({"tag", queen}).code, 2);
  r = Cli({"tag", "--title", "x", root_ + "missing.mp3"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("missing.mp3: no such file"));
}

TEST_F(CliCoreTest, TagFromNameThenRenameFromTag) {
  const QString pink = root_ + "pink floyd - wish you were here.mp3";
  CliRun r = Cli({"tag-from-name", pink});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, pink + "\tPink Floyd\tWish You Were Here\n");
  Bytes b = testing::ReadFileBytes(pink);
  ASSERT_EQ(b.size(), audio_.size() + 128);
  EXPECT_TRUE(std::equal(audio_.begin(), audio_.end(), b.begin()));

  r = Cli({"rename-from-tag", "--pattern", "%Artist - %Title", pink});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  const QString renamed = root_ + "Pink Floyd - Wish You Were Here.mp3";
  EXPECT_EQ(r.out, pink + "\t" + renamed + "\n");
  EXPECT_EQ(testing::ReadFileBytes(renamed), b);
  EXPECT_FALSE(QFile::exists(pink));
}

TEST_F(CliCoreTest, RenameFromTagNeverOverwrites) {
  const QString queen = root_ + "Queen - Bohemian Rhapsody.MP3";
  const QString target = Put("Queen - Bohemian Rhapsody.mp3", Bytes(33, 'z'));
  auto before = Snapshot(root_);
  CliRun r = Cli({"rename-from-tag", queen});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("already exists")) << r.err.toStdString();
  EXPECT_EQ(Snapshot(root_), before);
  (void)target;
}

}  // namespace
}  // namespace orlavo

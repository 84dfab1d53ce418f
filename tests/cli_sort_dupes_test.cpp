// orlavo-cli dupes and sort, run as the built program from a program folder
// of its own (the plan goes to its Files folder).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/support/mp3_bytes.h"
#include "tests/support/qstring_print.h"

namespace orlavo {
namespace {

struct CliRun {
  int exit_code = -1;
  QString out;
  QString err;
};

class CliSortDupesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    music_ = dir_.filePath("music") + u'/';
    root_ = dir_.filePath("root") + u'/';
    program_ = dir_.filePath("program") + u'/';
    QDir().mkpath(root_);
    QDir().mkpath(program_);
    ASSERT_TRUE(QFile::copy(ORLAVO_BIN_DIR "/orlavo-cli", program_ + "orlavo-cli"));
    ASSERT_TRUE(QFile::copy(ORLAVO_BIN_DIR "/libpellox.so", program_ + "libpellox.so"));
  }

  CliRun Run(const QStringList& args) {
    QProcess cli;
    cli.start(program_ + "orlavo-cli", args);
    CliRun run;
    if (!cli.waitForFinished(30000)) return run;
    run.exit_code = cli.exitCode();
    run.out = QString::fromUtf8(cli.readAllStandardOutput());
    run.err = QString::fromUtf8(cli.readAllStandardError());
    return run;
  }

  void Song(const QString& name, const QByteArray& artist, int padding = 0) {
    ASSERT_TRUE(testing::WriteBytes(music_ + name, testing::MpegFrameBytes(417 + padding) +
                                                       testing::Id3v1TagBytes("T", artist)));
  }

  QTemporaryDir dir_;
  QString music_, root_, program_;
};

TEST_F(CliSortDupesTest, DupesPrintsTheReportAndTheCount) {
  Song("a.mp3", "Queen");
  Song("sub/A.mp3", "Abba", 1);
  Song("b.mp3", "Abba", 2);
  CliRun run = Run({"dupes", music_, "--by", "name", "--subdirs"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "A.mp3\t546 bytes\tAbba - T\na.mp3\t545 bytes\tQueen - T\nDuplicates: 2\n");
  run = Run({"dupes", music_, "--by", "size"});  // no sub-folders: no equal sizes
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, "No Duplicates located.\nDuplicates: 0\n");
  EXPECT_EQ(Run({"dupes", music_, "--by", "colour"}).exit_code, 2);
  EXPECT_EQ(Run({"dupes", dir_.filePath("none"), "--by", "tag"}).exit_code, 2);
}

TEST_F(CliSortDupesTest, SortWritesThePlanListsErrorsAndApplies) {
  Song("a.mp3", "Queen");
  Song("b.mp3", "AC/DC");
  CliRun run = Run({"sort", music_, "--by", "artist", "--root", root_});
  EXPECT_EQ(run.exit_code, 1);
  const QString plan = program_ + "Files/Sort by Artist.txt";
  EXPECT_EQ(run.out, plan + "\n");
  const QStringList err = run.err.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(err.size(), 2) << run.err.toStdString();
  // A backslash in a field is written doubled, as a tab in a name would be \t.
  EXPECT_EQ(err[0], R"(b.mp3	AC/DC	Invalid characters: \\ / : * ? " < > |)");
  EXPECT_TRUE(err[1].startsWith("orlavo-cli: ")) << err[1].toStdString();
  ASSERT_TRUE(QFile::exists(plan));

  // Applied anyway (the person's choice): AC/DC becomes two folder levels.
  run = Run({"sort", "--apply", plan, "--root", root_, "--m3u-global"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, music_ + "a.mp3\t" + root_ + "Queen/a.mp3\n" + music_ + "b.mp3\t" + root_ +
                         "AC/DC/b.mp3\n");
  EXPECT_TRUE(QFile::exists(root_ + "Playlist.m3u"));

  // Again: nothing is left to move, and each file is named on stderr.
  run = Run({"sort", "--apply", plan, "--root", root_});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.out.isEmpty());
  EXPECT_TRUE(run.err.contains("orlavo-cli: " + music_ + "a.mp3: not moved: "));

  // A broken plan or a missing root moves nothing.
  testing::WriteBytes(plan, ("[" + root_ + "X/\r\n" + music_ + "c.mp3\r\n").toUtf8());
  run = Run({"sort", "--apply", plan, "--root", root_});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.err.contains(plan + ":1:")) << run.err.toStdString();
  run = Run({"sort", "--apply", plan, "--root", dir_.filePath("none")});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(Run({"sort", music_, "--by", "mood", "--root", root_}).exit_code, 2);
  EXPECT_EQ(Run({"sort", music_, "--by", "artist"}).exit_code, 2);
}

}  // namespace
}  // namespace orlavo

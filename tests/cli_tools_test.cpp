// orlavo-cli names and listgen, run as the built program.
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

CliRun RunCli(const QStringList& args, const QString& program = ORLAVO_BIN_DIR "/orlavo-cli") {
  QProcess cli;
  cli.start(program, args);
  CliRun run;
  if (!cli.waitForFinished(30000)) return run;
  run.exit_code = cli.exitCode();
  run.out = QString::fromUtf8(cli.readAllStandardOutput());
  run.err = QString::fromUtf8(cli.readAllStandardError());
  return run;
}

class CliToolsTest : public ::testing::Test {
 protected:
  void SetUp() override { music_ = dir_.filePath("music") + u'/'; }

  QByteArray Make(const QString& relative) {
    // Each file's bytes tell it apart from the others.
    const QByteArray bytes = testing::MpegFrameBytes(600) + relative.toUtf8();
    EXPECT_TRUE(testing::WriteBytes(music_ + relative, bytes));
    return bytes;
  }

  QByteArray Bytes(const QString& relative) {
    QFile file(music_ + relative);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }

  QStringList Files() {
    return QDir(music_).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                                  QDir::Name | QDir::IgnoreCase);
  }

  QTemporaryDir dir_;
  QString music_;
};

TEST_F(CliToolsTest, NamesWithoutApplyOnlyShowsTheNewNames) {
  const QByteArray abc = Make("a_b_c.mp3");
  Make("Song.mp3");
  for (const QStringList& extra : {QStringList(), QStringList({"--dry-run"})}) {
    CliRun run = RunCli(QStringList({"names", music_, "--remove", "_"}) + extra);
    EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "a_b_c.mp3\tabc.mp3\n1 of 2 names change\n");
    EXPECT_EQ(Files(), QStringList({"a_b_c.mp3", "Song.mp3"}));
    EXPECT_EQ(Bytes("a_b_c.mp3"), abc);
  }
}

TEST_F(CliToolsTest, NamesApplyRenamesWithARunningNumber) {
  const QByteArray a = Make("a.mp3");
  Make("b.mp3");
  Make("sub/c.mp3");
  CliRun run = RunCli({"names", music_, "--add", "varX - ", "--front", "--var-start", "9",
                       "--var-expr", "varX-2", "--apply"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "a.mp3\t9 - a.mp3\nb.mp3\t7 - b.mp3\n2 of 2 names change\n2 files renamed\n");
  EXPECT_EQ(Files(), QStringList({"7 - b.mp3", "9 - a.mp3", "sub"}));
  EXPECT_EQ(Bytes("9 - a.mp3"), a);

  run = RunCli({"names", music_, "--subdirs", "--replace", "c", "--with", "C", "--apply"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_TRUE(QFile::exists(music_ + "sub/C.mp3"));
}

TEST_F(CliToolsTest, NamesApplyStopsAtDuplicatesAndNeverOverwrites) {
  const QByteArray ab = Make("a b.mp3"), ab2 = Make("ab.mp3");
  CliRun run = RunCli({"names", music_, "--remove", " ", "--apply"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.err.contains("There's 1 or more duplicates of this file: \nab.mp3\n"))
      << run.err.toStdString();
  EXPECT_EQ(run.out, "a b.mp3\tab.mp3\n1 of 2 names change\n0 files renamed\n");
  EXPECT_EQ(Bytes("a b.mp3"), ab);
  EXPECT_EQ(Bytes("ab.mp3"), ab2);

  // A folder of the new name is no file of the list, and is not replaced either.
  QDir().mkpath(music_ + "x.mp3");
  const QByteArray x = Make("x_.mp3");
  run = RunCli({"names", music_, "--remove", "_", "--apply"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.err.contains(music_ + "x_.mp3 -> x.mp3 (a file with the new name already "
                                        "exists)"))
      << run.err.toStdString();
  EXPECT_EQ(Bytes("x_.mp3"), x);
  EXPECT_TRUE(QFileInfo(music_ + "x.mp3").isDir());
}

TEST_F(CliToolsTest, NamesRefusesUnclearOperations) {
  Make("a.mp3");
  const QStringList bad[] = {
      {"names", music_},
      {"names", music_, "--add", "x", "--remove", "y"},
      {"names", music_, "--remove", "x", "--end"},
      {"names", music_, "--replace", "x"},
      {"names", music_, "--add", "x", "--ignore-case"},
      {"names", music_, "--add", "x", "--apply", "--dry-run"},
      {"names", music_ + "missing/", "--add", "x"},
  };
  for (const QStringList& args : bad) {
    CliRun run = RunCli(args);
    EXPECT_EQ(run.exit_code, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << args.join(' ').toStdString();
  }
  EXPECT_EQ(Files(), QStringList({"a.mp3"}));
}

TEST_F(CliToolsTest, ListgenWritesTheLinesOfCreate) {
  Make("b.mp3");
  Make("A.mp3");
  const QString out = dir_.filePath("list.txt");
  CliRun run = RunCli({"listgen", music_, "--pattern", "%VarX|%Path%Filename|%Size", "--out", out,
                       "--var-start", "5"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "2 lines written to " + out + "\n");
  QFile file(out);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(file.readAll()),
            "// Generated with Orlavo Professional v1.0 software\r\n"
            "// Total number of files: 2\r\n\r\n5|" +
                music_ + "A.mp3|%Size\r\n6|" + music_ + "b.mp3|%Size\r\n");

  // A named file that exists is refused, then replaced only through the trash.
  file.close();
  const QStringList again = {"listgen", music_, "--pattern",  "%VarX",
                             "--out",   out,    "--var-expr", "VarX+10"};
  run = RunCli(again);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_TRUE(run.err.startsWith("orlavo-cli: " + out + ": already exists"))
      << run.err.toStdString();
  run = RunCli(again + QStringList{"--overwrite"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().endsWith("\r\n\r\n10\r\n20\r\n"));
  EXPECT_EQ(
      QDir(qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/files").entryList({"list*"}).size(), 1);
}

TEST_F(CliToolsTest, ListgenWritesIntoTheProgramFolderByDefault) {
  // A program folder of its own: the command and the library it loads.
  const QString program = dir_.filePath("program") + u'/';
  QDir().mkpath(program);
  ASSERT_TRUE(QFile::copy(ORLAVO_BIN_DIR "/orlavo-cli", program + "orlavo-cli"));
  ASSERT_TRUE(QFile::copy(ORLAVO_BIN_DIR "/libpellox.so", program + "libpellox.so"));
  Make("a.mp3");
  CliRun run = RunCli({"listgen", music_, "--pattern", "%Filename"}, program + "orlavo-cli");
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  QFile file(program + "Files/MP3List.txt");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().endsWith("// Total number of files: 1\r\n\r\na.mp3\r\n"));
}

}  // namespace
}  // namespace orlavo

// orlavo-cli join, run as the built program.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/support/lame_fixture.h"
#include "tests/support/qstring_print.h"

namespace orlavo {
namespace {

using testing::Bytes;
using testing::Concat;

struct CliRun {
  int exit_code = -1;
  QString out, err;
};

// The program runs with a trash of the test's own.
CliRun RunCli(const QStringList& args, const QString& data_home) {
  QProcess cli;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_DATA_HOME", data_home);
  cli.setProcessEnvironment(env);
  cli.start(ORLAVO_BIN_DIR "/orlavo-cli", args);
  CliRun run;
  if (!cli.waitForFinished(30000)) return run;
  run.exit_code = cli.exitCode();
  run.out = QString::fromUtf8(cli.readAllStandardOutput());
  run.err = QString::fromUtf8(cli.readAllStandardError());
  return run;
}

Bytes Frame(uint8_t fill) {
  Bytes f(417, fill);
  f[0] = 0xFF, f[1] = 0xFB, f[2] = 0x90, f[3] = 0x44;
  return f;
}

class CliJoinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = dir_.path() + u'/';
    a_ = Concat({Frame(1), Frame(2)});
    b_ = Frame(3);
    testing::WriteFileBytes(P("a.mp3"), Concat({a_, testing::Id3v1Block("x", "y", "", "", "", 1)}));
    testing::WriteFileBytes(P("b.mp3"), b_);
  }
  QString P(const QString& name) const { return folder_ + name; }
  CliRun RunCli(const QStringList& args) const {
    return orlavo::RunCli(args, trash_dir_.filePath("share"));
  }
  Bytes Read(const QString& name) const { return testing::ReadFileBytes(P(name)); }
  QStringList Entries() const { return QDir(folder_).entryList(QDir::Files | QDir::Hidden); }

  QTemporaryDir dir_, trash_dir_;
  QString folder_;
  Bytes a_, b_;
};

TEST_F(CliJoinTest, JoinsInTheOrderGivenWithAnOptionalTag) {
  CliRun run = RunCli({"join", P("b.mp3"), P("a.mp3"), "--out", P("out.mp3")});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, "Joined 2 files.\n");
  EXPECT_EQ(Read("out.mp3"), Concat({b_, a_}));

  struct Case {
    QStringList genre;
    uint8_t stored;
  } cases[] = {{{}, 0},
               {{"--genre", "Bebob"}, 84},
               {{"--genre", "No Such Genre"}, 0},
               {{"--genre", "200"}, 200}};
  for (const Case& c : cases) {
    QFile::remove(P("tagged.mp3"));
    run = RunCli(QStringList{"join", P("a.mp3"), P("b.mp3"), "--out", P("tagged.mp3"), "--tag",
                             "--title", "Whole", "--year", "2001"} +
                 c.genre);
    ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
    Bytes out = Read("tagged.mp3");
    ASSERT_EQ(out.size(), a_.size() + b_.size() + 128);
    Bytes tag(out.end() - 128, out.end());
    EXPECT_EQ(std::string(tag.begin(), tag.begin() + 8), "TAGWhole");
    EXPECT_EQ(std::string(tag.begin() + 33, tag.begin() + 63), std::string(30, ' '));
    EXPECT_EQ(std::string(tag.begin() + 93, tag.begin() + 97), "2001");
    EXPECT_EQ(tag[127], c.stored);
  }
}

TEST_F(CliJoinTest, RefusalsWriteNothing) {
  testing::WriteFileBytes(P("old.mp3"), Bytes{7});
  struct Case {
    QStringList args;
    int exit_code;
    QString err;
  } cases[] = {
      {{"join", P("a.mp3"), "--out", P("x.mp3")},
       1,
       "orlavo-cli: You can't join one track.  Must have at least two tracks.\n"},
      {{"join", P("a.mp3"), P("b.mp3")}, 2, "orlavo-cli: give the joined file with --out FILE\n"},
      {{"join", "--out", P("x.mp3")}, 2, "orlavo-cli: give the SOURCE files to join\n"},
      {{"join", P("a.mp3"), P("b.mp3"), "--out", P("x.mp3"), "--tag", "--genre", "256"},
       2,
       "orlavo-cli: genre number 256 is not between 0 and 255\n"},
      {{"join", P("a.mp3"), P("b.mp3"), "--out", P("old.mp3")},
       1,
       "orlavo-cli: " + P("old.mp3") + ": exists (give --overwrite to replace it)\n"},
      {{"join", P("a.mp3"), P("gone.mp3"), "--out", P("x.mp3")},
       1,
       "orlavo-cli: Can't join the files.  Check your folder and mp3 file syntax. (" +
           P("gone.mp3") + ": cannot be opened as a file)\n"},
      {{"join", P("a.mp3"), P("b.mp3"), "--out", P("no/such/folder.mp3")}, 1, {}},
  };
  for (const Case& c : cases) {
    CliRun run = RunCli(c.args);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.args.join(' ').toStdString();
    if (!c.err.isEmpty()) EXPECT_EQ(run.err, c.err);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(Entries(), QStringList({"a.mp3", "b.mp3", "old.mp3"}));
    EXPECT_EQ(Read("old.mp3"), Bytes{7});
  }
}

TEST_F(CliJoinTest, OverwriteSendsTheOldFileToTheTrashAndDryRunWritesNothing) {
  testing::WriteFileBytes(P("old.mp3"), Bytes{7});
  CliRun run =
      RunCli({"join", P("a.mp3"), P("b.mp3"), "--out", P("old.mp3"), "--overwrite", "--dry-run"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, QString("%1\t834\n%2\t417\n").arg(P("a.mp3"), P("b.mp3")));
  EXPECT_EQ(Read("old.mp3"), Bytes{7});

  run = RunCli({"join", P("a.mp3"), P("b.mp3"), "--out", P("old.mp3"), "--overwrite"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(Read("old.mp3"), Concat({a_, b_}));
  bool trashed = false;
  QDirIterator it(trash_dir_.filePath("share/Trash/files"), QDir::Files);
  while (it.hasNext()) {
    if (testing::ReadFileBytes(it.next()) == Bytes{7}) trashed = true;
  }
  EXPECT_TRUE(trashed);
}

}  // namespace
}  // namespace orlavo

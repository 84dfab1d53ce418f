// orlavo-cli split, run as the built program from a program folder of its own
// (saved cue sheets go to its Files folder).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/support/lame_fixture.h"
#include "tests/support/qstring_print.h"
#include "tests/support/split_fixture.h"

namespace orlavo {
namespace {

using testing::Bytes;

struct CliRun {
  int exit_code = -1;
  QString out;
  QString err;
};

class CliSplitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = dir_.filePath("program") + u'/';
    music_ = dir_.filePath("music") + u'/';
    QDir().mkpath(program_);
    QDir().mkpath(music_);
    for (const char* file : {"orlavo-cli", "libpellox.so"}) {
      QFile::copy(QStringLiteral(ORLAVO_BIN_DIR "/") + file, program_ + file);
    }
    source_ = music_ + "live.mp3";
    bytes_ = testing::EncodeMp3({.seconds = 12.0});
    testing::WriteFileBytes(source_, bytes_);
  }

  CliRun Run(QStringList args) {
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dir_.filePath("share"));
    cli.setProcessEnvironment(env);
    args.prepend("split");
    cli.start(program_ + "orlavo-cli", args);
    CliRun run;
    if (!cli.waitForFinished(30000)) return run;
    run.exit_code = cli.exitCode();
    run.out = QString::fromUtf8(cli.readAllStandardOutput());
    run.err = QString::fromUtf8(cli.readAllStandardError());
    return run;
  }

  QStringList Tracks() const { return QDir(music_ + "out").entryList(QDir::Files, QDir::Name); }

  QTemporaryDir dir_;
  QString program_, music_, source_;
  Bytes bytes_;
};

TEST_F(CliSplitTest, DryRunPrintsTheListAsAddNewTimeBuildsIt) {
  const CliRun run = Run(
      {source_, "--end", "0:1:2500", "--end", "0.8", "--end", "9", "--name", "Intro", "--dry-run"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.out,
            "01\tIntro\t00:00:000\t00:03:500\t00:03:500\n"
            "02\tTrack02\t00:03:500\t00:08:000\t00:04:500\n"
            "03\tTrack03\t00:08:000\t00:12:000\t00:04:000\n");
  EXPECT_EQ(QDir(music_).entryList(QDir::Files), QStringList{"live.mp3"});
}

TEST_F(CliSplitTest, WritesTheTicksAndNeverReplacesWithoutAsking) {
  QDir().mkpath(music_ + "out");
  CliRun run =
      Run({source_, "--end", "0:4", "--end", "0:12", "--to", music_ + "out", "--only", "2"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, music_ + "out/Track02.mp3\n");
  EXPECT_EQ(testing::ReadFileBytes(music_ + "out/Track02.mp3"),
            Bytes(bytes_.begin() + 4 * 16000, bytes_.begin() + 12 * 16000));
  EXPECT_TRUE(testing::Mpg123Decodes(music_ + "out/Track02.mp3"));

  testing::WriteFileBytes(music_ + "out/Track02.mp3", Bytes(5, 'x'));
  run = Run({source_, "--end", "0:4", "--end", "0:12", "--to", music_ + "out"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "orlavo-cli: " + music_ +
                         "out/Track02.mp3: already exists "
                         "(--overwrite replaces it)\n");
  EXPECT_EQ(Tracks(), QStringList{"Track02.mp3"});  // a refused track writes nothing at all

  run = Run({source_, "--end", "0:4", "--end", "0:12", "--to", music_ + "out", "--overwrite"});
  EXPECT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(Tracks(), (QStringList{"Track01.mp3", "Track02.mp3"}));
  EXPECT_EQ(testing::ReadFileBytes(music_ + "out/Track02.mp3").size(), 8u * 16000);
  EXPECT_EQ(QDir(dir_.filePath("share/Trash/files")).entryList(QDir::Files),
            QStringList{"Track02.mp3"});
}

TEST_F(CliSplitTest, RefusalsAndUsage) {
  struct Case {
    QStringList args;
    int exit_code;
    QString err;
  } cases[] = {
      {{source_, "--end", "0:5", "--end", "0:3"},
       1,
       "orlavo-cli: You're trying to add end time for Track02 which is lower than previous "
       "track's end time.\n"},
      {{source_, "--end", "0:5", "--end", "0:5"},
       1,
       "orlavo-cli: Duration of Track02 is 00:00:000.  Track is not added!\n"},
      {{source_, "--end", "0:5", "--end", "0:9", "--name", "a?", "--name", "a*"},
       1,
       "orlavo-cli: Tracks 01 (a?) and 02 (a*) would both be written to a_.mp3.  Give them "
       "different names.\n"},
      {{source_}, 2, "orlavo-cli: give either --end TIME... or --cue FILE\n"},
      {{"--end", "0:5"}, 2, "orlavo-cli: --end needs a SOURCE\n"},
      {{source_, "--end", "0:5", "--save-cue", "xml"},
       2,
       "orlavo-cli: --save-cue takes orv or standard\n"},
      {{source_, "--end", "0:5", "--only", "3"}, 2, "orlavo-cli: --only 3: no such track\n"},
      {{music_ + "none.mp3", "--end", "0:5"},
       1,
       "orlavo-cli: " + music_ + "none.mp3: no such file\n"},
  };
  for (const Case& c : cases) {
    const CliRun run = Run(c.args);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.args.join(' ').toStdString();
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(QDir(music_).entryList(QDir::Files), QStringList{"live.mp3"});
  }
}

TEST_F(CliSplitTest, CueSheetsInAndOut) {
  QFile cue(music_ + "live.cue");
  ASSERT_TRUE(cue.open(QIODevice::WriteOnly));
  cue.write(
      "REM COMMENT \"ripped\"\nPERFORMER \"Band\"\nFILE \"live.wav\" WAVE\n"
      "  TRACK 01 AUDIO\n    TITLE \"One\"\n    INDEX 01 00:00:00\n"
      "  TRACK 02 AUDIO\n    TITLE \"Two\"\n    INDEX 01 00:05:30\n");
  cue.close();
  CliRun run = Run({"--cue", music_ + "live.cue", "--dry-run", "--save-cue", "orv"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, program_ +
                         "Files/Saved_Cue001.cue\n"
                         "01\tOne\t00:00:000\t00:05:400\t00:05:400\n"
                         "02\tTwo\t00:05:400\t00:12:000\t00:06:600\n");
  EXPECT_EQ(QDir(music_).entryList(QDir::Files), (QStringList{"live.cue", "live.mp3"}));

  // The saved ORV sheet gives the same tracks, written to its destination.
  run = Run({"--cue", program_ + "Files/Saved_Cue001.cue"});
  ASSERT_EQ(run.exit_code, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, music_ + "One.mp3\n" + music_ + "Two.mp3\n");
  EXPECT_EQ(testing::ReadFileBytes(music_ + "Two.mp3"),
            Bytes(bytes_.begin() + 5400 * 16, bytes_.begin() + 12 * 16000));
}

}  // namespace
}  // namespace orlavo

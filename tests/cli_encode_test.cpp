// orlavo-cli encode, run as the built program over libmevrit.so.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/support/mp3_check.h"
#include "tests/support/qstring_print.h"
#include "tests/support/wav_fixture.h"

namespace orlavo {
namespace {

class CliEncodeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    in_ = dir_.filePath("in") + u'/';
    out_ = dir_.filePath("out") + u'/';
    QDir().mkpath(in_);
    QDir().mkpath(out_);
    for (const char* name : {"b.wav", "a.WAV"}) testing::WriteWav(in_ + name, {.frames = 11025});
  }
  struct Run {
    int exit_code = -1;
    QString out, err;
  };
  Run Cli(const QStringList& args) {
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dir_.filePath("share"));  // the run's own trash
    cli.setProcessEnvironment(env);
    cli.setWorkingDirectory(in_);
    cli.start(ORLAVO_BIN_DIR "/orlavo-cli", QStringList({"encode"}) + args);
    Run run;
    if (!cli.waitForFinished(60000)) return run;
    run.exit_code = cli.exitCode();
    run.out = QString::fromUtf8(cli.readAllStandardOutput());
    run.err = QString::fromUtf8(cli.readAllStandardError());
    return run;
  }
  QStringList Mp3s(const QString& folder) {
    return QDir(folder).entryList({"*.mp3"}, QDir::Files, QDir::Name);
  }

  QTemporaryDir dir_;
  QString in_, out_;
};

TEST_F(CliEncodeTest, EncodesInTheOrderGivenAndCountsBadNamesAsFailures) {
  testing::WriteFileBytes(in_ + "notes.txt", {'x'});
  testing::WriteFileBytes(in_ + "broken.wav", {'x'});
  const Run run =
      Cli({"b.wav", "notes.txt", in_ + "a.WAV", "broken.wav", "--bitrate", "64", "--mode", "mono"});
  EXPECT_EQ(run.exit_code, 1) << run.err.toStdString();
  EXPECT_EQ(run.out,
            "b.wav\tCompleted succesfully\n"
            "notes.txt\tnot a WAV file name\n" +
                in_ + "a.WAV\tCompleted succesfully\n" + "broken.wav\tCan't open WAV file\n");
  EXPECT_EQ(run.err,
            "orlavo-cli: notes.txt: not a WAV file name\n"
            "orlavo-cli: broken.wav: Can't open WAV file\n");
  EXPECT_EQ(Mp3s(in_), QStringList({"a.mp3", "b.mp3"}));
  const testing::DecodedAudio decoded = testing::DecodeWithMpg123(in_ + "a.mp3");
  EXPECT_EQ(decoded.channels, 1);
  EXPECT_EQ(decoded.frames, 11025);
}

TEST_F(CliEncodeTest, ExistingMp3sAreSkippedUnlessOverwriteSendsThemToTheTrash) {
  testing::WriteFileBytes(out_ + "b.mp3", {'o', 'l', 'd'});
  const Run dry = Cli({"a.WAV", "b.wav", "--out", out_, "--dry-run"});
  EXPECT_EQ(dry.exit_code, 0);
  EXPECT_EQ(dry.out, "a.WAV\twould encode to " + out_ +
                         "a.mp3\n"
                         "b.wav\tskipped: already exists\n");
  EXPECT_EQ(Mp3s(out_), QStringList({"b.mp3"}));

  const Run skip = Cli({"a.WAV", "b.wav", "--out", out_});
  EXPECT_EQ(skip.exit_code, 0) << skip.err.toStdString();
  EXPECT_EQ(skip.out, "a.WAV\tCompleted succesfully\nb.wav\tskipped: already exists\n");
  EXPECT_EQ(skip.err, "");
  EXPECT_EQ(Mp3s(out_), QStringList({"a.mp3", "b.mp3"}));
  EXPECT_EQ(Mp3s(in_), QStringList());
  EXPECT_EQ(testing::ReadFileBytes(out_ + "b.mp3"), testing::Bytes({'o', 'l', 'd'}));

  const Run replace = Cli({"b.wav", "--out", out_, "--overwrite"});
  EXPECT_EQ(replace.exit_code, 0) << replace.err.toStdString();
  EXPECT_EQ(replace.out, "b.wav\tCompleted succesfully\n");
  EXPECT_EQ(testing::DecodeWithMpg123(out_ + "b.mp3").frames, 11025);
  EXPECT_EQ(QDir(dir_.filePath("share/Trash/files")).entryList(QDir::Files),
            QStringList({"b.mp3"}));
}

TEST_F(CliEncodeTest, UsageErrors) {
  for (const QStringList& args :
       {QStringList(), QStringList({"a.WAV", "--bitrate", "100"}),
        QStringList({"a.WAV", "--bitrate", "x"}), QStringList({"a.WAV", "--mode", "Joint"}),
        QStringList({"a.WAV", "--out", dir_.filePath("missing")})}) {
    const Run run = Cli(args);
    EXPECT_EQ(run.exit_code, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(run.err.startsWith("orlavo-cli: ")) << run.err.toStdString();
  }
  EXPECT_EQ(Mp3s(in_), QStringList());
}

}  // namespace
}  // namespace orlavo

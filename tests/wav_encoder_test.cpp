// The encoder tool's logic, with a scripted library and with libmevrit.so.
#include "tools/encoder/wav_encoder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/pellox_binding.h"
#include "app/settings.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/fake_encoder_library.h"
#include "tests/support/mp3_check.h"
#include "tests/support/qstring_print.h"
#include "tests/support/wav_fixture.h"

namespace orlavo {
namespace {

using testing::FakeDesktop;
using Answer = Desktop::Answer;
using Outcome = EncodeFileResult::Outcome;

const QString kCompleted = QStringLiteral("Completed succesfully");
const QString kOverwrite = QStringLiteral("File already exists, overwrite?");

class WavEncoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    in_ = dir_.filePath("in") + u'/';
    out_ = dir_.filePath("out") + u'/';
    QDir().mkpath(in_);
    QDir().mkpath(out_);
  }
  QString MakeWav(const QString& path, int64_t frames = 4410) {
    QDir().mkpath(FolderOf(path));
    testing::WriteWav(path, {.frames = frames});
    return path;
  }
  QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  QStringList Trashed() {
    return QDir(qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/files")
        .entryList(QDir::Files, QDir::Name);
  }
  std::unique_ptr<WavEncoder> MakeEncoder(EncoderLibrary& library) {
    return std::make_unique<WavEncoder>(
        ToolContext{desktop_, status_, pellox_, options_, dir_.path()}, library);
  }
  // The question after the run, which the test then answers.
  QString ClosingQuestion() const {
    return desktop_.messages.empty() ? QString() : desktop_.messages.back().text;
  }

  QTemporaryDir dir_;
  QString in_, out_;
  FakeDesktop desktop_;
  ToolsStatus status_;
  PelloxBinding pellox_{QStringLiteral(ORLAVO_BIN_DIR)};
  Options options_;
  testing::FakeEncoderLibrary fake_;
};

TEST_F(WavEncoderTest, DroppedWavFilesAreListedSortedWithSizeAndName) {
  auto encoder = MakeEncoder(fake_);
  MakeWav(in_ + "b.WAV");
  MakeWav(in_ + "a.wav");
  testing::WriteFileBytes(in_ + "c.mp3", {1, 2, 3});
  QDir().mkpath(in_ + "folder.wav");
  EXPECT_EQ(encoder->AddDropped({in_ + "b.WAV", in_ + "c.mp3", in_ + "folder.wav",
                                 in_ + "missing.wav", in_ + "a.wav"}),
            2);
  const ReportList& list = encoder->list();
  ASSERT_EQ(list.size(), 2);
  EXPECT_EQ(list.row(0).text, "a.wav");
  EXPECT_EQ(list.row(0).tag, in_);
  EXPECT_EQ(list.row(0).tooltip, "a.wav");
  EXPECT_EQ(list.row(0).columns, QStringList({"17,684 bytes"}));
  EXPECT_EQ(list.row(1).text, "b.WAV");

  options_.prefix_dir = true;
  options_.size_unit = "KB";
  encoder->list().Clear();
  encoder->AddDropped({in_ + "a.wav"});
  EXPECT_EQ(list.row(0).text, in_ + "a.wav");
  EXPECT_EQ(list.row(0).tag, "");
  EXPECT_EQ(list.row(0).tooltip, "a.wav");
  EXPECT_EQ(list.row(0).columns, QStringList({"17 KB"}));
}

TEST_F(WavEncoderTest, EmptyOutputFolderEncodesBesideTheWavsAndShowsTheFirstFolder) {
  auto encoder = MakeEncoder(fake_);
  encoder->Show();
  encoder->AddDropped({MakeWav(in_ + "b.wav"), MakeWav(in_ + "a.wav")});
  desktop_.answers = {Answer::kNo};
  const EncodeRunReport report = encoder->Run();
  EXPECT_EQ(encoder->output_folder(), in_);
  EXPECT_EQ(fake_.calls, QStringList({"SetEncoder 128 0", "EncodeMp3 " + in_ + "a.wav",
                                      "SetEncoder 128 0", "EncodeMp3 " + in_ + "b.wav"}));
  EXPECT_EQ(Read(in_ + "a.mp3"), "MP3 of a.wav");
  EXPECT_EQ(Read(in_ + "b.mp3"), "MP3 of b.wav");
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(ClosingQuestion(), kCompleted + "\r\n\r\nClear the list?");
  EXPECT_EQ(encoder->list().size(), 2);  // No keeps the list
  EXPECT_FALSE(encoder->running());
  EXPECT_EQ(status_.status_text(), "");
  EXPECT_EQ(status_.percent_text(), "0%");
}

TEST_F(WavEncoderTest, ChosenBitrateAndModeReachTheLibrary) {
  const struct {
    const char* mode;
    int32_t number;
  } cases[] = {{"Stereo", 0}, {"DualChannel", 2}, {"Mono", 3}, {"mono", 0}, {"", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    testing::FakeEncoderLibrary fake;
    auto encoder = MakeEncoder(fake);
    encoder->AddDropped({MakeWav(in_ + c.mode + "x.wav")});
    encoder->SetBitrate(320);
    encoder->SetMode(c.mode);
    encoder->Run();
    EXPECT_EQ(fake.calls.value(0), QStringLiteral("SetEncoder 320 %1").arg(c.number));
    QFile::remove(in_ + c.mode + "x.mp3");
  }
}

// Into another folder: successes (0, 1 and -4 among them) are moved there,
// failures are not, and the closing question names every failure.
TEST_F(WavEncoderTest, SuccessesMoveToTheOutputFolderAndFailuresAreReported) {
  auto encoder = MakeEncoder(fake_);
  for (const char* name : {"1.wav", "2.wav", "3.wav", "4.wav", "5.wav", "6.wav", "7.wav"}) {
    encoder->AddDropped({MakeWav(in_ + name)});
  }
  fake_.statuses = {0, 1, -4, -1, -2, -5, 1};
  encoder->SetOutputFolder(out_.chopped(1));  // a missing "/" is added
  desktop_.answers = {Answer::kYes};
  const EncodeRunReport report = encoder->Run();
  EXPECT_EQ(encoder->output_folder(), out_);
  EXPECT_EQ(QDir(out_).entryList(QDir::Files, QDir::Name),
            QStringList({"1.mp3", "2.mp3", "3.mp3", "7.mp3"}));
  EXPECT_EQ(QDir(in_).entryList({"*.mp3"}, QDir::Files), QStringList());
  ASSERT_EQ(report.files.size(), 7u);
  EXPECT_EQ(report.files[2].outcome, Outcome::kEncoded);
  EXPECT_EQ(report.files[2].mp3, out_ + "3.mp3");
  EXPECT_EQ(report.files[4].outcome, Outcome::kFailed);
  EXPECT_EQ(ClosingQuestion(), kCompleted +
                                   "\r\n\r\n"
                                   "4.wav: Can't open WAV file\r\n"
                                   "5.wav: Can't load the lame_enc.dll library\r\n"
                                   "6.wav: Can't write the MP3 file\r\n\r\n"
                                   "Clear the list?");
  EXPECT_TRUE(encoder->list().empty());  // Yes clears it
}

TEST_F(WavEncoderTest, AnExistingMp3IsReplacedOnlyAfterYesAndGoesToTheTrash) {
  auto encoder = MakeEncoder(fake_);
  encoder->AddDropped({MakeWav(in_ + "keep.wav"), MakeWav(in_ + "replace.wav")});
  testing::WriteFileBytes(in_ + "keep.mp3", {'o', 'l', 'd'});
  testing::WriteFileBytes(in_ + "replace.mp3", {'o', 'l', 'd', '2'});
  desktop_.answers = {Answer::kNo, Answer::kYes};
  const EncodeRunReport report = encoder->Run();
  ASSERT_GE(desktop_.messages.size(), 2u);
  EXPECT_EQ(desktop_.messages[0].text, kOverwrite);
  EXPECT_EQ(desktop_.messages[0].buttons, Desktop::Buttons::kYesNo);
  // No: the library is not called for that file.
  EXPECT_EQ(fake_.calls, QStringList({"SetEncoder 128 0", "EncodeMp3 " + in_ + "replace.wav"}));
  EXPECT_EQ(report.files[0].outcome, Outcome::kSkipped);
  EXPECT_EQ(Read(in_ + "keep.mp3"), "old");
  EXPECT_EQ(Read(in_ + "replace.mp3"), "MP3 of replace.wav");
  EXPECT_TRUE(Trashed().contains("replace.mp3")) << Trashed().join(",").toStdString();
}

// With another output folder the MP3 beside the WAV would be written over by
// the library too: it is asked about as well.
TEST_F(WavEncoderTest, AnMp3BesideTheWavIsAskedAboutWhenMovingElsewhere) {
  auto encoder = MakeEncoder(fake_);
  encoder->AddDropped({MakeWav(in_ + "a.wav"), MakeWav(in_ + "b.wav")});
  testing::WriteFileBytes(in_ + "a.mp3", {'o', 'l', 'd'});
  testing::WriteFileBytes(in_ + "b.mp3", {'o', 'l', 'd'});
  testing::WriteFileBytes(out_ + "b.mp3", {'o', 'u', 't'});
  encoder->SetOutputFolder(out_);
  desktop_.answers = {Answer::kNo, Answer::kYes, Answer::kYes};
  encoder->Run();
  EXPECT_EQ(fake_.calls, QStringList({"SetEncoder 128 0", "EncodeMp3 " + in_ + "b.wav"}));
  EXPECT_EQ(Read(in_ + "a.mp3"), "old");
  EXPECT_EQ(Read(out_ + "b.mp3"), "MP3 of b.wav");
  EXPECT_FALSE(QFile::exists(in_ + "b.mp3"));
}

TEST_F(WavEncoderTest, AFileAppearingInTheOutputFolderKeepsTheMp3BesideTheWav) {
  auto encoder = MakeEncoder(fake_);
  encoder->AddDropped({MakeWav(in_ + "a.wav")});
  encoder->SetOutputFolder(out_);
  fake_.during = [&](int percent) {
    if (percent == 100) testing::WriteFileBytes(out_ + "a.mp3", {'n', 'e', 'w'});
  };
  const EncodeRunReport report = encoder->Run();
  EXPECT_EQ(Read(out_ + "a.mp3"), "new");
  EXPECT_EQ(Read(in_ + "a.mp3"), "MP3 of a.wav");
  ASSERT_EQ(report.files.size(), 1u);
  EXPECT_EQ(report.files[0].outcome, Outcome::kEncoded);
  EXPECT_EQ(report.files[0].mp3, in_ + "a.mp3");
  EXPECT_EQ(report.files[0].message, kCompleted + "; the MP3 stays at " + in_ + "a.mp3 (" + out_ +
                                         "a.mp3 appeared meanwhile)");
  EXPECT_TRUE(ClosingQuestion().contains("a.wav: " + report.files[0].message));
}

TEST_F(WavEncoderTest, AMissingLibraryEndsTheRunBeforeAnythingIsAskedOrRemoved) {
  auto encoder = MakeEncoder(fake_);
  encoder->AddDropped({MakeWav(in_ + "a.wav")});
  testing::WriteFileBytes(in_ + "a.mp3", {'o', 'l', 'd'});
  fake_.bindable = false;
  const EncodeRunReport report = encoder->Run();
  EXPECT_TRUE(report.library_missing);
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text, "Can't locate required DLL");
  EXPECT_EQ(desktop_.messages[0].icon, Desktop::Icon::kCritical);
  EXPECT_EQ(Read(in_ + "a.mp3"), "old");
  EXPECT_FALSE(encoder->running());
  EXPECT_EQ(encoder->list().size(), 1);
}

TEST_F(WavEncoderTest, ProgressFillsTheSharedBarAndLetsEventsRun) {
  auto encoder = MakeEncoder(fake_);
  encoder->AddDropped({MakeWav(in_ + "a.wav")});
  QStringList seen;
  fake_.during = [&](int) {
    seen << status_.status_text() + " " + QString::number(status_.bar_current()) + "/" +
                QString::number(status_.bar_total()) + " " + status_.percent_text();
  };
  encoder->Run();
  // Each step is seen by the display before the next one is reported.
  EXPECT_EQ(seen, QStringList({"Encoding: a.wav 0/0 0%", "Encoding: a.wav 0/100 0%",
                               "Encoding: a.wav 50/100 50%"}));
  EXPECT_EQ(desktop_.events_run, 3);
  EXPECT_EQ(status_.bar_total(), 0);
}

TEST_F(WavEncoderTest, DecodeBrowseAndModeButtons) {
  auto encoder = MakeEncoder(fake_);
  encoder->Decode();
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text, "Sorry, but decoder is not ready yet.");
  EXPECT_EQ(desktop_.messages[0].buttons, Desktop::Buttons::kOk);

  encoder->SetOutputFolder("/start/");
  desktop_.folders = {out_};
  encoder->Browse();
  EXPECT_EQ(desktop_.browse_titles, QStringList({"Select MP3 Folder..."}));
  EXPECT_EQ(desktop_.browse_initials, QStringList({"/start/"}));
  EXPECT_EQ(encoder->output_folder(), out_);
  encoder->Browse();  // cancelled
  EXPECT_EQ(encoder->output_folder(), out_);

  encoder->SetBitrate(64);
  encoder->SetMode("Mono");
  encoder->Show();
  EXPECT_EQ(encoder->bitrate(), 128);
  EXPECT_EQ(encoder->mode(), "Stereo");
  EXPECT_TRUE(encoder->encode_mode());
  // An empty list ends the run at once.
  EXPECT_TRUE(encoder->Run().files.empty());
  EXPECT_EQ(fake_.binds, 0);
}

TEST(WavEncoderNamesTest, OutputNamesAndTheDropFilter) {
  EXPECT_EQ(Mp3NameOf("song.wav"), "song.mp3");
  EXPECT_EQ(Mp3NameOf("SONG.WAV"), "SONG.mp3");
  EXPECT_EQ(Mp3NameOf("rawav"), "ramp3");
  EXPECT_EQ(Mp3NameOf("wa"), "mp3");
  EXPECT_TRUE(IsWavName("a.WaV"));
  EXPECT_TRUE(IsWavName("notes.swav"));
  EXPECT_FALSE(IsWavName("a.mp3"));
  EXPECT_FALSE(IsWavName("av"));
}

// The real library through the same run: into another folder, across what
// may be another file system.
TEST_F(WavEncoderTest, TheRealLibraryEncodesAndTheMp3sArriveInTheOutputFolder) {
  MevritBinding library{QStringLiteral(ORLAVO_BIN_DIR)};
  auto encoder = MakeEncoder(library);
  encoder->AddDropped({MakeWav(in_ + "one.wav", 44100), MakeWav(in_ + "two.wav", 22050)});
  testing::WriteFileBytes(in_ + "bad.wav", {'n', 'o'});
  encoder->AddDropped({in_ + "bad.wav"});
  encoder->SetOutputFolder(out_);
  encoder->SetMode("Mono");
  const EncodeRunReport report = encoder->Run();
  ASSERT_EQ(report.files.size(), 3u);
  EXPECT_EQ(report.files[0].message, "Can't open WAV file");
  EXPECT_EQ(QDir(out_).entryList(QDir::Files, QDir::Name), QStringList({"one.mp3", "two.mp3"}));
  EXPECT_EQ(QDir(in_).entryList({"*.mp3"}, QDir::Files), QStringList());
  const testing::DecodedAudio decoded = testing::DecodeWithMpg123(out_ + "two.mp3");
  EXPECT_EQ(decoded.frames, 22050);
  EXPECT_EQ(decoded.channels, 1);
  EXPECT_EQ(ClosingQuestion(),
            kCompleted + "\r\n\r\nbad.wav: Can't open WAV file\r\n\r\nClear the list?");
}

}  // namespace
}  // namespace orlavo

#include "tools/splitter/splitter.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cmath>

#include "app/pellox_binding.h"
#include "app/settings.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/lame_fixture.h"
#include "tests/support/qstring_print.h"
#include "tests/support/split_fixture.h"

namespace orlavo {
namespace {

using testing::Bytes;
using testing::FakeDesktop;
using Answer = Desktop::Answer;

// 16,000 bytes per second at 128 kbit/s.
constexpr qint64 kBytesPerSecond = 16000;

class SplitterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = program_dir_.path() + u'/';
    QFile::copy(ORLAVO_BIN_DIR "/libpellox.so", program_ + "libpellox.so");
    out_ = work_.path() + "/out/";
    QDir().mkpath(out_);
  }

  // A 10-second constant-bitrate source, optionally tagged at both ends.
  QString WriteSource(const QString& name, bool tags = false, double seconds = 10.0) {
    Bytes audio = testing::EncodeMp3({.seconds = seconds});
    Bytes bytes = audio;
    if (tags) {
      Bytes id3v2 = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 100};
      id3v2.resize(110, 0);
      bytes = testing::Concat({id3v2, audio, testing::Id3v1Block("t", "a", "b", "2000", "", 1)});
      audio_start_ = 110;
    } else {
      audio_start_ = 0;
    }
    const QString path = work_.path() + u'/' + name;
    testing::WriteFileBytes(path, bytes);
    source_bytes_ = bytes;
    return path;
  }

  Splitter& MakeSplitter(const QString& source) {
    splitter_ =
        std::make_unique<Splitter>(ToolContext{desktop_, status_, pellox_, options_, program_});
    splitter_->set_source(source);
    splitter_->set_destination(out_);
    splitter_->RefreshSource();
    return *splitter_;
  }

  AddOutcome Add(const QString& time) {
    splitter_->set_time_field(time);
    return splitter_->AddNewTime().outcome;
  }

  QStringList Column(int column) const {
    QStringList texts;
    for (int i = 0; i < splitter_->tracks().size(); ++i) {
      texts << splitter_->tracks().row(i).ColumnText(column);
    }
    return texts;
  }

  static void WriteText(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
  }

  QString LastMessage() const {
    return desktop_.messages.empty() ? QString() : desktop_.messages.back().text;
  }

  QStringList OutFiles() const {
    return QDir(out_).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }

  QTemporaryDir program_dir_, work_;
  QString program_, out_;
  FakeDesktop desktop_;
  ToolsStatus status_;
  Options options_;
  PelloxBinding pellox_{program_dir_.path()};
  std::unique_ptr<Splitter> splitter_;
  Bytes source_bytes_;
  qint64 audio_start_ = 0;
};

TEST_F(SplitterTest, AddNewTimeBuildsRowsFromTypedEndTimes) {
  Splitter& s = MakeSplitter(WriteSource("a.mp3", false, 65.5));
  EXPECT_EQ(s.duration_caption(), "Source Duration: 01:05");
  EXPECT_EQ(s.bitrate_caption(), "Source BitRate: 128 Kbps");
  EXPECT_EQ(s.frequency_caption(), "Source Frequency: 44100Hz");
  EXPECT_EQ(s.create_caption(), "Create Tracks");

  EXPECT_EQ(Add("0.2"), AddOutcome::kAdded);  // a point separates like a colon
  desktop_.answers = {Answer::kYes};
  EXPECT_EQ(Add("0:1:2500"), AddOutcome::kAdded);  // 1.000 + 2.500 s
  EXPECT_EQ(LastMessage(),
            "Milli seconds can't be greater than 999.  Would you like to convert the value to "
            "seconds and milli seconds (2500 milli seconds to 00:02:500");
  desktop_.answers = {Answer::kYes};
  // Seconds above 59 after the millisecond carry go on into the minutes.
  EXPECT_EQ(Add("0:59:1999"), AddOutcome::kAdded);
  EXPECT_EQ(Column(3), (QStringList{"00:02:000", "00:03:500", "01:00:999"}));
  EXPECT_EQ(Column(4), (QStringList{"00:02:000", "00:01:500", "00:57:499"}));
  EXPECT_EQ(Column(2), (QStringList{"00:00:000", "00:02:000", "00:03:500"}));
  EXPECT_EQ(Column(1), (QStringList{"Track01", "Track02", "Track03"}));
  EXPECT_EQ(s.create_caption(), "Create 3 Track(s)");

  // Refusals leave the list as it was.
  EXPECT_EQ(Add("0:5"), AddOutcome::kRefused);
  EXPECT_EQ(LastMessage(),
            "You're trying to add end time for Track04 which is lower than previous track's end "
            "time.");
  EXPECT_EQ(Add("1:0:999"), AddOutcome::kRefused);
  EXPECT_EQ(LastMessage(), "Duration of Track04 is 00:00:000.  Track is not added!");
  desktop_.answers = {Answer::kNo};
  EXPECT_EQ(Add("0:61"), AddOutcome::kEnded);  // conversion declined
  EXPECT_EQ(LastMessage(),
            "Seconds can't be greater than 59. Would you like to convert the value to minutes "
            "and seconds (61 seconds to 01:01:000)?");
  EXPECT_EQ(s.tracks().size(), 3);

  // Beyond the duration: the duration, after a note; and reaching it starts
  // Create Tracks, whose summary is answered No here.
  EXPECT_EQ(Add("7"), AddOutcome::kAdded);  // a bare number is minutes
  EXPECT_EQ(Column(3).last(), "01:05:000");
  bool noted = false, summary = false;
  for (const auto& m : desktop_.messages) {
    noted |=
        m.text == "Total track timing exceeds Source Duration: 01:05\r\n\r\nAnalyzing tracks...";
    summary |= m.text.startsWith("Following tracks will be created: ");
  }
  EXPECT_TRUE(noted);
  EXPECT_TRUE(summary);
  EXPECT_TRUE(OutFiles().isEmpty());

  // An empty field turns red; nothing else happens.
  EXPECT_EQ(Add(""), AddOutcome::kEnded);
  EXPECT_TRUE(s.time_field_red());
  s.TimeFieldFocused();
  EXPECT_FALSE(s.time_field_red());
}

TEST_F(SplitterTest, AddNewTimeAsksForMissingFields) {
  Splitter& s = MakeSplitter(WriteSource("a.mp3"));
  s.set_destination("");
  desktop_.answers = {Answer::kYes};
  desktop_.folders = {out_};
  EXPECT_EQ(Add("0:1"), AddOutcome::kEnded);
  EXPECT_EQ(LastMessage(), "No output folder selected.  Would you like to select one now?");
  EXPECT_EQ(desktop_.browse_titles, QStringList{"Select Destination Folder..."});
  EXPECT_EQ(s.destination(), out_);
  EXPECT_TRUE(s.tracks().empty());
  s.set_source("");
  EXPECT_EQ(Add("0:1"), AddOutcome::kEnded);
  EXPECT_EQ(LastMessage(),
            "No source file selected.  Would you like to select a source file right now?");
}

TEST_F(SplitterTest, OnlyTheLastRowCanBeRemoved) {
  Splitter& s = MakeSplitter(WriteSource("a.mp3"));
  for (const char* t : {"0:1", "0:2", "0:3"}) Add(t);
  s.tracks().SelectOnly(1);
  s.RemoveSelected();
  EXPECT_EQ(s.tracks().size(), 3);
  EXPECT_TRUE(LastMessage().startsWith("You can only remove last track from the list."));
  s.tracks().SelectOnly(2);
  s.SetTicked(0, false);
  s.RemoveSelected();
  EXPECT_EQ(s.tracks().size(), 2);
  EXPECT_EQ(s.tracks().FirstSelected(), 1);
  EXPECT_EQ(s.create_caption(), "Create 1 Track(s)");
  // Moving a row takes its tick with it and numbers every row again.
  s.MoveSelected(true);
  EXPECT_EQ(Column(0), (QStringList{"01", "02"}));
  EXPECT_EQ(Column(1), (QStringList{"Track02", "Track01"}));
  EXPECT_TRUE(s.tracks().IsChecked(0));
  EXPECT_FALSE(s.tracks().IsChecked(1));
}

// Every ticked track is the source's audio from where the previous one ended;
// together they are exactly the audio up to the last end, and each decodes.
TEST_F(SplitterTest, CreateTracksCutsTheAudioBetweenTheTags) {
  Splitter& s = MakeSplitter(WriteSource("tagged.mp3", /*tags=*/true));
  for (const char* t : {"0:3:250", "0:6:500"}) Add(t);
  desktop_.answers = {Answer::kYes};  // the summary
  Add("0:10");                        // the whole duration starts Create Tracks
  ASSERT_EQ(OutFiles(), (QStringList{"Track01.mp3", "Track02.mp3", "Track03.mp3"}));
  Bytes joined;
  for (const QString& f : OutFiles()) {
    const Bytes b = testing::ReadFileBytes(out_ + f);
    joined.insert(joined.end(), b.begin(), b.end());
    EXPECT_TRUE(testing::Mpg123Decodes(out_ + f)) << f.toStdString();
  }
  const Bytes expected(source_bytes_.begin() + audio_start_,
                       source_bytes_.begin() + audio_start_ + 10 * kBytesPerSecond);
  EXPECT_EQ(joined, expected);
  EXPECT_EQ(testing::ReadFileBytes(out_ + "Track02.mp3").size(), 3.25 * kBytesPerSecond);
  EXPECT_EQ(status_.percent_text(), "0%");
}

TEST_F(SplitterTest, TrackReachingPastTheAudioEndsBeforeTheId3v1Tag) {
  Splitter& s = MakeSplitter(WriteSource("tagged.mp3", /*tags=*/true));
  Add("0:10:999");  // the duration is whole seconds; this reaches past the audio
  desktop_.answers = {Answer::kOk, Answer::kYes};  // "doesn't equal", the summary
  s.CreateTracks();
  const Bytes track = testing::ReadFileBytes(out_ + "Track01.mp3");
  EXPECT_EQ(track, Bytes(source_bytes_.begin() + audio_start_, source_bytes_.end() - 128));
}

TEST_F(SplitterTest, ATickedTrackWithoutAudioStopsTheSplitBeforeAnythingIsWritten) {
  const QString source = WriteSource("a.mp3");
  Splitter& s = MakeSplitter(source);
  for (const char* t : {"0:2", "0:5", "0:7"}) Add(t);
  WriteSource("a.mp3", false, 4.0);  // the source is now shorter than the list
  s.CreateTracks();
  EXPECT_TRUE(
      LastMessage().startsWith("Track 03 (Track03) holds no audio: it starts at 00:05:000 "
                               "and lasts 00:02:000, and " +
                               source + " lasts 00:04:"))
      << LastMessage().toStdString();
  EXPECT_TRUE(OutFiles().isEmpty());
  s.SetTicked(2, false);
  desktop_.answers = {Answer::kOk, Answer::kYes};
  EXPECT_EQ(s.CreateTracks().size(), 2);
}

TEST_F(SplitterTest, SelectiveSplitWritesOnlyTickedRowsWhereTheyLie) {
  Splitter& s = MakeSplitter(WriteSource("a.mp3"));
  for (const char* t : {"0:2", "0:5", "0:7"}) Add(t);
  s.SetTicked(0, false);
  s.SetTicked(2, false);
  s.RenameRow(1, "Mid: a/b?");
  desktop_.answers = {Answer::kOk, Answer::kYes};
  EXPECT_EQ(s.CreateTracks(), QStringList{out_ + "Mid_ a_b_.mp3"});
  EXPECT_EQ(s.tracks().row(1).ColumnText(1), "Mid: a/b?");  // the row keeps its name
  const Bytes track = testing::ReadFileBytes(out_ + "Mid_ a_b_.mp3");
  EXPECT_EQ(track, Bytes(source_bytes_.begin() + 2 * kBytesPerSecond,
                         source_bytes_.begin() + 5 * kBytesPerSecond));
  // The summary lists the ticked rows and the time left out at the end.
  const QString summary = desktop_.messages.back().text;
  EXPECT_TRUE(summary.contains("Mid: a/b? (00:03:000)\r\n")) << summary.toStdString();
  EXPECT_TRUE(summary.contains("Ignored time: 00:03:000\r\n"));
}

TEST_F(SplitterTest, FileNamesAreMadeValidAndMustNotCoincide) {
  struct Case {
    const char* name;
    const char* file;
  } cases[] = {{"", "Track07.mp3"},   {".", "Track07.mp3"},          {"..", "Track07.mp3"},
               {"a*b", "a_b.mp3"},    {"<x|y>", "_x_y_.mp3"},        {"..a", "..a.mp3"},
               {"C:\\d", "C__d.mp3"}, {"Song \"1\"", "Song _1_.mp3"}};
  for (const Case& c : cases) EXPECT_EQ(Splitter::TrackFileName(c.name, 7), c.file) << c.name;

  Splitter& s = MakeSplitter(WriteSource("a.mp3"));
  for (const char* t : {"0:2", "0:5", "0:7"}) Add(t);
  s.RenameRow(0, "a?b");
  s.RenameRow(2, "a*b");
  s.CreateTracks();
  EXPECT_EQ(LastMessage(),
            "Tracks 01 (a?b) and 03 (a*b) would both be written to a_b.mp3.  Give them "
            "different names.");
  EXPECT_TRUE(OutFiles().isEmpty());
  s.SetTicked(2, false);  // an unticked row writes nothing, so it may share the name
  desktop_.answers = {Answer::kOk, Answer::kYes};
  EXPECT_EQ(s.CreateTracks().size(), 2);
}

TEST_F(SplitterTest, OverwritingAsksAndPutsTheOldTrackInTheTrash) {
  Splitter& s = MakeSplitter(WriteSource("a.mp3"));
  Add("0:2");
  testing::WriteFileBytes(out_ + "Track01.mp3", Bytes(10, 'x'));
  s.CreateTracks();  // the question is answered No
  EXPECT_EQ(desktop_.messages.back().text,
            "File Track01.mp3 already exists in " + out_ +
                " directory.\r\nWould you like to continue, overwriting the file?");
  EXPECT_EQ(testing::ReadFileBytes(out_ + "Track01.mp3"), Bytes(10, 'x'));

  desktop_.answers = {Answer::kYes, Answer::kOk, Answer::kYes};
  s.CreateTracks();
  EXPECT_EQ(testing::ReadFileBytes(out_ + "Track01.mp3").size(), 2 * kBytesPerSecond);
  const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/files/";
  bool found = false;
  for (const QString& f : QDir(trash).entryList(QDir::Files)) {
    found |= f.startsWith("Track01") && testing::ReadFileBytes(trash + f) == Bytes(10, 'x');
  }
  EXPECT_TRUE(found);
}

TEST_F(SplitterTest, RefusesASourceThatIsNotMpegAudio) {
  const QString junk = work_.path() + "/junk.mp3";
  testing::WriteFileBytes(junk, Bytes(50000, 0));
  Splitter& s = MakeSplitter(WriteSource("a.mp3"));
  Add("0:2");
  s.set_source(junk);
  s.CreateTracks();
  EXPECT_EQ(LastMessage(), junk +
                               " can't be split: its bitrate or sample frequency reads 0 (it is "
                               "not MPEG audio, or it can't be read).");
  EXPECT_EQ(desktop_.messages.back().icon, Desktop::Icon::kCritical);
  EXPECT_TRUE(OutFiles().isEmpty());
}

// A full disk stops the run: the track being written is removed, the tracks
// before it stay, and a message says what happened.
TEST_F(SplitterTest, AFullDiskLeavesNoPartialTrack) {
  Splitter& s = MakeSplitter(WriteSource("a.mp3"));
  for (const char* t : {"0:2", "0:5", "0:7"}) Add(t);
  qint64 room = 3 * kBytesPerSecond;  // the first track fits, the second does not
  s.set_write_function([&room](int fd, const void* data, size_t size) -> ssize_t {
    if (room <= 0) {
      errno = ENOSPC;
      return -1;
    }
    const size_t n = std::min<size_t>(size, static_cast<size_t>(room));
    room -= static_cast<qint64>(n);
    return ::write(fd, data, n);
  });
  desktop_.answers = {Answer::kOk, Answer::kYes};
  EXPECT_EQ(s.CreateTracks(), QStringList{out_ + "Track01.mp3"});
  EXPECT_EQ(OutFiles(), QStringList{"Track01.mp3"});
  EXPECT_EQ(desktop_.messages.back().icon, Desktop::Icon::kCritical);
  EXPECT_TRUE(LastMessage().startsWith(out_ + "Track02.mp3 could not be created: "))
      << LastMessage().toStdString();
  EXPECT_TRUE(LastMessage().contains("The 1 track(s) created before it are complete."));
}

// The same on a real file system that fills: a 64 KiB tmpfs (root only).
TEST_F(SplitterTest, AFullFileSystemLeavesNoPartialTrack) {
  const QString small = work_.path() + "/small";
  QDir().mkpath(small);
  if (::mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a small file system here";
  }
  struct Unmount {
    QByteArray path;
    ~Unmount() { ::umount(path.constData()); }
  } unmount{QFile::encodeName(small)};
  Splitter& s = MakeSplitter(WriteSource("a.mp3"));
  s.set_destination(small + u'/');
  for (const char* t : {"0:2", "0:5", "0:7"}) Add(t);
  desktop_.answers = {Answer::kOk, Answer::kYes};
  EXPECT_EQ(s.CreateTracks(), QStringList{small + "/Track01.mp3"});
  EXPECT_EQ(QDir(small).entryList(QDir::Files | QDir::Hidden), QStringList{"Track01.mp3"});
  EXPECT_EQ(desktop_.messages.back().icon, Desktop::Icon::kCritical);
  EXPECT_TRUE(LastMessage().startsWith(small + "/Track02.mp3 could not be created: "))
      << LastMessage().toStdString();
}

TEST_F(SplitterTest, StandardCueSheetBuildsTheListThroughAddNewTime) {
  const QString source = WriteSource("album.mp3");
  WriteText(work_.path() + "/album.cue",
            "PERFORMER \"Band\"\nTITLE \"Album\"\nFILE \"album.wav\" WAVE\n"
            "  TRACK 01 AUDIO\n    TITLE \"One\"\n    INDEX 01 00:00:10\n"
            "  TRACK 02 AUDIO\n    TITLE \"Two\"\n    INDEX 00 00:02:00\n    INDEX 01 00:03:15\n"
            "  TRACK 03 AUDIO\n    INDEX 01 00:07:00\n    TITLE \"Three\"\n");
  Splitter& s = MakeSplitter(QString());
  ASSERT_TRUE(s.LoadCue(work_.path() + "/album.cue"));
  EXPECT_EQ(s.source(), source);
  EXPECT_EQ(s.destination(), work_.path() + u'/');
  EXPECT_EQ(Column(1), (QStringList{"One", "Two", "Three"}));
  EXPECT_EQ(Column(2), (QStringList{"00:00:000", "00:03:200", "00:07:000"}));
  EXPECT_EQ(Column(3), (QStringList{"00:03:200", "00:07:000", "00:10:000"}));
  EXPECT_EQ(s.create_caption(), "Create 3 Track(s)");
  // Loading never starts Create Tracks, though the last end is the duration.
  for (const auto& m : desktop_.messages) EXPECT_FALSE(m.text.startsWith("Following"));

  // Saved in either form and loaded again, the list comes back.
  const std::optional<QString> orv = s.SaveCue(CueKind::kOrv);
  const std::optional<QString> standard = s.SaveCue(CueKind::kStandard);
  ASSERT_TRUE(orv && standard);
  EXPECT_EQ(*orv, program_ + "Files/Saved_Cue001.cue");
  const QStringList names = Column(1), ends = Column(3);
  for (const QString& cue : {*orv, *standard}) {
    s.tracks().Clear();
    ASSERT_TRUE(s.LoadCue(cue));
    EXPECT_EQ(Column(1), names);
    EXPECT_EQ(Column(3), ends);
    EXPECT_EQ(s.source(), source);
    for (int i = 0; i < s.tracks().size(); ++i) EXPECT_TRUE(s.tracks().IsChecked(i));
  }
}

TEST_F(SplitterTest, CueSheetWithoutItsSourceSaysSo) {
  WriteText(work_.path() + "/x.cue", "FILE n.mp3 MP3\n");
  Splitter& s = MakeSplitter(QString());
  EXPECT_FALSE(s.LoadCue(work_.path() + "/x.cue"));
  EXPECT_EQ(LastMessage(),
            "The source file specified in cue sheet can not be located.  Make sure the file is "
            "in the same folder as the cue sheet file.");
  EXPECT_EQ(desktop_.messages.back().icon, Desktop::Icon::kCritical);
}

TEST_F(SplitterTest, PreviewWritesTheSelectedTrackAndOpensIt) {
  Splitter& s = MakeSplitter(WriteSource("tagged.mp3", /*tags=*/true));
  for (const char* t : {"0:2", "0:5"}) Add(t);
  EXPECT_FALSE(s.Preview());  // nothing selected
  EXPECT_EQ(desktop_.messages.back().icon, Desktop::Icon::kCritical);
  EXPECT_FALSE(QFileInfo::exists(s.PreviewPath()));

  s.tracks().SelectOnly(0);
  ASSERT_TRUE(s.Preview());
  EXPECT_EQ(testing::ReadFileBytes(s.PreviewPath()),
            Bytes(source_bytes_.begin() + audio_start_,
                  source_bytes_.begin() + audio_start_ + 2 * kBytesPerSecond));
  s.tracks().SelectOnly(1);
  ASSERT_TRUE(s.Preview());  // the old preview file gives way
  EXPECT_EQ(testing::ReadFileBytes(s.PreviewPath()).size(), 3 * kBytesPerSecond);
  EXPECT_EQ(desktop_.opened, (QStringList{s.PreviewPath(), s.PreviewPath()}));
  EXPECT_EQ(status_.percent_text(), "0%");
  EXPECT_TRUE(testing::Mpg123Decodes(s.PreviewPath()));
}

// A leading Info frame holds no audio: it is in no track, though the
// duration counts it as the stream information does.
TEST_F(SplitterTest, LeadingInfoFrameIsLeftOut) {
  const Bytes audio = testing::EncodeTaggedMp3({.seconds = 6.0}, /*vbr=*/false);
  const std::vector<testing::FrameSpan> frames = testing::ListFrames(audio, 0);
  ASSERT_GT(frames.size(), 2u);
  const QString path = work_.path() + "/info.mp3";
  testing::WriteFileBytes(path, audio);
  Splitter& s = MakeSplitter(path);
  EXPECT_FALSE(s.audio().vbr);
  EXPECT_EQ(s.duration_seconds(), static_cast<qint64>(audio.size()) / kBytesPerSecond);
  Add("0:2");
  Add("0:4");
  s.SetTicked(1, false);
  desktop_.answers = {Answer::kOk, Answer::kYes};
  s.CreateTracks();
  const size_t start = frames[0].length;
  EXPECT_EQ(testing::ReadFileBytes(out_ + "Track01.mp3"),
            Bytes(audio.begin() + start, audio.begin() + start + 2 * kBytesPerSecond));
}

// A variable-bitrate source is cut on frame boundaries: a time falls on the
// boundary nearest to it, and the duration is the frames' durations summed.
TEST_F(SplitterTest, VariableBitrateSourceIsCutOnFrameBoundaries) {
  const Bytes audio = testing::EncodeTaggedMp3({.seconds = 9.0}, /*vbr=*/true);
  const std::vector<testing::FrameSpan> frames = testing::ListFrames(audio, 0);
  ASSERT_GT(frames.size(), 300u);
  // The oracle: frame boundaries after the Xing frame and their times.
  std::vector<size_t> offsets;
  std::vector<double> times;
  double t = 0;
  for (size_t i = 1; i < frames.size(); ++i) {
    offsets.push_back(frames[i].offset);
    times.push_back(t);
    t += static_cast<double>(frames[i].samples) / frames[i].sample_rate;
  }
  offsets.push_back(frames.back().offset + frames.back().length);
  times.push_back(t);
  auto nearest = [&](double seconds) {
    size_t best = 0;
    for (size_t i = 1; i < times.size(); ++i) {
      if (std::abs(times[i] - seconds) < std::abs(times[best] - seconds)) best = i;
    }
    return offsets[best];
  };

  const QString path = work_.path() + "/vbr.mp3";
  testing::WriteFileBytes(path, audio);
  Splitter& s = MakeSplitter(path);
  ASSERT_TRUE(s.audio().vbr);
  EXPECT_EQ(s.duration_seconds(), static_cast<qint64>(t));
  Add("0:2:500");
  Add("0:6:010");
  desktop_.answers = {Answer::kYes};
  Add("0:9");
  ASSERT_EQ(OutFiles().size(), 3);
  const double cuts[] = {0.0, 2.5, 6.01, 9.0};
  for (int i = 0; i < 3; ++i) {
    const QString file = out_ + OutFiles()[i];
    EXPECT_EQ(testing::ReadFileBytes(file),
              Bytes(audio.begin() + nearest(cuts[i]), audio.begin() + nearest(cuts[i + 1])))
        << i;
    EXPECT_TRUE(testing::Mpg123Decodes(file)) << i;
  }
  s.tracks().SelectOnly(1);
  ASSERT_TRUE(s.Preview());
  EXPECT_EQ(testing::ReadFileBytes(s.PreviewPath()),
            Bytes(audio.begin() + nearest(2.5), audio.begin() + nearest(6.01)));
}

TEST(SourceAudioTest, NearestBoundaryTiesGoToTheEarlierOne) {
  SourceAudio audio;
  audio.vbr = true;
  audio.boundary_offsets = {100, 300, 700};
  audio.boundary_micros = {0, 26000, 52000};
  EXPECT_EQ(audio.OffsetAt(12), 100);
  EXPECT_EQ(audio.OffsetAt(13), 100);  // the tie
  EXPECT_EQ(audio.OffsetAt(14), 300);
  EXPECT_EQ(audio.OffsetAt(99999), 700);
  EXPECT_EQ(audio.DurationSeconds(), 0);
}

// Positions beyond 32767 seconds: a 40,000-second source at 8 kbit/s (a
// sparse file whose first frame is all the stream information needs).
TEST_F(SplitterTest, TimesAreNotCappedAt32767Seconds) {
  const QString path = work_.path() + "/long.mp3";
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QByteArray frame(72, '\x55');
    frame[0] = '\xFF', frame[1] = '\xE3', frame[2] = '\x18', frame[3] = '\xC0';
    f.write(frame);
    ASSERT_TRUE(f.resize(40000000));
  }
  Splitter& s = MakeSplitter(path);
  EXPECT_EQ(s.stream_info().Duration, 32767);
  EXPECT_EQ(s.duration_caption(), "Source Duration: 666:40");
  Add("599:59");
  Add("600:00");
  s.SetTicked(0, false);
  desktop_.answers = {Answer::kOk, Answer::kYes};
  EXPECT_EQ(s.CreateTracks(), QStringList{out_ + "Track02.mp3"});
  EXPECT_EQ(QFileInfo(out_ + "Track02.mp3").size(), 1000);
}

TEST_F(SplitterTest, PaneFieldsComeFromTheSettingsWhileTheyExist) {
  const QString source = WriteSource("a.mp3");
  Settings settings(program_);
  settings.Write(settings_key::kSplitSFile, source);
  settings.Write(settings_key::kSplitRDir, out_);
  Splitter& s = MakeSplitter(QString());
  s.Show(settings);
  EXPECT_EQ(s.source(), source);
  EXPECT_EQ(s.duration_caption(), "Source Duration: 00:10");
  // A later show keeps the fields as the person left them.
  const QString other = WriteSource("b.mp3");
  s.set_source(other);
  s.Show(settings);
  EXPECT_EQ(s.source(), other);
  QFile::remove(other);
  QDir(out_).removeRecursively();
  s.Show(settings);
  EXPECT_EQ(s.source(), "");
  EXPECT_EQ(s.destination(), "");
  EXPECT_EQ(s.duration_caption(), "Source Duration: 00:00");
  EXPECT_EQ(s.bitrate_caption(), "Source BitRate: 0");
  EXPECT_EQ(s.frequency_caption(), "Source Frequency: 0");
}

}  // namespace
}  // namespace orlavo

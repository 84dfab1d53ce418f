#include "tools/joiner/joiner.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "app/pellox_binding.h"
#include "app/settings.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/id3v2_builder.h"
#include "tests/support/lame_fixture.h"
#include "tests/support/mpg123_check.h"
#include "tests/support/qstring_print.h"

namespace orlavo {
namespace {

using testing::Bytes;
using testing::Concat;
using testing::FakeDesktop;
using Answer = Desktop::Answer;

Bytes Tag1(const std::string& title = "t", uint8_t genre = 3) {
  return testing::Id3v1Block(title, "a", "b", "1999", "c", genre);
}
Bytes Tag2() { return testing::Id3v2Tag(3, {testing::TextFrame("TIT2", 0, "x")}, 64); }

// MPEG 1 Layer III frames of 417 bytes; the first may carry a marker.
Bytes Frames(int count, uint8_t fill, const char* marker = nullptr, size_t marker_at = 36,
             bool crc = false) {
  Bytes out;
  for (int i = 0; i < count; ++i) {
    Bytes f(417, fill);
    f[0] = 0xFF;
    f[1] = crc ? 0xFA : 0xFB;
    f[2] = 0x90;
    f[3] = 0x44;
    if (i == 0 && marker) std::memcpy(f.data() + marker_at, marker, 4);
    out.insert(out.end(), f.begin(), f.end());
  }
  return out;
}

class JoinerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = dir_.filePath("program") + u'/';
    music_ = dir_.filePath("music") + u'/';
    QDir().mkpath(program_);
    QDir().mkpath(music_);
    options_.main_folder = music_;
    options_.show_current_file = true;
    options_.size_unit = "Bytes";
    // A trash of the test's own, whatever other tests left in the environment.
    old_data_home_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.filePath("share")));
  }
  void TearDown() override {
    SetJoinWriteHookForTesting({});
    qputenv("XDG_DATA_HOME", old_data_home_);
  }

  Joiner& J() {
    if (!joiner_) {
      joiner_ =
          std::make_unique<Joiner>(ToolContext{desktop_, status_, pellox_, options_, program_});
    }
    return *joiner_;
  }
  QString Write(const QString& name, const Bytes& bytes) {
    testing::WriteFileBytes(music_ + name, bytes);
    return music_ + name;
  }
  Bytes Read(const QString& name) { return testing::ReadFileBytes(music_ + name); }
  QStringList MessageTexts() const {
    QStringList texts;
    for (const auto& m : desktop_.messages) texts << m.text;
    return texts;
  }
  // What is left in the music folder, hidden files included.
  QStringList Entries() const {
    return QDir(music_).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }
  // Whether the test's trash holds a file of these bytes.
  bool TrashHolds(const Bytes& bytes) const {
    QDirIterator it(dir_.filePath("share/Trash/files"), QDir::Files);
    while (it.hasNext()) {
      if (testing::ReadFileBytes(it.next()) == bytes) return true;
    }
    return false;
  }

  QTemporaryDir dir_;
  QString program_, music_;
  FakeDesktop desktop_;
  ToolsStatus status_;
  PelloxBinding pellox_{QStringLiteral(ORLAVO_BIN_DIR)};
  Options options_;
  std::unique_ptr<Joiner> joiner_;
  QByteArray old_data_home_;
};

// What each source gives: up to its ID3v1 tag, without a leading information
// frame (right after the ID3v2 tag, marker at either side-info offset), the
// ID3v2 tag itself kept; a file that only looks like one is copied whole.
TEST_F(JoinerTest, EachSourceGivesItsAudioWithoutTagAndInformationFrame) {
  const Bytes a = Frames(3, 0x11), b = Frames(2, 0x22);
  Bytes lower = Tag1();
  std::memcpy(lower.data(), "tag", 3);
  struct Case {
    const char* name;
    Bytes file;
    Bytes given;
  } cases[] = {
      {"plain", a, a},
      {"ID3v1 tag", Concat({a, Tag1()}), a},
      {"lower-case tag", Concat({a, lower}), Concat({a, lower})},
      {"ID3v2 tag and Xing", Concat({Tag2(), Frames(1, 0, "Xing"), b, Tag1()}),
       Concat({Tag2(), b})},
      {"Info", Concat({Frames(1, 0, "Info"), b}), b},
      {"VBRI", Concat({Frames(1, 0, "VBRI"), b}), b},
      {"Xing two bytes later, CRC", Concat({Frames(1, 0, "Xing", 38, true), b}), b},
      {"Xing in the second frame is audio", Concat({b, Frames(1, 0, "Xing")}),
       Concat({b, Frames(1, 0, "Xing")})},
  };
  for (const Case& c : cases) {
    const QString first = Write("1.mp3", c.file);
    const QString second = Write("2.mp3", Concat({a, Tag1()}));
    QFile::remove(music_ + "out.mp3");
    JoinOutcome outcome = JoinFiles({first, second}, music_ + "out.mp3", std::nullopt);
    ASSERT_TRUE(outcome.ok) << c.name << ": " << outcome.reason.toStdString();
    EXPECT_EQ(outcome.sources_joined, 2);
    EXPECT_EQ(Read("out.mp3"), Concat({c.given, a})) << c.name;
  }
}

TEST_F(JoinerTest, NewTagEndsTheFileAndGenreTextsMatchExactly) {
  EXPECT_EQ(JoinGenreNumber(""), 0);
  EXPECT_EQ(JoinGenreNumber("Bebob"), 84);
  EXPECT_EQ(JoinGenreNumber("bebob"), 0);
  EXPECT_EQ(JoinGenreNumber(" "), 147);
  EXPECT_EQ(JoinGenreNumber("Synthpop"), 146);

  const Bytes a = Frames(2, 0x11);
  const QString one = Write("1.mp3", Concat({a, Tag1("old")})), two = Write("2.mp3", a);
  JoinTag tag{"Title", "Artist", "Album", "2024", "Comment", 84};
  ASSERT_TRUE(JoinFiles({one, two}, music_ + "out.mp3", tag).ok);
  Bytes out = Read("out.mp3");
  ASSERT_EQ(out.size(), 2 * a.size() + 128);
  EXPECT_EQ(Bytes(out.begin(), out.end() - 128), Concat({a, a}));
  Bytes block(out.end() - 128, out.end());
  EXPECT_EQ(std::string(block.begin(), block.begin() + 8), "TAGTitle");
  EXPECT_EQ(std::string(block.begin() + 33, block.begin() + 39), "Artist");
  EXPECT_EQ(block[33 + 29], ' ');  // fields are padded with spaces
  EXPECT_EQ(std::string(block.begin() + 93, block.begin() + 97), "2024");
  EXPECT_EQ(block[127], 84);
}

// Nothing partial is ever left: not under the final name, not as a temporary
// file; an existing destination survives a failed join.
TEST_F(JoinerTest, FailuresLeaveNoFile) {
  const Bytes a = Frames(2, 0x11);
  const QString good = Write("good.mp3", a);
  const QString tag_only = Write("tagonly.mp3", Tag1());
  const QString empty = Write("empty.mp3", {});
  struct Case {
    const char* name;
    QStringList sources;
    QString failed;
  } cases[] = {
      {"missing source", {good, music_ + "gone.mp3"}, music_ + "gone.mp3"},
      {"only an ID3v1 tag", {good, tag_only}, tag_only},
      {"empty file", {empty, good}, empty},
      {"a folder", {good, music_}, music_},
  };
  for (const Case& c : cases) {
    JoinOutcome outcome = JoinFiles(c.sources, music_ + "out.mp3", std::nullopt);
    EXPECT_FALSE(outcome.ok) << c.name;
    EXPECT_EQ(outcome.failed_source, c.failed) << c.name;
    EXPECT_EQ(Entries(), QStringList({"empty.mp3", "good.mp3", "tagonly.mp3"})) << c.name;
  }
  EXPECT_FALSE(JoinFiles({}, music_ + "out.mp3", JoinTag{}).ok);
  // A disk that fills up half way.
  SetJoinWriteHookForTesting([&](qint64 bytes) { return bytes <= qint64(a.size()); });
  JoinOutcome full = JoinFiles({good, good}, music_ + "out.mp3", std::nullopt);
  EXPECT_FALSE(full.ok);
  EXPECT_TRUE(full.failed_source.isEmpty());
  EXPECT_FALSE(full.reason.isEmpty());
  EXPECT_EQ(Entries(), QStringList({"empty.mp3", "good.mp3", "tagonly.mp3"}));
  SetJoinWriteHookForTesting({});
  // A destination that appears during the join is never replaced.
  const QString late = Write("late.mp3", Bytes{1, 2, 3});
  EXPECT_FALSE(JoinFiles({good, good}, late, std::nullopt).ok);
  EXPECT_EQ(Read("late.mp3"), (Bytes{1, 2, 3}));
}

// A real full disk: a small file system of the test's own (needs root).
TEST_F(JoinerTest, FullDiskLeavesNoPartialFile) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  QTemporaryDir small;
  const QByteArray at = QFile::encodeName(small.path());
  if (mount("tmpfs", at.constData(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount tmpfs here";
  }
  const Bytes a = Frames(100, 0x11);  // 41,700 bytes: two do not fit
  const QString one = Write("1.mp3", a), two = Write("2.mp3", a);
  const QString folder = small.path() + u'/';
  J().AddSource(one);
  J().AddSource(two);
  J().folder = folder;
  J().file_name = "joined.mp3";
  EXPECT_FALSE(J().Join().joined);
  EXPECT_EQ(MessageTexts(), QStringList(joiner_text::kCannotJoin));
  EXPECT_EQ(desktop_.messages.back().icon, Desktop::Icon::kCritical);
  EXPECT_TRUE(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
  umount2(at.constData(), MNT_DETACH);
}

TEST_F(JoinerTest, ChecksRunInOrderAndWriteNothingWhenRefused) {
  const Bytes a = Frames(2, 0x11);
  struct Case {
    const char* name;
    int sources;
    QString folder, file_name;
    std::vector<Answer> answers;
    QStringList texts;
    Joiner::Focus focus;
    QString folder_after, name_after;
  } cases[] = {
      {"empty list", 0, music_, "x.mp3", {}, {joiner_text::kNothingToJoin}, Joiner::Focus::kNone},
      {"one entry", 1, music_, "x.mp3", {}, {joiner_text::kOneTrack}, Joiner::Focus::kNone},
      {"no folder", 2, "", "x.mp3", {}, {"No folder selected."}, Joiner::Focus::kFolder},
      {"relative folder",
       2,
       "music/",
       "x.mp3",
       {},
       {"No folder selected."},
       Joiner::Focus::kFolder},
      {"no name", 2, music_, "", {}, {"No MP3 selected"}, Joiner::Focus::kFileName},
      {"only the ending", 2, music_, ".mp3", {}, {"No MP3 selected"}, Joiner::Focus::kFileName},
      {"folder without slash, No",
       2,
       dir_.filePath("music"),
       "x.mp3",
       {Answer::kNo},
       {"Incorrect folder name.  Would you like to change that to " + dir_.filePath("music") +
        "/?"},
       Joiner::Focus::kNone,
       dir_.filePath("music")},
      {"name with a folder, No",
       2,
       music_,
       "sub/x.mp3",
       {Answer::kNo},
       {"Incorrect MP3 file name.  Would you like to change that to x.mp3?"},
       Joiner::Focus::kNone,
       music_,
       "sub/x.mp3"},
      {"name that is a folder, Yes",
       2,
       music_,
       "sub/",
       {Answer::kYes},
       {"Incorrect MP3 file name.  Would you like to change that to ?", "No MP3 selected"},
       Joiner::Focus::kFileName,
       music_,
       ""},
  };
  for (const Case& c : cases) {
    joiner_.reset();
    desktop_.messages.clear();
    desktop_.answers.assign(c.answers.begin(), c.answers.end());
    for (int i = 0; i < c.sources; ++i) J().AddSource(Write(QString("%1.mp3").arg(i), a));
    J().folder = c.folder;
    J().file_name = c.file_name;
    Joiner::RunResult r = J().Join();
    EXPECT_FALSE(r.joined) << c.name;
    EXPECT_EQ(r.focus, c.focus) << c.name;
    EXPECT_EQ(MessageTexts(), c.texts) << c.name;
    if (!c.folder_after.isEmpty()) EXPECT_EQ(J().folder, c.folder_after) << c.name;
    if (!c.name_after.isNull()) EXPECT_EQ(J().file_name, c.name_after) << c.name;
    EXPECT_FALSE(QFile::exists(music_ + "x.mp3")) << c.name;
    for (int i = 0; i < 2; ++i) QFile::remove(music_ + QString("%1.mp3").arg(i));
  }
  EXPECT_EQ(desktop_.messages.front().icon, Desktop::Icon::kQuestion);
}

TEST_F(JoinerTest, JoinFixesTheNamesItMayAndReportsInTheStatusArea) {
  const Bytes a = Frames(2, 0x11);
  J().AddSource(Write("b.mp3", a));
  J().AddSource(Write("a.mp3", Concat({a, Tag1()})));
  ASSERT_EQ(J().sources().row(0).text, "a.mp3");
  J().folder = dir_.filePath("music");
  J().file_name = "sub/Joined.MP3";
  desktop_.answers = {Answer::kYes, Answer::kYes};
  // "Join" pressed again while the join lets events run does nothing.
  int nested = 0;
  QStringList captions;
  desktop_.on_events = [&] {
    captions << status_.status_text() + " " + status_.percent_text();
    nested += J().Join().joined ? 100 : 1;
  };
  ASSERT_TRUE(J().Join().joined);
  EXPECT_EQ(nested, 2);
  EXPECT_EQ(captions, QStringList({"Joining a.mp3 50%", "Joining b.mp3 100%"}));
  EXPECT_TRUE(desktop_.messages.size() == 2u);
  EXPECT_EQ(J().folder, music_);
  EXPECT_EQ(J().file_name, "Joined.MP3.mp3");
  EXPECT_EQ(Read("Joined.MP3.mp3"), Concat({a, a}));
  EXPECT_EQ(status_.status_text(), "Joined 2 files.");
  EXPECT_EQ(status_.percent_text(), "0%");
  EXPECT_EQ(status_.bar_total(), 0);
  EXPECT_EQ(desktop_.events_run, 2);
}

TEST_F(JoinerTest, OverwriteAsksAndSendsTheOldFileToTheTrash) {
  const Bytes a = Frames(2, 0x11);
  J().AddSource(Write("1.mp3", a));
  J().AddSource(Write("2.mp3", a));
  J().folder = music_;
  J().file_name = "old.mp3";
  Write("old.mp3", Bytes{9, 9, 9});
  ASSERT_FALSE(TrashHolds(Bytes{9, 9, 9}));
  EXPECT_FALSE(J().Join().joined);  // No
  EXPECT_EQ(MessageTexts(), QStringList(joiner_text::kOverwrite));
  EXPECT_EQ(Read("old.mp3"), (Bytes{9, 9, 9}));

  desktop_.answers = {Answer::kYes};
  ASSERT_TRUE(J().Join().joined);
  EXPECT_EQ(Read("old.mp3"), Concat({a, a}));
  EXPECT_TRUE(TrashHolds(Bytes{9, 9, 9}));

  // The destination may be one of the sources: it is read before it goes.
  J().file_name = "1.mp3";
  desktop_.answers = {Answer::kYes};
  ASSERT_TRUE(J().Join().joined);
  EXPECT_EQ(Read("1.mp3"), Concat({a, a}));
  EXPECT_EQ(Entries(), QStringList({"1.mp3", "2.mp3", "old.mp3"}));
}

TEST_F(JoinerTest, ListOperations) {
  Write("big.mp3", Bytes(2000, 0));
  Write("small.mp3", Bytes(1000, 0));
  const QString batch = dir_.filePath("lists/batch.txt");
  QDir().mkpath(dir_.filePath("lists"));
  QFile f(batch);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(("// a comment\r\n\r\n" + music_ + "small.mp3\r\n").toUtf8());
  f.close();

  EXPECT_EQ(J().SizeCaption(), "Destination size: 0 bytes");
  desktop_.files = {music_ + "big.mp3", batch};
  J().AddFiles();
  EXPECT_EQ(J().folder, music_);
  J().AddFiles();
  EXPECT_EQ(desktop_.file_dialog_titles.front(), "Select Source File");
  ASSERT_EQ(J().sources().size(), 2);
  EXPECT_EQ(J().sources().row(0).text, "big.mp3");
  EXPECT_EQ(J().folder, dir_.filePath("lists") + u'/');
  EXPECT_EQ(J().SizeCaption(), "Destination size: 3,000 bytes");
  J().AddFiles();  // cancelled
  EXPECT_EQ(J().sources().size(), 2);

  EXPECT_FALSE(J().Clear());
  EXPECT_EQ(desktop_.messages.back().title, "Reset source list...");
  EXPECT_EQ(desktop_.messages.back().text, "Are you sure?");
  EXPECT_EQ(J().sources().size(), 2);
  desktop_.answers = {Answer::kYes};
  EXPECT_TRUE(J().Clear());
  EXPECT_EQ(J().SizeCaption(), "Destination size: 0 bytes");

  desktop_.folders = {"/tmp/x", ""};
  J().BrowseFolder();
  EXPECT_EQ(J().folder, "/tmp/x/");
  J().BrowseFolder();
  EXPECT_EQ(J().folder, "/tmp/x/");
  EXPECT_EQ(desktop_.browse_titles.front(), "Select MP3 Folder...");
  EXPECT_EQ(desktop_.browse_initials.back(), "/tmp/x/");

  J().RandomName();
  EXPECT_TRUE(QRegularExpression("^[a-z]{8}\\.mp3$").match(J().file_name).hasMatch())
      << J().file_name.toStdString();
}

TEST_F(JoinerTest, NameFromTagAndTheStoredTagBox) {
  J().NameFromTag();
  EXPECT_EQ(J().file_name, "no source files");
  J().AddSource(
      Write("x.mp3", Concat({Frames(1, 0), testing::Id3v1Block("Song", "Band", "", "", "", 1)})));
  J().AddSource(Write("y.mp3", Frames(1, 0)));
  J().file_name = "keep.mp3";
  J().NameFromTag();  // nothing selected
  EXPECT_EQ(J().file_name, "keep.mp3");
  J().sources().SelectOnly(1);
  J().NameFromTag();  // no tag
  EXPECT_EQ(J().file_name, "keep.mp3");
  J().sources().SelectOnly(0);
  J().NameFromTag();
  EXPECT_EQ(J().file_name, "Band - Song.mp3");

  Settings settings(program_);
  struct Case {
    const char* stored;
    bool before, after;
    const char* written;
  } cases[] = {{"1", false, true, "1"},
               {"0", true, false, "0"},
               {"yes", true, true, "1"},
               {"", false, false, "0"}};
  for (const Case& c : cases) {
    settings.Write(settings_key::kAddv1TAGOnJoin, c.stored);
    J().SetAddTag(c.before);
    settings.Write(settings_key::kAddv1TAGOnJoin, c.stored);
    J().Show();
    EXPECT_EQ(J().add_tag(), c.after) << c.stored;
    EXPECT_EQ(settings.Read(settings_key::kAddv1TAGOnJoin), c.written) << c.stored;
  }
}

// Joined real streams play as players play them: no decoder complaint, and as
// long as their sources together.
TEST_F(JoinerTest, JoinedRealStreamsDecodeToTheSourcesLength) {
  ASSERT_TRUE(testing::Mpg123Available()) << "mpg123 is not installed";
  struct Source {
    testing::EncodeParams params;
    bool tags;
  } sources[] = {
      {{.seconds = 1.5, .info_frame = true}, true},
      {{.seconds = 2.0, .vbr = true, .info_frame = true}, false},
      {{.seconds = 1.0}, true},
  };
  QStringList paths;
  qint64 sum = 0, frame = 1152;
  for (const Source& s : sources) {
    Bytes audio = testing::EncodeMp3(s.params);
    Bytes file = s.tags ? Concat({Tag2(), audio, Tag1()}) : audio;
    paths << Write(QString("src%1.mp3").arg(paths.size()), file);
    testing::Decoded d = testing::DecodeWithMpg123(paths.back());
    ASSERT_TRUE(d.clean) << d.complaints.toStdString();
    sum += d.samples;
  }
  ASSERT_TRUE(JoinFiles(paths, music_ + "joined.mp3", JoinTag{"t"}).ok);
  testing::Decoded joined = testing::DecodeWithMpg123(music_ + "joined.mp3");
  EXPECT_TRUE(joined.clean) << joined.complaints.toStdString();
  // Every audio frame decodes whole (no gapless trimming), so the counts are
  // exact: an information frame kept in the middle would decode as one more
  // frame of silence.
  EXPECT_EQ(joined.samples, sum);
  EXPECT_NEAR(joined.samples, sum, frame * paths.size());
}

}  // namespace
}  // namespace orlavo

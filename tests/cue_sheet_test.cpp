#include "tools/splitter/cue_sheet.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/qstring_print.h"

namespace orlavo {
namespace {

class CueSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = dir_.path() + u'/';
    Touch("album.mp3");
  }
  void Touch(const QString& name) {
    QFile f(folder_ + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  CueSheet Parse(const QByteArray& bytes) { return ParseCueSheet(bytes, folder_ + "x.cue"); }

  QTemporaryDir dir_;
  QString folder_;
};

// A sheet as rippers write it: header lines, quoted names, PERFORMER and REM
// lines, TITLE before INDEX, INDEX 00 pregaps, CD frames, a WAVE file type.
TEST_F(CueSheetTest, ReadsRealWorldSheets) {
  const QByteArray sheet =
      "\xEF\xBB\xBFREM GENRE Rock\r\n"
      "REM DATE 1999\r\n"
      "PERFORMER \"The Band\"\r\n"
      "TITLE \"The Album\"\r\n"
      "FILE \"album.wav\" WAVE\r\n"
      "  TRACK 01 AUDIO\r\n"
      "    TITLE \"Opening\"\r\n"
      "    PERFORMER \"The Band\"\r\n"
      "    INDEX 01 00:00:33\r\n"
      "  TRACK 02 AUDIO\r\n"
      "    FLAGS DCP\r\n"
      "    TITLE \"Second \"Song\"\"\r\n"
      "    ISRC USRC17607839\r\n"
      "    INDEX 00 03:18:70\r\n"
      "    INDEX 01 03:20:37\r\n"
      "  TRACK 03 AUDIO\r\n"
      "    INDEX 01 07:00:00\r\n"
      "    SONGWRITER \"Someone\"\r\n"
      "  TRACK 04 AUDIO\r\n"
      "    INDEX 00 09:59:74\r\n"
      "    TITLE \"Hidden\"\r\n";
  for (QByteArray bytes : {sheet, QByteArray(sheet).replace("\r\n", "\n")}) {
    const CueSheet cue = Parse(bytes);
    EXPECT_EQ(cue.kind, CueKind::kStandard);
    // The sheet names the CD image; the MP3 beside it is the source.
    EXPECT_EQ(cue.source, folder_ + "album.mp3");
    EXPECT_EQ(cue.destination, folder_);
    ASSERT_EQ(cue.tracks.size(), 4u);
    EXPECT_EQ(cue.tracks[0].title, "Opening");
    EXPECT_EQ(cue.tracks[1].title, "Second \"Song\"");
    EXPECT_EQ(cue.tracks[2].title, "");
    EXPECT_EQ(cue.tracks[3].title, "Hidden");
    EXPECT_EQ(cue.tracks[0].start_ms, 440);     // 33 frames
    EXPECT_EQ(cue.tracks[1].start_ms, 200493);  // INDEX 01 wins over 00; 37 frames
    EXPECT_EQ(cue.tracks[2].start_ms, 420000);
    EXPECT_EQ(cue.tracks[3].start_ms, 599987);  // only INDEX 00: 74 frames
    EXPECT_TRUE(cue.error.isEmpty());
  }
}

TEST_F(CueSheetTest, FindsTheSourceHoweverTheFileLineNamesIt) {
  Touch("My Song.mp3");
  const QString other = dir_.path() + "/sub";
  QDir().mkpath(other);
  struct Case {
    QString line;
    QString source;
  } cases[] = {
      {"FILE \"My Song.mp3\" MP3", folder_ + "My Song.mp3"},
      {"FILE My Song.mp3 MP3", folder_ + "My Song.mp3"},
      {"FILE \"" + folder_ + "album.mp3\" MP3", folder_ + "album.mp3"},
      {"FILE " + folder_ + "album.mp3 MP3", folder_ + "album.mp3"},  // as this program wrote it
      {"FILE \"album.flac\" BINARY", folder_ + "album.mp3"},
      {"FILE \"album\" WAVE", folder_ + "album.mp3"},
      {"FILE \"gone.mp3\" MP3", folder_ + "gone.mp3"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Parse(c.line.toUtf8() + "\r\n  TRACK 01 AUDIO\r\n").source, c.source)
        << c.line.toStdString();
  }
}

TEST_F(CueSheetTest, TellsOrvFromStandardByAnyFileLine) {
  const CueSheet orv = Parse(
      "/music/a.mp3\r\n/music/out/\r\n01\tFirst\t00:00:000\t01:00:000\t01:00:000\t\r\n\r\n"
      "02\tSecond\t01:00:000\t02:30:500\t01:30:500\t\r\n");
  EXPECT_EQ(orv.kind, CueKind::kOrv);
  EXPECT_EQ(orv.source, "/music/a.mp3");
  EXPECT_EQ(orv.destination, "/music/out/");
  ASSERT_EQ(orv.rows.size(), 2u);
  EXPECT_EQ(orv.rows[1].name, "Second");
  EXPECT_EQ(orv.rows[1].end, "02:30:500");
  EXPECT_EQ(orv.rows[1].duration, "01:30:500");

  // A malformed line stops the load; the rows before it stay.
  const CueSheet broken = Parse("/a.mp3\n/out/\n01\tA\t00:00:000\t01:00:000\t01:00:000\t\nbad\n");
  EXPECT_EQ(broken.rows.size(), 1u);
  EXPECT_FALSE(broken.error.isEmpty());

  EXPECT_EQ(Parse("TITLE \"x\"\nFILE \"album.mp3\" MP3\n").kind, CueKind::kStandard);
  // Sheets of older Windows programs are in the ANSI code page.
  EXPECT_EQ(Parse("FILE \"album.mp3\" MP3\nTRACK 01 AUDIO\nTITLE \"Caf\xE9\"\n").tracks[0].title,
            QString::fromUtf8("Caf\u00e9"));
  // A name that only begins with FILE is not a FILE line.
  EXPECT_EQ(Parse("FILES/a.mp3\n/out/\n").kind, CueKind::kOrv);
}

TEST_F(CueSheetTest, WritesBothFormsAndReadsThemBack) {
  const std::vector<CueRow> rows = {
      {"01", "First", "00:00:000", "01:00:500", "01:00:500"},
      {"02", "Two \"quoted\"", "01:00:500", "02:00:000", "00:59:500"},
  };
  const QString standard = StandardCueText(folder_ + "album.mp3", rows);
  EXPECT_EQ(standard, "FILE \"" + folder_ +
                          "album.mp3\" MP3\r\n"
                          "  TRACK 01 AUDIO\r\n    TITLE \"First\"\r\n    INDEX 01 00:00:00\r\n"
                          "  TRACK 02 AUDIO\r\n    TITLE \"Two \"quoted\"\"\r\n"
                          "    INDEX 01 01:00:38\r\n");
  const CueSheet back = Parse(standard.toUtf8());
  ASSERT_EQ(back.tracks.size(), 2u);
  EXPECT_EQ(back.source, folder_ + "album.mp3");
  EXPECT_EQ(back.tracks[1].title, "Two \"quoted\"");
  EXPECT_EQ(back.tracks[1].start_ms, 60507);  // 38 frames: within a frame of 500 ms

  EXPECT_EQ(OrvCueText("/a.mp3", "/out/", rows),
            "/a.mp3\r\n/out/\r\n01\tFirst\t00:00:000\t01:00:500\t01:00:500\t\r\n"
            "02\tTwo \"quoted\"\t01:00:500\t02:00:000\t00:59:500\t\r\n");

  // The form this program wrote before: milliseconds, TITLE after INDEX.
  const CueSheet old = Parse("FILE " + folder_.toUtf8() +
                             "album.mp3 MP3\r\n"
                             "  TRACK 01 AUDIO\r\n    INDEX 01 00:00:000\r\n    TITLE First\r\n"
                             "  TRACK 02 AUDIO\r\n    INDEX 01 01:00:500\r\n    TITLE Second\r\n");
  ASSERT_EQ(old.tracks.size(), 2u);
  EXPECT_EQ(old.tracks[0].title, "First");
  EXPECT_EQ(old.tracks[1].title, "Second");
  EXPECT_EQ(old.tracks[1].start_ms, 60500);
}

TEST(CueIndexTest, ConvertsFramesAndMilliseconds) {
  EXPECT_EQ(CueIndexMilliseconds("00:00:00"), 0);
  EXPECT_EQ(CueIndexMilliseconds("00:01:74"), 1987);
  EXPECT_EQ(CueIndexMilliseconds("00:01:999"), 1999);
  EXPECT_EQ(CueIndexMilliseconds("125:00:00"), 7500000);
  EXPECT_EQ(CueIndexText(0), "00:00:00");
  EXPECT_EQ(CueIndexText(1994), "00:02:00");  // 74.8 frames round up into the next second
  EXPECT_EQ(CueIndexText(7500000), "125:00:00");
}

TEST(SavedCueTest, TakesTheNextFreeNumber) {
  QTemporaryDir program;
  QString error;
  const std::optional<QString> first = SaveCueText(program.path(), "a\r\n", &error);
  const std::optional<QString> second = SaveCueText(program.path(), "b\r\n", &error);
  ASSERT_TRUE(first && second) << error.toStdString();
  EXPECT_EQ(*first, program.path() + "/Files/Saved_Cue001.cue");
  EXPECT_EQ(*second, program.path() + "/Files/Saved_Cue002.cue");
  QFile f(*second);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), "b\r\n");
  // Nothing else is left in the folder.
  EXPECT_EQ(QDir(program.path() + "/Files").entryList(QDir::Files | QDir::Hidden).size(), 2);
}

}  // namespace
}  // namespace orlavo

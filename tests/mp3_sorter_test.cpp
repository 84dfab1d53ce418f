#include "tools/sorter/mp3_sorter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimeZone>
#include <memory>

#include "app/flags.h"
#include "app/helpers.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/mp3_bytes.h"
#include "tests/support/qstring_print.h"

namespace orlavo {
namespace {

using testing::FakeDesktop;

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class Mp3SorterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StopRequested = false;
    program_ = dir_.filePath("program") + u'/';
    music_ = dir_.filePath("music") + u'/';
    root_ = dir_.filePath("sorted") + u'/';
    QDir().mkpath(program_ + "Files");
    QDir().mkpath(music_);
    QDir().mkpath(root_);
    options_.main_folder = music_;
    options_.include_sub_directories = true;
    options_.no_warning = true;
  }

  Mp3Sorter& Sorter() {
    if (!sorter_) {
      sorter_ =
          std::make_unique<Mp3Sorter>(ToolContext{desktop_, status_, pellox_, options_, program_});
    }
    return *sorter_;
  }

  QString Song(const QString& name, const QByteArray& artist, const QByteArray& album = {},
               unsigned char genre = 17, bool tagged = true) {
    QByteArray bytes = testing::MpegFrameBytes();
    if (tagged) bytes += testing::Id3v1TagBytes("Title", artist, album, "1999", {}, genre);
    EXPECT_TRUE(testing::WriteBytes(music_ + name, bytes));
    return music_ + name;
  }

  int Row(const QString& path) const { return sorter_->list().IndexOfPath(path); }

  QTemporaryDir dir_;
  QString program_, music_, root_;
  Options options_;
  FakeDesktop desktop_;
  ToolsStatus status_;
  PelloxBinding pellox_{QStringLiteral(ORLAVO_BIN_DIR)};
  std::unique_ptr<Mp3Sorter> sorter_;
};

TEST_F(Mp3SorterTest, PlanFileLinesForThreeQueenFilesAndOneWithoutArtist) {
  Song("q1.mp3", "Queen");
  Song("q2.mp3", "Queen");
  Song("sub/q3.mp3", "Queen");
  Song("none.mp3", {}, {}, 255, /*tagged=*/false);
  Sorter().Scan();
  ASSERT_EQ(Sorter().list().size(), 4);
  Sorter().SetRootPath(root_.chopped(1));  // typed without the closing "/"
  ASSERT_TRUE(Sorter().Sort());
  const QString plan = program_ + "Files/Sort by Artist.txt";
  EXPECT_EQ(Sorter().PlanPath(), plan);
  const QString expected =
      "// Sort by Artist file was created with Orlavo Professional v1.0 software.\r\n"
      "// This file represents sorted data which will be used to\r\n"
      "// sort the files regarding your selection: Sort by Artist\r\n"
      "\r\n"
      "// All lines starting with '//' will be ignored.\r\n"
      "\r\n"
      "// NOTE: At the bottom of the file you may find a list of MP3 files\r\n"
      "//       which couldn't be sorted (posible blank field in MP3, or an error.)\r\n"
      "//       You have 3 options that you may want to consider:\r\n"
      "//       : Fix the problem by editing MP3s listed.\r\n"
      "//       : Copy/paste the lines into their appropriate folders and remove '//' in the "
      "beginning.\r\n"
      "//       : Leave them as is, they will be ignored, thus, will not be moved (unless '//' is "
      "removed.)\r\n"
      "\r\n"
      "// PLEASE DO NOT MODIFY ANYTHING UNLESS YOU FOLLOW THE SYNTAX RULES.\r\n"
      "// : FOLDER MUST BE ENCLOSED INSIDE OF [] (brackets). Ex. [FOLDERNAME/]\r\n"
      "// : EMPTY LINES OR LINES STARTING WITH '//' WILL BE IGNORED, ALL OTHER LINES WILL BE\r\n"
      "//   PROCESSED AND MAY CAUSE AN ERROR IF EDITED INCORRECTLY.\r\n"
      "\r\n"
      "// Total folders: 1\r\n"
      "// Total MP3s: 4\r\n"
      "\r\n"
      "// Start of the data.\r\n"
      "\r\n"
      "[ROOT/Queen/]\r\n"
      "MUSICq1.mp3\r\n"
      "MUSICq2.mp3\r\n"
      "MUSICsub/q3.mp3\r\n"
      "\r\n"
      "// Following MP3s were not sorted because they are missing artist entry, requires "
      "attention!!!\r\n"
      "// MUSICnone.mp3\r\n"
      "\r\n"
      "// End of the data.\r\n";
  QString text = expected;
  text.replace("ROOT/", root_).replace("MUSIC", music_);
  EXPECT_EQ(Read(plan), text.toUtf8());
  EXPECT_EQ(Sorter().action_caption(), "Continue...");
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text, sorter_text::kReview);
  EXPECT_EQ(desktop_.opened, QStringList{plan});
  EXPECT_EQ(Sorter().progress().root_label, "Folders will be created in: " + root_);
  EXPECT_EQ(Sorter().progress().option_label, "Sort by Artist is your selected option");

  // Carried out with both playlists: the files are in the folder, the
  // unsorted one stays, the root is opened and the list scanned again.
  Sorter().m3u_each = Sorter().m3u_global = true;
  Sorter().PressAction();
  EXPECT_TRUE(QFile::exists(root_ + "Queen/q3.mp3"));
  EXPECT_TRUE(QFile::exists(music_ + "none.mp3"));
  EXPECT_TRUE(Read(root_ + "Queen/Queen.m3u").startsWith("#EXTM3U\r\n#EXTINF:000,q1.mp3\r\n"));
  EXPECT_TRUE(QFile::exists(root_ + "Playlist.m3u"));
  EXPECT_EQ(desktop_.opened.last(), root_);
  EXPECT_EQ(Sorter().list().size(), 1);
  EXPECT_FALSE(Sorter().progress().visible);
}

TEST_F(Mp3SorterTest, ValuesMakeFoldersExactlyAndBadOnesGoToTheErrorList) {
  Song("a.mp3", "Queen");
  Song("b.mp3", "queen");
  Song("c.mp3", "AC/DC");
  Song("d.mp3", "Abba", {}, 255);  // blank genre
  Song("e.mp3", {}, {}, 255, false);
  Sorter().Scan();
  Sorter().SetRootPath(root_);

  // Artist: Queen and queen are two folders; AC/DC cannot name one.
  ASSERT_TRUE(Sorter().Sort());
  const QString plan = QString::fromUtf8(Read(Sorter().PlanPath()));
  EXPECT_TRUE(plan.contains("[" + root_ + "Queen/]\r\n" + music_ + "a.mp3\r\n"));
  EXPECT_TRUE(plan.contains("[" + root_ + "queen/]\r\n" + music_ + "b.mp3\r\n"));
  EXPECT_TRUE(plan.contains("// " + music_ + "e.mp3\r\n"));
  EXPECT_TRUE(plan.contains("// Total folders: 4\r\n"));
  ASSERT_EQ(Sorter().errors().size(), 1);
  const ReportRow& error = Sorter().errors().row(0);
  EXPECT_EQ(error.text, "c.mp3");
  EXPECT_EQ(error.columns, QStringList({"AC/DC", R"(Invalid characters: \ / : * ? " < > |)"}));
  EXPECT_EQ(Sorter().action_caption(), "View Errors");

  // "View Errors" unfolds the list instead of moving anything.
  Sorter().PressAction();
  EXPECT_TRUE(Sorter().errors_visible());
  EXPECT_TRUE(QFile::exists(music_ + "a.mp3"));

  // The fixer refuses a value that still cannot name a folder.
  ASSERT_TRUE(Sorter().OpenFixer(0));
  EXPECT_EQ(Sorter().fixer_caption(), "c.mp3");
  TagFields fields = Sorter().fixer_fields();
  EXPECT_EQ(fields.artist, "AC/DC");
  desktop_.messages.clear();
  EXPECT_FALSE(Sorter().SaveFixer(fields));
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text,
            R"(AC/DC contains one of the following invalid characters: \ / : * ? " < > |)");
  fields.artist = "ACDC";
  fields.genre = "no such genre";  // the fixer writes genre 0 then
  ASSERT_TRUE(Sorter().SaveFixer(fields));
  const int row = Row(music_ + "c.mp3");
  EXPECT_EQ(Sorter().list().row(row).ColumnText(kSorterArtist), "ACDC");
  EXPECT_EQ(Sorter().list().row(row).ColumnText(kSorterGenre), "Blues");
  EXPECT_EQ(Read(music_ + "c.mp3").right(128).at(127), '\0');
  EXPECT_TRUE(Sorter().errors().empty());
  EXPECT_FALSE(Sorter().errors_visible());
  EXPECT_FALSE(Sorter().fixer_open());
  EXPECT_EQ(Sorter().action_caption(), "Continue...");

  // Genre: a blank genre is a folder named by a single space, not unsorted.
  Sorter().SetOption(SortOption::kGenre);
  ASSERT_TRUE(Sorter().Sort());
  const QString genre_plan = QString::fromUtf8(Read(program_ + "Files/Sort by Genre.txt"));
  EXPECT_TRUE(
      genre_plan.contains("[" + root_ + " /]\r\n" + music_ + "d.mp3\r\n" + music_ + "e.mp3\r\n"));
  EXPECT_TRUE(genre_plan.contains("// All files were sorted.\r\n"));
}

TEST_F(Mp3SorterTest, DatesAreUtcWithEnglishMonthsAndFallBackToTheModificationTime) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  // 23:30 UTC on the 2nd is the 3rd in many places east of Greenwich.
  EXPECT_EQ(SortDateText(QDateTime(QDate(2004, 3, 2), QTime(23, 30), QTimeZone::utc())),
            "Mar 2 2004");
  EXPECT_EQ(SortDateText(QDateTime(QDate(1999, 12, 31), QTime(0, 0),
                                   QTimeZone(QByteArrayLiteral("Asia/Tokyo")))),
            "Dec 30 1999");
  QLocale::setDefault(saved);

  const QString a = Song("a.mp3", "X"), b = Song("b.mp3", "Y");
  const QFileInfo info(a);
  const QDateTime expected = info.birthTime().isValid() ? info.birthTime() : info.lastModified();
  EXPECT_EQ(CreationDateText(a), SortDateText(expected));
  Sorter().Scan();
  Sorter().SetRootPath(root_);
  Sorter().SetOption(SortOption::kDate);
  EXPECT_EQ(Sorter().list().row(Row(a)).ColumnText(kSorterCreated), SortDateText(expected));
  // Made the same day, so one folder for both (unless midnight falls between).
  ASSERT_TRUE(Sorter().Sort());
  const QString plan = QString::fromUtf8(Read(program_ + "Files/Sort by Date.txt"));
  if (CreationDateText(a) == CreationDateText(b)) {
    EXPECT_TRUE(plan.contains("[" + root_ + CreationDateText(a) + "/]\r\n" + a + "\r\n" + b));
  }
}

TEST_F(Mp3SorterTest, ClickHereRemovesBlankRowsAndTheEditorWritesTags) {
  // A tag of blanks.
  testing::WriteBytes(music_ + "blank.mp3", testing::MpegFrameBytes() +
                                                testing::Id3v1TagBytes("  ", {}, {}, " ", {}, 255));
  Song("none.mp3", {}, {}, 255, false);
  const QString kept = Song("kept.mp3", "Artist");
  Sorter().Scan();
  ASSERT_EQ(Sorter().list().size(), 3);
  EXPECT_EQ(Sorter().RemoveUntagged(), 0);  // answered No
  desktop_.answers = {Desktop::Answer::kYes};
  EXPECT_EQ(Sorter().RemoveUntagged(), 2);
  ASSERT_EQ(desktop_.messages.back().title, "Removing MP3s from the list...");
  ASSERT_EQ(Sorter().list().size(), 1);
  EXPECT_TRUE(QFile::exists(music_ + "none.mp3"));

  const TagFields fields = Sorter().SelectRow(0);
  EXPECT_EQ(fields.artist, "Artist");
  EXPECT_EQ(fields.genre, "Rock");
  TagFields changed = fields;
  changed.album = "A very long album name that runs past thirty";
  changed.genre = "Not a genre";  // the editor writes the blank genre then
  ASSERT_TRUE(Sorter().SaveEdit(changed));
  const ReportRow& row = Sorter().list().row(0);
  EXPECT_EQ(row.ColumnText(kSorterAlbum), "A very long album name that ru");
  EXPECT_EQ(row.ColumnText(kSorterGenre), " ");
  EXPECT_EQ(static_cast<unsigned char>(Read(kept).right(128).at(127)), 147);

  Sorter().list().SelectOnly(0);
  Sorter().RemoveTags();
  EXPECT_FALSE(Read(kept).right(128).startsWith("TAG"));
  EXPECT_EQ(Sorter().list().row(0).ColumnText(kSorterArtist), "");
  EXPECT_EQ(Sorter().edit_fields().artist, "");
}

TEST_F(Mp3SorterTest, NoRootAsksForOneAndWritesNoPlan) {
  Song("a.mp3", "Queen");
  Sorter().Scan();
  desktop_.folders = {dir_.filePath("picked")};
  EXPECT_FALSE(Sorter().Sort());
  EXPECT_EQ(desktop_.messages[0].text, sorter_text::kNoRoot);
  EXPECT_EQ(desktop_.browse_titles, QStringList{"Select MP3 Folder..."});
  EXPECT_EQ(Sorter().root_path(), dir_.filePath("picked") + "/");
  EXPECT_FALSE(QFile::exists(Sorter().PlanPath()));
}

}  // namespace
}  // namespace orlavo

#include "app/scan.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/desktop.h"
#include "app/flags.h"
#include "app/pellox_binding.h"
#include "app/syntax_checker.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/mp3_bytes.h"

namespace orlavo {
namespace {

using testing::FakeDesktop;
using testing::Mp3Layout;
using testing::RawNamedEntry;
using testing::WriteMp3File;

class RecordingProgress : public ProgressDisplay {
 public:
  void SetCaption(const QString& text) override { captions << text; }
  void SetBar(qint64 current, qint64 total) override {
    bars << QStringLiteral("%1/%2").arg(current).arg(total);
  }
  void SetPercent(const QString& text) override { percents << text; }
  QStringList captions, bars, percents;
};

class ScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.isValid());
    ASSERT_TRUE(music_.isValid());
    root_ = music_.path() + "/";
    setup_.program_folder = program_.path();
    setup_.main_folder = root_;
    StopRequested = false;
  }
  void TearDown() override { StopRequested = false; }

  void Make(const QString& relative, const Mp3Layout& layout = {}) {
    ASSERT_TRUE(WriteMp3File(root_ + relative, layout)) << relative.toStdString();
  }
  static QStringList Rows(const ReportList& list) {
    QStringList out;
    for (int i = 0; i < list.size(); ++i) {
      out << list.row(i).text + " | " + list.row(i).ColumnText(2);
    }
    return out;
  }

  QTemporaryDir program_, music_;
  QString root_;
  ScanSetup setup_;
  FakeDesktop desktop_;
  ReportList list_{MainListHeaders()};
};

const char kWarningText[] =
    "You have sub-folders selected. Scanning all the MP3s may take a little while. Are you sure "
    "you want to continue?";

TEST_F(ScanTest, WithoutSubFoldersListsTheRootFilesSortedWithoutAsking) {
  Make("b.mp3");
  Make("A.mp3");
  Make("sub/c.mp3");
  const ScanResult result = ShowFiles(list_, setup_, desktop_);
  EXPECT_EQ(result.outcome, ScanOutcome::kRefilled);
  EXPECT_TRUE(desktop_.messages.empty());
  ASSERT_EQ(list_.size(), 2);
  EXPECT_EQ(list_.row(0).text, "A.mp3");
  EXPECT_EQ(list_.row(0).tag, root_);
  EXPECT_EQ(list_.row(0).columns, QStringList({"417 bytes"}));
  EXPECT_EQ(list_.FullPath(1), root_ + "b.mp3");
  EXPECT_EQ(TotalMp3sText(list_.size()), "Total MP3s: 2");
}

TEST_F(ScanTest, SubFolderWarningAnsweredYesScansTheTree) {
  Make("z.mp3");
  Make("A/a.mp3");
  Make("A/B/b.mp3");
  setup_.include_sub_directories = true;
  setup_.prefix_dir = true;
  desktop_.answers.push_back(Desktop::Answer::kYes);
  EXPECT_EQ(ShowFiles(list_, setup_, desktop_).outcome, ScanOutcome::kRefilled);
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].title, "Scanning MP3s...");
  EXPECT_EQ(desktop_.messages[0].text, kWarningText);
  EXPECT_EQ(desktop_.messages[0].buttons, Desktop::Buttons::kYesNo);
  EXPECT_EQ(desktop_.messages[0].icon, Desktop::Icon::kInformation);
  EXPECT_EQ(Rows(list_),
            QStringList({root_ + "A/a.mp3 | ", root_ + "A/B/b.mp3 | ", root_ + "z.mp3 | "}));
}

TEST_F(ScanTest, SubFolderWarningAnsweredNoKeepsTheOldList) {
  Make("a.mp3");
  ReportRow old;
  old.text = "old.mp3";
  old.tag = "/elsewhere/";
  list_.AddRow(old);
  setup_.include_sub_directories = true;
  EXPECT_EQ(ShowFiles(list_, setup_, desktop_).outcome, ScanOutcome::kDeclined);
  ASSERT_EQ(desktop_.messages.size(), 1u);
  ASSERT_EQ(list_.size(), 1);
  EXPECT_EQ(list_.FullPath(0), "/elsewhere/old.mp3");
}

TEST_F(ScanTest, SuppressedWarningScansWithoutAsking) {
  Make("A/a.mp3");
  setup_.include_sub_directories = true;
  setup_.no_warning = true;
  EXPECT_EQ(ShowFiles(list_, setup_, desktop_).outcome, ScanOutcome::kRefilled);
  EXPECT_TRUE(desktop_.messages.empty());
  EXPECT_EQ(list_.size(), 1);
}

TEST_F(ScanTest, NoMainFolderLeavesTheListAlone) {
  list_.AddRow(ReportRow{.text = "x.mp3"});
  setup_.main_folder.clear();
  setup_.include_sub_directories = true;
  EXPECT_EQ(ShowFiles(list_, setup_, desktop_).outcome, ScanOutcome::kNoFolder);
  EXPECT_TRUE(desktop_.messages.empty());
  EXPECT_EQ(list_.size(), 1);
}

TEST_F(ScanTest, ShowsTheWorkingRowDuringTheWalkAndAStopEndsTheFilling) {
  Make("a.mp3");
  Make("b.mp3");
  QStringList seen;
  desktop_.on_events = [&] {
    if (seen.isEmpty()) {
      for (int i = 0; i < list_.size(); ++i) seen << list_.row(i).text;
      StopRequested = true;
    }
  };
  EXPECT_EQ(ShowFiles(list_, setup_, desktop_).outcome, ScanOutcome::kRefilled);
  EXPECT_EQ(seen, QStringList({"Working...Please Wait..."}));
  EXPECT_TRUE(list_.empty());
  EXPECT_TRUE(StopRequested);
}

TEST_F(ScanTest, NamesThatAreNotUtf8AreLeftOutWithAMessage) {
  Make("ok.mp3");
  RawNamedEntry bad(QFile::encodeName(root_) + "caf\xe9.mp3", false);
  ASSERT_TRUE(bad.ok());
  const ScanResult result = ShowFiles(list_, setup_, desktop_);
  EXPECT_EQ(list_.size(), 1);
  ASSERT_EQ(result.unreadable.size(), 1);
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].title, "");
  const QString& text = desktop_.messages[0].text;
  EXPECT_TRUE(text.contains("\r\n" + result.unreadable[0] + "\r\n"));
  // The way out: the command that gives them readable names.
  EXPECT_TRUE(text.contains("orlavo-cli fix-names '" + root_ + "'"));
}

TEST_F(ScanTest, SelectMainFolderRefusesAFolderWithoutMp3sAndAsksAgain) {
  Make("music/a.mp3");
  QDir().mkpath(root_ + "empty");
  desktop_.folders = {root_ + "empty", root_ + "music"};
  EXPECT_EQ(SelectMainFolder(desktop_, "/start/", setup_), root_ + "music/");
  EXPECT_EQ(desktop_.browse_titles, QStringList({"Select MP3 Folder...", "Select MP3 Folder..."}));
  EXPECT_EQ(desktop_.browse_initials, QStringList({"/start/", root_ + "empty/"}));
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text, "No MP3s were found in the " + root_ +
                                           "empty/ folder.  Please select a different folder");
  EXPECT_EQ(desktop_.messages[0].icon, Desktop::Icon::kInformation);

  desktop_.folders = {root_ + "empty"};  // then cancelled
  EXPECT_EQ(SelectMainFolder(desktop_, "", setup_), "");
  setup_.include_sub_directories = true;
  desktop_.folders = {root_ + "empty"};
  EXPECT_EQ(SelectMainFolder(desktop_, "", setup_), root_ + "empty/");
}

class FilterTest : public ScanTest {
 protected:
  void SetUp() override {
    ScanTest::SetUp();
    // No exception list: every word must be plain title case.
    Make("Clean Name.mp3", Mp3Layout{false, true, "Good Title", "Good Artist"});
    Make("only v2.mp3", Mp3Layout{.id3v2 = true});
    Make("Both Tags.mp3", Mp3Layout{true, true, "bad title", "Good Artist"});
  }
  QStringList Apply(const FilterChoice& choice) {
    FilterTools tools{desktop_, progress_, reader_, checker_, false};
    ApplyFilters(list_, choice, setup_, tools);
    return Rows(list_);
  }

  PelloxBinding pellox_{QStringLiteral(ORLAVO_BIN_DIR)};
  PelloxID3v1Reader reader_{pellox_};
  SyntaxChecker checker_{program_.path()};
  RecordingProgress progress_;
};

TEST_F(FilterTest, EachCheckedFilterAddsItsOwnRowsWithItsMarker) {
  struct Case {
    const char* name;
    FilterChoice choice;
    QStringList expected;
  } cases[] = {
      {"v1 not present", {.v1_not_present = true}, {"only v2.mp3 | v1 tag"}},
      {"v1 present", {.v1_present = true}, {"Both Tags.mp3 | v1 tag", "Clean Name.mp3 | v1 tag"}},
      {"v2 present", {.v2_present = true}, {"Both Tags.mp3 | v2 tag", "only v2.mp3 | v2 tag"}},
      {"v2 not present", {.v2_not_present = true}, {"Clean Name.mp3 | v2 tag"}},
      {"file syntax", {.incorrect_file_syntax = true}, {"only v2.mp3 | ECII"}},
      {"tag syntax", {.incorrect_v1_syntax = true}, {"Both Tags.mp3 | v1 ECII"}},
      {"no box checked", {}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Apply(c.choice), c.expected) << c.name;
  }
}

TEST_F(FilterTest, AFileMeetingSeveralFiltersGetsOneRowEachInTheBoxOrder) {
  EXPECT_EQ(
      Apply({.v1_not_present = true, .v2_present = true}),
      QStringList({"Both Tags.mp3 | v2 tag", "only v2.mp3 | v1 tag", "only v2.mp3 | v2 tag"}));
  EXPECT_EQ(
      Apply({.incorrect_file_syntax = true,
             .v1_present = true,
             .v2_present = true,
             .incorrect_v1_syntax = true}),
      QStringList({"Both Tags.mp3 | v1 tag", "Both Tags.mp3 | v2 tag", "Both Tags.mp3 | v1 ECII",
                   "Clean Name.mp3 | v1 tag", "only v2.mp3 | ECII", "only v2.mp3 | v2 tag"}));
}

TEST_F(FilterTest, ShowsProgressForEveryFileAndEndsWithTheTotal) {
  Apply({.v1_present = true});
  EXPECT_EQ(progress_.captions, QStringList({"Scanning #1 of 3", "Scanning #2 of 3",
                                             "Scanning #3 of 3", "Total MP3s: 2"}));
  EXPECT_EQ(progress_.percents, QStringList({"33%", "66%", "100%", "0%"}));
  EXPECT_EQ(progress_.bars.last(), "0/0");
  EXPECT_GE(desktop_.events_run, 3);
}

TEST_F(FilterTest, RunsOverTheOldListWhenTheRescanIsDeclined) {
  setup_.include_sub_directories = true;
  ReportRow old;
  old.text = "only v2.mp3";
  old.tag = root_;
  list_.AddRow(old);
  EXPECT_EQ(Apply({.v2_present = true}), QStringList({"only v2.mp3 | v2 tag"}));
}

// A file that vanished (or may not be read) since the scan has no tag to
// miss: it is handed back, not listed as untagged. A folder that cannot be
// listed is handed back by the scan.
TEST_F(FilterTest, WhatCannotBeReadIsHandedBackNotTakenForUntagged) {
  FilterTools tools{desktop_, progress_, reader_, checker_, false};
  const QList<Refused> refused =
      RunFilters(list_, {root_ + "gone.mp3", root_ + "only v2.mp3"},
                 {.v1_not_present = true, .v2_not_present = true}, setup_.row_options(), tools);
  EXPECT_EQ(Rows(list_), QStringList({"only v2.mp3 | v1 tag"}));
  ASSERT_EQ(refused.size(), 1);
  EXPECT_EQ(refused[0].path, root_ + "gone.mp3");
  EXPECT_EQ(refused[0].reason, "No such file or directory");

  setup_.main_folder = root_ + "missing/";
  const ScanResult scan = ShowFiles(list_, setup_, desktop_);
  EXPECT_EQ(list_.size(), 0);
  ASSERT_EQ(scan.denied.size(), 1);
  EXPECT_EQ(scan.denied[0].path, root_ + "missing/");
  TellRefused(desktop_, scan.denied + refused);
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text,
            "These folders and files could not be read and were left out:\r\n" + root_ +
                "missing/ (No such file or directory)\r\n" + root_ +
                "gone.mp3 (No such file or directory)");
}

}  // namespace
}  // namespace orlavo

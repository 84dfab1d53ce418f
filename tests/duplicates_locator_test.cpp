#include "tools/dupes/duplicates_locator.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
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

using namespace Qt::StringLiterals;

using testing::FakeDesktop;

class DuplicatesLocatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StopRequested = false;
    program_ = dir_.filePath("program") + u'/';
    music_ = dir_.filePath("music") + u'/';
    QDir().mkpath(program_ + "Files");
    QDir().mkpath(music_);
    options_.main_folder = music_;
    options_.include_sub_directories = true;
    options_.no_warning = true;
    options_.size_unit = "MB";
    old_data_home_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.filePath("home")));
  }
  void TearDown() override { qputenv("XDG_DATA_HOME", old_data_home_); }

  DuplicatesLocator& Tool() {
    if (!tool_) {
      tool_ = std::make_unique<DuplicatesLocator>(
          ToolContext{desktop_, status_, pellox_, options_, program_});
    }
    return *tool_;
  }

  // A file of `size` bytes, tagged when artist or title is given.
  void File(const QString& name, int size, const QByteArray& artist = {},
            const QByteArray& title = {}, bool tagged = false) {
    QByteArray bytes = testing::MpegFrameBytes(size - ((tagged || !artist.isEmpty()) ? 128 : 0));
    if (tagged || !artist.isEmpty()) bytes += testing::Id3v1TagBytes(title, artist);
    ASSERT_TRUE(testing::WriteBytes(music_ + name, bytes));
  }

  QStringList ReportTexts() const {
    QStringList texts;
    for (int i = 0; i < tool_->report().size(); ++i) {
      texts << tool_->report().row(i).FullPath().mid(music_.size());
    }
    return texts;
  }

  QTemporaryDir dir_;
  QString program_, music_;
  Options options_;
  FakeDesktop desktop_;
  ToolsStatus status_;
  PelloxBinding pellox_{QStringLiteral(ORLAVO_BIN_DIR)};
  std::unique_ptr<DuplicatesLocator> tool_;
  QByteArray old_data_home_;
};

TEST_F(DuplicatesLocatorTest, EachCriterionMarksWholeGroupsAndTheReportIsInNameOrder) {
  File("x/a.mp3", 1000, "Queen", "Bohemian Rhapsody");
  File("y/A.MP3", 1001, "queen", "bohemian rhapsody");
  File("z/song.mp3", 1000);
  File("z/other.mp3", 1000, {}, {}, /*tagged=*/true);  // " - "
  File("blank.mp3", 1002, {}, {}, /*tagged=*/true);    // " - "
  File("untagged.mp3", 999);
  File("z/untagged2.mp3", 998);

  Tool().Load();
  ASSERT_EQ(Tool().files().size(), 7);
  EXPECT_EQ(Tool().reload_caption(), "Reload");
  // The size unit of the options is not the one of this list, and stays.
  EXPECT_EQ(Tool().files().row(Tool().files().IndexOfPath(music_ + "blank.mp3")).ColumnText(1),
            "1,002 bytes");
  EXPECT_EQ(options_.size_unit, "MB");
  EXPECT_FALSE(Tool().show_enabled());

  struct Case {
    DupeCriterion criterion;
    QStringList report;
  };
  const Case cases[] = {
      {DupeCriterion::kName, {"x/a.mp3", "y/A.MP3"}},
      // Tags compare without case; no tag is never a duplicate, two blank ones are.
      {DupeCriterion::kTag, {"x/a.mp3", "y/A.MP3", "blank.mp3", "z/other.mp3"}},
      // Three of exactly 1000 bytes; 998, 999, 1001 and 1002 stand alone.
      {DupeCriterion::kSize, {"x/a.mp3", "z/other.mp3", "z/song.mp3"}},
      {DupeCriterion::kNone, {"No Duplicates located."}},
  };
  for (const Case& c : cases) {
    Tool().SetCriterionChecked(DupeCriterion::kSize, false);
    if (c.criterion != DupeCriterion::kNone) Tool().SetCriterionChecked(c.criterion, true);
    ASSERT_EQ(Tool().criterion(), c.criterion);
    const int marked = Tool().Start();
    QStringList report = ReportTexts();
    if (c.criterion == DupeCriterion::kNone) report = {Tool().report().row(0).text};
    // The report is sorted by row text (the file name), case ignored.
    QStringList expected = c.report;
    std::sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
      return CompareListText(FileNameOf(a), FileNameOf(b)) < 0;
    });
    EXPECT_EQ(report, expected) << int(c.criterion);
    EXPECT_EQ(marked, c.criterion == DupeCriterion::kNone ? 0 : c.report.size());
    EXPECT_EQ(status_.status_text(), "Duplicates: " + QString::number(marked));
    EXPECT_EQ(Tool().delete_enabled(), c.criterion != DupeCriterion::kNone);
    EXPECT_TRUE(Tool().report_visible());
    EXPECT_TRUE(Tool().show_enabled());
    EXPECT_EQ(status_.exit_caption(), "Close");
  }
}

TEST_F(DuplicatesLocatorTest, CheckingOneCriterionClearsTheOthers) {
  DuplicatesLocator& tool = Tool();
  EXPECT_EQ(tool.criterion(), DupeCriterion::kSize);
  tool.SetCriterionChecked(DupeCriterion::kName, true);
  EXPECT_EQ(tool.criterion(), DupeCriterion::kName);
  tool.SetCriterionChecked(DupeCriterion::kSize, false);  // was not on: no change
  EXPECT_EQ(tool.criterion(), DupeCriterion::kName);
  tool.SetCriterionChecked(DupeCriterion::kName, false);
  EXPECT_EQ(tool.criterion(), DupeCriterion::kNone);
}

// The marks of grouping are those of comparing every pair, on a list large
// enough to hold groups of every size and many keys that differ in case only.
TEST(DuplicateRowsTest, GroupingMarksExactlyWhatPairwiseComparisonMarks) {
  QRandomGenerator random(42);
  ReportList list(DuplicatesHeaders());
  const QStringList words = {"a", "A", "b",  "B",  "abc",           "ABC",          "x",
                             "y", "z", "Zz", "zZ", u"\u00c4rger"_s, u"\u00e4RGER"_s};
  for (int i = 0; i < 1500; ++i) {
    ReportRow row;
    row.tag = QStringLiteral("/m/%1/").arg(random.bounded(5));
    row.text = words[random.bounded(words.size())] + QString::number(random.bounded(60)) + ".mp3";
    const int tag_kind = random.bounded(4);
    const QString tag = tag_kind == 0 ? QString()
                                      : words[random.bounded(words.size())] + " - " +
                                            QString::number(random.bounded(200));
    row.columns = {QString::number(random.bounded(700)) + " bytes", tag};
    list.AddRow(row);
  }
  // In the order rows came, then sorted by size as "Start" sorts for sizes.
  const std::pair<DupeCriterion, int> runs[] = {{DupeCriterion::kName, 0},
                                                {DupeCriterion::kTag, 0},
                                                {DupeCriterion::kSize, 0},
                                                {DupeCriterion::kSize, 1}};
  for (const auto& [criterion, sort_column] : runs) {
    list.SortByColumn(sort_column);
    auto key = [&](int i) {
      const ReportRow& r = list.row(i);
      return criterion == DupeCriterion::kName  ? FileNameOf(r.FullPath())
             : criterion == DupeCriterion::kTag ? r.ColumnText(2)
                                                : r.ColumnText(1);
    };
    QList<int> expected;
    for (int i = 0; i < list.size(); ++i) {
      if (key(i).isEmpty()) continue;
      for (int j = 0; j < list.size(); ++j) {
        if (i != j && QString::compare(key(i), key(j), Qt::CaseInsensitive) == 0) {
          expected << i;
          break;
        }
      }
    }
    EXPECT_EQ(DuplicateRows(list, criterion), expected) << int(criterion);
  }
}

TEST_F(DuplicatesLocatorTest, DeleteAsksTrashesAndKeepsBothRowsWhenItFails) {
  File("one/same.mp3", 500);
  File("two/same.mp3", 500);
  File("three/same.mp3", 500);
  Tool().Load();
  ASSERT_EQ(Tool().Start(), 3);
  ASSERT_EQ(Tool().report().size(), 3);
  const QString first = Tool().report().FullPath(0);

  // No: nothing happens.
  EXPECT_FALSE(Tool().DeleteReportRow(0));
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text, dupes_text::kDeleteQuestion);
  EXPECT_TRUE(QFile::exists(first));

  // Yes: the file is in the trash and gone from both lists.
  desktop_.answers = {Desktop::Answer::kYes};
  EXPECT_TRUE(Tool().DeleteReportRow(0));
  EXPECT_FALSE(QFile::exists(first));
  EXPECT_TRUE(QFile::exists(dir_.filePath("home/Trash/files/same.mp3")));
  EXPECT_EQ(Tool().report().size(), 2);
  EXPECT_EQ(Tool().files().size(), 2);
  EXPECT_EQ(Tool().files().IndexOfPath(first), -1);

  // A file that went missing meanwhile: the reason is shown, both rows stay.
  const QString gone = Tool().report().FullPath(1);
  ASSERT_TRUE(QFile::remove(gone));
  desktop_.messages.clear();
  desktop_.answers = {Desktop::Answer::kYes};
  EXPECT_FALSE(Tool().DeleteReportRow(1));
  ASSERT_EQ(desktop_.messages.size(), 2u);
  EXPECT_TRUE(desktop_.messages[1].text.contains(gone));
  EXPECT_TRUE(desktop_.messages[1].text.contains("not there"));
  EXPECT_EQ(Tool().report().size(), 2);
  EXPECT_EQ(Tool().files().size(), 2);
}

TEST_F(DuplicatesLocatorTest, SubFolderQuestionAndEmptyFolder) {
  File("sub/a.mp3", 300);
  options_.no_warning = false;
  Tool().Load();  // the fake answers No
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].title, "Scanning MP3s...");
  EXPECT_TRUE(Tool().files().empty());
  EXPECT_FALSE(Tool().start_enabled());
  EXPECT_EQ(Tool().reload_caption(), "Load");

  desktop_.answers = {Desktop::Answer::kYes};
  Tool().Load();
  EXPECT_EQ(Tool().files().size(), 1);
  EXPECT_TRUE(Tool().start_enabled());
  EXPECT_EQ(Tool().Start(), 0);
  EXPECT_FALSE(Tool().delete_enabled());
  // The placeholder row is neither deleted nor opened.
  EXPECT_FALSE(Tool().DeleteReportRow(0));
  Tool().OpenReportRow(0);
  EXPECT_TRUE(desktop_.opened.isEmpty());
}

TEST_F(DuplicatesLocatorTest, StopDuringLoadKeepsTheRowsLoadedSoFar) {
  for (int i = 0; i < 6; ++i) File(QStringLiteral("f%1.mp3").arg(i), 400 + i);
  // The window's Stop, pressed once the third file is loaded.
  desktop_.on_events = [this] {
    if (status_.bar_current() == 3) {
      EXPECT_EQ(status_.PressExit(), ToolsStatus::ExitAction::kStopped);
    }
  };
  Tool().Load();
  EXPECT_EQ(Tool().files().size(), 3);
  EXPECT_EQ(status_.exit_caption(), "Close");
  EXPECT_TRUE(StopRequested);
}

}  // namespace
}  // namespace orlavo

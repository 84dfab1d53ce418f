#include "tools/advanced_tools.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <random>

#include "app/evaluator.h"
#include "app/flags.h"
#include "app/helpers.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/qstring_print.h"
#include "tools/running_number.h"

namespace orlavo {
namespace {

class LastUsedTest : public ::testing::Test {
 protected:
  QTemporaryDir dir_;
  Settings settings_{dir_.path()};
};

TEST_F(LastUsedTest, ClosingOnTheJoinerReopensOnTheJoinerThoughItsPaneIsAPlaceholder) {
  StopRequested = false;
  const ToolCode visible = VisibleTool([](ToolCode code) { return code == ToolCode::kJoiner; });
  OnToolsWindowClosing(settings_, visible);
  EXPECT_EQ(settings_.Read(settings_key::kLastUsed), "4");
  EXPECT_TRUE(StopRequested);
  EXPECT_EQ(ToolToOpen(Settings(dir_.path())), ToolCode::kJoiner);
  ASSERT_NE(FindTool(ToolToOpen(settings_)), nullptr);
  EXPECT_STREQ(FindTool(ToolToOpen(settings_))->pane_caption, "MP3 Joiner");
}

TEST_F(LastUsedTest, ZeroMissingOrInvalidOpensOnThePlaceholder) {
  EXPECT_EQ(ToolToOpen(settings_), ToolCode::kNone);  // key missing
  for (const char* stored : {"0", "8", "-1", "abc", "4x", ""}) {
    settings_.Write(settings_key::kLastUsed, stored);
    EXPECT_EQ(ToolToOpen(settings_), ToolCode::kNone) << stored;
  }
  EXPECT_EQ(FindTool(ToolCode::kNone), nullptr);
}

TEST_F(LastUsedTest, ActivationWithoutAPaneWritesZeroAndClearsTheStopFlag) {
  settings_.Write(settings_key::kLastUsed, "6");
  StopRequested = true;
  OnToolsWindowActivated(settings_, VisibleTool([](ToolCode) { return false; }));
  EXPECT_EQ(settings_.Read(settings_key::kLastUsed), "0");
  EXPECT_FALSE(StopRequested);
}

TEST_F(LastUsedTest, EveryCodeRoundTrips) {
  for (const ToolInfo& tool : AdvancedTools()) {
    WriteLastUsed(settings_, tool.code);
    EXPECT_EQ(ToolToOpen(settings_), tool.code) << tool.pane_caption;
  }
}

TEST(VisibleToolTest, TheLastVisibleInTheFixedOrderWins) {
  // Order: Duplicates, Joiner, Sorter, Splitter, Editor, List Generator, Encoder.
  auto only = [](std::initializer_list<ToolCode> codes) {
    return [codes](ToolCode code) {
      return std::find(codes.begin(), codes.end(), code) != codes.end();
    };
  };
  EXPECT_EQ(VisibleTool(only({ToolCode::kSorter, ToolCode::kDuplicates})), ToolCode::kSorter);
  EXPECT_EQ(VisibleTool(only({ToolCode::kSorter, ToolCode::kJoiner})), ToolCode::kSorter);
  EXPECT_EQ(VisibleTool(only({ToolCode::kEncoder, ToolCode::kListGenerator})), ToolCode::kEncoder);
  EXPECT_EQ(VisibleTool(only({ToolCode::kFileNameEditor})), ToolCode::kFileNameEditor);
}

TEST(ToolKeysTest, UnloadWritesTheFourKeys) {
  QTemporaryDir dir;
  Settings settings(dir.path());
  settings.Write(settings_key::kLastUsed, "5");
  ASSERT_TRUE(SaveToolKeys(
      settings, {"/music/Sorted/", "%Title%Tab%Artist", "/music/long.mp3", "/music/cuts/"}));
  EXPECT_EQ(settings.Read(settings_key::kSortRootPath), "/music/Sorted/");
  EXPECT_EQ(settings.Read(settings_key::kMP3ListGenSyntax), "%Title%Tab%Artist");
  EXPECT_EQ(settings.Read(settings_key::kSplitSFile), "/music/long.mp3");
  EXPECT_EQ(settings.Read(settings_key::kSplitRDir), "/music/cuts/");
  EXPECT_EQ(settings.Read(settings_key::kLastUsed), "5");
}

TEST(OpenFileOrFolderTest, FollowsTheDoubleClickSetting) {
  testing::FakeDesktop desktop;
  Options options;
  options.double_click_action = kPlayMp3;
  OpenFileOrFolder(desktop, options, "/music/a b.mp3");
  options.double_click_action = kOpenMp3Folder;
  OpenFileOrFolder(desktop, options, "/music/a b.mp3");
  OpenFileOrFolder(desktop, options, "");
  EXPECT_EQ(desktop.opened, QStringList({"/music/a b.mp3", "/music/"}));
  EXPECT_EQ(FilesFolder("/opt/orlavo/"), "/opt/orlavo/Files/");
  EXPECT_EQ(FilesFolder("/opt/orlavo"), "/opt/orlavo/Files/");
}

class RecordingView : public ProgressDisplay {
 public:
  void SetCaption(const QString& text) override { caption = text; }
  void SetBar(qint64 c, qint64 t) override { current = c, total = t; }
  void SetPercent(const QString& text) override { percent = text; }
  QString caption, percent;
  qint64 current = -1, total = -1;
};

TEST(ToolsStatusTest, StopSetsTheFlagEmptiesTheRunningListAndLeavesTheAreaAtRest) {
  StopRequested = false;
  ToolsStatus status;
  RecordingView view;
  status.set_view(&view);
  ReportList list({"MP3s"});
  for (int i = 0; i < 3; ++i) {
    ReportRow row;
    row.text = QString::number(i);
    list.AddRow(row);
  }
  EXPECT_EQ(status.exit_caption(), "Close");

  status.BeginStoppable(&list, /*hide_list=*/true);
  EXPECT_EQ(status.exit_caption(), "Stop");
  EXPECT_TRUE(status.running_list_hidden());
  ShowProgress(status, 2, 3, "/music/b.mp3", QString(), /*show_current_file=*/false);
  EXPECT_EQ(status.status_text(), "Scanning #2 of 3");
  EXPECT_EQ(status.percent_text(), "66%");
  EXPECT_EQ(view.percent, "66%");

  EXPECT_EQ(status.PressExit(), ToolsStatus::ExitAction::kStopped);
  EXPECT_TRUE(StopRequested);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(status.exit_caption(), "Close");
  EXPECT_EQ(status.status_text(), "");
  EXPECT_EQ(status.percent_text(), "0%");
  EXPECT_EQ(status.bar_total(), 0);
  EXPECT_FALSE(status.running_list_hidden());
  EXPECT_EQ(view.caption, "");
  EXPECT_EQ(view.percent, "0%");
  EXPECT_EQ(view.total, 0);

  // At rest the button closes the window and empties nothing.
  ReportRow kept;
  kept.text = "kept";
  list.AddRow(kept);
  StopRequested = false;
  EXPECT_EQ(status.PressExit(), ToolsStatus::ExitAction::kCloseWindow);
  EXPECT_FALSE(StopRequested);
  EXPECT_EQ(list.size(), 1);
}

TEST(ToolsStatusTest, AStoppableRunResetsTheAreaHoweverItEnds) {
  ToolsStatus status;
  {
    StoppableRun run(status, nullptr, false);
    EXPECT_EQ(status.exit_caption(), "Stop");
    status.SetCaption("Generating a.mp3");
    status.SetPercent("50%");
  }
  EXPECT_EQ(status.exit_caption(), "Close");
  EXPECT_EQ(status.status_text(), "");
  EXPECT_EQ(status.percent_text(), "0%");
}

TEST(RunningNumberTest, StepsWithThePlaceholderReplacedExactly) {
  struct Case {
    const char* expression;
    const char* placeholder;
    const char* value;
    const char* next;  // nullptr: cannot be evaluated
  } cases[] = {
      {"varX+1", "varX", "1", "2"},       {"VarX + 1", "VarX", "41", "42"},
      {"varX-1", "varX", "1", "0"},       {"varX-1", "varX", "0", "-1"},
      {"varX*2", "varX", "-3", "-6"},     {"(varX+1)*2", "varX", "4", "10"},
      {"varX/2", "varX", "8", "4"},       {"varX/2", "varX", "7", nullptr},
      {"varX/0", "varX", "7", nullptr},   {"VarX + 1", "VarX", "abc", nullptr},
      {"VARX + 1", "VarX", "1", nullptr}, {"varX+1", "varX", "1+1", "3"},
      {"varX*2", "varX", "1+1", "3"},     {"7", "varX", "1", "7"},
  };
  for (const Case& c : cases) {
    std::optional<QString> next = NextRunningNumber(c.expression, c.placeholder, c.value);
    if (c.next == nullptr) {
      EXPECT_FALSE(next.has_value()) << c.expression << " with " << c.value;
    } else {
      ASSERT_TRUE(next.has_value()) << c.expression << " with " << c.value;
      EXPECT_EQ(*next, c.next) << c.expression << " with " << c.value;
    }
  }
}

}  // namespace
}  // namespace orlavo

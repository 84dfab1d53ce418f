// The panes of the duplicates locator and the MP3 sorter, driven offscreen
// through the clicks and keys a person would use.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/flags.h"
#include "app/gui/report_list_view.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/mp3_bytes.h"
#include "tools/dupes/gui/duplicates_locator_pane.h"
#include "tools/gui/genre_list.h"
#include "tools/sorter/gui/mp3_sorter_pane.h"
#include "ui/command_button.h"

namespace orlavo {
namespace {

using testing::FakeDesktop;

class PanesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = dir_.filePath("program") + u'/';
    music_ = dir_.filePath("music") + u'/';
    QDir().mkpath(program_ + "Files");
    options_.main_folder = music_;
    options_.show_current_file = false;
    old_data_home_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.filePath("home")));
    Song("Queen - One.mp3", "Queen", 0);
    Song("sub/Queen - One.mp3", "Queen", 1);
    Song("AC-DC - Two.mp3", "AC/DC", 2);
    options_.include_sub_directories = true;
    options_.no_warning = true;
  }
  void TearDown() override {
    qputenv("XDG_DATA_HOME", old_data_home_);
    StopRequested = false;
  }

  void Song(const QString& name, const QByteArray& artist, int padding) {
    ASSERT_TRUE(testing::WriteBytes(music_ + name, testing::MpegFrameBytes(417 + padding) +
                                                       testing::Id3v1TagBytes("T", artist)));
  }

  ToolContext Context() { return ToolContext{desktop_, status_, pellox_, options_, program_}; }

  QTemporaryDir dir_;
  QString program_, music_;
  Options options_;
  FakeDesktop desktop_;
  ToolsStatus status_;
  PelloxBinding pellox_{QStringLiteral(ORLAVO_BIN_DIR)};
  QByteArray old_data_home_;
};

TEST_F(PanesTest, DuplicatesPaneMarksShowsTheReportAndDeletesOneFile) {
  DuplicatesLocatorPane pane(Context(), nullptr, nullptr);
  pane.resize(900, 600);
  pane.show();
  pane.ShowTool();
  EXPECT_EQ(pane.locator().files().size(), 3);
  EXPECT_EQ(pane.reload_button()->Caption(), "Reload");
  EXPECT_FALSE(pane.report_pane()->isVisible());
  EXPECT_FALSE(pane.button("Show Duplicates")->isEnabled());

  // The boxes behave as one choice that may be none.
  QTest::mouseClick(pane.criterion_box(DupeCriterion::kName), Qt::LeftButton);
  EXPECT_FALSE(pane.criterion_box(DupeCriterion::kSize)->isChecked());
  EXPECT_EQ(pane.locator().criterion(), DupeCriterion::kName);

  pane.button("Start")->PerformClick();
  EXPECT_TRUE(pane.report_pane()->isVisible());
  EXPECT_EQ(pane.report_view()->model()->rowCount(), 2);
  EXPECT_EQ(status_.status_text(), "Duplicates: 2");
  EXPECT_TRUE(pane.button("Delete from HD")->isEnabled());

  // Enter opens the file; Delete from HD asks, then trashes the current row.
  pane.report_view()->SelectRow(1);
  QTest::keyClick(pane.report_view(), Qt::Key_Return);
  ASSERT_EQ(desktop_.opened.size(), 1);
  const QString doomed = desktop_.opened[0];
  desktop_.answers = {Desktop::Answer::kYes};
  pane.button("Delete from HD")->PerformClick();
  EXPECT_FALSE(QFile::exists(doomed));
  EXPECT_EQ(pane.report_view()->model()->rowCount(), 1);
  EXPECT_EQ(pane.locator().files().size(), 2);

  pane.button("OK")->PerformClick();
  EXPECT_FALSE(pane.report_pane()->isVisible());
}

TEST_F(PanesTest, SorterPaneSortsShowsErrorsAndFixesOneWithTheGenreList) {
  Settings(program_).Write(settings_key::kSortRootPath, dir_.filePath("sorted/"));
  Mp3SorterPane pane(Context(), nullptr);
  pane.resize(1000, 700);
  pane.show();
  pane.ShowTool();
  EXPECT_EQ(pane.root_box()->text(), dir_.filePath("sorted/"));
  EXPECT_EQ(pane.list_view()->model()->rowCount(), 3);
  EXPECT_EQ(GenreList::Of(&pane)->count(), 148);

  // A click on a row fills "MP3 Edit".
  pane.list_view()->SelectRow(0);
  emit pane.list_view()->selectionEdited();
  EXPECT_EQ(pane.edit_boxes().boxes[1]->text(), "AC/DC");

  pane.button("Sort")->PerformClick();
  EXPECT_TRUE(QFile::exists(program_ + "Files/Sort by Artist.txt"));
  EXPECT_TRUE(pane.progress_pane()->isVisible());
  EXPECT_EQ(pane.action_button()->Caption(), "View Errors");
  EXPECT_FALSE(pane.errors_pane()->isVisible());
  pane.action_button()->PerformClick();
  EXPECT_TRUE(pane.errors_pane()->isVisible());
  EXPECT_TRUE(QFile::exists(music_ + "Queen - One.mp3"));  // nothing moved

  // The fixer, with its genre chosen from the shared list.
  pane.OpenFixer(0);
  ASSERT_TRUE(pane.fixer_pane()->isVisible());
  EXPECT_EQ(pane.fixer_pane()->title(), "AC-DC - Two.mp3");
  QLineEdit* genre = pane.fixer_boxes().genre();
  QTest::mouseClick(genre, Qt::LeftButton);
  GenreList* list = GenreList::Of(&pane);
  EXPECT_TRUE(list->isVisible());
  list->Choose(79);
  EXPECT_EQ(genre->text(), "Hard Rock");
  pane.fixer_boxes().boxes[1]->setText("ACDC");
  pane.SaveFixer();
  EXPECT_FALSE(pane.errors_pane()->isVisible());
  EXPECT_EQ(pane.action_button()->Caption(), "Continue...");
  const QByteArray tag = [&] {
    QFile f(music_ + "AC-DC - Two.mp3");
    f.open(QIODevice::ReadOnly);
    return f.readAll().right(128);
  }();
  EXPECT_EQ(tag.mid(33, 4), "ACDC");
  EXPECT_EQ(static_cast<unsigned char>(tag.at(127)), 79);

  ToolKeys keys;
  pane.SaveKeys(keys);
  EXPECT_EQ(keys.sort_root_path, dir_.filePath("sorted/"));
}

}  // namespace
}  // namespace orlavo

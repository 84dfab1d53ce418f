#include "tools/splitter/gui/splitter_pane.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include "app/gui/main_window.h"
#include "app/gui/report_list_view.h"
#include "app/pellox_binding.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/lame_fixture.h"
#include "tools/gui/advanced_tools_window.h"
#include "tools/gui/tools_launcher.h"
#include "ui/command_button.h"

namespace orlavo {
namespace {

using testing::FakeDesktop;
using Answer = Desktop::Answer;

class SplitterPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = program_dir_.path() + "/";
    QFile::copy(ORLAVO_BIN_DIR "/libpellox.so", program_ + "libpellox.so");
    music_ = music_dir_.path() + "/";
    source_ = music_ + "long.mp3";
    testing::WriteFileBytes(source_, testing::EncodeMp3({.seconds = 8.0}));
    QDir().mkpath(music_ + "out");
    Settings s(program_);
    s.Write(settings_key::kDirPath, music_);
    s.Write(settings_key::kLastUsed, "3");
    main_ = std::make_unique<MainWindow>(program_, desktop_, pellox_);
    ASSERT_TRUE(main_->Start([] { return false; }));
    InstallAdvancedTools(*main_, pellox_);
    main_->button("Advanced Tools")->PerformClick();
    window_ = OpenAdvancedToolsWindow();
    ASSERT_NE(window_, nullptr);
    pane_ = qobject_cast<SplitterPane*>(window_->pane(ToolCode::kSplitter));
    ASSERT_NE(pane_, nullptr);
  }
  void TearDown() override {
    if (OpenAdvancedToolsWindow()) OpenAdvancedToolsWindow()->close();
    QApplication::processEvents();
    main_.reset();
  }
  // Picks the source and the destination through their Select buttons.
  void PickFields() {
    desktop_.files = {source_};
    pane_->button("Select")->PerformClick();
    desktop_.folders = {music_ + "out/"};
    pane_->select_destination_button()->PerformClick();
  }
  void Type(const QString& text) {
    pane_->time_field()->clear();
    QTest::keyClicks(pane_->time_field(), text);
    QTest::keyClick(pane_->time_field(), Qt::Key_Return);
  }
  QString Name(int row) const { return pane_->splitter().tracks().row(row).ColumnText(1); }

  QTemporaryDir program_dir_, music_dir_;
  QString program_, music_, source_;
  FakeDesktop desktop_;
  PelloxBinding pellox_{program_dir_.path()};
  std::unique_ptr<MainWindow> main_;
  AdvancedToolsWindow* window_ = nullptr;
  SplitterPane* pane_ = nullptr;
};

TEST_F(SplitterPaneTest, BuildsTheTrackListFromTheFields) {
  EXPECT_EQ(window_->open_tool(), ToolCode::kSplitter);
  EXPECT_EQ(pane_->duration_label()->text(), "Source Duration: 00:00");
  EXPECT_EQ(pane_->bitrate_label()->text(), "Source BitRate: 0");
  EXPECT_EQ(pane_->create_button()->Caption(), "Create Tracks");
  EXPECT_EQ(pane_->button("Add")->toolTip(), "Add new time");
  EXPECT_EQ(pane_->button("Load")->toolTip(), "Load CUE file");

  PickFields();
  EXPECT_EQ(desktop_.file_dialog_titles, QStringList{"Select Source File"});
  EXPECT_EQ(pane_->source_field()->text(), source_);
  EXPECT_EQ(pane_->destination_field()->text(), music_ + "out/");
  EXPECT_EQ(pane_->duration_label()->text(), "Source Duration: 00:08");
  EXPECT_EQ(pane_->bitrate_label()->text(), "Source BitRate: 128 Kbps");
  EXPECT_EQ(pane_->frequency_label()->text(), "Source Frequency: 44100Hz");

  // Only digits, ":" and "." stay in the field.
  pane_->time_field()->clear();
  QTest::keyClicks(pane_->time_field(), "0x:2a");
  EXPECT_EQ(pane_->time_field()->text(), "0:2");
  QTest::keyClick(pane_->time_field(), Qt::Key_Return);
  Type("0:5");
  EXPECT_EQ(pane_->splitter().tracks().size(), 2);
  EXPECT_EQ(pane_->create_button()->Caption(), "Create 2 Track(s)");
  EXPECT_EQ(pane_->time_field()->selectedText(), "0:5");

  // A tick box recounts the caption.
  auto* model = pane_->list_view()->report_model();
  model->setData(model->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
  EXPECT_EQ(pane_->create_button()->Caption(), "Create 1 Track(s)");

  // Add with an empty field paints it red until it gets the focus again.
  pane_->time_field()->clear();
  pane_->button("Add")->PerformClick();
  EXPECT_EQ(pane_->time_field()->palette().color(QPalette::Base), QColor(255, 0, 0));
  pane_->list_view()->setFocus();
  window_->activateWindow();
  pane_->time_field()->setFocus();
  QApplication::processEvents();
  EXPECT_NE(pane_->time_field()->palette().color(QPalette::Base), QColor(255, 0, 0));

  // Removing a middle row is refused with the message; the last one goes.
  pane_->list_view()->SelectRow(0);
  pane_->button("Remove")->PerformClick();
  EXPECT_TRUE(desktop_.messages.back().text.startsWith("You can only remove last track"));
  pane_->list_view()->SelectRow(1);
  QTest::keyClick(pane_->list_view(), Qt::Key_Delete);
  EXPECT_EQ(pane_->splitter().tracks().size(), 1);

  // Closing the window keeps the two fields.
  window_->close();
  QApplication::processEvents();
  EXPECT_EQ(Settings(program_).Read(settings_key::kSplitSFile), source_);
  EXPECT_EQ(Settings(program_).Read(settings_key::kSplitRDir), music_ + "out/");
}

TEST_F(SplitterPaneTest, RenamesInPlaceAndCreatesTheTracks) {
  PickFields();
  Type("0:3");
  Type("0:6");
  pane_->list_view()->SelectRow(1);
  QTest::keyClick(pane_->list_view(), Qt::Key_Return);
  ASSERT_TRUE(pane_->name_editor()->isVisible());
  EXPECT_EQ(pane_->name_editor()->selectedText(), "Track02");
  const QRect cell =
      pane_->list_view()->visualRect(pane_->list_view()->report_model()->index(1, 1));
  EXPECT_EQ(pane_->name_editor()->geometry(), cell);
  QTest::keyClicks(pane_->name_editor(), "Second");
  QTest::keyClick(pane_->name_editor(), Qt::Key_Return);
  EXPECT_FALSE(pane_->name_editor()->isVisible());
  EXPECT_EQ(Name(1), "Second");

  // A click on the list while the editor shows stores its text too.
  pane_->list_view()->SelectRow(0);
  emit pane_->list_view()->doubleClicked(pane_->list_view()->currentIndex());
  pane_->name_editor()->setText("First");
  const QRect start_cell =
      pane_->list_view()->visualRect(pane_->list_view()->report_model()->index(1, 2));
  QTest::mouseClick(pane_->list_view()->viewport(), Qt::LeftButton, {}, start_cell.center());
  EXPECT_EQ(Name(0), "First");

  desktop_.answers = {Answer::kYes};
  Type("0:8");  // the whole duration starts Create Tracks
  EXPECT_TRUE(desktop_.messages.back().text.startsWith("Following tracks will be created: "));
  EXPECT_EQ(QDir(music_ + "out").entryList(QDir::Files, QDir::Name),
            (QStringList{"First.mp3", "Second.mp3", "Track03.mp3"}));
  EXPECT_EQ(window_->percent_label()->text(), "0%");
  EXPECT_EQ(window_->status_label()->text(), "");
}

TEST_F(SplitterPaneTest, PlayAndSaveMenus) {
  PickFields();
  Type("0:3");
  Type("0:8");  // Create Tracks asks; the default answer is No
  pane_->list_view()->SelectRow(1);
  pane_->set_play_menu([] { return true; });
  pane_->ShowPlayMenu();
  EXPECT_EQ(desktop_.opened.last(), program_ + "Files/temp.mp3");
  EXPECT_EQ(QFileInfo(program_ + "Files/temp.mp3").size(), 5 * 16000);

  pane_->set_save_menu([] { return std::optional<int>(1); });
  pane_->button("Save")->PerformClick();
  EXPECT_EQ(desktop_.opened.last(), program_ + "Files/");
  QFile cue(program_ + "Files/Saved_Cue001.cue");
  ASSERT_TRUE(cue.open(QIODevice::ReadOnly));
  EXPECT_TRUE(cue.readAll().startsWith("FILE \"" + source_.toUtf8() + "\" MP3\r\n"));
  // A dismissed menu saves nothing but still opens the Files folder.
  const int opened = desktop_.opened.size();
  pane_->set_save_menu([] { return std::nullopt; });
  pane_->button("Save")->PerformClick();
  EXPECT_EQ(desktop_.opened.size(), opened + 1);
  EXPECT_FALSE(QFile::exists(program_ + "Files/Saved_Cue002.cue"));
}

// Create Tracks runs to its end once started: a close of the window during
// it (and the deletion that follows) waits until every track is written.
TEST_F(SplitterPaneTest, ClosingTheWindowDuringCreateTracksLetsItFinish) {
  PickFields();
  Type("0:3");
  Type("0:6");
  QPointer<AdvancedToolsWindow> window = window_;
  int events_after_close = 0;
  desktop_.on_events = [&] {
    if (window && window->isVisible()) window->close();
    QApplication::processEvents();
    if (window) ++events_after_close;
  };
  desktop_.answers = {Answer::kYes};
  Type("0:8");
  desktop_.on_events = nullptr;
  EXPECT_GE(events_after_close, 1);
  EXPECT_EQ(QDir(music_ + "out").entryList(QDir::Files, QDir::Name),
            (QStringList{"Track01.mp3", "Track02.mp3", "Track03.mp3"}));
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

}  // namespace
}  // namespace orlavo

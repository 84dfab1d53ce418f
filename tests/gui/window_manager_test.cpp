// What only a real window manager shows: which window gets the focus back and
// which stands in front after a box, a picker or a tool's request. These run
// under Xvfb with openbox (tests/run_under_window_manager.sh); elsewhere they
// are skipped.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/flags.h"
#include "app/gui/main_window.h"
#include "app/gui/options_dialog.h"
#include "app/gui/qt_desktop.h"
#include "app/gui/report_list_view.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "tests/support/mp3_bytes.h"
#include "tools/editor/gui/file_name_editor_pane.h"
#include "tools/gui/advanced_tools_window.h"
#include "tools/gui/tools_launcher.h"
#include "ui/command_button.h"

namespace orlavo {
namespace {

// Works the next modal box or picker once it is up; one that is still up
// after ten seconds is rejected, so that no run can hang on it.
void OnNextModal(std::function<void(QWidget*)> act) {
  auto* poll = new QTimer;
  auto started = std::make_shared<QElapsedTimer>();
  started->start();
  QObject::connect(poll, &QTimer::timeout, poll, [poll, act, started] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal->isVisible()) {
      poll->stop();
      poll->deleteLater();
      // Let the window manager finish mapping it before it goes again.
      QTest::qWait(100);
      act(modal);
      return;
    }
    if (started->elapsed() > 10000) {
      poll->stop();
      poll->deleteLater();
      ADD_FAILURE() << "no box or picker came up";
    }
  });
  poll->start(20);
}

// Lets the window manager act (focus, stacking) after a window closes.
void Settle() { QTest::qWait(400); }

// The top-level window the X server shows at a point of the screen.
QWidget* WindowAt(const QPoint& global) {
  QWidget* w = QApplication::widgetAt(global);
  return w != nullptr ? w->window() : nullptr;
}

class WindowManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
      GTEST_SKIP() << "needs an X server with a window manager";
    }
    program_ = program_dir_.path() + "/";
    QFile::copy(ORLAVO_BIN_DIR "/libpellox.so", program_ + "libpellox.so");
    music_ = music_dir_.path() + "/";
    for (const char* name : {"a - one.mp3", "b - two.mp3"}) {
      testing::WriteBytes(music_ + name, QByteArray(600, 0x11));
    }
    Settings s(program_);
    s.Write(settings_key::kExeShow, kPlayMp3);
    s.Write(settings_key::kDirPath, music_);
    s.Write(settings_key::kLastUsed, "5");
    StopRequested = false;
  }

  void TearDown() override {
    if (OpenAdvancedToolsWindow()) OpenAdvancedToolsWindow()->close();
    QApplication::processEvents();
    main_.reset();
    StopRequested = false;
  }

  // The main window at the top left, as the program starts it.
  MainWindow& StartMain() {
    main_ = std::make_unique<MainWindow>(program_, desktop_, pellox_);
    desktop_.SetOwner(main_.get());
    main_->move(0, 0);
    main_->resize(900, 600);
    EXPECT_TRUE(main_->Start([] { return false; }));
    EXPECT_TRUE(QTest::qWaitForWindowExposed(main_.get()));
    InstallAdvancedTools(*main_, pellox_);
    return *main_;
  }

  // The tools window over the main window, active.
  AdvancedToolsWindow* OpenTools() {
    main_->button("Advanced Tools")->PerformClick();
    AdvancedToolsWindow* tools = OpenAdvancedToolsWindow();
    EXPECT_NE(tools, nullptr);
    tools->move(150, 100);
    tools->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(tools));
    Settle();
    return tools;
  }

  // A point where the two windows overlap.
  QPoint Overlap() const { return main_->geometry().center(); }

  QTemporaryDir program_dir_, music_dir_;
  QString program_, music_;
  QtDesktop desktop_;
  PelloxBinding pellox_{program_dir_.path()};
  std::unique_ptr<MainWindow> main_;
};

TEST_F(WindowManagerTest, TheFirstRunsAboutWindowStandsInFrontOfTheMainWindow) {
  Settings(program_).Write(settings_key::kExeShow, "");
  OnNextModal([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    box->button(QMessageBox::Ok)->click();
  });
  MainWindow& main = StartMain();
  Settle();
  AboutWindow* about = main.about_window();
  ASSERT_NE(about, nullptr);
  about->move(100, 100);  // over the main window
  Settle();
  EXPECT_EQ(WindowAt(about->geometry().center()), about);
}

TEST_F(WindowManagerTest, AFolderPickedInTheOptionsDialogIsSaved) {
  MainWindow& main = StartMain();
  const QString picked = music_ + "picked";
  ASSERT_TRUE(QDir().mkpath(picked));
  OptionsDialog* options = main.options_dialog();
  main.OpenOptions();
  ASSERT_TRUE(QTest::qWaitForWindowActive(options));
  options->IncludeSubDirectoriesBox()->click();
  options->UseSpecifiedPathButton()->click();
  OnNextModal([&](QWidget* modal) {
    auto* picker = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(picker, nullptr);
    // Into the folder, then "Choose": the folder the picker stands in.
    picker->setDirectory(picked);
    QMetaObject::invokeMethod(picker, "accept");
  });
  options->BrowseButton()->PerformClick();
  Settle();
  EXPECT_EQ(QApplication::activeWindow(), options);
  // The person clicks into the dialog again and presses OK.
  options->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(options));
  EXPECT_EQ(options->FolderPathBox()->text(), picked + "/");
  EXPECT_TRUE(options->IncludeSubDirectoriesBox()->isChecked());
  options->OkButton()->PerformClick();
  EXPECT_EQ(Settings(program_).Read(settings_key::kDirPath), picked + "/");
  EXPECT_EQ(Settings(program_).Read(settings_key::kDirPathOption), "2");
}

TEST_F(WindowManagerTest, AToolsQuestionLeavesTheToolsWindowInFront) {
  StartMain();
  AdvancedToolsWindow* tools = OpenTools();
  ASSERT_EQ(WindowAt(Overlap()), tools);
  PathChanged = true;
  OnNextModal([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    box->button(QMessageBox::No)->click();
  });
  tools->Activated();  // "Path has been changed, update?"
  Settle();
  EXPECT_EQ(QApplication::activeWindow(), tools);
  EXPECT_EQ(WindowAt(Overlap()), tools);
}

TEST_F(WindowManagerTest, EditTagBringsTheMainWindowForward) {
  StartMain();
  AdvancedToolsWindow* tools = OpenTools();
  auto* pane = qobject_cast<FileNameEditorPane*>(tools->pane(ToolCode::kFileNameEditor));
  ASSERT_NE(pane, nullptr);
  pane->list_view()->SelectRow(0);
  pane->EditTag();
  Settle();
  EXPECT_EQ(QApplication::activeWindow(), main_.get());
  EXPECT_EQ(WindowAt(Overlap()), main_.get());
  EXPECT_EQ(main_->file_name_box()->text(), music_ + "a - one.mp3");
}

TEST_F(WindowManagerTest, FocusGoesBackToApplyFiltersAfterTheRun) {
  MainWindow& main = StartMain();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  LiveOptions().render_list_invisible = true;
  main.filter_box(MainWindow::kNoV1)->setChecked(true);
  CommandButton* apply = main.button("Apply Filter(s)");
  apply->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), apply);
  QTest::keyClick(apply, Qt::Key_Space);
  Settle();
  EXPECT_EQ(QApplication::focusWidget(), apply);
  EXPECT_EQ(main.list().size(), 2);
}

}  // namespace
}  // namespace orlavo

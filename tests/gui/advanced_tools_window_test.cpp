#include "tools/gui/advanced_tools_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/flags.h"
#include "app/gui/main_window.h"
#include "app/gui/report_list_view.h"
#include "app/pellox_binding.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/lame_fixture.h"
#include "tools/editor/gui/file_name_editor_pane.h"
#include "tools/gui/tools_launcher.h"
#include "tools/joiner/gui/joiner_pane.h"
#include "tools/listgen/gui/list_generator_pane.h"
#include "ui/command_button.h"

namespace orlavo {
namespace {

using testing::FakeDesktop;

class AdvancedToolsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = program_dir_.path() + "/";
    QFile::copy(ORLAVO_BIN_DIR "/libpellox.so", program_ + "libpellox.so");
    music_ = music_dir_.path() + "/";
    for (const char* name : {"b - two.mp3", "a - one.mp3", "c - three.mp3"}) {
      testing::WriteFileBytes(music_ + name, testing::Bytes(500, 0x11));
    }
    Settings s(program_);
    s.Write(settings_key::kExeShow, kPlayMp3);
    s.Write(settings_key::kDirPath, music_);
    s.Write(settings_key::kLastUsed, "5");
    main_ = std::make_unique<MainWindow>(program_, desktop_, pellox_);
    ASSERT_TRUE(main_->Start([] { return false; }));
    InstallAdvancedTools(*main_, pellox_);
  }
  void TearDown() override {
    if (OpenAdvancedToolsWindow()) OpenAdvancedToolsWindow()->close();
    QApplication::processEvents();
    main_.reset();
    StopRequested = false;
  }
  AdvancedToolsWindow* Open() {
    main_->button("Advanced Tools")->PerformClick();
    return OpenAdvancedToolsWindow();
  }

  QTemporaryDir program_dir_, music_dir_;
  QString program_, music_;
  FakeDesktop desktop_;
  PelloxBinding pellox_{program_dir_.path()};
  std::unique_ptr<MainWindow> main_;
};

TEST_F(AdvancedToolsWindowTest, OpensOnTheToolUsedLastAndRemembersTheJoiner) {
  AdvancedToolsWindow* w = Open();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle(), "Orlavo Professional v1.0");
  EXPECT_EQ(w->open_tool(), ToolCode::kFileNameEditor);
  auto* editor = qobject_cast<FileNameEditorPane*>(w->pane(ToolCode::kFileNameEditor));
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->editor().list().size(), 3);
  EXPECT_EQ(w->launcher(ToolCode::kFileNameEditor)->ForeColor(), QColor(255, 0, 0));
  EXPECT_EQ(w->launcher(ToolCode::kSorter)->ForeColor(), QColor(0, 0, 0));

  // The joiner's launcher shows its pane, and its code is what the window
  // remembers.
  w->launcher(ToolCode::kJoiner)->PerformClick();
  EXPECT_FALSE(w->placeholder_shown());
  EXPECT_NE(qobject_cast<JoinerPane*>(w->pane(ToolCode::kJoiner)), nullptr);
  w->close();
  QApplication::processEvents();
  EXPECT_EQ(Settings(program_).Read(settings_key::kLastUsed), "4");
  EXPECT_TRUE(StopRequested);

  w = Open();
  EXPECT_EQ(w->open_tool(), ToolCode::kJoiner);
  EXPECT_FALSE(w->placeholder_shown());
}

TEST_F(AdvancedToolsWindowTest, NoRememberedToolShowsThePlaceholder) {
  for (const char* value : {"0", "", "9", "x"}) {
    Settings(program_).Write(settings_key::kLastUsed, value);
    AdvancedToolsWindow* w = Open();
    EXPECT_EQ(w->open_tool(), ToolCode::kNone) << value;
    EXPECT_TRUE(w->placeholder_shown());
    w->close();
    QApplication::processEvents();
    EXPECT_EQ(Settings(program_).Read(settings_key::kLastUsed), "0");
  }
}

TEST_F(AdvancedToolsWindowTest, StopDuringAFillLeavesTheStatusAtRest) {
  AdvancedToolsWindow* w = Open();
  auto* editor = qobject_cast<FileNameEditorPane*>(w->pane(ToolCode::kFileNameEditor));
  ASSERT_NE(editor, nullptr);
  // Press Stop while the fill lets events run.
  bool pressed = false;
  desktop_.on_events = [&] {
    if (!pressed && w->exit_button()->Caption() == "Stop") {
      pressed = true;
      w->exit_button()->PerformClick();
    }
  };
  editor->ShowTool();
  desktop_.on_events = nullptr;
  EXPECT_TRUE(pressed);
  EXPECT_EQ(w->exit_button()->Caption(), "Close");
  EXPECT_EQ(w->percent_label()->text(), "0%");
  EXPECT_EQ(w->status_label()->text(), "");
  EXPECT_TRUE(editor->editor().list().empty());
  EXPECT_TRUE(w->isVisible());
}

TEST_F(AdvancedToolsWindowTest, HiddenMainWindowComesBackWhenTheToolsClose) {
  AdvancedToolsWindow* w = Open();
  w->main_window_button()->PerformClick();
  EXPECT_FALSE(main_->isVisible());
  EXPECT_EQ(w->main_window_button()->Caption(), "Show main window");
  w->close();
  QApplication::processEvents();
  EXPECT_TRUE(main_->isVisible());
}

TEST_F(AdvancedToolsWindowTest, ChangedMainFolderOffersAReload) {
  AdvancedToolsWindow* w = Open();
  PathChanged = true;
  desktop_.answers = {Desktop::Answer::kNo};
  w->Activated();
  EXPECT_FALSE(PathChanged);
  ASSERT_FALSE(desktop_.messages.empty());
  EXPECT_EQ(desktop_.messages.back().title, "Update info");
  EXPECT_EQ(desktop_.messages.back().text, "Path has been changed, update?");
  EXPECT_EQ(OpenAdvancedToolsWindow(), w);
}

TEST_F(AdvancedToolsWindowTest, ListGeneratorPaneCreatesTheListFile) {
  AdvancedToolsWindow* w = Open();
  w->launcher(ToolCode::kListGenerator)->PerformClick();
  auto* gen = qobject_cast<ListGeneratorPane*>(w->pane(ToolCode::kListGenerator));
  ASSERT_NE(gen, nullptr);
  EXPECT_EQ(gen->pattern_box()->text(), "%VarX. %Path%Filename%Tab%Duration%Tab%SizeMB");
  EXPECT_TRUE(gen->box(kVariableBox)->isChecked());
  gen->button("Show files")->PerformClick();
  EXPECT_EQ(gen->generator().preview().size(), 3);
  gen->button("Create")->PerformClick();
  QFile list(program_ + "Files/MP3List.txt");
  ASSERT_TRUE(list.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromUtf8(list.readAll()).split("\r\n");
  ASSERT_GE(lines.size(), 6);
  EXPECT_EQ(lines[0], "// Generated with Orlavo Professional v1.0 software");
  EXPECT_EQ(lines[1], "// Total number of files: 3");
  EXPECT_TRUE(lines[3].startsWith("1. " + music_ + "a - one.mp3\t")) << lines[3].toStdString();
  EXPECT_TRUE(desktop_.opened.contains(program_ + "Files/MP3List.txt"));
  EXPECT_EQ(gen->var_value()->text(), "3");
  w->close();
  QApplication::processEvents();
  EXPECT_EQ(Settings(program_).Read(settings_key::kMP3ListGenSyntax),
            "%VarX. %Path%Filename%Tab%Duration%Tab%SizeMB");
}

TEST_F(AdvancedToolsWindowTest, EditorPaneRenamesWithARunningNumber) {
  AdvancedToolsWindow* w = Open();
  auto* pane = qobject_cast<FileNameEditorPane*>(w->pane(ToolCode::kFileNameEditor));
  ASSERT_NE(pane, nullptr);
  pane->button("Use a variable")->PerformClick();
  EXPECT_EQ(pane->main_text()->text(), "varX");
  pane->main_text()->setText("varX_");
  emit pane->main_text()->textEdited("varX_");
  pane->button("Select All")->PerformClick();
  pane->button("Do it!")->PerformClick();
  EXPECT_EQ(pane->var_value()->text(), "4");
  EXPECT_EQ(pane->main_text()->text(), "varX_");
  desktop_.answers = {Desktop::Answer::kYes};
  const size_t asked = desktop_.messages.size();
  pane->button("Rename Files")->PerformClick();
  QStringList names = QDir(music_).entryList(QDir::Files, QDir::Name);
  EXPECT_EQ(names, QStringList({"1_a - one.mp3", "2_b - two.mp3", "3_c - three.mp3"}));
  // One question; the main list is left alone until its next "Show files".
  EXPECT_EQ(desktop_.messages.size(), asked + 1);
  EXPECT_EQ(main_->list().row(0).text, "a - one.mp3");
  // The choices stay with the reloaded list: varX in the text, the variable on.
  EXPECT_EQ(pane->main_text()->text(), "varX_");
  EXPECT_NE(pane->button("Remove var"), nullptr);
  EXPECT_EQ(pane->var_value()->text(), "4");
}

// The context menu's entries as the person sees them, with the list's
// current selection; the menu is closed again unused.
QMap<QString, bool> MenuEntries(FileNameEditorPane* pane) {
  QMap<QString, bool> entries;
  QTimer::singleShot(0, [&entries] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator()) entries.insert(action->text(), action->isEnabled());
    }
    menu->close();
  });
  emit pane->list_view()->customContextMenuRequested(QPoint(5, 5));
  return entries;
}

TEST_F(AdvancedToolsWindowTest, DeleteFromTheHardDriveNeedsASelectedRow) {
  AdvancedToolsWindow* w = Open();
  auto* pane = qobject_cast<FileNameEditorPane*>(w->pane(ToolCode::kFileNameEditor));
  ASSERT_NE(pane, nullptr);
  // A focused row that is not selected is not chosen.
  pane->list_view()->SelectRow(1);
  pane->editor().list().ClearSelection();
  QMap<QString, bool> entries = MenuEntries(pane);
  ASSERT_TRUE(entries.contains("Delete from the Hard Drive"));
  EXPECT_FALSE(entries["Delete from the Hard Drive"]);
  const size_t asked = desktop_.messages.size();
  pane->DeleteFromHardDrive();
  EXPECT_EQ(desktop_.messages.size(), asked);
  EXPECT_TRUE(QFile::exists(music_ + "b - two.mp3"));

  pane->editor().list().SetSelected(0, true);
  EXPECT_TRUE(MenuEntries(pane)["Delete from the Hard Drive"]);
}

TEST_F(AdvancedToolsWindowTest, PaneListKeysRemoveRowsAndOpenFiles) {
  AdvancedToolsWindow* w = Open();
  auto* pane = qobject_cast<FileNameEditorPane*>(w->pane(ToolCode::kFileNameEditor));
  ASSERT_NE(pane, nullptr);
  pane->list_view()->SelectRow(1);
  QTest::keyClick(pane->list_view(), Qt::Key_Return);
  EXPECT_EQ(desktop_.opened.last(), music_ + "b - two.mp3");
  QTest::keyClick(pane->list_view(), Qt::Key_Delete);
  ASSERT_EQ(pane->editor().list().size(), 2);
  EXPECT_EQ(pane->editor().list().row(1).text, "c - three.mp3");
  EXPECT_TRUE(QFile::exists(music_ + "b - two.mp3"));

  // Enter that ends an in-place rename (F2) belongs to the edit: nothing opens.
  const qsizetype opened = desktop_.opened.size();
  ReportListView* view = pane->list_view();
  view->SelectRow(0);
  view->edit(view->model()->index(0, 0));
  auto* edit = view->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(edit, nullptr);
  edit->setText("renamed.mp3");
  QTest::keyClick(edit, Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(desktop_.opened.size(), opened);
  EXPECT_EQ(pane->editor().list().row(0).text, "renamed.mp3");

  w->launcher(ToolCode::kListGenerator)->PerformClick();
  auto* gen = qobject_cast<ListGeneratorPane*>(w->pane(ToolCode::kListGenerator));
  ASSERT_NE(gen, nullptr);
  gen->button("Show files")->PerformClick();
  gen->list_view()->SelectRow(0);
  QTest::keyClick(gen->list_view(), Qt::Key_Delete);
  EXPECT_EQ(gen->generator().preview().size(), 2);
}

// A click lands while a tool's loop is inside its event turn: Stop and then
// Close on the button that reads it again, or Close during a loop that
// cannot be stopped. The window must outlive the loop, whatever the event
// loop does with the deletion meanwhile, and go once the loop has returned.
TEST_F(AdvancedToolsWindowTest, ClosingDuringALoopWaitsUntilTheLoopReturns) {
  struct Case {
    const char* what;
    int clicks;
    std::function<void(FileNameEditor&)> run;
  };
  const Case cases[] = {
      {"reload, Stop then Close", 2, [](FileNameEditor& e) { e.Fill(); }},
      {"rename, Close", 1, [](FileNameEditor& e) { e.RenameConfirmed(); }},
  };
  for (const Case& c : cases) {
    QPointer<AdvancedToolsWindow> w = Open();
    ASSERT_NE(w, nullptr);
    auto* pane = qobject_cast<FileNameEditorPane*>(w->pane(ToolCode::kFileNameEditor));
    ASSERT_NE(pane, nullptr);
    int turns = 0;
    bool alive_after_close = false;
    desktop_.on_events = [&] {
      if (++turns == 1) {
        QTimer::singleShot(0, w, [&] {
          for (int i = 0; i < c.clicks; ++i) w->exit_button()->PerformClick();
        });
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        alive_after_close = !w.isNull() && !w->isVisible();
      }
    };
    c.run(pane->editor());
    desktop_.on_events = nullptr;
    EXPECT_TRUE(alive_after_close) << c.what;
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull()) << c.what;
  }
}

}  // namespace
}  // namespace orlavo

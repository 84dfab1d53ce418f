#include "app/gui/options_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/folder_walk.h"
#include "app/syntax_checker.h"
#include "tests/gui/qt_print.h"
#include "tests/support/fake_desktop.h"

namespace orlavo {
namespace {

using testing::FakeDesktop;

QString Plain(QString caption) { return caption.remove(u'&'); }

class OptionsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    settings_ = std::make_unique<Settings>(dir_.path());
    dialog_ = std::make_unique<OptionsDialog>(options_, *settings_, desktop_);
  }

  void TearDown() override { dialog_.reset(); }

  void ShowActive() {
    dialog_->show();
    dialog_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
  }

  QString Key(const char* key) const { return settings_->Read(key); }

  QByteArray IgnoreListBytes() const {
    QFile file(DirIgnoreListPath(dir_.path()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }

  void WriteIgnoreList(const QByteArray& bytes) {
    QDir().mkpath(dir_.filePath("Files"));
    QFile file(DirIgnoreListPath(dir_.path()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }

  QStringList IgnoreEntries() const {
    QStringList entries;
    for (int row = 0; row < dialog_->IgnoreList()->count(); ++row) {
      entries << dialog_->IgnoreList()->item(row)->text();
    }
    return entries;
  }

  void OpenIgnorePanel() {
    if (!dialog_->IncludeSubDirectoriesBox()->isChecked()) {
      dialog_->IncludeSubDirectoriesBox()->click();
    }
    dialog_->FolderIgnoreListButton()->PerformClick();
    ASSERT_TRUE(dialog_->IgnoreListPanel()->isVisible());
  }

  QTemporaryDir dir_;
  std::unique_ptr<Settings> settings_;
  Options options_;
  FakeDesktop desktop_;
  std::unique_ptr<OptionsDialog> dialog_;
};

TEST_F(OptionsDialogTest, CaptionsAndTooltips) {
  struct Expected {
    QString caption;
    QString tooltip;
  };
  const std::vector<std::pair<QWidget*, Expected>> table = {
      {dialog_->RenderListInvisibleBox(),
       {"Render report list invisible",
        "Renders listbox where all the files are displayed invisible during operation to "
        "increase performance"}},
      {dialog_->ShowCurrentFileBox(),
       {"Show file names during execution", "Show file names being scanned during operation"}},
      {dialog_->PrefixDirBox(),
       {"Prefix folderpath to filenames",
        "If ticked, a whole path to the file will be displayed in the reports"}},
      {dialog_->IncludeSubDirectoriesBox(), {"Include sub-directories", ""}},
      {dialog_->NoWarningBox(), {"Suppress warning (sub-dirs)", ""}},
      {dialog_->RememberLastUsedButton(), {"Remember last used", ""}},
      {dialog_->UseSpecifiedPathButton(), {"Use specified path", ""}},
      {dialog_->OkButton(), {"OK", "Save changes"}},
      {dialog_->CancelButton(), {"Cancel", "Ignore changed"}},
      {dialog_->AboutButton(), {"About", "Launch About"}},
      {dialog_->VisualsButton(), {"Visuals", ""}},
      {dialog_->SyntaxIgnoreListButton(), {"Syntax ignore list", ""}},
      {dialog_->FolderIgnoreListButton(), {"Folder ignore list", ""}},
      {dialog_->BrowseButton(), {"...", ""}},
      {dialog_->AddIgnoredButton(), {"Add", ""}},
      {dialog_->SaveIgnoreListButton(), {"Save", ""}},
      {dialog_->ClearIgnoreListButton(), {"Clear the list", ""}},
      {dialog_->HideIgnoreListButton(), {"Hide", ""}},
  };
  for (const auto& [widget, expected] : table) {
    QString caption;
    if (auto* button = qobject_cast<CommandButton*>(widget)) {
      caption = button->Caption();
    } else {
      caption = static_cast<QAbstractButton*>(widget)->text();
    }
    EXPECT_EQ(Plain(caption), expected.caption);
    EXPECT_EQ(widget->toolTip(), expected.tooltip) << expected.caption.toStdString();
  }
  EXPECT_EQ(dialog_->IgnoreListPanel()->title(), "Folder ignore list");
  QStringList labels;
  for (QLabel* label : dialog_->findChildren<QLabel*>()) labels << Plain(label->text());
  for (const char* text : {"When file is double clicked:", "Display files' size in:",
                           "Folder path:", "Following folders are on ignore list:"}) {
    EXPECT_TRUE(labels.contains(text)) << text;
  }
  QStringList actions, units;
  for (int i = 0; i < dialog_->DoubleClickBox()->count(); ++i) {
    actions << dialog_->DoubleClickBox()->itemText(i);
  }
  for (int i = 0; i < dialog_->SizeUnitBox()->count(); ++i) {
    units << dialog_->SizeUnitBox()->itemText(i);
  }
  EXPECT_EQ(actions, QStringList({"play MP3", "open MP3 folder!"}));
  EXPECT_EQ(units, QStringList({"Bytes", "KB", "MB"}));
}

TEST_F(OptionsDialogTest, FreshProgramFolderShowsTheDefaults) {
  settings_->Write(settings_key::kIncludeSubDirectories, "yes");
  QSignalSpy folder_spy(dialog_.get(), &OptionsDialog::mainFolderChanged);
  dialog_->Activate();

  EXPECT_EQ(dialog_->DoubleClickBox()->currentText(), "play MP3");
  EXPECT_EQ(dialog_->SizeUnitBox()->currentText(), "Bytes");
  EXPECT_FALSE(dialog_->IncludeSubDirectoriesBox()->isChecked());
  EXPECT_TRUE(dialog_->RenderListInvisibleBox()->isChecked());
  EXPECT_TRUE(dialog_->ShowCurrentFileBox()->isChecked());
  EXPECT_FALSE(dialog_->NoWarningBox()->isChecked());
  EXPECT_FALSE(dialog_->PrefixDirBox()->isChecked());
  EXPECT_TRUE(dialog_->RememberLastUsedButton()->isChecked());
  EXPECT_FALSE(dialog_->UseSpecifiedPathButton()->isChecked());

  EXPECT_FALSE(dialog_->FolderPathBox()->isEnabled());
  EXPECT_FALSE(dialog_->BrowseButton()->isEnabled());
  EXPECT_EQ(dialog_->FolderPathBox()->palette().color(QPalette::Disabled, QPalette::Base),
            QApplication::palette().color(QPalette::Active, QPalette::Button));
  EXPECT_FALSE(dialog_->FolderIgnoreListButton()->isEnabled());
  EXPECT_FALSE(dialog_->NoWarningBox()->isEnabled());
  EXPECT_FALSE(dialog_->IgnoreListPanel()->isVisibleTo(dialog_.get()));

  ASSERT_EQ(folder_spy.count(), 1);
  EXPECT_EQ(folder_spy[0][0].toString(), QString());
  // Activation only reads.
  EXPECT_EQ(Key(settings_key::kExeShow), QString());
}

TEST_F(OptionsDialogTest, ActivationShowsTheStoredValues) {
  settings_->Write(settings_key::kExeShow, "open MP3 folder!");
  settings_->Write(settings_key::kFSizeFormat, "MB");
  settings_->Write(settings_key::kIncludeSubDirectories, "1");
  settings_->Write(settings_key::kRenderList1Invisible, "0");
  settings_->Write(settings_key::kShowCurrentFile, "yes");
  settings_->Write(settings_key::kNoWarning, "1");
  settings_->Write(settings_key::kPrefixDir, "1");
  settings_->Write(settings_key::kDirPathOption, "2");
  settings_->Write(settings_key::kDirPath, "/music/");
  QSignalSpy folder_spy(dialog_.get(), &OptionsDialog::mainFolderChanged);
  ShowActive();

  EXPECT_EQ(dialog_->DoubleClickBox()->currentText(), "open MP3 folder!");
  EXPECT_EQ(dialog_->SizeUnitBox()->currentText(), "MB");
  EXPECT_TRUE(dialog_->IncludeSubDirectoriesBox()->isChecked());
  EXPECT_FALSE(dialog_->RenderListInvisibleBox()->isChecked());
  EXPECT_FALSE(dialog_->ShowCurrentFileBox()->isChecked());
  EXPECT_TRUE(dialog_->NoWarningBox()->isChecked());
  EXPECT_TRUE(dialog_->PrefixDirBox()->isChecked());
  EXPECT_TRUE(dialog_->UseSpecifiedPathButton()->isChecked());
  EXPECT_EQ(dialog_->FolderPathBox()->text(), "/music/");
  EXPECT_TRUE(dialog_->FolderPathBox()->isEnabled());
  EXPECT_TRUE(dialog_->BrowseButton()->isEnabled());
  EXPECT_EQ(dialog_->FolderPathBox()->palette().color(QPalette::Active, QPalette::Base),
            QApplication::palette().color(QPalette::Active, QPalette::Base));
  EXPECT_TRUE(dialog_->FolderIgnoreListButton()->isEnabled());
  EXPECT_TRUE(dialog_->NoWarningBox()->isEnabled());
  EXPECT_EQ(options_.main_folder, "/music/");
  ASSERT_GE(folder_spy.count(), 1);
  EXPECT_EQ(folder_spy.last()[0].toString(), "/music/");
}

TEST_F(OptionsDialogTest, ControlChangesAreLiveAtOnce) {
  dialog_->Activate();
  dialog_->SizeUnitBox()->setCurrentText("KB");
  dialog_->DoubleClickBox()->setCurrentText("open MP3 folder!");
  dialog_->PrefixDirBox()->click();
  dialog_->RenderListInvisibleBox()->click();
  EXPECT_EQ(options_.size_unit, "KB");
  EXPECT_EQ(options_.double_click_action, "open MP3 folder!");
  EXPECT_TRUE(options_.prefix_dir);
  EXPECT_FALSE(options_.render_list_invisible);
  EXPECT_FALSE(QFile::exists(settings_->FilePath()));
}

TEST_F(OptionsDialogTest, IncludeSubDirectoriesEnablesItsDependents) {
  dialog_->Activate();
  dialog_->IncludeSubDirectoriesBox()->click();
  EXPECT_TRUE(options_.include_sub_directories);
  EXPECT_TRUE(dialog_->FolderIgnoreListButton()->isEnabled());
  EXPECT_TRUE(dialog_->NoWarningBox()->isEnabled());
  dialog_->NoWarningBox()->click();
  EXPECT_TRUE(options_.no_warning);
  dialog_->IncludeSubDirectoriesBox()->click();
  EXPECT_FALSE(dialog_->FolderIgnoreListButton()->isEnabled());
  EXPECT_FALSE(dialog_->NoWarningBox()->isEnabled());
}

TEST_F(OptionsDialogTest, OkSavesAndHides) {
  ShowActive();
  dialog_->SizeUnitBox()->setCurrentText("MB");
  dialog_->IncludeSubDirectoriesBox()->click();
  dialog_->ShowCurrentFileBox()->click();
  options_.SetMainFolder("/picked/");  // the main window's "..."
  dialog_->OkButton()->PerformClick();

  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(Key(settings_key::kExeShow), "play MP3");
  EXPECT_EQ(Key(settings_key::kFSizeFormat), "MB");
  EXPECT_EQ(Key(settings_key::kIncludeSubDirectories), "1");
  EXPECT_EQ(Key(settings_key::kRenderList1Invisible), "1");
  EXPECT_EQ(Key(settings_key::kShowCurrentFile), "0");
  EXPECT_EQ(Key(settings_key::kNoWarning), "0");
  EXPECT_EQ(Key(settings_key::kPrefixDir), "0");
  EXPECT_EQ(Key(settings_key::kDirPathOption), "1");
  EXPECT_EQ(Key(settings_key::kDirPath), "/picked/");
}

// A Settings.ini that cannot be written (here a folder stands in its place)
// keeps the live values and tells the person; a second OK tries again.
TEST_F(OptionsDialogTest, OkOnAnUnwritableSettingsFileTellsThePerson) {
  ASSERT_TRUE(QDir().mkpath(settings_->FilePath()));
  ShowActive();
  dialog_->SizeUnitBox()->setCurrentText("KB");
  dialog_->OkButton()->PerformClick();
  EXPECT_EQ(options_.size_unit, "KB");
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text,
            "The settings could not be saved to " + settings_->FilePath());

  ASSERT_TRUE(QDir().rmdir(settings_->FilePath()));
  ShowActive();
  dialog_->SizeUnitBox()->setCurrentText("KB");
  dialog_->OkButton()->PerformClick();
  EXPECT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(Key(settings_key::kFSizeFormat), "KB");
}

TEST_F(OptionsDialogTest, CancelHidesWithoutWriting) {
  ShowActive();
  dialog_->PrefixDirBox()->click();
  dialog_->CancelButton()->PerformClick();
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_FALSE(QFile::exists(settings_->FilePath()));
  // Still the live value, and still on the control.
  EXPECT_TRUE(options_.prefix_dir);
  EXPECT_TRUE(dialog_->PrefixDirBox()->isChecked());
}

TEST_F(OptionsDialogTest, CloseBoxSaves) {
  ShowActive();
  dialog_->PrefixDirBox()->click();
  dialog_->close();
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(Key(settings_key::kPrefixDir), "1");
}

TEST_F(OptionsDialogTest, CancelledEditsAreSavedAtExitUnlessActivatedAgain) {
  ShowActive();
  dialog_->PrefixDirBox()->click();
  dialog_->CancelButton()->PerformClick();
  dialog_->close();  // the main window closes the hidden dialog at exit
  EXPECT_EQ(Key(settings_key::kPrefixDir), "1");

  ShowActive();
  dialog_->PrefixDirBox()->click();
  dialog_->CancelButton()->PerformClick();
  ShowActive();  // activation reads the file again
  EXPECT_TRUE(dialog_->PrefixDirBox()->isChecked());
  EXPECT_TRUE(options_.prefix_dir);
  dialog_->close();
  EXPECT_EQ(Key(settings_key::kPrefixDir), "1");
}

TEST_F(OptionsDialogTest, OnlyOpeningTheDialogAnewReloadsIt) {
  QWidget main_window;
  main_window.show();
  ShowActive();
  dialog_->PrefixDirBox()->click();
  // Neither a box of its own nor another window of the program, nor a
  // folder chosen with the picker, undoes the edits in hand.
  QMessageBox box(QMessageBox::Information, "t", "x", QMessageBox::Ok, dialog_.get());
  box.show();
  box.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
  box.hide();
  main_window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main_window));
  dialog_->UseSpecifiedPathButton()->click();
  desktop_.folders = {"/picked"};
  dialog_->BrowseButton()->PerformClick();
  main_window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main_window));
  dialog_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
  EXPECT_TRUE(dialog_->PrefixDirBox()->isChecked());
  EXPECT_EQ(dialog_->FolderPathBox()->text(), "/picked/");
  dialog_->OkButton()->PerformClick();
  EXPECT_EQ(Key(settings_key::kDirPath), "/picked/");
  EXPECT_EQ(Key(settings_key::kDirPathOption), "2");

  // Hidden and shown again, it reads the file.
  settings_->Write(settings_key::kPrefixDir, "0");
  ShowActive();
  EXPECT_FALSE(dialog_->PrefixDirBox()->isChecked());
}

TEST_F(OptionsDialogTest, CancelDropsIgnoreListEntriesThatWereNeverSaved) {
  WriteIgnoreList("/a/\r\n");
  ShowActive();
  OpenIgnorePanel();
  desktop_.folders = {"/added"};
  dialog_->AddIgnoredButton()->PerformClick();
  EXPECT_EQ(IgnoreEntries(), QStringList({"/a/", "/added/"}));
  // "Include sub-directories" is as the person left it after the picker.
  EXPECT_TRUE(dialog_->IncludeSubDirectoriesBox()->isChecked());
  dialog_->CancelButton()->PerformClick();
  ShowActive();
  EXPECT_FALSE(dialog_->IgnoreListPanel()->isVisible());
  EXPECT_FALSE(IgnoreEntries().contains("/added/"));
  OpenIgnorePanel();
  EXPECT_EQ(IgnoreEntries(), QStringList({"/a/"}));
  EXPECT_EQ(IgnoreListBytes(), QByteArray("/a/\r\n"));
}

TEST_F(OptionsDialogTest, SpecifiedPathBecomesTheMainFolder) {
  settings_->Write(settings_key::kDirPath, "/music/old/");
  ShowActive();
  dialog_->UseSpecifiedPathButton()->click();
  EXPECT_EQ(dialog_->FolderPathBox()->text(), "/music/old/");
  EXPECT_TRUE(dialog_->FolderPathBox()->isEnabled());
  EXPECT_TRUE(dialog_->BrowseButton()->isEnabled());
  EXPECT_EQ(dialog_->FolderPathBox()->palette().color(QPalette::Active, QPalette::Base),
            QApplication::palette().color(QPalette::Active, QPalette::Base));

  desktop_.folders.push_back("/music/new");
  dialog_->BrowseButton()->PerformClick();
  EXPECT_EQ(desktop_.browse_titles, QStringList{"Select MP3 Folder..."});
  EXPECT_EQ(desktop_.browse_initials, QStringList{"/music/old/"});
  EXPECT_EQ(dialog_->FolderPathBox()->text(), "/music/new/");

  QSignalSpy folder_spy(dialog_.get(), &OptionsDialog::mainFolderChanged);
  dialog_->OkButton()->PerformClick();
  ASSERT_EQ(folder_spy.count(), 1);
  EXPECT_EQ(folder_spy[0][0].toString(), "/music/new/");
  EXPECT_EQ(options_.main_folder, "/music/new/");
  EXPECT_EQ(Key(settings_key::kDirPathOption), "2");
  EXPECT_EQ(Key(settings_key::kDirPath), "/music/new/");

  // Back to "Remember last used": the box locks and keeps its text.
  ShowActive();
  dialog_->RememberLastUsedButton()->click();
  EXPECT_FALSE(dialog_->FolderPathBox()->isEnabled());
  EXPECT_FALSE(dialog_->BrowseButton()->isEnabled());
  EXPECT_EQ(dialog_->FolderPathBox()->text(), "/music/new/");
}

TEST_F(OptionsDialogTest, TypedFolderIsSavedWithItsClosingSlash) {
  ShowActive();
  dialog_->UseSpecifiedPathButton()->click();
  dialog_->FolderPathBox()->setFocus();
  QTest::keyClicks(dialog_->FolderPathBox(), "/data/mp3");
  QTest::keyClick(dialog_->FolderPathBox(), Qt::Key_Return);
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(Key(settings_key::kDirPath), "/data/mp3/");
  EXPECT_EQ(options_.main_folder, "/data/mp3/");
}

TEST_F(OptionsDialogTest, EnterIsOkAndEscapeIsCancel) {
  ShowActive();
  dialog_->PrefixDirBox()->click();
  dialog_->PrefixDirBox()->setFocus();
  QTest::keyClick(dialog_->PrefixDirBox(), Qt::Key_Escape);
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_FALSE(QFile::exists(settings_->FilePath()));

  ShowActive();
  dialog_->PrefixDirBox()->click();
  dialog_->DoubleClickBox()->setFocus();
  QTest::keyClick(dialog_->DoubleClickBox(), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(Key(settings_key::kPrefixDir), "1");

  // Enter on a focused button works that button.
  ShowActive();
  dialog_->PrefixDirBox()->click();
  dialog_->CancelButton()->setFocus();
  QTest::keyClick(dialog_->CancelButton(), Qt::Key_Return);
  EXPECT_FALSE(dialog_->isVisible());
  EXPECT_EQ(Key(settings_key::kPrefixDir), "1");
}

TEST_F(OptionsDialogTest, VisualsAboutAndSyntaxIgnoreList) {
  ShowActive();
  int visuals_opened = 0;
  dialog_->SetVisualsOpener([&visuals_opened] { ++visuals_opened; });
  dialog_->VisualsButton()->PerformClick();
  EXPECT_EQ(visuals_opened, 1);
  EXPECT_TRUE(desktop_.messages.empty());

  dialog_->AboutButton()->PerformClick();
  ASSERT_NE(dialog_->About(), nullptr);
  EXPECT_TRUE(dialog_->About()->isVisible());
  dialog_->About()->CloseButton()->PerformClick();

  dialog_->SyntaxIgnoreListButton()->PerformClick();
  const QString list = SyntaxIgnoreListPath(dir_.path());
  EXPECT_EQ(desktop_.opened, QStringList{list});
  EXPECT_TRUE(QFile::exists(list));
}

TEST_F(OptionsDialogTest, IgnoreListPanelLoadsAddsDeletesAndSaves) {
  WriteIgnoreList("/m/a/\r\n/m/b/\n/m/c/");
  ShowActive();
  options_.SetMainFolder("/m/");  // the main window's folder
  OpenIgnorePanel();
  EXPECT_EQ(IgnoreEntries(), QStringList({"/m/a/", "/m/b/", "/m/c/"}));

  desktop_.folders.push_back("/m/d");
  dialog_->AddIgnoredButton()->PerformClick();
  desktop_.folders.push_back("/m/a/");
  dialog_->AddIgnoredButton()->PerformClick();
  dialog_->AddIgnoredButton()->PerformClick();  // cancelled
  EXPECT_EQ(desktop_.browse_titles, QStringList(3, "Select MP3 Folder to ignore..."));
  EXPECT_EQ(desktop_.browse_initials, QStringList(3, "/m/"));
  EXPECT_EQ(IgnoreEntries(), QStringList({"/m/a/", "/m/b/", "/m/c/", "/m/d/", "/m/a/"}));

  QListWidget* list = dialog_->IgnoreList();
  list->setFocus();
  list->setCurrentRow(1);
  QTest::keyClick(list, Qt::Key_Delete);
  EXPECT_EQ(IgnoreEntries(), QStringList({"/m/a/", "/m/c/", "/m/d/", "/m/a/"}));
  EXPECT_EQ(list->currentItem()->text(), "/m/c/");
  EXPECT_TRUE(list->currentItem()->isSelected());
  list->setCurrentRow(3);
  QTest::keyClick(list, Qt::Key_Delete);
  EXPECT_EQ(IgnoreEntries(), QStringList({"/m/a/", "/m/c/", "/m/d/"}));
  EXPECT_EQ(list->currentRow(), 2);
  EXPECT_TRUE(list->currentItem()->isSelected());

  // Nothing is written before "Save".
  EXPECT_EQ(IgnoreListBytes(), QByteArray("/m/a/\r\n/m/b/\n/m/c/"));
  dialog_->SaveIgnoreListButton()->PerformClick();
  EXPECT_EQ(IgnoreListBytes(), QByteArray("/m/a/\r\n/m/c/\r\n/m/d/\r\n"));
  EXPECT_FALSE(dialog_->IgnoreListPanel()->isVisible());
  EXPECT_TRUE(dialog_->isVisible());
}

TEST_F(OptionsDialogTest, DeleteWithoutSelectionOrOnTheLastEntry) {
  WriteIgnoreList("/only/\r\n");
  ShowActive();
  OpenIgnorePanel();
  QListWidget* list = dialog_->IgnoreList();
  list->clearSelection();
  list->setCurrentRow(-1);
  QTest::keyClick(list, Qt::Key_Delete);
  EXPECT_EQ(IgnoreEntries(), QStringList{"/only/"});
  list->setCurrentRow(0);
  QTest::keyClick(list, Qt::Key_Delete);
  EXPECT_TRUE(IgnoreEntries().isEmpty());
  dialog_->SaveIgnoreListButton()->PerformClick();
  EXPECT_EQ(IgnoreListBytes(), QByteArray());
}

TEST_F(OptionsDialogTest, MissingIgnoreListIsCreatedEmptyWhenThePanelOpens) {
  ShowActive();
  OpenIgnorePanel();
  EXPECT_TRUE(IgnoreEntries().isEmpty());
  EXPECT_EQ(IgnoreListBytes(), QByteArray());
}

TEST_F(OptionsDialogTest, ClearTheListAsksFirstAndHideKeepsTheFile) {
  WriteIgnoreList("/a/\r\n/b/\r\n");
  ShowActive();
  OpenIgnorePanel();
  desktop_.answers = {Desktop::Answer::kNo, Desktop::Answer::kYes};
  dialog_->ClearIgnoreListButton()->PerformClick();
  EXPECT_EQ(IgnoreEntries(), QStringList({"/a/", "/b/"}));
  dialog_->ClearIgnoreListButton()->PerformClick();
  EXPECT_TRUE(IgnoreEntries().isEmpty());
  ASSERT_EQ(desktop_.messages.size(), 2u);
  for (const auto& message : desktop_.messages) {
    EXPECT_EQ(message.title, "Clear folder ignore iist...");
    EXPECT_EQ(message.text, "Are you sure?");
    EXPECT_EQ(message.buttons, Desktop::Buttons::kYesNo);
  }
  dialog_->HideIgnoreListButton()->PerformClick();
  EXPECT_FALSE(dialog_->IgnoreListPanel()->isVisible());
  EXPECT_EQ(IgnoreListBytes(), QByteArray("/a/\r\n/b/\r\n"));

  // Opening again shows the file, not the cleared list.
  OpenIgnorePanel();
  EXPECT_EQ(IgnoreEntries(), QStringList({"/a/", "/b/"}));
}

TEST_F(OptionsDialogTest, ThePanelTakesRoomBesideTheOptionsAndGivesItBack) {
  ShowActive();
  const QSize before = dialog_->size();
  OpenIgnorePanel();
  EXPECT_GT(dialog_->width(), before.width());
  EXPECT_GE(dialog_->IgnoreListPanel()->x(), dialog_->FolderIgnoreListButton()->geometry().right());
  dialog_->HideIgnoreListButton()->PerformClick();
  EXPECT_EQ(dialog_->size(), before);
}

TEST_F(OptionsDialogTest, FailedIgnoreListSaveKeepsThePanelOpen) {
  // A folder where the list should be cannot be replaced by a file.
  ASSERT_TRUE(QDir().mkpath(DirIgnoreListPath(dir_.path())));
  ShowActive();
  OpenIgnorePanel();
  desktop_.folders.push_back("/x/");
  dialog_->AddIgnoredButton()->PerformClick();
  dialog_->SaveIgnoreListButton()->PerformClick();
  EXPECT_TRUE(dialog_->IgnoreListPanel()->isVisible());
  EXPECT_EQ(IgnoreEntries(), QStringList{"/x/"});
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].icon, Desktop::Icon::kCritical);
}

}  // namespace
}  // namespace orlavo

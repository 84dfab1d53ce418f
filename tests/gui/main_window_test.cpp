#include "app/gui/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>

#include "app/flags.h"
#include "app/gui/file_info_window.h"
#include "app/gui/options_dialog.h"
#include "app/gui/report_list_view.h"
#include "app/ini_file.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "tests/gui/qt_print.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/id3v2_builder.h"
#include "tests/support/lame_fixture.h"
#include "ui/color_scheme.h"
#include "ui/command_button.h"
#include "ui/visuals_window.h"

namespace orlavo {
namespace {

using testing::Bytes;
using testing::FakeDesktop;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = program_dir_.path() + "/";
    QFile::copy(ORLAVO_BIN_DIR "/libpellox.so", program_ + "libpellox.so");
    music_ = music_dir_.path() + "/";
    audio_ = testing::EncodeMp3({.seconds = 0.3});
    StopRequested = false;
  }

  QString Put(const QString& name, const Bytes& bytes) {
    QFileInfo fi(music_ + name);
    QDir().mkpath(fi.path());
    testing::WriteFileBytes(fi.filePath(), bytes);
    return fi.filePath();
  }

  // A settings file as a returning user has it.
  void ReturningUser(const QString& folder, bool subdirs = false) {
    Settings s(program_);
    s.Write(settings_key::kExeShow, kPlayMp3);
    s.Write(settings_key::kDirPath, folder);
    s.Write(settings_key::kIncludeSubDirectories, subdirs ? "1" : "0");
    s.Write(settings_key::kLastUsed, "5");
  }

  std::unique_ptr<MainWindow> Started() {
    auto w = std::make_unique<MainWindow>(program_, desktop_, pellox_);
    EXPECT_TRUE(w->Start([] { return false; }));
    return w;
  }

  QStringList RowTexts(MainWindow& w) {
    QStringList texts;
    for (int i = 0; i < w.list().size(); ++i) {
      texts << w.list().row(i).text + "|" + w.list().row(i).ColumnText(2);
    }
    return texts;
  }

  void Click(MainWindow& w, const char* caption) {
    CommandButton* b = w.button(QString::fromLatin1(caption));
    ASSERT_NE(b, nullptr) << caption;
    ASSERT_TRUE(b->isEnabled()) << caption;
    b->PerformClick();
  }

  QTemporaryDir program_dir_, music_dir_;
  QString program_, music_;
  Bytes audio_;
  FakeDesktop desktop_;
  PelloxBinding pellox_{program_dir_.path()};
};

TEST_F(MainWindowTest, FirstStartOnAnEmptyProgramFolder) {
  auto w = Started();
  ASSERT_GE(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text,
            "This is your first time running this program, please make sure you have the latest "
            "release.  Thank You.");
  EXPECT_EQ(desktop_.messages[0].icon, Desktop::Icon::kInformation);
  ASSERT_NE(w->about_window(), nullptr);
  EXPECT_TRUE(w->about_window()->isVisible());
  EXPECT_TRUE(desktop_.opened.contains(program_ + "Orlavo Professional.html"));
  EXPECT_EQ(w->windowTitle(), "Orlavo Professional v1.0");
  EXPECT_EQ(w->pattern_box()->text(), "%Artist - %Title");
  // No folder yet: the picker opened, was cancelled, and the tools stay off.
  EXPECT_EQ(desktop_.browse_titles, QStringList({"Select MP3 Folder..."}));
  EXPECT_FALSE(w->button("Advanced Tools")->isEnabled());
  // The defaults of a fresh installation are the live options.
  const Options& o = LiveOptions();
  EXPECT_EQ(o.double_click_action, "play MP3");
  EXPECT_EQ(o.size_unit, "Bytes");
  EXPECT_TRUE(o.render_list_invisible);
  EXPECT_TRUE(o.show_current_file);
  EXPECT_FALSE(o.include_sub_directories);
  EXPECT_FALSE(o.no_warning);
  EXPECT_FALSE(o.prefix_dir);
  EXPECT_EQ(o.folder_choice, FolderChoice::kRememberLastUsed);
  // The genre box, the Files folder and the exception list template.
  EXPECT_EQ(w->genre_box()->count(), 148);
  EXPECT_EQ(w->genre_box()->itemText(84), "Bebob");
  EXPECT_EQ(w->genre_box()->currentIndex(), 147);
  EXPECT_TRUE(QFileInfo(program_ + "Files").isDir());
  EXPECT_TRUE(QFile::exists(program_ + "Files/SyntaxIgnoreList.txt"));
}

TEST_F(MainWindowTest, ReturningUserGetsTheListFilled) {
  Put("b.mp3", audio_);
  Put("A.mp3", audio_);
  Put("c.txt", audio_);
  ReturningUser(music_);
  auto w = Started();
  EXPECT_TRUE(desktop_.messages.empty());
  EXPECT_TRUE(desktop_.browse_titles.isEmpty());
  EXPECT_EQ(w->folder_box()->text(), music_);
  EXPECT_EQ(RowTexts(*w), QStringList({"A.mp3|", "b.mp3|"}));
  EXPECT_EQ(w->total_label()->text(), "Total MP3s: 2");
  EXPECT_TRUE(w->button("Advanced Tools")->isEnabled());
  EXPECT_EQ(w->list().row(0).tag, music_);
  EXPECT_EQ(w->list().row(0).tooltip, music_);
}

TEST_F(MainWindowTest, FolderOrFileHandedOverOpensInsteadOfTheRememberedFolder) {
  QTemporaryDir other_dir;
  Put("a.mp3", audio_);
  Put("b.mp3", audio_);
  Put("sub/c.mp3", audio_);
  ReturningUser(other_dir.path() + "/");
  struct Case {
    QString folder, file, expected_folder, selected;
  } cases[] = {
      {music_dir_.path(), "", music_, ""},
      {music_, music_ + "b.mp3", music_, "b.mp3"},
      {music_ + "sub", music_ + "sub/c.mp3", music_ + "sub/", "c.mp3"},
      // A file the list does not show (not an MP3): its folder, nothing selected.
      {music_, music_ + "notes.txt", music_, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE((c.file.isEmpty() ? c.folder : c.file).toStdString());
    MainWindow w(program_, desktop_, pellox_);
    w.OpenAtStart(c.folder, c.file);
    ASSERT_TRUE(w.Start([] { return false; }));
    EXPECT_EQ(w.folder_box()->text(), c.expected_folder);
    const int row = w.list().FirstSelected();
    EXPECT_EQ(row < 0 ? QString() : w.list().row(row).text, c.selected);
    if (!c.selected.isEmpty()) {
      EXPECT_EQ(w.file_name_box()->text(), c.expected_folder + c.selected);
    }
    w.close();
    // Kept as the last used folder, as a picked folder is.
    EXPECT_EQ(Settings(program_).DirPath(), c.expected_folder);
  }
}

TEST_F(MainWindowTest, InstalledProgramOpensTheHelpOfItsInstallFolder) {
  QTemporaryDir install_dir;
  MainWindow w(program_, desktop_, pellox_);
  w.SetInstallFolder(install_dir.path());
  ASSERT_TRUE(w.Start([] { return false; }));
  EXPECT_TRUE(desktop_.opened.contains(install_dir.path() + "/Orlavo Professional.html"));
  EXPECT_TRUE(QFile::exists(program_ + "Files/SyntaxIgnoreList.txt"));
  EXPECT_FALSE(QFile::exists(install_dir.path() + "/Files"));
}

TEST_F(MainWindowTest, SelectFolderRefusesAFolderWithoutMp3sAndCancelKeepsEverything) {
  QDir().mkpath(music_ + "empty");
  Put("x.mp3", audio_);
  ReturningUser(music_);
  auto w = Started();
  desktop_.folders = {music_ + "empty"};  // then cancelled
  w->SelectFolder();
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text, "No MP3s were found in the " + music_ +
                                           "empty/ folder.  Please select a different "
                                           "folder");
  EXPECT_EQ(desktop_.browse_initials, QStringList({music_, music_ + "empty/"}));
  EXPECT_EQ(w->folder_box()->text(), music_);
  EXPECT_EQ(RowTexts(*w), QStringList({"x.mp3|"}));
  EXPECT_EQ(Settings(program_).DirPath(), music_);

  desktop_.folders = {music_ + "empty"};
  Put("empty/y.mp3", audio_);
  w->SelectFolder();
  EXPECT_EQ(w->folder_box()->text(), music_ + "empty/");
  EXPECT_EQ(Settings(program_).DirPath(), music_ + "empty/");
  EXPECT_EQ(RowTexts(*w), QStringList({"y.mp3|"}));
}

TEST_F(MainWindowTest, DecliningTheSubFolderWarningKeepsTheOldList) {
  Put("top.mp3", audio_);
  Put("sub/deep.mp3", audio_);
  ReturningUser(music_, /*subdirs=*/true);
  desktop_.answers = {Desktop::Answer::kYes};
  auto w = Started();
  EXPECT_EQ(RowTexts(*w), QStringList({"deep.mp3|", "top.mp3|"}));
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].title, "Scanning MP3s...");

  Put("new.mp3", audio_);
  w->ShowFiles();  // answered No by default
  EXPECT_EQ(RowTexts(*w), QStringList({"deep.mp3|", "top.mp3|"}));
  EXPECT_TRUE(w->button("Advanced Tools")->isEnabled());
}

TEST_F(MainWindowTest, FiltersExcludeEachOtherAndAddOneRowPerFilter) {
  Put("plain.mp3", audio_);
  Put("both.mp3",
      testing::Concat({testing::Id3v2Tag(3, {testing::TextFrame("TIT2", 0, "x")}), audio_}));
  Put("v1.mp3", testing::Concat({audio_, testing::Id3v1Block("T", "A", "", "", "", 1)}));
  ReturningUser(music_);
  auto w = Started();

  w->filter_box(MainWindow::kNoV1)->setChecked(true);
  w->filter_box(MainWindow::kV1)->setChecked(true);
  EXPECT_FALSE(w->filter_box(MainWindow::kNoV1)->isChecked());
  w->filter_box(MainWindow::kNoV1)->setChecked(true);
  EXPECT_FALSE(w->filter_box(MainWindow::kV1)->isChecked());
  w->filter_box(MainWindow::kNoV2)->setChecked(true);
  w->filter_box(MainWindow::kV2)->setChecked(true);
  EXPECT_FALSE(w->filter_box(MainWindow::kNoV2)->isChecked());

  Click(*w, "Apply Filter(s)");
  EXPECT_EQ(RowTexts(*w), QStringList({"both.mp3|v1 tag", "both.mp3|v2 tag", "plain.mp3|v1 tag"}));
  EXPECT_EQ(w->total_label()->text(), "Total MP3s: 3");
  EXPECT_EQ(w->percent_label()->text(), "0%");
  EXPECT_TRUE(w->list_view()->isVisible() || !w->isVisible());

  for (int f = 0; f < MainWindow::kFilterCount; ++f) {
    w->filter_box(static_cast<MainWindow::Filter>(f))->setChecked(false);
  }
  Click(*w, "Apply Filter(s)");
  EXPECT_TRUE(w->list().empty());
  EXPECT_EQ(w->total_label()->text(), "Total MP3s: 0");
}

TEST_F(MainWindowTest, PanelFollowsTheSelectionAndSavesAndRemovesTags) {
  const QString tagged = Put(
      "Queen - Bohemian Rhapsody.mp3",
      testing::Concat(
          {audio_, testing::Id3v1Block("Bohemian Rhapsody", "Queen", "Opera", "1975", "", 17)}));
  const QString plain = Put("plain.mp3", audio_);
  ReturningUser(music_);
  auto w = Started();
  const int tagged_row = w->list().IndexOfPath(tagged);
  const int plain_row = w->list().IndexOfPath(plain);
  ASSERT_GE(tagged_row, 0);
  w->list_view()->SelectRow(tagged_row);
  w->RowSelected();
  EXPECT_EQ(w->file_name_box()->text(), tagged);
  EXPECT_EQ(w->field_box(MainWindow::kTitle)->text(), "Bohemian Rhapsody");
  EXPECT_EQ(w->field_box(MainWindow::kArtist)->text(), "Queen");
  EXPECT_EQ(w->field_box(MainWindow::kYear)->text(), "1975");
  EXPECT_EQ(w->genre_box()->currentText(), "Rock");
  EXPECT_FALSE(w->button("Save ID3v1 Tag")->isEnabled());
  EXPECT_TRUE(w->button("Remove ID3v1 Tag")->isEnabled());
  EXPECT_TRUE(w->button("ID3v1 TAG -> Filename")->isEnabled());

  // An edit enables Save; Save writes the tag.
  w->field_box(MainWindow::kAlbum)->setFocus();
  w->field_box(MainWindow::kAlbum)->selectAll();
  QTest::keyClicks(w->field_box(MainWindow::kAlbum), "Night");
  EXPECT_TRUE(w->button("Save ID3v1 Tag")->isEnabled());
  Click(*w, "Save ID3v1 Tag");
  Bytes b = testing::ReadFileBytes(tagged);
  ASSERT_EQ(b.size(), audio_.size() + 128);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[audio_.size() + 63]), 30),
            "Night" + std::string(25, ' '));
  EXPECT_FALSE(w->button("Save ID3v1 Tag")->isEnabled());

  // Remove blanks the tag without a question.
  Click(*w, "Remove ID3v1 Tag");
  b = testing::ReadFileBytes(tagged);
  EXPECT_EQ(b.size(), audio_.size() + 128);
  EXPECT_EQ(b[audio_.size()], ' ');
  EXPECT_TRUE(desktop_.messages.empty());
  EXPECT_EQ(w->field_box(MainWindow::kTitle)->text(), "");
  EXPECT_FALSE(w->button("Remove ID3v1 Tag")->isEnabled());

  // Two rows selected disable "Apply Filter(s)"; one enables it again.
  w->list().SetSelected(plain_row, true);
  w->RowSelected();
  EXPECT_FALSE(w->button("Apply Filter(s)")->isEnabled());
  w->list_view()->SelectRow(plain_row);
  w->RowSelected();
  EXPECT_TRUE(w->button("Apply Filter(s)")->isEnabled());
  EXPECT_EQ(w->file_name_box()->text(), plain);
}

TEST_F(MainWindowTest, RenameFromTagAsksThenMovesIntoTheMainFolder) {
  const Bytes bytes =
      testing::Concat({audio_, testing::Id3v1Block("Bohemian Rhapsody", "Queen", "", "", "", 17)});
  const QString source = Put("sub/track01.mp3", bytes);
  ReturningUser(music_, true);
  desktop_.answers = {Desktop::Answer::kYes};  // the sub-folder warning
  auto w = Started();
  ASSERT_EQ(RowTexts(*w), QStringList({"track01.mp3|"}));
  w->list_view()->SelectRow(0);
  w->RowSelected();

  desktop_.messages.clear();
  w->RenameFromTag();  // answered No
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].title, "Renaming...");
  EXPECT_EQ(desktop_.messages[0].text, "Are you sure you want to rename " + source);
  EXPECT_TRUE(QFile::exists(source));

  // The target exists: refused, both files as they were.
  const QString target = Put("Queen - Bohemian Rhapsody.mp3", Bytes(10, 'q'));
  desktop_.answers = {Desktop::Answer::kYes};
  w->RenameFromTag();
  EXPECT_EQ(testing::ReadFileBytes(source), bytes);
  EXPECT_EQ(testing::ReadFileBytes(target), Bytes(10, 'q'));
  EXPECT_TRUE(desktop_.messages.back().text.contains("already exists"));

  QFile::remove(target);
  desktop_.answers = {Desktop::Answer::kYes, Desktop::Answer::kYes};  // rename, warning
  w->RenameFromTag();
  EXPECT_FALSE(QFile::exists(source));
  EXPECT_EQ(testing::ReadFileBytes(target), bytes);
  // The list shows the file under its new name.
  EXPECT_EQ(RowTexts(*w), QStringList({"Queen - Bohemian Rhapsody.mp3|"}));
  EXPECT_EQ(w->field_box(MainWindow::kTitle)->text(), "");
}

TEST_F(MainWindowTest, NameToTagFillsThePanelOnly) {
  const QString path = Put("pink floyd - wish you were here.mp3", audio_);
  ReturningUser(music_);
  auto w = Started();
  w->list_view()->SelectRow(0);
  w->RowSelected();
  Click(*w, "Filename -> ID3v1 TAG");
  EXPECT_EQ(w->field_box(MainWindow::kArtist)->text(), "Pink Floyd");
  EXPECT_EQ(w->field_box(MainWindow::kTitle)->text(), "Wish You Were Here");
  EXPECT_TRUE(w->button("Save ID3v1 Tag")->isEnabled());
  EXPECT_EQ(testing::ReadFileBytes(path), audio_);
}

TEST_F(MainWindowTest, KeysDeleteRowsAndEnterOpensTheFile) {
  Put("a.mp3", audio_);
  Put("b.mp3", audio_);
  Put("c.mp3", audio_);
  ReturningUser(music_);
  auto w = Started();
  w->list_view()->SelectRow(1);
  QTest::keyClick(w->list_view(), Qt::Key_Return);
  EXPECT_EQ(desktop_.opened, QStringList({music_ + "b.mp3"}));

  w->list().SetSelected(0, true);
  QTest::keyClick(w->list_view(), Qt::Key_Delete);
  EXPECT_EQ(RowTexts(*w), QStringList({"c.mp3|"}));
  EXPECT_TRUE(QFile::exists(music_ + "a.mp3"));
  EXPECT_EQ(w->total_label()->text(), "Total MP3s: 1");

  // "open MP3 folder!" opens the folder part of the row.
  LiveOptions().double_click_action = kOpenMp3Folder;
  w->list_view()->SelectRow(0);
  w->DoubleClickAction();
  EXPECT_EQ(desktop_.opened.last(), music_);
  LiveOptions().double_click_action = kPlayMp3;
}

TEST_F(MainWindowTest, DeleteSelectsTheRowAtThePositionOrEmptiesThePanel) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) Put(name, audio_);
  ReturningUser(music_);
  auto w = Started();
  w->list_view()->SelectRow(1);
  w->RowSelected();
  QTest::keyClick(w->list_view(), Qt::Key_Delete);
  // c.mp3 moved up into the place of b.mp3: selected, in the panel.
  EXPECT_EQ(w->list().SelectedRows(), QList<int>({1}));
  EXPECT_EQ(w->file_name_box()->text(), music_ + "c.mp3");
  EXPECT_TRUE(w->button("ID3v1 TAG -> Filename")->isEnabled());

  w->list().SetSelected(0, true);
  QTest::keyClick(w->list_view(), Qt::Key_Delete);
  EXPECT_TRUE(w->list().empty());
  EXPECT_EQ(w->file_name_box()->text(), "");
  for (const char* caption :
       {"ID3v1 TAG -> Filename", "Filename -> ID3v1 TAG", "Save ID3v1 Tag", "Remove ID3v1 Tag"}) {
    EXPECT_FALSE(w->button(caption)->isEnabled()) << caption;
  }
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) EXPECT_TRUE(QFile::exists(music_ + name));
}

TEST_F(MainWindowTest, KeyboardChordsSelectAndTabLeavesTheList) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"}) Put(name, audio_);
  ReturningUser(music_);
  auto w = Started();
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  ReportListView* view = w->list_view();
  view->setFocus();
  view->SelectRow(0);
  // Shift held while Down is pressed: the second key of the chord counts.
  QTest::keyPress(view, Qt::Key_Shift);
  QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(view, Qt::Key_End, Qt::ShiftModifier);
  QTest::keyRelease(view, Qt::Key_Shift);
  EXPECT_EQ(w->list().SelectedCount(), 4);
  EXPECT_FALSE(w->button("Apply Filter(s)")->isEnabled());
  view->SelectRow(0);
  QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(w->list().SelectedCount(), 4);

  // Tab goes to the next control and leaves the selection as it is.
  view->SelectRow(1);
  QTest::keyClick(view, Qt::Key_Tab);
  EXPECT_NE(QApplication::focusWidget(), view);
  EXPECT_EQ(w->list().SelectedRows(), QList<int>({1}));
  view->setFocus();
  QTest::keyClick(view, Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_NE(QApplication::focusWidget(), view);
  EXPECT_EQ(w->list().SelectedRows(), QList<int>({1}));
}

TEST_F(MainWindowTest, FocusComesBackAfterFiltersAndHiddenListsKeepTheirRoom) {
  Put("a.mp3", audio_);
  ReturningUser(music_);
  auto w = Started();
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  LiveOptions().render_list_invisible = true;
  w->filter_box(MainWindow::kNoV1)->setChecked(true);
  CommandButton* apply = w->button("Apply Filter(s)");
  apply->setFocus();
  const QPoint total_at = w->total_label()->mapTo(w.get(), QPoint(0, 0));
  const QRect filters_at = w->filter_box(MainWindow::kNoV2)->geometry();
  QWidget* focus_during_run = nullptr;
  bool list_hidden = false;
  QPoint total_during_run;
  QRect filters_during_run;
  desktop_.on_events = [&] {
    focus_during_run = QApplication::focusWidget();
    list_hidden = !w->list_view()->isVisible();
    total_during_run = w->total_label()->mapTo(w.get(), QPoint(0, 0));
    filters_during_run = w->filter_box(MainWindow::kNoV2)->geometry();
  };
  QTest::keyClick(apply, Qt::Key_Space);
  desktop_.on_events = nullptr;
  ASSERT_TRUE(list_hidden);
  // Mid-run, Space or Enter reaches no other button; after it, Apply has it back.
  EXPECT_NE(focus_during_run, static_cast<QWidget*>(w->button("Options")));
  EXPECT_EQ(QApplication::focusWidget(), apply);
  // The status row and the filters stand where they stood.
  EXPECT_EQ(total_during_run, total_at);
  EXPECT_EQ(filters_during_run, filters_at);
}

TEST_F(MainWindowTest, FilesDeletedByAToolLeaveTheList) {
  for (const char* name : {"a.mp3", "b.mp3"}) Put(name, audio_);
  ReturningUser(music_);
  auto w = Started();
  w->list_view()->SelectRow(0);
  w->RowSelected();
  const size_t asked = desktop_.messages.size();
  w->ForgetFiles({music_ + "a.mp3"});
  EXPECT_EQ(RowTexts(*w), QStringList({"b.mp3|"}));
  EXPECT_EQ(w->total_label()->text(), "Total MP3s: 1");
  EXPECT_EQ(w->file_name_box()->text(), "");
  EXPECT_EQ(desktop_.messages.size(), asked);
}

TEST_F(MainWindowTest, InformationWindowShowsTheReportAndCloses) {
  Put("a.mp3", audio_);
  Put("b.mp3", testing::Concat({audio_, testing::Id3v1Block("T", "A", "", "", "", 1)}));
  ReturningUser(music_);
  auto w = Started();
  w->list_view()->SelectRow(0);
  Click(*w, "Show full info");
  ASSERT_NE(w->info_window(), nullptr);
  EXPECT_TRUE(w->info_window()->isVisible());
  QStringList lines = w->info_window()->Lines();
  EXPECT_EQ(lines.first(), "Filename: a.mp3");
  EXPECT_TRUE(lines.contains("ID3v1 Exists: False"));

  // The keyboard moves the report along.
  w->list_view()->setFocus();
  QTest::keyClick(w->list_view(), Qt::Key_Down);
  ASSERT_NE(w->info_window(), nullptr);
  EXPECT_EQ(w->info_window()->Lines().first(), "Filename: b.mp3");
  EXPECT_EQ(w->file_name_box()->text(), music_ + "b.mp3");

  // A new selection by the mouse closes the window.
  w->list_view()->SelectRow(0);
  w->RowSelected();
  EXPECT_TRUE(w->info_window() == nullptr || !w->info_window()->isVisible());
}

TEST_F(MainWindowTest, SecondInstanceEndsSilently) {
  ReturningUser(music_);
  MainWindow w(program_, desktop_, pellox_);
  EXPECT_FALSE(w.Start([] { return true; }));
  EXPECT_TRUE(desktop_.messages.empty());
  EXPECT_FALSE(w.isVisible());
}

TEST_F(MainWindowTest, MissingLibraryGivesTheCriticalMessageAndAMail) {
  ReturningUser(music_);
  QFile::remove(program_ + "libpellox.so");
  PelloxBinding unbound(program_);
  MainWindow w(program_, desktop_, unbound);
  EXPECT_FALSE(w.Start([] { return false; }));
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].icon, Desktop::Icon::kCritical);
  QStringList lines = desktop_.messages[0].text.split("\r\n");
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].contains("libpellox.so"));
  EXPECT_EQ(lines[1],
            "Incorrect DLL compilation.  Please email me as soon as possible so I can correct "
            "this.");
  ASSERT_EQ(desktop_.opened.size(), 1);
  EXPECT_TRUE(desktop_.opened[0].startsWith("mailto:"));
  EXPECT_TRUE(desktop_.opened[0].contains("subject=INCORRECT%20DLL"));
}

TEST_F(MainWindowTest, ClosingSavesThePatternAndTheOptions) {
  ReturningUser(music_);
  auto w = Started();
  w->pattern_box()->setText("%Title (%Year)");
  w->close();
  EXPECT_TRUE(StopRequested);
  Settings s(program_);
  EXPECT_EQ(s.Read(settings_key::kSyntax), "%Title (%Year)");
  EXPECT_EQ(s.Read(settings_key::kExeShow), "play MP3");
  StopRequested = false;
}

// The scheme named in the settings colours the window at start; the Visuals
// window opens from the window menu and from the Options dialog, once.
TEST_F(MainWindowTest, StartAppliesTheSchemeAndVisualsOpensFromMenuAndOptions) {
  ReturningUser(music_);
  QDir().mkpath(program_ + "Visuals/Color Schemes");
  IniWrite("Settings", "BGColor", "&H203040", program_ + "Visuals/Color Schemes/Dusk.ovc");
  Settings(program_).Write(settings_key::kColorScheme, "Dusk");
  auto w = Started();
  EXPECT_EQ(CurrentColorScheme().BGColor(), QColor(0x40, 0x30, 0x20));
  EXPECT_EQ(w->palette().color(QPalette::Window), QColor(0x40, 0x30, 0x20));
  EXPECT_EQ(w->options_dialog()->palette().color(QPalette::Window), QColor(0x40, 0x30, 0x20));
  ASSERT_NE(w->chrome(), nullptr);
  EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);

  QAction* visuals = w->chrome()->window_menu()->actions().last();
  EXPECT_EQ(visuals->text(), "Visuals");
  visuals->trigger();
  ASSERT_NE(w->visuals_window(), nullptr);
  EXPECT_TRUE(w->visuals_window()->isVisible());
  VisualsWindow* first = w->visuals_window();
  w->options_dialog()->VisualsButton()->PerformClick();
  EXPECT_EQ(w->visuals_window(), first);
  CurrentColorScheme() = ColorScheme();
}

}  // namespace
}  // namespace orlavo

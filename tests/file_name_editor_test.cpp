#include "tools/editor/file_name_editor.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/flags.h"
#include "app/helpers.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "app/tag_helpers.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/mp3_bytes.h"
#include "tests/support/qstring_print.h"

namespace orlavo {
namespace {

using Answer = Desktop::Answer;
using testing::FakeDesktop;

const QString kCrLf = QStringLiteral("\r\n");

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StopRequested = false;
    ASSERT_TRUE(dir_.isValid());
    program_ = dir_.filePath("program") + u'/';
    music_ = dir_.filePath("music") + u'/';
    QDir().mkpath(program_ + "Files");
    QDir().mkpath(music_);
    options_.main_folder = music_;
    options_.show_current_file = false;
  }

  FileNameEditor& Editor() {
    if (!editor_) {
      editor_ = std::make_unique<FileNameEditor>(
          ToolContext{desktop_, status_, pellox_, options_, program_});
    }
    return *editor_;
  }

  // A file with a distinct body, so that a test can tell the files apart.
  QString MakeFile(const QString& relative, const QByteArray& title = {},
                   const QByteArray& artist = {}) {
    const QString path = music_ + relative;
    testing::Mp3Layout layout;
    layout.id3v1 = !title.isEmpty() || !artist.isEmpty();
    layout.title = title;
    layout.artist = artist;
    layout.padding = static_cast<int>(qHash(relative) % 997);
    EXPECT_TRUE(testing::WriteMp3File(path, layout));
    return path;
  }

  // A row as the fill makes it, without a file behind it.
  void AddRow(const QString& name) {
    ReportRow row;
    row.text = name;
    row.tag = music_;
    row.tooltip = music_;
    row.columns << QString() << name;
    Editor().list().AddRow(row);
  }

  QStringList Texts() {
    QStringList texts;
    for (int i = 0; i < Editor().list().size(); ++i) texts << Editor().list().row(i).text;
    return texts;
  }

  QStringList Originals() {
    QStringList texts;
    for (int i = 0; i < Editor().list().size(); ++i) {
      texts << Editor().list().row(i).ColumnText(kEditorOriginalColumn);
    }
    return texts;
  }

  int RowOf(const QString& text) { return Texts().indexOf(text); }

  void Select(const QStringList& texts) {
    for (const QString& text : texts) Editor().list().SetSelected(RowOf(text), true);
  }

  QStringList FilesOnDisk() {
    return QDir(music_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
  }

  QTemporaryDir dir_;
  QString program_, music_;
  Options options_;
  FakeDesktop desktop_;
  ToolsStatus status_;
  PelloxBinding pellox_{QStringLiteral(ORLAVO_BIN_DIR)};
  std::unique_ptr<FileNameEditor> editor_;
};

// One name through "Do it!", with the questions answered as given.
struct EditCase {
  const char* label;
  EditMode mode;
  AddPosition position;
  const char* main_text;
  const char* replacement;
  const char* after;
  bool case_sensitive;
  const char* name;
  const char* expected;
  int questions;
};

TEST_F(EditorTest, DoItTextRules) {
  const auto kAdd = EditMode::kAdd, kRemove = EditMode::kRemove, kReplace = EditMode::kReplace;
  const auto kFront = AddPosition::kFront, kEnd = AddPosition::kEnd, kMid = AddPosition::kMiddle;
  const EditCase cases[] = {
      {"end", kAdd, kEnd, "_live", "", "", true, "Song.mp3", "Song_live.mp3", 0},
      {"front", kAdd, kFront, "_live", "", "", true, "Song.mp3", "_liveSong.mp3", 0},
      {"middle", kAdd, kMid, "X", "", "-", true, "A-B.mp3", "A-XB.mp3", 0},
      {"middle, 2 chars twice: no question", kAdd, kMid, "X", "", "--", true, "A--B--C.mp3",
       "A--XB--C.mp3", 0},
      {"middle, 3 chars twice: asked, No goes on", kAdd, kMid, "Y", "", "abc", true, "abcXabc.mp3",
       "abcYXabc.mp3", 1},
      {"middle, after text missing", kAdd, kMid, "X", "", "#", true, "A-B.mp3", "A-B.mp3", 0},
      {"middle, after text case counts", kAdd, kMid, "X", "", "b", true, "A-B.mp3", "A-B.mp3", 0},
      {"middle, empty after text is the front", kAdd, kMid, "X", "", "", true, "A.mp3", "XA.mp3",
       0},
      {"end, empty text", kAdd, kEnd, "", "", "", true, "Song.mp3", "Song.mp3", 0},
      {"remove every exact occurrence", kRemove, kFront, "_", "", "", true, "a_b_c.mp3", "abc.mp3",
       0},
      {"remove ignoring case: first only", kRemove, kFront, "X", "", "", false, "axbxc.mp3",
       "abxc.mp3", 0},
      {"remove ignoring case keeps the rest's case", kRemove, kFront, "b", "", "", false,
       "ABcB.mp3", "AcB.mp3", 0},
      {"remove, text missing", kRemove, kFront, "zz", "", "", true, "Song.mp3", "Song.mp3", 0},
      {"remove, case differs", kRemove, kFront, "song", "", "", true, "Song.mp3", "Song.mp3", 0},
      {"remove never touches the extension", kRemove, kFront, "p3", "", "", true, "Ap3.mp3",
       "A.mp3", 0},
      {"remove: only in the extension", kRemove, kFront, ".mp3", "", "", true, "Song.mp3",
       "Song.mp3", 0},
      {"remove empty text", kRemove, kFront, "", "", "", true, "Song.mp3", "Song.mp3", 0},
      {"remove empty text ignoring case", kRemove, kFront, "", "", "", false, "Song.mp3",
       "Song.mp3", 0},
      {"replace", kReplace, kFront, "a", "o", "", true, "banana.mp3", "bonono.mp3", 0},
      {"replace ignoring case", kReplace, kFront, "A", "o", "", false, "banana.mp3", "bonana.mp3",
       0},
      {"replace empty text", kReplace, kFront, "", "X", "", true, "Song.mp3", "Song.mp3", 0},
      {"replace empty text ignoring case: in front", kReplace, kFront, "", "X", "", false,
       "Song.mp3", "XSong.mp3", 0},
      {"replace, 3 chars twice: asked, No goes on", kReplace, kFront, "the", "a", "", true,
       "the other.mp3", "a oar.mp3", 1},
      {"replace, twice only with the extension", kReplace, kFront, "mp3", "X", "", true, "mp3.mp3",
       "X.mp3", 1},
  };
  for (const EditCase& c : cases) {
    editor_.reset();
    desktop_.messages.clear();
    AddRow(c.name);
    FileNameEditor& editor = Editor();
    EditorInputs& in = editor.inputs();
    in.mode = c.mode;
    in.position = c.position;
    in.main_text = c.main_text;
    in.replacement_text = c.replacement;
    in.after_text = c.after;
    in.case_sensitive = c.case_sensitive;
    editor.SelectAll();
    EXPECT_TRUE(editor.DoIt()) << c.label;
    EXPECT_EQ(editor.list().row(0).text, c.expected) << c.label;
    EXPECT_EQ(editor.list().row(0).ColumnText(kEditorOriginalColumn), c.name) << c.label;
    EXPECT_EQ(static_cast<int>(desktop_.messages.size()), c.questions) << c.label;
  }
}

TEST_F(EditorTest, TheTwoQuestionRuleAsksExactlyAndYesSkipsTheFile) {
  AddRow("abcXabc.mp3");
  AddRow("the other.mp3");
  FileNameEditor& editor = Editor();
  editor.inputs().position = AddPosition::kMiddle;
  editor.inputs().main_text = "Y";
  editor.inputs().after_text = "abc";
  editor.list().SetSelected(0, true);
  desktop_.answers = {Answer::kYes};
  ASSERT_TRUE(editor.DoIt());
  EXPECT_EQ(editor.list().row(0).text, "abcXabc.mp3");
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].title, "");
  EXPECT_EQ(desktop_.messages[0].buttons, Desktop::Buttons::kYesNo);
  EXPECT_EQ(desktop_.messages[0].text,
            "File \"abcXabc.mp3\" will have \"Y\" added after first \"abc\", but \"abc\" was "
            "found in 2 or more places. \r\n\"abcXabc.mp3\" will look as following if you click "
            "yes: \r\n\r\n\"abcYXabc.mp3\"\r\n\r\nWould you like to skip this file and modify the "
            "file name manually?");

  editor.RemoveCharacters();
  editor.inputs().main_text = "the";
  editor.list().ClearSelection();
  editor.list().SetSelected(1, true);
  desktop_.answers = {Answer::kYes};
  ASSERT_TRUE(editor.DoIt());
  EXPECT_EQ(editor.list().row(1).text, "the other.mp3");
  ASSERT_EQ(desktop_.messages.size(), 2u);
  EXPECT_EQ(desktop_.messages[1].text,
            "File \"the other.mp3\" will have \"the\" removed in 2 or more places, making it look "
            "as following: \r\n\r\n\" or\"\r\n\r\nWould you like to skip this file and modify "
            "the file name manually?");

  editor.ReplaceCharacters();
  editor.inputs().main_text = "the";
  editor.inputs().replacement_text = "a";
  ASSERT_TRUE(editor.DoIt());  // No: goes on
  EXPECT_EQ(editor.list().row(1).text, "a oar.mp3");
  EXPECT_TRUE(
      desktop_.messages[2].text.contains(" replaced in 2 or more places, making it look "
                                         "as following: \r\n\r\n\"a oar\"\r\n"));
}

TEST_F(EditorTest, RunningNumberFillsSelectedRowsInListOrderAndAdvancesForSkippedRows) {
  for (const char* name : {"c.mp3", "a.mp3", "unselected.mp3", "b.mp3"}) AddRow(name);
  FileNameEditor& editor = Editor();
  Select({"c.mp3", "a.mp3", "b.mp3"});
  editor.inputs().main_text = "_";
  editor.ToggleVariable();
  EXPECT_EQ(editor.inputs().main_text, "_varX");
  EXPECT_EQ(editor.variable_button_caption(), "Remove var");
  editor.inputs().main_text = "varX_";
  ASSERT_TRUE(editor.DoIt());
  EXPECT_EQ(Texts(), QStringList({"1_c.mp3", "2_a.mp3", "unselected.mp3", "3_b.mp3"}));
  EXPECT_EQ(editor.inputs().var_value, "4");
  EXPECT_EQ(editor.inputs().main_text, "varX_");

  // Rows left unchanged still use up a number.
  editor.ResetVariable();
  EXPECT_EQ(editor.inputs().var_value, "1");
  editor.inputs().position = AddPosition::kMiddle;
  editor.inputs().after_text = "c";
  editor.inputs().main_text = "(varX)";
  ASSERT_TRUE(editor.DoIt());
  EXPECT_EQ(Texts(), QStringList({"1_c(1).mp3", "2_a.mp3", "unselected.mp3", "3_b.mp3"}));
  EXPECT_EQ(editor.inputs().var_value, "4");

  editor.ToggleVariable();
  EXPECT_EQ(editor.inputs().main_text, "()");
  EXPECT_FALSE(editor.variable_pane_visible());
}

TEST_F(EditorTest, RunningNumberInTheReplacementWithACustomExpression) {
  for (const char* name : {"Track a.mp3", "Track b.mp3", "Track c.mp3"}) AddRow(name);
  FileNameEditor& editor = Editor();
  editor.ReplaceCharacters();
  editor.inputs().main_text = "Track";
  editor.inputs().replacement_text = "No varX";
  editor.inputs().variable_on = true;
  editor.inputs().var_value = "3";
  editor.inputs().increment_expression = "varX*2-1";
  editor.SelectAll();
  ASSERT_TRUE(editor.DoIt());
  EXPECT_EQ(Texts(), QStringList({"No 3 a.mp3", "No 5 b.mp3", "No 9 c.mp3"}));
  EXPECT_EQ(editor.inputs().var_value, "17");
  EXPECT_EQ(editor.inputs().replacement_text, "No varX");
}

TEST_F(EditorTest, AnExpressionThatCannotBeEvaluatedStopsTheRunAfterTheCurrentRow) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) AddRow(name);
  FileNameEditor& editor = Editor();
  editor.inputs().main_text = "varX ";
  editor.inputs().variable_on = true;
  editor.inputs().increment_expression = "varX/0";
  editor.SelectAll();
  EXPECT_FALSE(editor.DoIt());
  EXPECT_EQ(Texts(), QStringList({"1 a.mp3", "b.mp3", "c.mp3"}));
  EXPECT_EQ(editor.inputs().var_value, "1");
  EXPECT_EQ(editor.inputs().main_text, "varX ");
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].icon, Desktop::Icon::kCritical);
  EXPECT_TRUE(desktop_.messages[0].text.contains("\"varX/0\""))
      << desktop_.messages[0].text.toStdString();
}

TEST_F(EditorTest, ModeSwitchesSetCaptionsAndVisibility) {
  FileNameEditor& editor = Editor();
  editor.inputs().main_text = "xvarX";
  editor.inputs().variable_on = true;
  editor.ReplaceCharacters();
  EXPECT_EQ(editor.mode_label(), "replace");
  EXPECT_EQ(editor.main_caption(), "Find What:");
  EXPECT_EQ(editor.position_caption(), "Replace With:");
  EXPECT_FALSE(editor.position_buttons_visible());
  EXPECT_TRUE(editor.replacement_visible());
  EXPECT_TRUE(editor.case_sensitive_visible());
  EXPECT_FALSE(editor.variable_pane_visible());
  EXPECT_EQ(editor.variable_button_caption(), "Use a variable");
  // Turning the variable off here leaves "varX" in the text.
  EXPECT_EQ(editor.inputs().main_text, "xvarX");

  editor.inputs().case_sensitive = false;
  editor.RemoveCharacters();
  EXPECT_EQ(editor.main_caption(), "Remove:");
  EXPECT_EQ(editor.position_caption(), "");
  EXPECT_FALSE(editor.replacement_visible());
  EXPECT_FALSE(editor.inputs().case_sensitive);

  editor.inputs().position = AddPosition::kMiddle;
  editor.AddCharacters();
  EXPECT_EQ(editor.main_caption(), "Add:");
  EXPECT_EQ(editor.position_caption(), "Position:");
  EXPECT_EQ(editor.inputs().position, AddPosition::kFront);
  EXPECT_TRUE(editor.inputs().case_sensitive);
  EXPECT_FALSE(editor.case_sensitive_visible());
  EXPECT_FALSE(editor.after_text_visible());
  editor.SetPosition(AddPosition::kMiddle);
  EXPECT_TRUE(editor.after_text_visible());
}

TEST_F(EditorTest, FillShowsTagsAndOriginalNamesAndRestoreAndCorrectSyntaxWork) {
  MakeFile("the beatles - let it be.mp3", "Let It Be", "The Beatles");
  MakeFile("Untagged.mp3");
  MakeFile("sub/deep.mp3");
  FileNameEditor& editor = Editor();
  editor.Fill();
  EXPECT_EQ(Texts(), QStringList({"the beatles - let it be.mp3", "Untagged.mp3"}));
  const ReportRow& tagged = editor.list().row(0);
  EXPECT_EQ(tagged.tag, music_);
  EXPECT_EQ(tagged.tooltip, music_);
  EXPECT_EQ(tagged.ColumnText(kEditorTagColumn), "The Beatles - Let It Be");
  EXPECT_EQ(editor.list().row(1).ColumnText(kEditorTagColumn), "");
  EXPECT_EQ(editor.list().SelectedCount(), 0);
  EXPECT_EQ(status_.exit_caption(), "Close");

  editor.SelectAll();
  editor.CorrectSyntax();
  EXPECT_EQ(Texts(), QStringList({"The Beatles - Let It Be.mp3", "Untagged.mp3"}));
  editor.list().SetSelected(1, false);
  editor.RestoreOriginalNames();
  EXPECT_EQ(Texts(), QStringList({"the beatles - let it be.mp3", "Untagged.mp3"}));

  options_.include_sub_directories = true;
  editor.Fill();
  ASSERT_EQ(editor.list().size(), 3);
  const int deep = RowOf("deep.mp3");
  ASSERT_GE(deep, 0);
  EXPECT_EQ(editor.list().row(deep).FullPath(), music_ + "sub/deep.mp3");
}

TEST_F(EditorTest, WithPrefixDirTheRowTextKeepsItsFolder) {
  options_.prefix_dir = true;
  MakeFile("song.mp3");
  FileNameEditor& editor = Editor();
  editor.Fill();
  ASSERT_EQ(editor.list().size(), 1);
  EXPECT_EQ(editor.list().row(0).text, music_ + "song.mp3");
  EXPECT_EQ(editor.list().row(0).tag, "");
  EXPECT_EQ(editor.list().row(0).tooltip, "song.mp3");
  editor.SelectAll();
  editor.inputs().main_text = "01 ";
  ASSERT_TRUE(editor.DoIt());
  EXPECT_EQ(editor.list().row(0).text, music_ + "01 song.mp3");
  editor.CorrectSyntax();
  EXPECT_EQ(editor.list().row(0).text, music_ + "01 Song.mp3");

  desktop_.answers = {Answer::kYes};
  const RenameReport report = editor.RenameFiles();
  EXPECT_EQ(report.renamed, 1);
  EXPECT_EQ(FilesOnDisk(), QStringList({"01 Song.mp3"}));
}

TEST_F(EditorTest, StopDuringTheFillLeavesTheStatusAreaAtRestAndTheListEmpty) {
  for (int i = 0; i < 6; ++i) MakeFile(QStringLiteral("f%1.mp3").arg(i));
  int events = 0;
  bool was_stop = false;
  desktop_.on_events = [&] {
    if (Editor().list().size() == 2 && ++events == 1) {
      was_stop = status_.exit_caption() == "Stop";
      status_.PressExit();
    }
  };
  Editor().Fill();
  EXPECT_TRUE(was_stop);
  EXPECT_TRUE(Editor().list().empty());
  EXPECT_EQ(status_.exit_caption(), "Close");
  EXPECT_EQ(status_.status_text(), "");
  EXPECT_EQ(status_.percent_text(), "0%");
}

TEST_F(EditorTest, RenameFilesRenamesChangedRowsOnlyAndReloads) {
  const QString a = MakeFile("a.mp3"), b = MakeFile("b.mp3"), c = MakeFile("song.mp3");
  const QByteArray a_bytes = ReadAll(a), c_bytes = ReadAll(c);
  FileNameEditor& editor = Editor();
  editor.Fill();
  QStringList calls;
  editor.set_renamer([&](const QString& from, const QString& to) {
    calls << FileNameOf(from) + " -> " + FileNameOf(to);
    return RenameNoReplace(from, to);
  });
  editor.SetModifiedName(RowOf("a.mp3"), "A first.mp3");
  editor.SetModifiedName(RowOf("song.mp3"), "Song.mp3");  // letter case only

  EXPECT_TRUE(editor.RenameFiles().asked_no);
  EXPECT_EQ(desktop_.messages.back().text,
            "Are you sure you want to permanently rename the files?");
  EXPECT_EQ(desktop_.messages.back().icon, Desktop::Icon::kQuestion);
  EXPECT_TRUE(calls.isEmpty());

  desktop_.answers = {Answer::kYes};
  const RenameReport report = editor.RenameFiles();
  EXPECT_EQ(report.renamed, 2);
  EXPECT_TRUE(report.not_renamed.isEmpty());
  EXPECT_EQ(calls, QStringList({"a.mp3 -> A first.mp3", "song.mp3 -> Song.mp3"}));
  EXPECT_EQ(FilesOnDisk(), QStringList({"A first.mp3", "b.mp3", "Song.mp3"}));
  EXPECT_EQ(ReadAll(music_ + "A first.mp3"), a_bytes);
  EXPECT_EQ(ReadAll(music_ + "Song.mp3"), c_bytes);
  // Reloaded: the original names are the new ones.
  EXPECT_EQ(Originals(), QStringList({"A first.mp3", "b.mp3", "Song.mp3"}));
  EXPECT_EQ(Texts(), Originals());
  EXPECT_EQ(status_.percent_text(), "0%");
}

TEST_F(EditorTest, DuplicatesAcrossFoldersStopTheRenameBeforeAnythingIsTouched) {
  options_.include_sub_directories = true;
  MakeFile("one/x.mp3");
  MakeFile("two/y.mp3");
  MakeFile("z.mp3");
  FileNameEditor& editor = Editor();
  editor.Fill();
  int calls = 0;
  editor.set_renamer([&](const QString& from, const QString& to) {
    ++calls;
    return RenameNoReplace(from, to);
  });
  editor.SetModifiedName(RowOf("z.mp3"), "renamed z.mp3");
  editor.SetModifiedName(RowOf("y.mp3"), "x.mp3");
  desktop_.answers = {Answer::kYes};
  const RenameReport report = editor.RenameFiles();
  EXPECT_EQ(report.duplicate, "x.mp3");
  EXPECT_EQ(calls, 0);
  ASSERT_EQ(desktop_.messages.size(), 2u);
  EXPECT_EQ(desktop_.messages[1].text,
            "There's 1 or more duplicates of this file: \r\nx.mp3\r\nWindows will not allow "
            "files with the same name in the same directory. Please make sure all files are "
            "unique.");
  EXPECT_EQ(desktop_.messages[1].buttons, Desktop::Buttons::kOk);
  EXPECT_EQ(desktop_.messages[1].icon, Desktop::Icon::kInformation);
  EXPECT_TRUE(QFile::exists(music_ + "z.mp3"));
  EXPECT_TRUE(QFile::exists(music_ + "two/y.mp3"));
  // Nothing was reloaded either: the edits are still there to be fixed.
  EXPECT_EQ(editor.list().row(RowOf("renamed z.mp3")).ColumnText(kEditorOriginalColumn), "z.mp3");
}

TEST_F(EditorTest, AnExistingTargetIsNeverOverwrittenAndAVanishedFileIsReported) {
  const QString a = MakeFile("a.mp3"), b = MakeFile("b.mp3"), c = MakeFile("c.mp3");
  const QString d = MakeFile("d.mp3");
  const QByteArray a_bytes = ReadAll(a), b_bytes = ReadAll(b), c_bytes = ReadAll(c);
  FileNameEditor& editor = Editor();
  editor.Fill();
  // b.mp3 leaves the list but stays on disk; a is to take its name.
  editor.list().SetSelected(RowOf("b.mp3"), true);
  editor.RemoveSelectedRows();
  editor.SetModifiedName(RowOf("a.mp3"), "b.mp3");
  // c is renamed by someone else between the fill and "Rename Files".
  ASSERT_TRUE(QFile::rename(c, music_ + "moved away.mp3"));
  editor.SetModifiedName(RowOf("c.mp3"), "c2.mp3");
  editor.SetModifiedName(RowOf("d.mp3"), "d2.mp3");

  desktop_.answers = {Answer::kYes};
  const RenameReport report = editor.RenameFiles();
  EXPECT_EQ(report.renamed, 1);
  ASSERT_EQ(report.not_renamed.size(), 2);
  EXPECT_EQ(ReadAll(a), a_bytes);
  EXPECT_EQ(ReadAll(b), b_bytes);
  EXPECT_EQ(ReadAll(music_ + "moved away.mp3"), c_bytes);
  EXPECT_FALSE(QFile::exists(music_ + "c2.mp3"));
  EXPECT_TRUE(QFile::exists(music_ + "d2.mp3"));
  ASSERT_EQ(desktop_.messages.size(), 2u);
  EXPECT_EQ(desktop_.messages[1].text,
            "These files were not renamed and are as they were:\r\n" + a +
                " -> b.mp3 (a file with the new name already exists)\r\n" + c +
                " -> c2.mp3 (the file is no longer there)");
  EXPECT_EQ(desktop_.messages[1].icon, Desktop::Icon::kWarning);
}

TEST_F(EditorTest, NamesThatWouldLeaveTheFolderOrBreakFileNamesAreRefused) {
  MakeFile("a.mp3");
  MakeFile("b.mp3");
  QDir().mkpath(music_ + "sub");
  FileNameEditor& editor = Editor();
  editor.Fill();
  editor.SetModifiedName(RowOf("a.mp3"), "sub/a.mp3");
  editor.SetModifiedName(RowOf("b.mp3"), "what?.mp3");
  desktop_.answers = {Answer::kYes};
  const RenameReport report = editor.RenameFiles();
  EXPECT_EQ(report.renamed, 0);
  EXPECT_EQ(report.not_renamed.size(), 2);
  EXPECT_EQ(FilesOnDisk(), QStringList({"a.mp3", "b.mp3"}));
  EXPECT_TRUE(QDir(music_ + "sub").isEmpty());
}

TEST_F(EditorTest, AFileInUseCanBeRetriedOrSkipped) {
  MakeFile("a.mp3");
  MakeFile("b.mp3");
  FileNameEditor& editor = Editor();
  editor.Fill();
  QMap<QString, int> busy = {{"a.mp3", 1}, {"b.mp3", 1}};
  editor.set_renamer([&](const QString& from, const QString& to) {
    if (busy[FileNameOf(from)]-- > 0) return RenameResult{RenameStatus::kInUse, "busy"};
    return RenameNoReplace(from, to);
  });
  editor.SetModifiedName(0, "a2.mp3");
  editor.SetModifiedName(1, "b2.mp3");
  desktop_.answers = {Answer::kYes, Answer::kRetry, Answer::kCancel};
  const RenameReport report = editor.RenameFiles();
  EXPECT_EQ(report.renamed, 1);
  EXPECT_EQ(report.skipped, 1);
  EXPECT_TRUE(report.not_renamed.isEmpty());
  EXPECT_EQ(FilesOnDisk(), QStringList({"a2.mp3", "b.mp3"}));
  ASSERT_EQ(desktop_.messages.size(), 3u);
  EXPECT_EQ(desktop_.messages[1].text,
            music_ +
                "a.mp3 is being used by another program.  Please close the program and "
                "click retry or click cancel to skip the file.");
  EXPECT_EQ(desktop_.messages[1].buttons, Desktop::Buttons::kRetryCancel);
}

TEST_F(EditorTest, ImportFromTagsBuildsNamesWithThePatternAndKeepsTheExtension) {
  MakeFile("one.mp3", "bohemian rhapsody", "queen");
  MakeFile("TWO.MP3", "Title", "Artist");
  MakeFile("none.mp3");
  FileNameEditor& editor = Editor();
  editor.Fill();
  Select({"one.mp3"});
  editor.ImportFromTags("%Artist - %Title");
  EXPECT_EQ(
      editor.list().row(RowOf("Queen - Bohemian Rhapsody.mp3")).ColumnText(kEditorOriginalColumn),
      "one.mp3");
  EXPECT_TRUE(desktop_.messages.empty());

  editor.list().ClearSelection();
  Select({"TWO.MP3", "none.mp3"});
  editor.ImportFromTags("%artist - %TITLE");
  EXPECT_EQ(desktop_.messages.back().text,
            "Are you sure you want to import ID3 v1 tag from selected 2 files?");
  EXPECT_NE(RowOf("TWO.MP3"), -1);  // answered No

  desktop_.answers = {Answer::kYes};
  editor.ImportFromTags("%artist - %TITLE");
  EXPECT_NE(RowOf("Artist - Title.MP3"), -1);
  EXPECT_NE(RowOf("none.mp3"), -1);  // no tag: the name stays
  EXPECT_EQ(FilesOnDisk(), QStringList({"none.mp3", "one.mp3", "TWO.MP3"}));
}

TEST_F(EditorTest, ExportWritesArtistAndTitleIntoTheOriginalFileAndRemoveBlanksTags) {
  const QString a = MakeFile("a.mp3", "old", "old");
  const QString b = MakeFile("b.mp3", "Keep", "Me");
  FileNameEditor& editor = Editor();
  editor.Fill();
  const QByteArray b_bytes = ReadAll(b);
  editor.SetModifiedName(RowOf("a.mp3"), "pink floyd - wish you were here.mp3");
  editor.SetModifiedName(RowOf("b.mp3"), "no dash here.mp3");
  editor.SelectAll();
  editor.ExportToTags();
  EXPECT_EQ(desktop_.messages.back().text,
            "Are you sure you want to export filename to ID3v1 tag for 2 files?");
  desktop_.answers = {Answer::kYes};
  editor.ExportToTags();
  ID3v1Tag tag;
  ASSERT_TRUE(pellox_.ReadID3v1(a, &tag));
  EXPECT_EQ(CleanTagText(RecordText(tag.Artist)), "Pink Floyd");
  EXPECT_EQ(CleanTagText(RecordText(tag.Title)), "Wish You Were Here");
  EXPECT_EQ(editor.list().row(0).ColumnText(kEditorTagColumn), "Pink Floyd - Wish You Were Here");
  EXPECT_EQ(ReadAll(b), b_bytes);
  EXPECT_EQ(editor.list().row(1).ColumnText(kEditorTagColumn), "Me - Keep");

  const size_t asked = desktop_.messages.size();
  editor.RemoveTags();
  EXPECT_EQ(desktop_.messages.size(), asked);  // no question
  for (const QString& path : {a, b}) {
    ASSERT_TRUE(pellox_.ReadID3v1(path, &tag));
    EXPECT_EQ(tag.Exists, 0) << path.toStdString();
  }
  EXPECT_EQ(editor.list().row(0).ColumnText(kEditorTagColumn), "");
  EXPECT_EQ(editor.list().row(1).ColumnText(kEditorTagColumn), "");
}

TEST_F(EditorTest, EditTagSelectsTheSameFileInTheMainListOrNothing) {
  MakeFile("a.mp3");
  MakeFile("b.mp3");
  MakeFile("c.mp3");
  FileNameEditor& editor = Editor();
  editor.Fill();
  ReportList main_list({"Path", "Size", "Ref"});
  RowOptions row_options;
  for (const char* name : {"c.mp3", "b.mp3", "a.mp3"}) {
    AddFileRow(main_list, music_ + name, "", false, row_options);
  }
  main_list.SetSelected(0, true);
  editor.list().SetSelected(RowOf("b.mp3"), true);
  EXPECT_TRUE(editor.single_row_actions_enabled());
  EXPECT_EQ(editor.SelectForTagEdit(main_list), 1);
  EXPECT_EQ(main_list.SelectedRows(), QList<int>({1}));

  editor.TagSavedInMainWindow("Artist", "Title");
  EXPECT_EQ(editor.list().row(RowOf("b.mp3")).ColumnText(kEditorTagColumn), "Artist - Title");
  editor.TagSavedInMainWindow(" ", "");
  EXPECT_EQ(editor.list().row(RowOf("b.mp3")).ColumnText(kEditorTagColumn), "");

  editor.SetModifiedName(RowOf("b.mp3"), "c.mp3");  // now another file's name
  EXPECT_EQ(editor.SelectForTagEdit(main_list), -1);
  EXPECT_EQ(main_list.SelectedCount(), 0);

  editor.list().SetSelected(RowOf("a.mp3"), true);
  EXPECT_FALSE(editor.single_row_actions_enabled());
}

TEST_F(EditorTest, DeleteFromTheHardDriveTrashesTheSelectedRowsOnly) {
  MakeFile("a.mp3");
  MakeFile("b.mp3");
  MakeFile("c.mp3");
  FileNameEditor& editor = Editor();
  editor.Fill();
  QStringList told;
  editor.set_files_deleted([&](const QStringList& paths) { told << paths; });
  // Nothing selected (a row may still have the focus): no question, no delete.
  EXPECT_FALSE(editor.delete_enabled());
  EXPECT_EQ(editor.DeleteFromHardDrive(), 0);
  EXPECT_TRUE(desktop_.messages.empty());

  Select({"a.mp3", "c.mp3"});
  EXPECT_TRUE(editor.delete_enabled());
  EXPECT_EQ(editor.DeleteFromHardDrive(), 0);
  EXPECT_EQ(desktop_.messages.back().text,
            "Are you sure you want to delete 2 selected files from your HARD DRIVE?");
  EXPECT_EQ(FilesOnDisk().size(), 3);

  desktop_.answers = {Answer::kYes};
  EXPECT_EQ(editor.DeleteFromHardDrive(), 2);
  EXPECT_EQ(FilesOnDisk(), QStringList({"b.mp3"}));
  EXPECT_EQ(Texts(), QStringList({"b.mp3"}));
  EXPECT_EQ(told, QStringList({music_ + "a.mp3", music_ + "c.mp3"}));

  // One selected row; a file that has gone is an error and ends it.
  QFile::remove(music_ + "b.mp3");
  Select({"b.mp3"});
  desktop_.answers = {Answer::kYes};
  EXPECT_EQ(editor.DeleteFromHardDrive(), 0);
  ASSERT_GE(desktop_.messages.size(), 2u);
  EXPECT_EQ(desktop_.messages[desktop_.messages.size() - 2].text,
            "Are you sure you want to delete selected file from your HARD DRIVE?");
  EXPECT_EQ(desktop_.messages.back().icon, Desktop::Icon::kCritical);
  EXPECT_TRUE(desktop_.messages.back().text.startsWith(music_ + "b.mp3"));
  EXPECT_EQ(Texts(), QStringList({"b.mp3"}));
  EXPECT_EQ(told.size(), 2);
}

TEST_F(EditorTest, DeleteWhereNoTrashCanBeMadeAsksAndKeepsTheFileOnNo) {
  const QByteArray data_home = qgetenv("XDG_DATA_HOME");
  // A data home below a plain file: no trash can be made there.
  ASSERT_TRUE(testing::WriteBytes(dir_.filePath("blocker"), ""));
  qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.filePath("blocker/share")));
  MakeFile("a.mp3");
  MakeFile("b.mp3");
  FileNameEditor& editor = Editor();
  editor.Fill();
  Select({"a.mp3", "b.mp3"});
  desktop_.answers = {Answer::kYes, Answer::kNo};
  EXPECT_EQ(editor.DeleteFromHardDrive(), 0);
  // The delete question, then the one before removing for good; No keeps
  // the file and ends the run.
  ASSERT_EQ(desktop_.messages.size(), 2u);
  EXPECT_TRUE(desktop_.messages[1].text.contains(music_ + "a.mp3"));
  EXPECT_TRUE(desktop_.messages[1].text.contains("cannot be moved to the trash"));
  EXPECT_EQ(desktop_.messages[1].buttons, Desktop::Buttons::kYesNo);
  EXPECT_EQ(FilesOnDisk(), QStringList({"a.mp3", "b.mp3"}));
  EXPECT_EQ(Texts(), QStringList({"a.mp3", "b.mp3"}));
  qputenv("XDG_DATA_HOME", data_home);
}

TEST_F(EditorTest, OpeningARowOpensTheFileUnderItsNameOnDisk) {
  AddRow("a.mp3");
  FileNameEditor& editor = Editor();
  editor.SetModifiedName(0, "not yet.mp3");
  editor.OpenRow(0);
  options_.double_click_action = kOpenMp3Folder;
  editor.OpenRow(0);
  editor.OpenRow(1);
  EXPECT_EQ(desktop_.opened, QStringList({music_ + "a.mp3", music_}));
}

TEST_F(EditorTest, ArrowsMoveTheWholeRowAndSelectionFollows) {
  for (const char* name : {"a.mp3", "b.mp3"}) AddRow(name);
  FileNameEditor& editor = Editor();
  editor.SetModifiedName(0, "A new.mp3");
  editor.list().SetSelected(0, true);
  editor.MoveSelectedRow(/*up=*/false);
  EXPECT_EQ(Texts(), QStringList({"b.mp3", "A new.mp3"}));
  EXPECT_EQ(Originals(), QStringList({"b.mp3", "a.mp3"}));
  EXPECT_EQ(editor.list().SelectedRows(), QList<int>({1}));
}

}  // namespace
}  // namespace orlavo

// The file name editor: new names for many files are built in memory (add,
// remove or replace text, with an optional running number), corrected or
// restored, and then applied on disk in one step. Nothing touches the disk
// before "Rename Files", apart from the tag operations of the list's context
// menu and "Delete from the Hard Drive".
#ifndef ORLAVO_TOOLS_EDITOR_FILE_NAME_EDITOR_H_
#define ORLAVO_TOOLS_EDITOR_FILE_NAME_EDITOR_H_

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "app/file_ops.h"
#include "app/folder_walk.h"
#include "app/report_list.h"
#include "tools/advanced_tools.h"

namespace orlavo {

class SyntaxChecker;

namespace editor_text {
inline constexpr char kPaneCaption[] = "File name Editor";
inline constexpr char kListLabel[] = "Select MP3 files to edit:";
inline constexpr char kModifiedNameHeader[] = "Modified Name";
inline constexpr char kTagHeader[] = "ID3v1 Tag";
inline constexpr char kOriginalNameHeader[] = "Original Name";
// Mode buttons and the hidden mode label's texts.
inline constexpr char kAddCharacters[] = "Add Characters";
inline constexpr char kRemoveCharacters[] = "Remove Characters";
inline constexpr char kReplaceCharacters[] = "Replace Characters";
inline constexpr char kModeAdd[] = "add";
inline constexpr char kModeRemove[] = "remove";
inline constexpr char kModeReplace[] = "replace";
// Captions of the boxes.
inline constexpr char kAddCaption[] = "Add:";
inline constexpr char kRemoveCaption[] = "Remove:";
inline constexpr char kFindWhatCaption[] = "Find What:";
inline constexpr char kPositionCaption[] = "Position:";
inline constexpr char kReplaceWithCaption[] = "Replace With:";
inline constexpr char kAfterCaption[] = "After which character(s):";
inline constexpr char kFront[] = "Front";
inline constexpr char kEnd[] = "End";
inline constexpr char kMiddle[] = "Middle";
inline constexpr char kCaseSensitive[] = "Case sensitive";
inline constexpr char kVariableOptions[] = "Variable options:";
inline constexpr char kVarXCaption[] = "varX = ";
// Buttons and their tooltips.
inline constexpr char kUseVariable[] = "Use a variable";
inline constexpr char kRemoveVariable[] = "Remove var";
inline constexpr char kUseVariableTooltip[] = "Add a sequential number";
inline constexpr char kReset[] = "<- Reset";
inline constexpr char kResetTooltip[] = "Reset the variable to 0";
inline constexpr char kDoIt[] = "Do it!";
inline constexpr char kDoItTooltip[] = "Do the task";
inline constexpr char kSelectAll[] = "Select All";
inline constexpr char kSelectAllTooltip[] = "Select All";
inline constexpr char kCorrectSyntax[] = "Correct Syntax";
inline constexpr char kCorrectSyntaxTooltip[] = "Correct syntax in selected files";
inline constexpr char kRestore[] = "<";
inline constexpr char kRestoreTooltip[] = "Restore original name";
inline constexpr char kRenameFiles[] = "Rename Files";
inline constexpr char kRenameFilesTooltip[] =
    "When done editing files, click her to rename original files.";
// The list's context menu.
inline constexpr char kImportFromTags[] = "<< Import From ID3 v1 Tag(s)";
inline constexpr char kExportToTags[] = ">> Export To ID3 v1 Tag(s)";
inline constexpr char kEditTag[] = "Edit ID3v1 Tag";
inline constexpr char kRemoveTags[] = "Remove ID3v1 Tag(s)";
inline constexpr char kDeleteFromDisk[] = "Delete from the Hard Drive";
// The placeholder of the running number.
inline constexpr char kVarX[] = "varX";
inline constexpr char kDefaultVarValue[] = "1";
inline constexpr char kDefaultIncrement[] = "varX+1";
}  // namespace editor_text

enum class EditMode { kAdd, kRemove, kReplace };
enum class AddPosition { kFront, kEnd, kMiddle };

// What the pane's controls hold. The window binds its boxes to these fields.
struct EditorInputs {
  EditMode mode = EditMode::kAdd;
  QString main_text;         // "Add:", "Remove:" or "Find What:"
  QString replacement_text;  // "Replace With:"
  AddPosition position = AddPosition::kFront;
  QString after_text;  // "After which character(s):"
  bool case_sensitive = true;
  QString var_value = editor_text::kDefaultVarValue;  // "varX = "
  QString increment_expression = editor_text::kDefaultIncrement;
  bool variable_on = false;  // the "Variable options:" pane is shown
};

// A file "Rename Files" left as it was.
struct NotRenamed {
  QString from;    // the full original path
  QString to;      // the full path it was to get
  QString reason;  // why, in words
};

struct RenameReport {
  bool asked_no = false;  // "Are you sure...?" answered No
  // The first duplicate text found; nothing was renamed.
  QString duplicate;
  int renamed = 0;
  // In use and skipped by the person (Cancel): not reported again.
  int skipped = 0;
  QList<NotRenamed> not_renamed;
};

// The column texts of the editor list: 0 "Modified Name" (the row text),
// 1 "ID3v1 Tag", 2 "Original Name".
inline constexpr int kEditorTagColumn = 1;
inline constexpr int kEditorOriginalColumn = 2;

class FileNameEditor {
 public:
  explicit FileNameEditor(const ToolContext& context);
  ~FileNameEditor();
  FileNameEditor(const FileNameEditor&) = delete;
  FileNameEditor& operator=(const FileNameEditor&) = delete;

  ReportList& list() { return list_; }
  const ReportList& list() const { return list_; }
  EditorInputs& inputs() { return inputs_; }
  const EditorInputs& inputs() const { return inputs_; }

  // Opening the tool, and the reload after "Rename Files": the list refilled
  // from the main folder with each file's ID3v1 artist and title, every row
  // deselected; the inputs keep the person's choices. Stoppable.
  void Fill();
  // Names of the last fill left out because they are not valid UTF-8.
  const QStringList& unreadable() const { return unreadable_; }
  // Folders the last Fill could not read (their files are not in the list).
  const QList<Refused>& denied() const { return denied_; }

  // The mode buttons.
  void AddCharacters();
  void RemoveCharacters();
  void ReplaceCharacters();
  void SetPosition(AddPosition position);
  // What the pane shows for the current mode and position.
  QString mode_label() const;
  QString main_caption() const;
  // "Position:" (mode "add"), "Replace With:" (mode "replace"), "" (hidden).
  QString position_caption() const;
  bool position_buttons_visible() const { return inputs_.mode == EditMode::kAdd; }
  bool after_text_visible() const;
  bool replacement_visible() const { return inputs_.mode == EditMode::kReplace; }
  bool case_sensitive_visible() const { return inputs_.mode != EditMode::kAdd; }
  bool variable_pane_visible() const { return inputs_.variable_on; }

  // "Use a variable" / "Remove var".
  void ToggleVariable();
  QString variable_button_caption() const;
  // "<- Reset": the value becomes "1".
  void ResetVariable();

  // "Do it!" on the selected rows. False when the increment expression could
  // not be evaluated: the person was told, the rows done so far keep their new
  // names and the rest are left alone.
  bool DoIt();
  void SelectAll();
  // "<": the original name back into each selected row.
  void RestoreOriginalNames();
  // "Correct Syntax" on the selected rows.
  void CorrectSyntax();
  // "Rename Files": the question, then RenameConfirmed().
  RenameReport RenameFiles();
  // The rename after the question: the duplicate check before anything is
  // touched, one rename per changed row (never over an existing file), one
  // message naming every file left as it was, then the reload.
  RenameReport RenameConfirmed();

  // In-place editing (F2) of a row's "Modified Name".
  void SetModifiedName(int row, const QString& text);
  // Delete: the selected rows leave the list (the files stay).
  void RemoveSelectedRows();
  // Enter or a double click: the row's file (under its original name, which
  // is the name on disk) or its folder.
  void OpenRow(int row);
  // True while an operation runs; the list then ignores every key but F2.
  bool busy() const { return busy_ > 0; }
  // A click on a column header.
  void SortByColumn(int column);
  // The arrow buttons and "Edit ID3v1 Tag" work on one row only.
  bool single_row_actions_enabled() const { return list_.SelectedCount() <= 1; }
  void MoveSelectedRow(bool up);

  // "<< Import From ID3 v1 Tag(s)": names built from the tags of the selected
  // files with the main window's rename pattern. Rows of files without a tag
  // keep their names.
  void ImportFromTags(const QString& pattern);
  // ">> Export To ID3 v1 Tag(s)": artist and title from each selected name
  // that holds a "-" word, written into the file's tag.
  void ExportToTags();
  // "Remove ID3v1 Tag(s)": no question.
  void RemoveTags();
  // "Edit ID3v1 Tag", after the main window's "Show files": the main-list row
  // of the first selected editor row's file, or -1 when there is none (the
  // name was edited, or the file lies outside the main folder).
  int MainListRowForTagEdit(const ReportList& main_list) const;
  // Deselects every main-list row and selects that row; returns it (or -1,
  // with nothing selected).
  int SelectForTagEdit(ReportList& main_list) const;
  // The main window saved or removed the tag put there by "Edit ID3v1 Tag":
  // the first selected row's "ID3v1 Tag" column follows.
  void TagSavedInMainWindow(const QString& artist, const QString& title);
  void TagRemovedInMainWindow();

  // "Delete from the Hard Drive" on the selected rows (none: nothing, and the
  // menu entry is off): one question naming how many, then each file to the
  // trash through DeleteToTrash (where no trash can take it, a question
  // before removing it for good; No keeps it and ends the run). Returns the
  // number of files deleted; the main window hears of them.
  int DeleteFromHardDrive();
  bool delete_enabled() const { return list_.SelectedCount() > 0; }
  void set_files_deleted(std::function<void(const QStringList& paths)> files_deleted) {
    files_deleted_ = std::move(files_deleted);
  }

  // The rename used by "Rename Files" (RenameNoReplace unless replaced).
  void set_renamer(std::function<RenameResult(const QString&, const QString&)> renamer) {
    renamer_ = std::move(renamer);
  }

 private:
  // The row's text with its file-name part replaced.
  void WriteName(int row, const QString& file_name);
  // What "Do it!" does to one file name: the new name (none when it stays as
  // it is) and, where the text occurs twice, the question whose Yes skips it.
  struct PlannedEdit {
    std::optional<QString> name;
    QString question;
  };
  PlannedEdit PlanEdit(const QString& name, const QString& main_text,
                       const QString& replacement) const;
  bool AdvanceVariable();
  QString TagColumnText(const QString& artist, const QString& title) const;
  QString OriginalPath(int row) const;

  ToolContext context_;
  ReportList list_;
  EditorInputs inputs_;
  QStringList unreadable_;
  QList<Refused> denied_;
  std::unique_ptr<SyntaxChecker> checker_;
  std::function<void(const QStringList&)> files_deleted_;
  std::function<RenameResult(const QString&, const QString&)> renamer_;
  int busy_ = 0;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_EDITOR_FILE_NAME_EDITOR_H_

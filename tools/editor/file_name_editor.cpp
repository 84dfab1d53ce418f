#include "tools/editor/file_name_editor.h"

#include <QFileInfo>
#include <algorithm>

#include "app/desktop.h"
#include "app/flags.h"
#include "app/folder_walk.h"
#include "app/helpers.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "app/syntax_checker.h"
#include "app/tag_helpers.h"
#include "app/tag_transfer.h"
#include "tools/running_number.h"

namespace orlavo {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString Quoted(const QString& text) { return u'"' + text + u'"'; }

// The name without its last four characters (the extension) and those four.
QString BaseOf(const QString& name) {
  return name.size() >= 4 ? name.left(name.size() - 4) : QString();
}
QString ExtensionOf(const QString& name) { return name.right(4); }

// The folder part of a row text: with "Prefix folderpath to filenames" the row
// text is a whole path and keeps its folder; a bare name has none.
QString FolderPartOf(const QString& row_text) {
  const qsizetype slash = row_text.lastIndexOf(u'/');
  return slash < 0 ? QString() : row_text.left(slash + 1);
}

QString RenameFailureReason(const RenameResult& result) {
  switch (result.status) {
    case RenameStatus::kTargetExists:
      return QStringLiteral("a file with the new name already exists");
    case RenameStatus::kSourceMissing:
      return QStringLiteral("the file is no longer there");
    case RenameStatus::kInUse:
      return QStringLiteral("the file is in use");
    default:
      return result.error.isEmpty() ? QStringLiteral("the rename failed") : result.error;
  }
}

// Marks the editor busy for the lifetime of an operation.
class BusyScope {
 public:
  explicit BusyScope(int& busy) : busy_(busy) { ++busy_; }
  ~BusyScope() { --busy_; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  int& busy_;
};

}  // namespace

FileNameEditor::FileNameEditor(const ToolContext& context)
    : context_(context),
      list_({editor_text::kModifiedNameHeader, editor_text::kTagHeader,
             editor_text::kOriginalNameHeader},
            /*keep_sorted=*/false),
      checker_(std::make_unique<SyntaxChecker>(context.program_folder)),
      renamer_(RenameNoReplace) {}

FileNameEditor::~FileNameEditor() = default;

void FileNameEditor::Fill() {
  BusyScope busy(busy_);
  StopRequested = false;
  // The person's mode, position, case and running-number choices stay: a
  // reset here would leave "varX" in the text with the variable off.
  list_.Clear();
  unreadable_.clear();
  denied_.clear();
  const Options& options = context_.options;
  StoppableRun run(context_.status, &list_, options.render_list_invisible);
  context_.status.SetCaption(kWorkingPleaseWait);

  PathList paths = ListMp3Files(options.main_folder, options.include_sub_directories,
                                WalkSetup{context_.program_folder, &context_.desktop});
  unreadable_ = paths.Unreadable;
  denied_ = paths.Denied;

  const int total = static_cast<int>(paths.Items.size());
  for (int i = 0; i < total && !StopRequested; ++i) {
    const QString& path = paths.Items[i];
    if (path.isEmpty()) continue;
    ReportRow row = FileRow(path, options.prefix_dir);
    const QString name = row.text;
    ID3v1Tag tag{};
    context_.pellox.ReadID3v1(path, &tag);
    row.columns << TagColumnText(CleanTagText(RecordText(tag.Artist)),
                                 CleanTagText(RecordText(tag.Title)))
                << name;
    list_.AddRow(std::move(row));
    ShowProgress(context_.status, i + 1, total, path, QString(), options.show_current_file);
    context_.desktop.LetEventsRun();
  }
  list_.ClearSelection();
}

QString FileNameEditor::TagColumnText(const QString& artist, const QString& title) const {
  QString text = artist + QStringLiteral(" - ") + title;
  return text.trimmed() == u"-" ? QString() : text;
}

QString FileNameEditor::OriginalPath(int row) const {
  const ReportRow& r = list_.row(row);
  return r.tag + r.ColumnText(kEditorOriginalColumn);
}

void FileNameEditor::AddCharacters() {
  inputs_.mode = EditMode::kAdd;
  inputs_.position = AddPosition::kFront;
  inputs_.case_sensitive = true;
  inputs_.variable_on = false;
}

void FileNameEditor::RemoveCharacters() {
  inputs_.mode = EditMode::kRemove;
  inputs_.variable_on = false;
}

void FileNameEditor::ReplaceCharacters() {
  inputs_.mode = EditMode::kReplace;
  inputs_.variable_on = false;
}

void FileNameEditor::SetPosition(AddPosition position) { inputs_.position = position; }

QString FileNameEditor::mode_label() const {
  switch (inputs_.mode) {
    case EditMode::kAdd:
      return editor_text::kModeAdd;
    case EditMode::kRemove:
      return editor_text::kModeRemove;
    case EditMode::kReplace:
      return editor_text::kModeReplace;
  }
  return {};
}

QString FileNameEditor::main_caption() const {
  switch (inputs_.mode) {
    case EditMode::kAdd:
      return editor_text::kAddCaption;
    case EditMode::kRemove:
      return editor_text::kRemoveCaption;
    case EditMode::kReplace:
      return editor_text::kFindWhatCaption;
  }
  return {};
}

QString FileNameEditor::position_caption() const {
  switch (inputs_.mode) {
    case EditMode::kAdd:
      return editor_text::kPositionCaption;
    case EditMode::kReplace:
      return editor_text::kReplaceWithCaption;
    case EditMode::kRemove:
      break;
  }
  return {};
}

bool FileNameEditor::after_text_visible() const {
  return inputs_.mode == EditMode::kAdd && inputs_.position == AddPosition::kMiddle;
}

void FileNameEditor::ToggleVariable() {
  if (inputs_.variable_on) {
    inputs_.main_text.remove(QLatin1String(editor_text::kVarX), Qt::CaseSensitive);
    inputs_.variable_on = false;
  } else {
    inputs_.main_text += QLatin1String(editor_text::kVarX);
    inputs_.variable_on = true;
  }
}

QString FileNameEditor::variable_button_caption() const {
  return inputs_.variable_on ? editor_text::kRemoveVariable : editor_text::kUseVariable;
}

void FileNameEditor::ResetVariable() { inputs_.var_value = editor_text::kDefaultVarValue; }

void FileNameEditor::WriteName(int row, const QString& file_name) {
  const QString folder = FolderPartOf(list_.row(row).text);
  list_.SetText(row, folder.isEmpty() ? file_name : folder + file_name);
}

FileNameEditor::PlannedEdit FileNameEditor::PlanEdit(const QString& name, const QString& main_text,
                                                     const QString& replacement) const {
  PlannedEdit plan;
  if (inputs_.mode == EditMode::kAdd) {
    switch (inputs_.position) {
      case AddPosition::kFront:
        plan.name = main_text + name;
        return plan;
      case AddPosition::kEnd: {
        // One allocation: "Do it!" may run over many thousand names.
        const qsizetype cut = std::max<qsizetype>(name.size() - 4, 0);
        QString edited;
        edited.reserve(name.size() + main_text.size());
        edited.append(QStringView(name).left(cut))
            .append(main_text)
            .append(QStringView(name).mid(cut));
        plan.name = std::move(edited);
        return plan;
      }
      case AddPosition::kMiddle:
        break;
    }
    const QString& after = inputs_.after_text;
    const qsizetype p = name.indexOf(after, 0, Qt::CaseSensitive);
    if (p >= 0) plan.name = name.left(p + after.size()) + main_text + name.mid(p + after.size());
    if (OccursTwice(name, after)) {
      plan.question =
          QStringLiteral("File ") + Quoted(name) + QStringLiteral(" will have ") +
          Quoted(main_text) + QStringLiteral(" added after first ") + Quoted(after) +
          QStringLiteral(", but ") + Quoted(after) +
          QStringLiteral(" was found in 2 or more places. ") + kCrLf + Quoted(name) +
          QStringLiteral(" will look as following if you click yes: ") + kCrLf + kCrLf +
          Quoted(plan.name.value_or(name)) + kCrLf + kCrLf +
          QStringLiteral("Would you like to skip this file and modify the file name manually?");
    }
    return plan;
  }

  const QString base = BaseOf(name);
  const QString extension = ExtensionOf(name);
  if (OccursTwice(name, main_text)) {
    const QString how =
        inputs_.mode == EditMode::kRemove
            ? QStringLiteral(" removed in 2 or more places, making it look as following: ")
            : QStringLiteral(" replaced in 2 or more places, making it look as following: ");
    plan.question =
        QStringLiteral("File ") + Quoted(name) + QStringLiteral(" will have ") + Quoted(main_text) +
        how + kCrLf + kCrLf + Quoted(ReplaceAll(base, main_text, replacement)) + kCrLf + kCrLf +
        QStringLiteral("Would you like to skip this file and modify the file name manually?");
  }
  if (inputs_.case_sensitive) {
    plan.name = ReplaceAll(base, main_text, replacement) + extension;
  } else {
    // Only the first occurrence changes; the rest keeps its letter case.
    const qsizetype p = base.indexOf(main_text, 0, Qt::CaseInsensitive);
    if (p >= 0) plan.name = base.left(p) + replacement + base.mid(p + main_text.size()) + extension;
  }
  return plan;
}

bool FileNameEditor::AdvanceVariable() {
  QString error;
  std::optional<QString> next = NextRunningNumber(
      inputs_.increment_expression, QLatin1String(editor_text::kVarX), inputs_.var_value, &error);
  if (next) {
    inputs_.var_value = *next;
    return true;
  }
  context_.desktop.Inform(
      QString(),
      QStringLiteral("The next value of varX cannot be computed: ") +
          Quoted(inputs_.increment_expression) + QStringLiteral(" with varX = ") +
          Quoted(inputs_.var_value) + QStringLiteral(" is not a whole-number expression (") +
          error + QStringLiteral(").") + kCrLf +
          QStringLiteral("The names changed so far stay as they are; the other files were "
                         "left alone."),
      Desktop::Icon::kCritical);
  return false;
}

bool FileNameEditor::DoIt() {
  BusyScope busy(busy_);
  const QList<int> selected = list_.SelectedRows();
  const QString main_template = inputs_.main_text;
  const QString replacement_template = inputs_.replacement_text;
  const QString var_x = QLatin1String(editor_text::kVarX);
  const bool variable_in_replacement = replacement_template.contains(var_x, Qt::CaseSensitive);
  // Each selected row is known by its full path. Until a question box lets
  // events run, every row is still where it was noted; from the first
  // question on, the paths still to do are looked up again.
  QStringList paths;
  ReportList::ChangeBatch changes(list_);

  for (qsizetype i = 0; i < selected.size(); ++i) {
    int row = selected[i];
    if (!paths.isEmpty()) row = list_.IndexOfPath(paths[i]);
    const QString name = row >= 0 ? FileNameOf(list_.row(row).text) : QString();
    QString main_text = main_template;
    QString replacement = inputs_.mode == EditMode::kRemove ? QString() : replacement_template;
    if (inputs_.variable_on) {
      main_text.replace(var_x, inputs_.var_value, Qt::CaseSensitive);
      if (variable_in_replacement && inputs_.mode == EditMode::kReplace) {
        replacement.replace(var_x, inputs_.var_value, Qt::CaseSensitive);
      }
    }
    if (row >= 0) {
      PlannedEdit plan = PlanEdit(name, main_text, replacement);
      if (!plan.question.isEmpty()) {
        changes.Flush();  // the list as it stands behind the question
        if (paths.isEmpty()) {
          paths.resize(selected.size());
          for (qsizetype j = i; j < selected.size(); ++j) paths[j] = list_.FullPath(selected[j]);
        }
        if (context_.desktop.AskYesNo(QString(), plan.question, Desktop::Icon::kNone)) {
          plan.name.reset();
        }
        row = list_.IndexOfPath(paths[i]);
      }
      if (plan.name && row >= 0) WriteName(row, *plan.name);
    }
    if (inputs_.variable_on && !AdvanceVariable()) return false;
  }
  return true;
}

void FileNameEditor::SelectAll() {
  ReportList::ChangeBatch changes(list_);
  for (int i = 0; i < list_.size(); ++i) list_.SetSelected(i, true);
}

void FileNameEditor::RestoreOriginalNames() {
  ReportList::ChangeBatch changes(list_);
  for (int row : list_.SelectedRows()) {
    list_.SetText(row, list_.row(row).ColumnText(kEditorOriginalColumn));
  }
}

void FileNameEditor::CorrectSyntax() {
  ReportList::ChangeBatch changes(list_);
  for (int row : list_.SelectedRows()) {
    const QString& text = list_.row(row).text;
    if (text.isEmpty()) continue;
    WriteName(row, checker_->CorrectSyntax(FileNameOf(text), true));
  }
}

RenameReport FileNameEditor::RenameFiles() {
  if (!context_.desktop.AskYesNo(
          QString(), QStringLiteral("Are you sure you want to permanently rename the files?"))) {
    RenameReport report;
    report.asked_no = true;
    return report;
  }
  return RenameConfirmed();
}

RenameReport FileNameEditor::RenameConfirmed() {
  BusyScope busy(busy_);
  // Its loop lets events in: the window must not go while it runs.
  ToolRun holds_window(context_.status);
  RenameReport report;
  Desktop& desktop = context_.desktop;

  // Windows refuses two equal names in one folder; rows of different folders
  // count too, as they always have.
  QStringList texts;
  texts.reserve(list_.size());
  for (int i = 0; i < list_.size(); ++i) texts << list_.row(i).text;
  std::sort(texts.begin(), texts.end(),
            [](const QString& a, const QString& b) { return CompareListText(a, b) < 0; });
  for (qsizetype i = 0; i + 1 < texts.size(); ++i) {
    if (texts[i] == texts[i + 1]) {
      report.duplicate = texts[i];
      desktop.Inform(QString(),
                     QStringLiteral("There's 1 or more duplicates of this file: ") + kCrLf +
                         texts[i] + kCrLf +
                         QStringLiteral("Windows will not allow files with the same name in the "
                                        "same directory. Please make sure all files are unique."));
      return report;
    }
  }

  const int total = list_.size();
  for (int i = 0; i < list_.size(); ++i) {
    const ReportRow& row = list_.row(i);
    const QString text = row.text;
    const QString original = row.ColumnText(kEditorOriginalColumn);
    const QString from = row.tag + original;
    const QString to = row.tag + text;
    ShowProgress(context_.status, i + 1, total, text, QStringLiteral("Renaming"),
                 context_.options.show_current_file);
    desktop.LetEventsRun();
    if (original == text) continue;

    // The editor renames within the file's folder; a name that would put the
    // file elsewhere (a "/" in it) or that no file may carry is refused.
    const QString new_name = FileNameOf(to);
    if (new_name.isEmpty() || !IsValidFileName(new_name) || FolderOf(to) != FolderOf(from)) {
      report.not_renamed << NotRenamed{from, to,
                                       QStringLiteral("the new name is not a valid file name")};
      continue;
    }
    while (true) {
      const RenameResult result = renamer_(from, to);
      if (result.ok()) {
        ++report.renamed;
        break;
      }
      if (result.status == RenameStatus::kInUse) {
        const Desktop::Answer answer = desktop.Message(
            QString(),
            from + QStringLiteral(" is being used by another program.  Please close the program "
                                  "and click retry or click cancel to skip the file."),
            Desktop::Buttons::kRetryCancel, Desktop::Icon::kWarning);
        if (answer == Desktop::Answer::kRetry) continue;
        ++report.skipped;
        break;
      }
      report.not_renamed << NotRenamed{from, to, RenameFailureReason(result)};
      break;
    }
  }
  context_.status.ResetProgress();

  if (!report.not_renamed.isEmpty()) {
    QString text = QStringLiteral("These files were not renamed and are as they were:");
    for (const NotRenamed& n : report.not_renamed) {
      text += kCrLf + n.from + QStringLiteral(" -> ") + FileNameOf(n.to) + QStringLiteral(" (") +
              n.reason + u')';
    }
    desktop.Inform(QString(), text, Desktop::Icon::kWarning);
  }
  Fill();
  return report;
}

void FileNameEditor::SetModifiedName(int row, const QString& text) {
  if (row >= 0 && row < list_.size()) list_.SetText(row, text);
}

void FileNameEditor::RemoveSelectedRows() { list_.RemoveSelectedRows(); }

void FileNameEditor::OpenRow(int row) {
  if (row >= 0 && row < list_.size()) {
    OpenFileOrFolder(context_.desktop, context_.options, OriginalPath(row));
  }
}

void FileNameEditor::SortByColumn(int column) { list_.SortByColumn(column); }

void FileNameEditor::MoveSelectedRow(bool up) {
  if (single_row_actions_enabled()) ListMoveItem(list_, up, 0);
}

void FileNameEditor::ImportFromTags(const QString& pattern) {
  BusyScope busy(busy_);
  // Its loop lets events in: the window must not go while it runs.
  ToolRun holds_window(context_.status);
  const int count = list_.SelectedCount();
  if (count > 1 &&
      !context_.desktop.AskYesNo(
          QString(), QStringLiteral("Are you sure you want to import ID3 v1 tag from selected ") +
                         QString::number(count) + QStringLiteral(" files?"))) {
    return;
  }
  const int total = list_.size();
  for (int i = 0; i < list_.size(); ++i) {
    ShowProgress(context_.status, i + 1, total, list_.row(i).text, QStringLiteral("Renaming"),
                 context_.options.show_current_file);
    context_.desktop.LetEventsRun();
    if (i >= list_.size() || !list_.row(i).selected) continue;
    ID3v1Tag tag{};
    context_.pellox.ReadID3v1(OriginalPath(i), &tag);
    // Without a tag every file would get the pattern's bare text as its name.
    if (tag.Exists != 1) continue;
    int genre = tag.Genre;
    const QString name = ApplyPattern(
        pattern, CleanTagText(RecordText(tag.Artist)), CleanTagText(RecordText(tag.Title)),
        CleanTagText(RecordText(tag.Album)), CleanTagText(RecordText(tag.Year)), GenreName(genre));
    const QString original = list_.row(i).ColumnText(kEditorOriginalColumn);
    WriteName(i, checker_->CorrectSyntax(name, false) + ExtensionOf(FileNameOf(original)));
  }
  context_.status.ResetProgress();
}

void FileNameEditor::ExportToTags() {
  BusyScope busy(busy_);
  const int count = list_.SelectedCount();
  if (count > 1 &&
      !context_.desktop.AskYesNo(
          QString(), QStringLiteral("Are you sure you want to export filename to ID3v1 tag for ") +
                         QString::number(count) + QStringLiteral(" files?"))) {
    return;
  }
  QStringList failed;
  for (int row : list_.SelectedRows()) {
    const QString name = FileNameOf(list_.row(row).text);
    if (!SplitWords(name).contains(QStringLiteral("-"))) continue;
    const NameParts parts = SplitNameIntoTag(name, *checker_);
    const QString path = OriginalPath(row);
    const QString keep = QStringLiteral("Null");
    if (!WriteID3v1(path, parts.title, parts.artist, keep, keep, keep, kKeepGenre)) {
      failed << path;
      continue;
    }
    list_.SetColumnText(row, kEditorTagColumn, TagColumnText(parts.artist, parts.title));
  }
  if (!failed.isEmpty()) {
    context_.desktop.Inform(QString(),
                            QStringLiteral("The ID3v1 tag of these files could not be written:") +
                                kCrLf + failed.join(kCrLf),
                            Desktop::Icon::kWarning);
  }
}

void FileNameEditor::RemoveTags() {
  for (int row : list_.SelectedRows()) {
    if (BlankID3v1(OriginalPath(row))) list_.SetColumnText(row, kEditorTagColumn, QString());
  }
}

int FileNameEditor::MainListRowForTagEdit(const ReportList& main_list) const {
  const int row = list_.FirstSelected();
  if (row < 0) return -1;
  const ReportRow& r = list_.row(row);
  // An edited name is no file's name yet (or another file's): nothing to edit.
  if (r.text != r.ColumnText(kEditorOriginalColumn)) return -1;
  return main_list.IndexOfPath(r.FullPath());
}

int FileNameEditor::SelectForTagEdit(ReportList& main_list) const {
  const int row = MainListRowForTagEdit(main_list);
  main_list.ClearSelection();
  if (row >= 0) main_list.SetSelected(row, true);
  return row;
}

void FileNameEditor::TagSavedInMainWindow(const QString& artist, const QString& title) {
  const int row = list_.FirstSelected();
  if (row >= 0) list_.SetColumnText(row, kEditorTagColumn, TagColumnText(artist, title));
}

void FileNameEditor::TagRemovedInMainWindow() {
  const int row = list_.FirstSelected();
  if (row >= 0) list_.SetColumnText(row, kEditorTagColumn, QString());
}

int FileNameEditor::DeleteFromHardDrive() {
  BusyScope busy(busy_);
  // The selected rows only: a row that merely has the focus is not chosen.
  const QList<int> rows = list_.SelectedRows();
  if (rows.isEmpty()) return 0;
  const QString question = rows.size() > 1
                               ? QStringLiteral("Are you sure you want to delete ") +
                                     QString::number(rows.size()) +
                                     QStringLiteral(" selected files from your HARD DRIVE?")
                               : QStringLiteral(
                                     "Are you sure you want to delete selected file from your HARD "
                                     "DRIVE?");
  if (!context_.desktop.AskYesNo(QString(), question)) return 0;

  QList<int> deleted;
  QStringList deleted_paths;
  QString failure;
  for (int row : rows) {
    const QString path = OriginalPath(row);
    const TrashResult result = DeleteToTrash(path, &context_.desktop);
    if (result.ok()) {
      deleted << row;
      deleted_paths << path;
      continue;
    }
    // No trash could take it and the person kept it: the rest stay too.
    if (result.status == TrashStatus::kDeclined) break;
    failure = path + kCrLf + result.error;
    break;
  }
  list_.RemoveRows(deleted);
  if (!deleted_paths.isEmpty() && files_deleted_) files_deleted_(deleted_paths);
  if (!failure.isEmpty()) context_.desktop.Inform(QString(), failure, Desktop::Icon::kCritical);
  return static_cast<int>(deleted.size());
}

}  // namespace orlavo

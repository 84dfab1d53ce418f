#include "tools/advanced_tools.h"

#include <QDir>

#include "app/flags.h"
#include "app/helpers.h"

namespace orlavo {

const std::array<ToolInfo, 7>& AdvancedTools() {
  static const std::array<ToolInfo, 7> kTools = {{
      {ToolCode::kSorter, "MP3 Sorter", "MP3 Sorter", "Launch MP3 Sorter"},
      {ToolCode::kDuplicates, "Duplicates Locator", "Duplicates Loc", "Launch Duplicates Locator"},
      {ToolCode::kSplitter, "MP3 Splitter", "MP3 Splitter", "Launch MP3 Splitter"},
      {ToolCode::kJoiner, "MP3 Joiner", "MP3 Joiner", "Launch MP3 Joiner"},
      {ToolCode::kFileNameEditor, "File name Editor", "File name Editor",
       "Launch File name Editor"},
      {ToolCode::kListGenerator, "MP3 list Generator", "MP3 list Gen", "Launch MP3 List Generator"},
      {ToolCode::kEncoder, "Encode/Decode", "Encode/Decode", ""},
  }};
  return kTools;
}

const ToolInfo* FindTool(ToolCode code) {
  for (const ToolInfo& tool : AdvancedTools()) {
    if (tool.code == code) return &tool;
  }
  return nullptr;
}

ToolCode ToolToOpen(const Settings& settings) { return settings.LastUsed(); }

void WriteLastUsed(const Settings& settings, ToolCode code) {
  settings.Write(settings_key::kLastUsed, QString::number(static_cast<int>(code)));
}

void OnToolsWindowActivated(const Settings& settings, ToolCode visible) {
  WriteLastUsed(settings, visible);
  StopRequested = false;
}

void OnToolsWindowClosing(const Settings& settings, ToolCode visible) {
  WriteLastUsed(settings, visible);
  StopRequested = true;
}

bool SaveToolKeys(const Settings& settings, const ToolKeys& keys) {
  namespace key = settings_key;
  bool ok = settings.Write(key::kSortRootPath, keys.sort_root_path);
  ok &= settings.Write(key::kMP3ListGenSyntax, keys.list_gen_syntax);
  ok &= settings.Write(key::kSplitSFile, keys.split_source);
  ok &= settings.Write(key::kSplitRDir, keys.split_result_dir);
  return ok;
}

QString FilesFolder(const QString& program_folder) {
  return QDir(program_folder).filePath(QStringLiteral("Files")) + u'/';
}

void OpenFileOrFolder(Desktop& desktop, const Options& options, const QString& full_path) {
  if (full_path.isEmpty()) return;
  const bool folder = options.double_click_action == QLatin1String(kOpenMp3Folder);
  desktop.ShellOpen(folder ? FolderOf(full_path) : full_path);
}

QString ToggledMainWindowCaption(const QString& caption) {
  return caption == QLatin1String(kHideMainWindow) ? QString(kShowMainWindow)
                                                   : QString(kHideMainWindow);
}

ToolsStatus::ToolsStatus(QObject* parent) : QObject(parent) {}

void ToolsStatus::SetCaption(const QString& text) {
  status_text_ = text;
  if (view_ != nullptr) view_->SetCaption(text);
  emit changed();
}

void ToolsStatus::SetBar(qint64 current, qint64 total) {
  bar_current_ = current;
  bar_total_ = total;
  if (view_ != nullptr) view_->SetBar(current, total);
  emit changed();
}

void ToolsStatus::SetPercent(const QString& text) {
  percent_text_ = text;
  if (view_ != nullptr) view_->SetPercent(text);
  emit changed();
}

QString ToolsStatus::exit_caption() const {
  return stoppable_ ? QString(kExitCaptionStop) : QString(kExitCaptionClose);
}

void ToolsStatus::BeginStoppable(ReportList* list, bool hide_list) {
  stoppable_ = true;
  running_list_ = list;
  list_hidden_ = hide_list;
  emit changed();
}

void ToolsStatus::BeginRun() {
  ++runs_;
  emit changed();
}

void ToolsStatus::EndRun() {
  --runs_;
  emit changed();
}

void ToolsStatus::ResetProgress() {
  stoppable_ = false;
  running_list_ = nullptr;
  list_hidden_ = false;
  status_text_.clear();
  bar_current_ = 0;
  bar_total_ = 0;
  percent_text_ = QStringLiteral("0%");
  if (view_ != nullptr) {
    view_->SetBar(0, 0);
    view_->SetCaption(status_text_);
    view_->SetPercent(percent_text_);
  }
  emit changed();
}

ToolsStatus::ExitAction ToolsStatus::PressExit() {
  if (!stoppable_) return ExitAction::kCloseWindow;
  StopRequested = true;
  // Taken before the reset forgets it.
  QPointer<ReportList> list = running_list_;
  ResetProgress();
  if (list) list->Clear();
  return ExitAction::kStopped;
}

}  // namespace orlavo

#include "tools/sorter/mp3_sorter.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSaveFile>
#include <utility>

#include "app/desktop.h"
#include "app/file_ops.h"
#include "app/flags.h"
#include "app/folder_walk.h"
#include "app/helpers.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "app/tag_helpers.h"
#include "formats/id3v1.h"

namespace orlavo {
namespace {

using namespace sorter_text;

QString WithSlash(const QString& folder) {
  return folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
}

}  // namespace

const std::array<SortOptionInfo, 5>& SortOptions() {
  static const std::array<SortOptionInfo, 5> kOptions = {{
      {SortOption::kArtist, "Sort by Artist", kSorterArtist, "artist"},
      {SortOption::kAlbum, "Sort by Album", kSorterAlbum, "album"},
      {SortOption::kYear, "Sort by Year", kSorterYear, "year"},
      {SortOption::kGenre, "Sort by Genre", kSorterGenre, "genre"},
      {SortOption::kDate, "Sort by Date", kSorterCreated, "date"},
  }};
  return kOptions;
}

const SortOptionInfo& SortOptionOf(SortOption option) {
  return SortOptions()[static_cast<int>(option)];
}

QStringList SorterHeaders() {
  return {"Path", "Size", "Title", "Artist", "Album", "Year", "Genre", "Created"};
}

QStringList SorterErrorHeaders() { return {"MP3", "Folder", "Error"}; }

QString SortDateText(const QDateTime& time) {
  return QLocale(QLocale::English, QLocale::UnitedStates)
      .toString(time.toUTC(), QStringLiteral("MMM d yyyy"));
}

QString CreationDateText(const QString& path) {
  const QFileInfo info(path);
  QDateTime time = info.birthTime();
  if (!time.isValid()) time = info.lastModified();
  return time.isValid() ? SortDateText(time) : QString();
}

QString InvalidCharactersText() { return QStringLiteral("\\ / : * ? \" < > |"); }

QStringList GenreNames() {
  QStringList names;
  for (const char* name : kGenreNames) names << QString::fromLatin1(name);
  return names;
}

int GenreNumber(const QString& name) {
  static const QStringList kNames = GenreNames();
  return static_cast<int>(kNames.indexOf(name));
}

Mp3Sorter::Mp3Sorter(const ToolContext& context)
    : context_(context), list_(SorterHeaders()), errors_(SorterErrorHeaders()) {}

QString Mp3Sorter::source_label() const { return kSourcePrefix + context_.options.main_folder; }

QString Mp3Sorter::Root() const { return WithSlash(root_path_.trimmed()); }

void Mp3Sorter::Open() {
  root_path_ = Settings(context_.program_folder).Read(settings_key::kSortRootPath);
  const Options& options = context_.options;
  if (options.include_sub_directories && !options.no_warning &&
      !context_.desktop.AskYesNo(kScanTitle, kScanQuestion, Desktop::Icon::kInformation)) {
    return;
  }
  Scan();
}

void Mp3Sorter::FillTagColumns(int row, const ID3v1Tag& tag) {
  int genre = tag.Genre;
  list_.SetColumnText(row, kSorterTitle, CleanTagText(RecordText(tag.Title)));
  list_.SetColumnText(row, kSorterArtist, CleanTagText(RecordText(tag.Artist)));
  list_.SetColumnText(row, kSorterAlbum, CleanTagText(RecordText(tag.Album)));
  list_.SetColumnText(row, kSorterYear, CleanTagText(RecordText(tag.Year)));
  list_.SetColumnText(row, kSorterGenre, GenreName(genre));
}

void Mp3Sorter::Scan() {
  StopRequested = false;
  const Options& options = context_.options;
  list_.Clear();
  edit_path_.clear();
  StoppableRun run(context_.status, &list_, options.render_list_invisible);
  context_.status.SetCaption(kWorkingPleaseWait);
  context_.desktop.LetEventsRun();

  PathList paths = ListMp3Files(options.main_folder, options.include_sub_directories,
                                WalkSetup{context_.program_folder, &context_.desktop});
  refused_ = paths.Denied;
  const int total = static_cast<int>(paths.Items.size());
  BulkAdd bulk(list_);
  for (int i = 0; i < total && !StopRequested; ++i) {
    const QString& path = paths.Items[i];
    if (path.isEmpty()) continue;
    ReportRow row = FileRow(path, options.prefix_dir);
    const QFileInfo info(path);
    ID3v1Tag tag{};
    context_.pellox.ReadID3v1(path, &tag);
    if (tag.Exists != 1) {
      if (QString why = WhyUnreadable(path); !why.isEmpty()) {
        refused_ << Refused{path, why};
        continue;
      }
    }
    int genre = tag.Genre;
    QDateTime created = info.birthTime();
    if (!created.isValid()) created = info.lastModified();
    row.columns = {info.exists() ? FormatFileSize(info.size(), options.size_unit) : QString(),
                   CleanTagText(RecordText(tag.Title)),
                   CleanTagText(RecordText(tag.Artist)),
                   CleanTagText(RecordText(tag.Album)),
                   CleanTagText(RecordText(tag.Year)),
                   GenreName(genre),
                   created.isValid() ? SortDateText(created) : QString()};
    list_.AddRow(std::move(row));
    ShowProgress(context_.status, i + 1, total, path, QString(), options.show_current_file);
    context_.desktop.LetEventsRun();
  }
}

void Mp3Sorter::Browse() {
  const QString chosen =
      context_.desktop.BrowseForFolder(kBrowseTitle, context_.options.main_folder);
  if (!chosen.isEmpty()) root_path_ = WithSlash(chosen);
}

int Mp3Sorter::RemoveUntagged() {
  if (!context_.desktop.AskYesNo(kRemoveUntaggedTitle, kRemoveUntaggedQuestion)) return 0;
  QList<int> blank;
  for (int i = 0; i < list_.size(); ++i) {
    const ReportRow& row = list_.row(i);
    bool all_blank = true;
    for (int column = kSorterTitle; column <= kSorterGenre && all_blank; ++column) {
      all_blank = row.ColumnText(column).trimmed().isEmpty();
    }
    if (all_blank) blank << i;
  }
  list_.RemoveRows(blank);
  return static_cast<int>(blank.size());
}

QString Mp3Sorter::PlanPath() const {
  return FilesFolder(context_.program_folder) + SortOptionOf(option_).caption +
         QStringLiteral(".txt");
}

void Mp3Sorter::SetBar(int bar, qint64 current, qint64 total) {
  progress_.current[bar] = current;
  progress_.total[bar] = total;
  if (on_progress) on_progress();
}

bool Mp3Sorter::Sort() {
  // Its loop lets events in: the window must not go while it runs.
  ToolRun holds_window(context_.status);
  const SortOptionInfo& info = SortOptionOf(option_);
  const QString root = Root();
  if (root.isEmpty()) {
    context_.desktop.Inform(QString(), kNoRoot);
    Browse();
    return false;
  }
  progress_ = {};
  progress_.visible = true;
  progress_.root_label = kFoldersIn + root;
  progress_.root_tooltip = root;
  progress_.option_label = QString::fromLatin1(info.caption) + kSelectedOption;
  has_errors_ = false;
  errors_visible_ = false;
  fixer_row_ = -1;
  errors_.Clear();

  // Gathering: the values that cannot name a folder. The plan still holds
  // their files; the errors only keep it from being carried out.
  const int total = list_.size();
  const QString error_text = kInvalidCharacters + InvalidCharactersText();
  {
    BulkAdd bulk(errors_);
    int shown_percent = -1;
    for (int i = 0; i < total; ++i) {
      const ReportRow& row = list_.row(i);
      const QString value = row.ColumnText(info.column);
      if (!IsValidFileName(value)) {
        ReportRow error;
        error.text = row.text;
        error.tag = row.tag;  // so that the error row's full path is the file's
        error.tooltip = FileNameOf(row.FullPath());
        error.columns = {value, error_text};
        errors_.AddRow(std::move(error));
        has_errors_ = true;
      }
      const int percent = static_cast<int>(qint64(i + 1) * 100 / total);
      if (percent != shown_percent) {
        shown_percent = percent;
        SetBar(0, i + 1, total);
        context_.desktop.LetEventsRun();
      }
    }
  }

  // Grouping: folders in order of first appearance, values compared exactly.
  PlanContents plan;
  plan.option_caption = info.caption;
  plan.keyword = info.keyword;
  plan.root = root;
  plan.total_files = total;
  QHash<QString, int> folder_of_value;
  for (int i = 0; i < total; ++i) {
    const ReportRow& row = list_.row(i);
    const QString value = row.ColumnText(info.column);
    if (value.isEmpty()) {
      plan.unsorted << row.FullPath();
      continue;
    }
    auto it = folder_of_value.find(value);
    if (it == folder_of_value.end()) {
      it = folder_of_value.insert(value, static_cast<int>(plan.folders.size()));
      plan.folders.append({value, {}});
    }
    plan.folders[*it].files << row.FullPath();
  }

  const QString path = PlanPath();
  QDir().mkpath(FolderOf(path));
  QSaveFile file(path);
  const QByteArray bytes = PlanBytes(PlanLines(plan));
  // Unbuffered: a write that fails on a full disk fails here and the save is
  // abandoned; a buffered one would fail only in the flush at commit, which
  // still renames the short file into place.
  QString error;
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
      file.write(bytes) != bytes.size()) {
    error = file.errorString();
  } else {
    error = CommitSynced(file);
  }
  if (!error.isEmpty()) {
    context_.desktop.Inform(
        QString(), QStringLiteral("The sort file %1 could not be written: %2").arg(path, error),
        Desktop::Icon::kCritical);
    return false;
  }
  context_.desktop.Inform(QString(), kReview);
  context_.desktop.ShellOpen(path);
  return true;
}

QString Mp3Sorter::action_caption() const {
  return has_errors_ ? QString(kViewErrors) : QString(kContinue);
}

void Mp3Sorter::PressAction() {
  if (has_errors_) {
    errors_visible_ = true;
  } else {
    Continue();
  }
}

PlanRun Mp3Sorter::Continue() {
  // Its loop lets events in: the window must not go while it runs.
  ToolRun holds_window(context_.status);
  const QString root = Root();
  progress_.visible = true;
  progress_.root_label = kFoldersIn + root;
  progress_.root_tooltip = root;
  progress_.option_label = QString::fromLatin1(SortOptionOf(option_).caption) + kSelectedOption;
  PlanExecution execution;
  execution.root = root;
  execution.m3u_each = m3u_each;
  execution.m3u_global = m3u_global;
  int shown_percent = -1;
  execution.progress = [&](int current, int total) {
    if (total <= 0) return;
    const int percent = static_cast<int>(qint64(current) * 100 / total);
    if (percent == shown_percent) return;
    shown_percent = percent;
    SetBar(1, total, total);
    SetBar(2, current, total);
    context_.desktop.LetEventsRun();
  };
  PlanRun run = RunPlanFile(PlanPath(), execution);
  progress_.visible = false;
  if (on_progress) on_progress();
  if (run.outcome != PlanRun::Outcome::kDone) {
    context_.desktop.Inform(QString(), run.message, Desktop::Icon::kCritical);
    return run;
  }
  if (!run.message.isEmpty()) {
    context_.desktop.Inform(QString(), run.message, Desktop::Icon::kWarning);
  }
  context_.desktop.ShellOpen(root);
  Scan();
  return run;
}

bool Mp3Sorter::OpenFixer(int error_row) {
  if (error_row < 0 || error_row >= errors_.size()) return false;
  fixer_path_ = errors_.FullPath(error_row);
  const int row = list_.IndexOfPath(fixer_path_);
  if (row < 0) return false;
  fixer_row_ = error_row;
  errors_.SelectOnly(error_row);
  const ReportRow& r = list_.row(row);
  fixer_fields_ = {r.ColumnText(kSorterTitle), r.ColumnText(kSorterArtist),
                   r.ColumnText(kSorterAlbum), r.ColumnText(kSorterYear),
                   r.ColumnText(kSorterGenre)};
  return true;
}

QString Mp3Sorter::fixer_caption() const {
  return fixer_open() ? FileNameOf(fixer_path_) : QString();
}

bool Mp3Sorter::WriteTag(int row, const TagFields& fields, int genre) {
  const QString path = list_.FullPath(row);
  if (!WriteID3v1(path, fields.title, fields.artist, fields.album, fields.year, QString(), genre)) {
    context_.desktop.Inform(QString(),
                            QStringLiteral("The ID3v1 tag of %1 could not be written.").arg(path),
                            Desktop::Icon::kCritical);
    return false;
  }
  // The row shows what the file now holds (fields cut to their sizes).
  ID3v1Tag tag{};
  context_.pellox.ReadID3v1(path, &tag);
  FillTagColumns(row, tag);
  return true;
}

bool Mp3Sorter::SaveFixer(const TagFields& fields) {
  if (!fixer_open()) return false;
  QString checked;
  switch (option_) {
    case SortOption::kArtist:
      checked = fields.artist;
      break;
    case SortOption::kAlbum:
      checked = fields.album;
      break;
    case SortOption::kYear:
      checked = fields.year;
      break;
    case SortOption::kGenre:
      checked = fields.genre;
      break;
    case SortOption::kDate:
      break;
  }
  if (!IsValidFileName(checked)) {
    context_.desktop.Inform(QString(), checked + kContainsInvalid + InvalidCharactersText());
    return false;
  }
  const int row = list_.IndexOfPath(fixer_path_);
  if (row < 0) return false;
  const int genre = std::max(GenreNumber(fields.genre), 0);
  if (!WriteTag(row, fields, genre)) return false;
  const int error_row = fixer_row_;
  fixer_row_ = -1;
  if (error_row < errors_.size()) errors_.RemoveRow(error_row);
  if (errors_.empty()) {
    errors_visible_ = false;
    has_errors_ = false;
  } else {
    errors_.SelectOnly(std::min(error_row, errors_.size() - 1));
  }
  return true;
}

const TagFields& Mp3Sorter::SelectRow(int row) {
  if (row < 0 || row >= list_.size()) return edit_fields_;
  edit_path_ = list_.FullPath(row);
  const ReportRow& r = list_.row(row);
  edit_fields_ = {r.ColumnText(kSorterTitle), r.ColumnText(kSorterArtist),
                  r.ColumnText(kSorterAlbum), r.ColumnText(kSorterYear),
                  r.ColumnText(kSorterGenre)};
  return edit_fields_;
}

bool Mp3Sorter::SaveEdit(const TagFields& fields) {
  const int row = edit_row();
  if (row < 0) return false;
  const int number = GenreNumber(fields.genre);
  if (!WriteTag(row, fields, number < 0 ? kBlankGenre : number)) return false;
  SelectRow(row);
  return true;
}

void Mp3Sorter::RemoveTags() {
  for (int row : list_.SelectedRows()) {
    const QString path = list_.FullPath(row);
    if (!BlankID3v1(path)) {
      context_.desktop.Inform(QString(),
                              QStringLiteral("The ID3v1 tag of %1 could not be removed.").arg(path),
                              Desktop::Icon::kCritical);
      continue;
    }
    ID3v1Tag none{};
    none.Genre = -1;
    FillTagColumns(row, none);
  }
  SelectRow(edit_row());
}

void Mp3Sorter::RemoveSelectedRows() { list_.RemoveSelectedRows(); }

void Mp3Sorter::OpenRow(int row) {
  if (row >= 0 && row < list_.size()) {
    OpenFileOrFolder(context_.desktop, context_.options, list_.FullPath(row));
  }
}

}  // namespace orlavo

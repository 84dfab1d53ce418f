#include "tools/dupes/duplicates_locator.h"

#include <sys/stat.h>

#include <QFile>
#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/desktop.h"
#include "app/flags.h"
#include "app/folder_walk.h"
#include "app/helpers.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "app/tag_helpers.h"

namespace orlavo {
namespace {

constexpr int kSizeColumn = 1;
constexpr int kTagColumn = 2;

// The key of a row (its file name or its tag text case-folded, or its size
// text) appended to a buffer; ASCII letters are folded in place rather than
// through a new text per row.
void AppendKey(const ReportRow& row, DupeCriterion criterion, std::u16string& out) {
  QStringView text;
  QString whole;
  switch (criterion) {
    case DupeCriterion::kName:
      // The name is the row text unless the row shows its folder too.
      if (!row.text.contains(u'/') && (row.tag.isEmpty() || row.tag.endsWith(u'/'))) {
        text = row.text;
      } else {
        whole = FileNameOf(row.FullPath());
        text = whole;
      }
      break;
    case DupeCriterion::kTag:
      if (kTagColumn - 1 < row.columns.size()) text = row.columns[kTagColumn - 1];
      break;
    case DupeCriterion::kSize:
      if (kSizeColumn - 1 < row.columns.size()) text = row.columns[kSizeColumn - 1];
      out.append(reinterpret_cast<const char16_t*>(text.data()), static_cast<size_t>(text.size()));
      return;
    case DupeCriterion::kNone:
      return;
  }
  const bool ascii =
      std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
  if (!ascii) {
    const QString folded = text.toString().toCaseFolded();
    out.append(reinterpret_cast<const char16_t*>(folded.constData()),
               static_cast<size_t>(folded.size()));
    return;
  }
  for (QChar c : text) {
    const char16_t u = c.unicode();
    out.push_back(u >= u'A' && u <= u'Z' ? static_cast<char16_t>(u + 0x20) : u);
  }
}

// The column the file list is sorted by before marking; the list keeps it.
int SortColumn(DupeCriterion criterion) {
  switch (criterion) {
    case DupeCriterion::kTag:
      return kTagColumn;
    case DupeCriterion::kSize:
      return kSizeColumn;
    default:
      return 0;
  }
}

}  // namespace

QStringList DuplicatesHeaders() {
  return {QStringLiteral("Path"), QStringLiteral("Size"), QStringLiteral("ID3v1")};
}

QList<int> DuplicateRows(const ReportList& list, DupeCriterion criterion) {
  QList<int> rows;
  if (criterion == DupeCriterion::kNone) return rows;
  if (criterion == DupeCriterion::kSize && list.keep_sorted() &&
      list.sort_column() == kSizeColumn) {
    // Sorted by the size text, equal texts stand together: one pass over
    // neighbours, without a table of every key.
    const int n = list.size();
    int group = 0;
    QString group_key;
    for (int i = 0; i <= n; ++i) {
      const QString key = i < n ? list.row(i).ColumnText(kSizeColumn) : QString();
      if (i < n && !key.isEmpty() && key == group_key) continue;
      if (i - group > 1 && !group_key.isEmpty()) {
        for (int k = group; k < i; ++k) rows << k;
      }
      group = i;
      group_key = key;
    }
    return rows;
  }
  // Every key folded into one buffer, sorted, and the groups of equal
  // neighbours marked in one pass: the keys lie side by side in memory, so
  // the work grows with the list and not with the scatter of its rows.
  struct Entry {
    size_t hash;
    uint32_t offset;
    uint32_t length;
    int row;
  };
  std::u16string folded;
  std::vector<Entry> entries;
  entries.reserve(static_cast<size_t>(list.size()));
  for (int i = 0; i < list.size(); ++i) {
    list.Prefetch(i + 16, 8);
    const ReportRow& row = list.row(i);
    const qsizetype start = static_cast<qsizetype>(folded.size());
    AppendKey(row, criterion, folded);
    // An empty name cannot occur; an empty tag text (no tag) or size text (no
    // size) is never a duplicate of anything.
    if (static_cast<qsizetype>(folded.size()) == start) continue;
    const auto length = static_cast<uint32_t>(static_cast<qsizetype>(folded.size()) - start);
    entries.push_back({0, static_cast<uint32_t>(start), length, i});
  }
  const char16_t* base = folded.data();
  auto key = [base](const Entry& e) { return std::u16string_view(base + e.offset, e.length); };
  // Only equal keys need to meet, not any particular order: keys are sorted
  // by their hash first, so that few comparisons look at the texts at all.
  for (Entry& e : entries) e.hash = std::hash<std::u16string_view>{}(key(e));
  std::sort(entries.begin(), entries.end(), [base](const Entry& a, const Entry& b) {
    if (a.hash != b.hash) return a.hash < b.hash;
    if (a.length != b.length) return a.length < b.length;
    return std::memcmp(base + a.offset, base + b.offset, a.length * sizeof(char16_t)) < 0;
  });
  std::vector<bool> marked(static_cast<size_t>(list.size()), false);
  for (size_t i = 0; i < entries.size();) {
    size_t end = i + 1;
    while (end < entries.size() && key(entries[end]) == key(entries[i])) ++end;
    if (end - i > 1) {
      for (size_t k = i; k < end; ++k) marked[static_cast<size_t>(entries[k].row)] = true;
    }
    i = end;
  }
  for (int i = 0; i < list.size(); ++i) {
    if (marked[static_cast<size_t>(i)]) rows << i;
  }
  return rows;
}

QString DeleteFailureText(const QString& path, const TrashResult& result) {
  QString reason;
  switch (result.status) {
    case TrashStatus::kSourceMissing:
      reason = QStringLiteral("The file is not there any more.");
      break;
    case TrashStatus::kNoTrash:
      reason = QStringLiteral("No trash can take it: ") + result.error;
      break;
    default:
      reason = result.error.isEmpty() ? QStringLiteral("Unknown error.") : result.error;
      break;
  }
  return QStringLiteral("The file could not be deleted:\r\n") + path + QStringLiteral("\r\n") +
         reason + QStringLiteral("\r\nBoth lists keep it.");
}

DuplicatesLocator::DuplicatesLocator(const ToolContext& context)
    : context_(context), files_(DuplicatesHeaders()), report_(DuplicatesHeaders()) {}

void DuplicatesLocator::SetCriterionChecked(DupeCriterion criterion, bool checked) {
  if (checked) {
    criterion_ = criterion;
  } else if (criterion_ == criterion) {
    criterion_ = DupeCriterion::kNone;
  }
}

QString DuplicatesLocator::reload_caption() const {
  return files_.empty() ? QString(dupes_text::kLoad) : QString(dupes_text::kReload);
}

void DuplicatesLocator::Load() {
  StopRequested = false;
  const Options& options = context_.options;
  files_.Clear();
  // A reload lists the files in name order again, whatever the last criterion sorted by.
  files_.SortByColumn(0);
  if (options.include_sub_directories && !options.no_warning &&
      !context_.desktop.AskYesNo(dupes_text::kScanTitle, dupes_text::kScanQuestion,
                                 Desktop::Icon::kInformation)) {
    return;
  }
  StoppableRun run(context_.status, &files_, options.render_list_invisible);
  context_.status.SetCaption(kWorkingPleaseWait);
  context_.desktop.LetEventsRun();

  PathList paths = ListMp3Files(options.main_folder, options.include_sub_directories,
                                WalkSetup{context_.program_folder, &context_.desktop});
  refused_ = paths.Denied;
  // Sizes to the byte, so that equal texts mean equal sizes, whatever unit the
  // other lists show.
  const RowOptions rows{options.prefix_dir, QStringLiteral("Bytes"), options.main_folder};
  const int total = static_cast<int>(paths.Items.size());
  // What the rows need is gathered first and the rows are made at the end: a
  // stop empties the list that is being filled, and the files loaded until
  // then must stay.
  struct Loaded {
    QString path;
    QString ref;  // "Artist - Title", or "" without a tag
    std::optional<qint64> size;
  };
  std::vector<Loaded> loaded;
  loaded.reserve(total);
  for (int i = 0; i < total && !StopRequested; ++i) {
    const QString& path = paths.Items[i];
    if (path.isEmpty()) continue;
    Loaded file{path, {}, {}};
    ID3v1Tag tag{};
    context_.pellox.ReadID3v1(path, &tag);
    if (tag.Exists == 1) {
      file.ref = CleanTagText(RecordText(tag.Artist)) + QStringLiteral(" - ") +
                 CleanTagText(RecordText(tag.Title));
      file.ref.remove(QChar(u'\0'));
    } else if (QString why = WhyUnreadable(path); !why.isEmpty()) {
      refused_ << Refused{path, why};
    }
    // The size is taken now, beside the tag: every row is read when marking,
    // and a size looked up then would cost a file-system query per row there.
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) file.size = st.st_size;
    loaded.push_back(std::move(file));
    ShowProgress(context_.status, i + 1, total, path, QString(), options.show_current_file);
    context_.desktop.LetEventsRun();
  }
  BulkAdd bulk(files_);
  for (const Loaded& file : loaded) {
    AddFileRow(files_, file.path, file.ref, false, rows, nullptr, file.size);
  }
}

int DuplicatesLocator::Start() {
  files_.ClearSelection();
  {
    StoppableRun run(context_.status, &files_, context_.options.render_list_invisible);
    // A sorted list keeps its order as rows come and go, so sorting again by
    // the same column would change nothing.
    if (files_.sort_column() != SortColumn(criterion_)) files_.SortByColumn(SortColumn(criterion_));
    const QList<int> rows = DuplicateRows(files_, criterion_);
    const int n = files_.size();
    const int total = static_cast<int>(rows.size());
    int shown_percent = -1;
    for (int k = 0; k < total; ++k) {
      files_.SetSelected(rows[k], true);
      const int percent = static_cast<int>(qint64(k + 1) * 100 / total);
      if (percent == shown_percent) continue;
      shown_percent = percent;
      ShowProgress(context_.status, k + 1, total, files_.row(rows[k]).text,
                   QStringLiteral("Marking"), context_.options.show_current_file);
      context_.desktop.LetEventsRun();
      // A stop empties the list being marked.
      if (files_.size() != n) break;
    }
  }
  marked_ = files_.SelectedCount();
  context_.status.SetCaption(dupes_text::kDuplicatesCount + QString::number(marked_));
  started_ = true;
  ShowDuplicates();
  return marked_;
}

void DuplicatesLocator::ShowDuplicates() {
  report_.Clear();
  delete_enabled_ = false;
  {
    BulkAdd bulk(report_);
    for (int index : files_.SelectedRows()) {
      const ReportRow& row = files_.row(index);
      ReportRow copy;
      copy.text = row.text;
      copy.tag = row.tag;
      copy.tooltip = row.tooltip;
      copy.columns = {row.ColumnText(kSizeColumn), row.ColumnText(kTagColumn)};
      report_.AddRow(std::move(copy));
      delete_enabled_ = true;
    }
  }
  if (report_.empty()) {
    ReportRow none;
    none.text = dupes_text::kNoDuplicates;
    report_.AddRow(std::move(none));
  }
  report_visible_ = true;
}

bool DuplicatesLocator::DeleteReportRow(int report_row) {
  if (!delete_enabled_ || report_row < 0 || report_row >= report_.size()) return false;
  if (!context_.desktop.AskYesNo(QString(), dupes_text::kDeleteQuestion)) return false;
  const QString path = report_.FullPath(report_row);
  const TrashResult result = DeleteToTrash(path, &context_.desktop);
  if (!result.ok()) {
    // A "No" to removing for good was the person's own choice; anything else
    // is a failure they must hear about.
    if (result.status != TrashStatus::kDeclined) {
      context_.desktop.Inform(QString(), DeleteFailureText(path, result), Desktop::Icon::kCritical);
    }
    return false;
  }
  const int file_row = files_.IndexOfPath(path);
  if (file_row >= 0) files_.RemoveRow(file_row);
  report_.RemoveRow(report_row);
  if (report_.empty()) delete_enabled_ = false;
  return true;
}

void DuplicatesLocator::OpenReportRow(int report_row) {
  if (!delete_enabled_ || report_row < 0 || report_row >= report_.size()) return;
  OpenFileOrFolder(context_.desktop, context_.options, report_.FullPath(report_row));
}

}  // namespace orlavo

#include "app/report_list.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cstring>
#include <string>
#include <thread>

#include "app/helpers.h"
#include "app/pellox_binding.h"
#include "app/tag_helpers.h"

namespace orlavo {
namespace {

const QString& EmptyText() {
  static const QString empty;
  return empty;
}

const QString& KeyText(const ReportRow& row, int column) {
  if (column == 0) return row.text;
  if (column - 1 < row.columns.size()) return row.columns[column - 1];
  return EmptyText();
}

int Sign(int c) { return c < 0 ? -1 : (c > 0 ? 1 : 0); }

// Rows of one folder mostly come one after another; they share one copy of
// the folder text (tag and tooltip) instead of holding one copy each.
QString SharedFolderOf(const QString& path) {
  thread_local QString last;
  if (last.isEmpty() || !path.startsWith(last) || path.indexOf(u'/', last.size()) >= 0) {
    last = FolderOf(path);
  }
  return last;
}

}  // namespace

int CompareListText(const QString& a, const QString& b) {
  // Names are mostly ASCII: those letters are folded here, and from the first
  // other character on Qt's case-insensitive comparison takes over.
  const QChar* p = a.constData();
  const QChar* q = b.constData();
  const qsizetype n = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < n; ++i) {
    char16_t x = p[i].unicode(), y = q[i].unicode();
    if (x == y) continue;
    if (x >= 0x80 || y >= 0x80) {
      if (i > 0 && p[i - 1].isHighSurrogate()) --i;
      int c = QStringView(a).mid(i).compare(QStringView(b).mid(i), Qt::CaseInsensitive);
      return c != 0 ? Sign(c) : Sign(QString::compare(a, b, Qt::CaseSensitive));
    }
    if (x >= u'A' && x <= u'Z') x += 0x20;
    if (y >= u'A' && y <= u'Z') y += 0x20;
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return Sign(QString::compare(a, b, Qt::CaseSensitive));
}

QString ReportRow::ColumnText(int column) const {
  if (column < 0) return {};
  return KeyText(*this, column);
}

ReportList::ReportList(QStringList headers, bool keep_sorted, QObject* parent)
    : QObject(parent), headers_(std::move(headers)), keep_sorted_(keep_sorted) {}

ReportList::~ReportList() {
  for (Slot* slot : rows_) delete slot;
}

void ReportList::BeginReset() {
  if (bulk_depth_ == 0) emit modelAboutToBeReset();
}

void ReportList::EndReset() {
  if (bulk_depth_ == 0) emit modelReset();
}

void ReportList::SetHeaders(const QStringList& headers) {
  BeginReset();
  headers_ = headers;
  EndReset();
  emit headersChanged();
}

void ReportList::AddColumn(const QString& header) {
  BeginReset();
  headers_ << header;
  EndReset();
  emit headersChanged();
}

void ReportList::RemoveColumnAt(int column) {
  if (column < 1 || column >= column_count()) return;
  BeginReset();
  for (auto& slot : rows_) {
    if (column == 1) slot->size_pending = false;
    if (column - 1 < slot->row.columns.size()) slot->row.columns.removeAt(column - 1);
  }
  headers_.removeAt(column);
  if (sort_column_ == column) {
    sort_column_ = 0;
  } else if (sort_column_ > column) {
    --sort_column_;
  }
  EndReset();
  emit headersChanged();
}

bool ReportList::RowLess(const ReportRow& a, const ReportRow& b) const {
  return CompareListText(KeyText(a, sort_column_), KeyText(b, sort_column_)) < 0;
}

int ReportList::InsertPosition(const ReportRow& row) const {
  if (!keep_sorted_ || bulk_depth_ > 0 || rows_.empty()) return size();
  // Rows mostly come in order (a rescan of a sorted list), so try the end first.
  if (!RowLess(row, rows_.back()->row)) return size();
  auto it =
      std::upper_bound(rows_.begin(), rows_.end(), row,
                       [this](const ReportRow& r, const Slot* s) { return RowLess(r, s->row); });
  return static_cast<int>(it - rows_.begin());
}

void ReportList::SortRange(size_t first, size_t last) {
  if (last - first < 2) return;
  ResolveSizesForSorting();
  const int column = sort_column_;
  // Most texts are ASCII: their letters are folded once into one buffer and
  // kept as they are in a second, so that the comparisons of the sort are
  // plain byte comparisons that never go back to the rows (which lie all
  // over memory). Other texts are compared by CompareListText, which orders
  // ASCII texts the same way.
  struct Key {
    uint32_t offset;
    uint32_t length;
    bool ascii;
    Slot* slot;
  };
  std::vector<Key> keys;
  keys.reserve(last - first);
  std::string folded, original;
  folded.reserve(32 * (last - first));
  original.reserve(32 * (last - first));
  constexpr size_t kAhead = 8;
  for (size_t i = first; i < last; ++i) {
    if (i % 4096 == 4095) Pause();
    // The rows' memory is fetched a few rows ahead of its use.
    if (i + 2 * kAhead < last) __builtin_prefetch(rows_[i + 2 * kAhead]);
    if (i + kAhead < last) __builtin_prefetch(KeyText(rows_[i + kAhead]->row, column).constData());
    const QString& text = KeyText(rows_[i]->row, column);
    Key key{static_cast<uint32_t>(folded.size()), static_cast<uint32_t>(text.size()), true,
            rows_[i]};
    const size_t at = folded.size();
    folded.resize(at + static_cast<size_t>(text.size()));
    original.resize(folded.size());
    char* low = folded.data() + at;
    char* same = original.data() + at;
    for (QChar c : text) {
      const char16_t u = c.unicode();
      if (u >= 0x80) {
        key.ascii = false;
        break;
      }
      *same++ = static_cast<char>(u);
      *low++ = static_cast<char>(u >= u'A' && u <= u'Z' ? u + 0x20 : u);
    }
    if (!key.ascii) {
      folded.resize(at);
      original.resize(at);
      key.length = 0;
    }
    keys.push_back(key);
  }
  const char* base = folded.data();
  const char* exact = original.data();
  auto less = [base, exact, column](const Key& a, const Key& b) {
    if (!a.ascii || !b.ascii) {
      return CompareListText(KeyText(a.slot->row, column), KeyText(b.slot->row, column)) < 0;
    }
    const uint32_t n = std::min(a.length, b.length);
    const int c = std::memcmp(base + a.offset, base + b.offset, n);
    if (c != 0) return c < 0;
    if (a.length != b.length) return a.length < b.length;
    return std::memcmp(exact + a.offset, exact + b.offset, n) < 0;
  };
  // A stable merge sort in short steps, with a pause between them: over a
  // million rows the window keeps running its events. Any stable sort by
  // the same order gives the same rows.
  constexpr size_t kRun = 8192, kStep = 4096;
  const size_t n = keys.size();
  for (size_t lo = 0; lo < n; lo += kRun) {
    std::stable_sort(keys.begin() + lo, keys.begin() + std::min(lo + kRun, n), less);
    Pause();
  }
  if (n > kRun) {
    std::vector<Key> merged(n);
    for (size_t width = kRun; width < n; width *= 2) {
      for (size_t lo = 0; lo < n; lo += 2 * width) {
        const size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
        size_t i = lo, j = mid, k = lo;
        while (i < mid && j < hi) {
          merged[k++] = less(keys[j], keys[i]) ? keys[j++] : keys[i++];
          if (k % kStep == 0) Pause();
        }
        std::copy(keys.begin() + i, keys.begin() + mid, merged.begin() + k);
        std::copy(keys.begin() + j, keys.begin() + hi, merged.begin() + k + (mid - i));
      }
      keys.swap(merged);
    }
  }
  for (size_t i = first; i < last; ++i) rows_[i] = keys[i - first].slot;
}

void ReportList::Pause() const {
  if (pause_) pause_();
}

void ReportList::Renumber() const {
  for (size_t i = stale_from_; i < rows_.size(); ++i) rows_[i]->index = static_cast<int>(i);
  stale_from_ = rows_.size();
}

void ReportList::MarkStale(int from) const {
  stale_from_ = std::min(stale_from_, static_cast<size_t>(std::max(from, 0)));
}

void ReportList::IndexPath(Slot* slot) const {
  if (path_index_built_) path_index_.insert(slot->row.FullPath(), slot);
}

void ReportList::UnindexPath(Slot* slot) const {
  if (path_index_built_) path_index_.remove(slot->row.FullPath(), slot);
}

void ReportList::EnsurePathIndex() const {
  if (path_index_built_) return;
  path_index_.clear();
  path_index_.reserve(static_cast<qsizetype>(rows_.size()));
  for (const auto& slot : rows_) path_index_.insert(slot->row.FullPath(), slot);
  path_index_built_ = true;
}

const ReportRow& ReportList::row(int index) const {
  Slot& slot = *rows_[index];
  if (slot.size_pending) ResolveSize(slot);
  return slot.row;
}

void ReportList::Prefetch(int index, int distance) const {
  if (index >= 0 && index < size()) __builtin_prefetch(rows_[index]);
  const int ready = index - distance;
  if (ready < 0 || ready >= size()) return;
  const ReportRow& row = rows_[ready]->row;
  __builtin_prefetch(row.text.constData());
  __builtin_prefetch(row.columns.constData());
  if (!row.columns.isEmpty()) __builtin_prefetch(row.columns.front().constData());
}

void ReportList::SetSize(Slot& slot, qint64 size) const {
  slot.size_pending = false;
  if (size >= 0) {
    if (slot.row.columns.isEmpty()) slot.row.columns << QString();
    slot.row.columns[0] = FormatFileSize(size, units_[slot.size_unit]);
  }
}

void ReportList::ResolveSize(Slot& slot) const {
  struct stat st;
  const bool found = ::stat(NativeName(slot.row.FullPath()).constData(), &st) == 0;
  SetSize(slot, found ? st.st_size : -1);
}

void ReportList::ResolvePendingSizes(size_t parallel_from) {
  // Rows of one folder share one copy of its text, so they group by that
  // copy's address; rows that do not share it still come out right, each
  // group opening its folder once.
  std::vector<std::pair<uintptr_t, Slot*>> pending;
  for (Slot* slot : rows_) {
    if (slot->size_pending) {
      pending.emplace_back(reinterpret_cast<uintptr_t>(slot->row.tag.constData()), slot);
    }
  }
  std::sort(pending.begin(), pending.end());
  // Each row is written by one thread only, and nothing else is written.
  auto resolve = [this, &pending](size_t i, size_t stop) {
    while (i < stop) {
      size_t end = i + 1;
      while (end < stop && pending[end].first == pending[i].first) ++end;
      const QString& folder = pending[i].second->row.tag;
      // O_PATH needs no read right on the folder, as a lookup through it does not.
      const int dir = folder.isEmpty() ? -1
                                       : ::open(NativeName(folder).constData(),
                                                O_PATH | O_DIRECTORY | O_CLOEXEC);
      for (; i < end; ++i) {
        Slot& slot = *pending[i].second;
        const QString& text = slot.row.text;
        // Most names are ASCII: their bytes are the letters themselves.
        char ascii[256];
        const bool plain = text.size() < qsizetype{sizeof ascii} &&
                           std::all_of(text.begin(), text.end(), [](QChar c) {
                             return c.unicode() > 0 && c.unicode() < 0x80 && c != u'/';
                           });
        QByteArray encoded;
        if (plain) {
          char* out = ascii;
          for (QChar c : text) *out++ = static_cast<char>(c.unicode());
          *out = '\0';
        } else {
          encoded = NativeName(text);
        }
        const char* name = plain ? ascii : encoded.constData();
        struct stat st;
        if (dir >= 0 && (plain || !encoded.contains('/'))) {
          const bool found = ::fstatat(dir, name, &st, 0) == 0;
          SetSize(slot, found ? st.st_size : -1);
        } else {
          ResolveSize(slot);
        }
      }
      if (dir >= 0) ::close(dir);
    }
  };
  // The lookups are the system's work, not ours: over many rows, two threads
  // share them, each taking whole folders.
  if (pending.size() < std::max<size_t>(parallel_from, 2) ||
      std::thread::hardware_concurrency() < 2) {
    resolve(0, pending.size());
    return;
  }
  size_t half = pending.size() / 2;
  while (half < pending.size() && pending[half].first == pending[half - 1].first) ++half;
  std::thread helper(resolve, half, pending.size());
  resolve(0, half);
  helper.join();
}

void ReportList::ResolveSizesForSorting() const {
  if (sort_column_ != 1) return;
  for (const auto& slot : rows_) {
    if (slot->size_pending) ResolveSize(*slot);
  }
}

int ReportList::AddRow(ReportRow row) {
  auto* slot = new Slot;
  slot->row = std::move(row);
  return Insert(slot);
}

int ReportList::AddRowWithFileSize(ReportRow row, const QString& size_unit) {
  auto* slot = new Slot;
  slot->row = std::move(row);
  auto unit = std::find(units_.begin(), units_.end(), size_unit);
  if (unit == units_.end()) {
    if (units_.size() == 256) {
      // More units than a slot can name (never in practice): read it now.
      struct stat st;
      if (::stat(QFile::encodeName(slot->row.FullPath()).constData(), &st) == 0) {
        if (slot->row.columns.isEmpty()) slot->row.columns << QString();
        slot->row.columns[0] = FormatFileSize(st.st_size, size_unit);
      }
      return Insert(slot);
    }
    unit = units_.insert(units_.end(), size_unit);
  }
  slot->size_pending = true;
  slot->size_unit = static_cast<uint8_t>(unit - units_.begin());
  if (sort_column_ == 1 && keep_sorted_ && bulk_depth_ == 0) ResolveSize(*slot);
  return Insert(slot);
}

int ReportList::Insert(Slot* slot) {
  if (keep_sorted_ && bulk_depth_ == 0) ResolveSizesForSorting();
  const int pos = InsertPosition(slot->row);
  slot->index = pos;
  const bool notify = bulk_depth_ == 0;
  if (notify) emit rowsAboutToBeInserted(pos, pos);
  if (pos == size()) {
    const bool numbered = stale_from_ == rows_.size();
    rows_.push_back(slot);
    if (numbered) stale_from_ = rows_.size();
  } else {
    rows_.insert(rows_.begin() + pos, slot);
    MarkStale(pos);
  }
  IndexPath(slot);
  if (notify) emit rowsInserted(pos, pos);
  return pos;
}

void ReportList::RemoveRow(int index) {
  if (index < 0 || index >= size()) return;
  const bool notify = bulk_depth_ == 0;
  if (notify) emit rowsAboutToBeRemoved(index, index);
  UnindexPath(rows_[index]);
  delete rows_[index];
  rows_.erase(rows_.begin() + index);
  MarkStale(index);
  if (static_cast<size_t>(index) < bulk_start_) --bulk_start_;
  if (notify) emit rowsRemoved(index, index);
}

void ReportList::RemoveRows(QList<int> indexes) {
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  while (!indexes.isEmpty() && indexes.front() < 0) indexes.removeFirst();
  while (!indexes.isEmpty() && indexes.back() >= size()) indexes.removeLast();
  if (indexes.isEmpty()) return;
  if (indexes.back() - indexes.front() + 1 == indexes.size()) {
    // One run of rows: a plain range removal that views can follow.
    const int first = indexes.front(), last = indexes.back();
    const bool notify = bulk_depth_ == 0;
    if (notify) emit rowsAboutToBeRemoved(first, last);
    for (int i = first; i <= last; ++i) {
      UnindexPath(rows_[i]);
      delete rows_[i];
    }
    rows_.erase(rows_.begin() + first, rows_.begin() + last + 1);
    MarkStale(first);
    if (static_cast<size_t>(first) < bulk_start_) {
      bulk_start_ -= std::min(bulk_start_, static_cast<size_t>(last + 1)) - first;
    }
    if (notify) emit rowsRemoved(first, last);
    return;
  }
  BeginReset();
  size_t out = 0, next = 0, kept_before_bulk = 0;
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (next < static_cast<size_t>(indexes.size()) && static_cast<size_t>(indexes[next]) == i) {
      UnindexPath(rows_[i]);
      delete rows_[i];
      ++next;
      continue;
    }
    if (i < bulk_start_) ++kept_before_bulk;
    rows_[out++] = rows_[i];
  }
  rows_.resize(out);
  bulk_start_ = std::min(bulk_start_, kept_before_bulk);
  MarkStale(indexes.front());
  EndReset();
}

int ReportList::RemoveSelectedRows() {
  QList<int> selected = SelectedRows();
  RemoveRows(selected);
  return static_cast<int>(selected.size());
}

void ReportList::Clear() {
  BeginReset();
  std::vector<Slot*> old;
  old.swap(rows_);
  path_index_.clear();
  stale_from_ = 0;
  bulk_start_ = 0;
  EndReset();
  // Views no longer reach the old rows, so freeing them may pause.
  for (size_t i = 0; i < old.size(); ++i) {
    delete old[i];
    if (i % 256 == 255) Pause();
  }
}

void ReportList::NoteChanged(int index) {
  if (bulk_depth_ > 0) return;
  if (change_depth_ == 0) {
    emit rowsChanged(index, index);
  } else if (changed_first_ < 0) {
    changed_first_ = changed_last_ = index;
  } else {
    changed_first_ = std::min(changed_first_, index);
    changed_last_ = std::max(changed_last_, index);
  }
}

void ReportList::FlushChanges() {
  if (changed_first_ < 0) return;
  const int first = changed_first_, last = std::min(changed_last_, size() - 1);
  changed_first_ = changed_last_ = -1;
  if (first <= last) emit rowsChanged(first, last);
}

void ReportList::SetText(int index, const QString& text) {
  Slot* slot = rows_[index];
  UnindexPath(slot);
  slot->row.text = text;
  IndexPath(slot);
  NoteChanged(index);
}

void ReportList::SetTag(int index, const QString& tag) {
  Slot* slot = rows_[index];
  UnindexPath(slot);
  slot->row.tag = tag;
  IndexPath(slot);
  NoteChanged(index);
}

void ReportList::SetTooltip(int index, const QString& tooltip) {
  rows_[index]->row.tooltip = tooltip;
  NoteChanged(index);
}

void ReportList::SetColumnText(int index, int column, const QString& text) {
  if (column == 0) {
    SetText(index, text);
    return;
  }
  if (column < 0 || column >= column_count()) return;
  if (column == 1) rows_[index]->size_pending = false;
  QStringList& columns = rows_[index]->row.columns;
  while (columns.size() < column) columns << QString();
  columns[column - 1] = text;
  NoteChanged(index);
}

void ReportList::SetChecked(int index, bool checked) {
  if (rows_[index]->row.checked == checked) return;
  rows_[index]->row.checked = checked;
  NoteChanged(index);
}

void ReportList::SetSelected(int index, bool selected) {
  if (rows_[index]->row.selected == selected) return;
  rows_[index]->row.selected = selected;
  NoteChanged(index);
}

void ReportList::ClearSelection() {
  ChangeBatch changes(*this);
  for (int i = 0; i < size(); ++i) SetSelected(i, false);
}

void ReportList::SelectOnly(int index) {
  ClearSelection();
  if (index >= 0 && index < size()) SetSelected(index, true);
}

int ReportList::SelectedCount() const {
  return static_cast<int>(std::count_if(rows_.begin(), rows_.end(),
                                        [](const auto& slot) { return slot->row.selected; }));
}

int ReportList::FirstSelected() const {
  for (int i = 0; i < size(); ++i) {
    if (rows_[i]->row.selected) return i;
  }
  return -1;
}

QList<int> ReportList::SelectedRows() const {
  QList<int> selected;
  for (int i = 0; i < size(); ++i) {
    if (rows_[i]->row.selected) selected << i;
  }
  return selected;
}

void ReportList::SortByColumn(int column) {
  if (column < 0) return;
  BeginReset();
  sort_column_ = column;
  SortRange(0, rows_.size());
  MarkStale(0);
  bulk_start_ = rows_.size();
  EndReset();
}

int ReportList::IndexOfPath(const QString& path) const {
  EnsurePathIndex();
  Renumber();
  int best = -1;
  for (auto it = path_index_.constFind(path); it != path_index_.cend() && it.key() == path; ++it) {
    if (best < 0 || it.value()->index < best) best = it.value()->index;
  }
  return best;
}

QList<int> ReportList::IndexesOfPath(const QString& path) const {
  EnsurePathIndex();
  Renumber();
  QList<int> found;
  for (auto it = path_index_.constFind(path); it != path_index_.cend() && it.key() == path; ++it) {
    found << it.value()->index;
  }
  std::sort(found.begin(), found.end());
  return found;
}

void ReportList::BeginBulkAdd() {
  if (bulk_depth_++ > 0) return;
  emit modelAboutToBeReset();
  bulk_start_ = rows_.size();
}

void ReportList::EndBulkAdd() {
  if (bulk_depth_ == 0 || --bulk_depth_ > 0) return;
  if (keep_sorted_ && bulk_start_ < rows_.size()) {
    SortRange(bulk_start_, rows_.size());
    const int column = sort_column_;
    std::inplace_merge(rows_.begin(), rows_.begin() + bulk_start_, rows_.end(),
                       [column](const Slot* a, const Slot* b) {
                         return CompareListText(KeyText(a->row, column), KeyText(b->row, column)) <
                                0;
                       });
    MarkStale(0);
  }
  bulk_start_ = rows_.size();
  emit modelReset();
}

void PelloxID3v1Reader::ReadID3v1(const QString& path, ID3v1Tag* tag) {
  pellox_.ReadID3v1(path, tag);
}

ReportRow FileRow(const QString& path, bool prefix_dir) {
  ReportRow row;
  if (prefix_dir) {
    row.text = path;
    row.tooltip = FileNameOf(path);
  } else {
    row.text = FileNameOf(path);
    if (path.contains(u'/')) row.tag = FolderOf(path);
    row.tooltip = row.tag;
  }
  return row;
}

int AddFileRow(ReportList& list, const QString& path, const QString& ref_text, bool read_tag,
               const RowOptions& options, ID3v1Reader* reader, std::optional<qint64> known_size) {
  // A bare file name belongs to the main folder. Resolving it before the row is
  // built keeps "full path = tag + row text" true for such rows too.
  const bool has_folder = path.contains(u'/');
  const QString full = has_folder ? path : options.main_folder + path;
  const bool in_folder = full.contains(u'/');

  ReportRow row;
  if (options.prefix_dir || !in_folder) {
    row = FileRow(full, options.prefix_dir);
  } else {
    // Rows of one folder share its text.
    row.text = FileNameOf(full);
    row.tag = SharedFolderOf(full);
    row.tooltip = row.tag;
  }

  const int columns = list.column_count();
  if (columns >= 2 && known_size) row.columns << FormatFileSize(*known_size, options.size_unit);
  if (columns >= 3) {
    QString ref = ref_text;
    if (read_tag) {
      ref.clear();
      ID3v1Tag tag{};
      if (reader != nullptr) reader->ReadID3v1(full, &tag);
      if (tag.Exists == 1) {
        ref = CleanTagText(RecordText(tag.Artist)) + QStringLiteral(" - ") +
              CleanTagText(RecordText(tag.Title));
        ref.remove(QChar(u'\0'));
      }
    }
    if (!ref.isEmpty()) {
      if (row.columns.isEmpty()) row.columns << QString();
      row.columns << ref;
    }
  }
  if (columns >= 2 && !known_size)
    return list.AddRowWithFileSize(std::move(row), options.size_unit);
  return list.AddRow(std::move(row));
}

void ListMoveItem(ReportList& list, bool up, int column) {
  if (list.empty()) return;
  const int from = list.FirstSelected();
  if (from < 0) return;
  const int to = up ? from - 1 : from + 1;
  if (to < 0 || to >= list.size()) return;
  const ReportRow a = list.row(from);
  const ReportRow b = list.row(to);
  list.SetText(from, b.text);
  list.SetText(to, a.text);
  if (column == 0) {
    for (int c = 1; c < list.column_count(); ++c) {
      list.SetColumnText(from, c, b.ColumnText(c));
      list.SetColumnText(to, c, a.ColumnText(c));
    }
  } else {
    list.SetColumnText(from, column, b.ColumnText(column));
    list.SetColumnText(to, column, a.ColumnText(column));
  }
  list.SetTooltip(from, b.tooltip);
  list.SetTooltip(to, a.tooltip);
  list.SetTag(from, b.tag);
  list.SetTag(to, a.tag);
  list.SelectOnly(to);
}

void RemoveColumn(ReportList& list, const QString& header_text) {
  const int column = static_cast<int>(list.headers().indexOf(header_text));
  if (column > 0) list.RemoveColumnAt(column);
}

int ColumnIndex(const ReportList& list, const QString& header_text) {
  return std::max(0, static_cast<int>(list.headers().indexOf(header_text)));
}

void ClearList(ReportList& list) { list.Clear(); }

}  // namespace orlavo

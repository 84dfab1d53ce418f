// The one model of a report row and of a report list, shared by the main
// window's list and every tool list. Widgets display a ReportList through an
// item-model adapter; tools work on the ReportList itself.
#ifndef ORLAVO_APP_REPORT_LIST_H_
#define ORLAVO_APP_REPORT_LIST_H_

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "formats/records.h"

namespace orlavo {

class PelloxBinding;

// "In text order" as the lists sort: letter case is ignored, and the exact
// text breaks ties so that the order is total and stable between runs.
int CompareListText(const QString& a, const QString& b);

struct ReportRow {
  QString text = {};  // the first column
  // Hidden; the full path of a row is always tag + text.
  QString tag = {};
  QString tooltip = {};
  // The texts of the second and later columns: columns[0] is column 1.
  QStringList columns = {};
  bool checked = false;
  bool selected = false;

  QString FullPath() const { return tag + text; }
  // Column 0 is the row text; a column the row has no text for gives "".
  QString ColumnText(int column) const;
};

class ReportList : public QObject {
  Q_OBJECT

 public:
  // Every list but the file name editor's keeps its rows sorted.
  explicit ReportList(QStringList headers = {}, bool keep_sorted = true, QObject* parent = nullptr);
  ~ReportList() override;

  const QStringList& headers() const { return headers_; }
  int column_count() const { return static_cast<int>(headers_.size()); }
  void SetHeaders(const QStringList& headers);
  void AddColumn(const QString& header);
  // Drops column `column` (1 or more) from the headers and from every row.
  void RemoveColumnAt(int column);

  bool keep_sorted() const { return keep_sorted_; }
  // The column that sorted lists order new rows by (0, the row text, until a
  // header click picks another).
  int sort_column() const { return sort_column_; }

  int size() const { return static_cast<int>(rows_.size()); }
  bool empty() const { return rows_.empty(); }
  // May look up the row's file size first (see AddRowWithFileSize).
  const ReportRow& row(int index) const;
  // For a pass over many rows in order: asks the processor to fetch row
  // `index` (from its place in memory) and the texts of row `index - distance`
  // (whose row was fetched `distance` steps earlier), so that neither waits
  // on memory when its turn comes. A hint only; any index is allowed.
  void Prefetch(int index, int distance) const;
  QString FullPath(int index) const { return rows_[index]->row.FullPath(); }

  // Puts the row into place in a sorted list (behind rows of equal text), or
  // appends it. Returns its index.
  int AddRow(ReportRow row);
  // The same for a row whose second column is the size text (in size_unit) of
  // the file at its full path. The file is asked for its length when the row
  // is first read: a view reads only the rows it shows, and a scan of many
  // files then costs no file-system query per file. A file that cannot be
  // asked leaves the column empty.
  int AddRowWithFileSize(ReportRow row, const QString& size_unit);
  // Looks up the size of every row still waiting for one, a folder at a time:
  // one open of each folder, then one query per name in it, rather than a
  // walk down the whole path per file. For a caller that reads every row.
  // From parallel_from rows on, two threads share the folders.
  void ResolvePendingSizes(size_t parallel_from = 4096);
  void RemoveRow(int index);
  // Removes the rows at the given indexes (any order, duplicates allowed) in one pass.
  void RemoveRows(QList<int> indexes);
  // Returns the number of rows removed.
  int RemoveSelectedRows();
  void Clear();

  // Editing a row leaves it where it is, even in a sorted list; Resort() puts
  // every row into place again.
  void SetText(int index, const QString& text);
  void SetTag(int index, const QString& tag);
  void SetTooltip(int index, const QString& tooltip);
  // Column 0 sets the row text; a column beyond the headers is ignored.
  void SetColumnText(int index, int column, const QString& text);
  void SetChecked(int index, bool checked);
  void SetSelected(int index, bool selected);
  void ClearSelection();
  // Deselects every row, then selects this one.
  void SelectOnly(int index);
  // These read a row without looking up its size.
  bool IsSelected(int index) const { return rows_[index]->row.selected; }
  bool IsChecked(int index) const { return rows_[index]->row.checked; }
  int SelectedCount() const;
  // -1 when no row is selected.
  int FirstSelected() const;
  QList<int> SelectedRows() const;

  // Ascending by the column's text (0: the row text) in list text order; rows
  // of equal text keep their order. A sorted list keeps this order for the
  // rows added afterwards.
  void SortByColumn(int column);
  void Resort() { SortByColumn(sort_column_); }

  // The first row (lowest index) whose full path is exactly path, or -1.
  // Hashed: a lookup costs O(1) plus renumbering after removals.
  int IndexOfPath(const QString& path) const;
  // Every row with that full path, in list order.
  QList<int> IndexesOfPath(const QString& path) const;

  // Changes to rows (texts, check state, selection) made while a batch is
  // open are announced together, as one range, when it closes or flushes:
  // a view then updates once rather than once a row. The rows must keep
  // their places while changes wait; flush before letting events run.
  class ChangeBatch {
   public:
    explicit ChangeBatch(ReportList& list) : list_(list) { ++list_.change_depth_; }
    ~ChangeBatch() {
      if (--list_.change_depth_ == 0) list_.FlushChanges();
    }
    ChangeBatch(const ChangeBatch&) = delete;
    ChangeBatch& operator=(const ChangeBatch&) = delete;
    void Flush() { list_.FlushChanges(); }

   private:
    ReportList& list_;
  };

  // Many rows at once: rows added between BeginBulkAdd and EndBulkAdd are
  // appended and put in order once at the end. The whole bulk add is one
  // reset (modelAboutToBeReset at the beginning, modelReset at the end) with
  // no other notification between. Calls nest.
  void BeginBulkAdd();
  void EndBulkAdd();

  // Called now and then during long work on the rows (sorting a bulk add):
  // a window lets its events run there. Empty: no pauses. The rows must not
  // be changed from inside it.
  void SetPause(std::function<void()> pause) { pause_ = std::move(pause); }

 signals:
  void modelAboutToBeReset();
  void modelReset();
  void rowsAboutToBeInserted(int first, int last);
  void rowsInserted(int first, int last);
  void rowsAboutToBeRemoved(int first, int last);
  void rowsRemoved(int first, int last);
  // Texts, check state or selection of these rows changed.
  void rowsChanged(int first, int last);
  void headersChanged();

 private:
  struct Slot {
    ReportRow row;
    // Valid for slots before stale_from_.
    int index = 0;
    bool size_pending = false;
    // Into units_: a list holds a handful of units, a slot one byte.
    uint8_t size_unit = 0;
  };

  int Insert(Slot* slot);
  int InsertPosition(const ReportRow& row) const;
  void ResolveSize(Slot& slot) const;
  // A size of -1: the file could not be asked.
  void SetSize(Slot& slot, qint64 size) const;
  void ResolveSizesForSorting() const;
  bool RowLess(const ReportRow& a, const ReportRow& b) const;
  void SortRange(size_t first, size_t last);
  void Pause() const;
  void Renumber() const;
  void MarkStale(int from) const;
  void IndexPath(Slot* slot) const;
  void UnindexPath(Slot* slot) const;
  void EnsurePathIndex() const;
  void BeginReset();
  void EndReset();
  void NoteChanged(int index);
  void FlushChanges();

  QStringList headers_;
  bool keep_sorted_;
  int sort_column_ = 0;
  // Owned; plain pointers so that inserting in the middle moves only pointers.
  std::vector<Slot*> rows_;
  int bulk_depth_ = 0;
  size_t bulk_start_ = 0;
  int change_depth_ = 0;
  int changed_first_ = -1, changed_last_ = -1;  // waiting to be announced
  // Built on the first lookup and kept up to date after that.
  mutable bool path_index_built_ = false;
  mutable QMultiHash<QString, Slot*> path_index_;
  mutable size_t stale_from_ = 0;
  std::function<void()> pause_;
  std::vector<QString> units_;
};

// Keeps a ReportList in bulk mode for the lifetime of the object.
class BulkAdd {
 public:
  explicit BulkAdd(ReportList& list) : list_(list) { list_.BeginBulkAdd(); }
  ~BulkAdd() { list_.EndBulkAdd(); }
  BulkAdd(const BulkAdd&) = delete;
  BulkAdd& operator=(const BulkAdd&) = delete;

 private:
  ReportList& list_;
};

// The option values a row depends on; callers pass them from the live options.
struct RowOptions {
  bool prefix_dir = false;                      // "Prefix folderpath to filenames"
  QString size_unit = QStringLiteral("Bytes");  // "Bytes", "KB" or "MB"
  // The main folder (ending in "/"), for paths given without a folder.
  QString main_folder;
};

// Where AddFileRow reads a file's ID3v1 tag from.
class ID3v1Reader {
 public:
  virtual ~ID3v1Reader() = default;
  // Fills the tag; a file without tag, or one that cannot be read, gives Exists 0.
  virtual void ReadID3v1(const QString& path, ID3v1Tag* tag) = 0;
};

// Reads through the Pellox library.
class PelloxID3v1Reader : public ID3v1Reader {
 public:
  explicit PelloxID3v1Reader(PelloxBinding& pellox) : pellox_(pellox) {}
  void ReadID3v1(const QString& path, ID3v1Tag* tag) override;

 private:
  PelloxBinding& pellox_;
};

// The row of one file: its name (or, with prefix_dir, its whole path) as row
// text, the folder as hidden tag text and tooltip (or no tag and the name as
// tooltip), so that tag + text is always the full path.
ReportRow FileRow(const QString& path, bool prefix_dir);

// Adds one row for path: the file name (or, with prefix_dir, the full path) as
// row text, the size text in the second column and ref_text in the third
// where the list has those columns; with read_tag, the third column becomes
// "Artist - Title" from the file's ID3v1 tag, or "" when there is no tag (or
// no reader). A path without "/" is taken to be in options.main_folder.
// Without a known size the file's length is looked up when the row is first
// read (see AddRowWithFileSize). Returns the row's index.
int AddFileRow(ReportList& list, const QString& path, const QString& ref_text, bool read_tag,
               const RowOptions& options, ID3v1Reader* reader = nullptr,
               std::optional<qint64> known_size = std::nullopt);

// Exchanges the selected row with the one above (up) or below: the row texts,
// the column texts (all of them for column 0, else only column `column`), the
// tooltips and the tags; the selection follows the moved entry.
void ListMoveItem(ReportList& list, bool up, int column);
// Removes the first column whose header is exactly header_text. The first
// column, which holds the row text, is never removed.
void RemoveColumn(ReportList& list, const QString& header_text);
// The position (0 for the first column) of the first column whose header is
// exactly header_text; 0 when none is.
int ColumnIndex(const ReportList& list, const QString& header_text);
void ClearList(ReportList& list);

}  // namespace orlavo

#endif  // ORLAVO_APP_REPORT_LIST_H_

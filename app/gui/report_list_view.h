// Shows a ReportList in a table view (a flat list of rows lays out in constant
// time, whatever its length): columns, tooltips, check boxes, in-place
// editing of the row text, and a selection that stays in step with the rows'
// selected flags in both directions.
#ifndef ORLAVO_APP_GUI_REPORT_LIST_VIEW_H_
#define ORLAVO_APP_GUI_REPORT_LIST_VIEW_H_

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QTableView>
#include <climits>

#include "app/report_list.h"

namespace orlavo {

class ReportListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit ReportListModel(ReportList& list, QObject* parent = nullptr);

  ReportList& list() const { return list_; }
  void SetCheckable(bool on) { checkable_ = on; }
  void SetEditable(bool on) { editable_ = on; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  ReportList& list_;
  bool checkable_ = false;
  bool editable_ = false;
};

class ReportListView : public QTableView {
  Q_OBJECT

 public:
  explicit ReportListView(ReportList& list, QWidget* parent = nullptr);

  ReportList& list() const { return model_->list(); }
  ReportListModel* report_model() const { return model_; }

  // The column headers.
  QHeaderView* header() const { return horizontalHeader(); }
  // The row at the keyboard's current position, or -1.
  int CurrentRow() const;
  // Selects this row alone, makes it current and scrolls it into view.
  void SelectRow(int row);
  // True while a row text is being edited in place.
  bool Editing() const { return state() == QAbstractItemView::EditingState; }

 signals:
  // The person changed the selection (mouse or keyboard); not emitted when the
  // rows' selected flags were changed by the program.
  void selectionEdited();
  // A header was clicked: the list has been sorted by that column.
  void sortedByColumn(int column);

 protected:
  // Home and End go to the first and last row, as in any list (a table
  // view would go to the first and last column).
  QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

 private:
  // Copies the rows' selected flags into the view's selection.
  void PullSelection();
  // The same for the rows first to last, at the next turn of the event loop.
  void PullRows(int first, int last);

  ReportListModel* model_;
  bool syncing_ = false;
  bool pull_scheduled_ = false;
  int dirty_first_ = INT_MAX;
  int dirty_last_ = -1;
};

}  // namespace orlavo

#endif  // ORLAVO_APP_GUI_REPORT_LIST_VIEW_H_

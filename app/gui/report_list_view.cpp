#include "app/gui/report_list_view.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTimer>
#include <climits>

namespace orlavo {

ReportListModel::ReportListModel(ReportList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {
  connect(&list_, &ReportList::modelAboutToBeReset, this, [this] { beginResetModel(); });
  connect(&list_, &ReportList::modelReset, this, [this] { endResetModel(); });
  connect(&list_, &ReportList::rowsAboutToBeInserted, this,
          [this](int first, int last) { beginInsertRows({}, first, last); });
  connect(&list_, &ReportList::rowsInserted, this, [this] { endInsertRows(); });
  connect(&list_, &ReportList::rowsAboutToBeRemoved, this,
          [this](int first, int last) { beginRemoveRows({}, first, last); });
  connect(&list_, &ReportList::rowsRemoved, this, [this] { endRemoveRows(); });
  connect(&list_, &ReportList::rowsChanged, this, [this](int first, int last) {
    emit dataChanged(index(first, 0), index(last, std::max(0, columnCount() - 1)));
  });
  // A change of the columns is shown as a fresh model: the views then ask for
  // the new column count before anything else.
  connect(&list_, &ReportList::headersChanged, this, [this] {
    beginResetModel();
    endResetModel();
  });
}

int ReportListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : list_.size();
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : std::max(1, list_.column_count());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= list_.size()) return {};
  const ReportRow& row = list_.row(index.row());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return row.ColumnText(index.column());
    case Qt::ToolTipRole:
      return row.tooltip.isEmpty() ? QVariant() : QVariant(row.tooltip);
    case Qt::CheckStateRole:
      if (checkable_ && index.column() == 0) return row.checked ? Qt::Checked : Qt::Unchecked;
      return {};
    default:
      return {};
  }
}

bool ReportListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.row() >= list_.size()) return false;
  if (role == Qt::EditRole && editable_ && index.column() == 0) {
    list_.SetText(index.row(), value.toString());
    return true;
  }
  if (role == Qt::CheckStateRole && checkable_ && index.column() == 0) {
    list_.SetChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
  }
  return false;
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return section < list_.column_count() ? QVariant(list_.headers()[section]) : QVariant();
}

Qt::ItemFlags ReportListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (index.column() == 0) {
    if (checkable_) f |= Qt::ItemIsUserCheckable;
    if (editable_) f |= Qt::ItemIsEditable;
  }
  return f;
}

ReportListView::ReportListView(ReportList& list, QWidget* parent)
    : QTableView(parent), model_(new ReportListModel(list, this)) {
  setModel(model_);
  setShowGrid(false);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::EditKeyPressed);
  // Tab and Shift+Tab go to the next and previous control, as in every list
  // of a dialog; moving between cells would change the selected row.
  setTabKeyNavigation(false);
  // A list hidden while a long operation fills it keeps its room, so the
  // controls around it stay where they are.
  QSizePolicy policy = sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  setSizePolicy(policy);
  header()->setSectionsClickable(true);
  header()->setSortIndicatorShown(false);
  header()->setStretchLastSection(true);
  // Every click sorts ascending again, without regard to letter case.
  connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
    this->list().SortByColumn(column);
    emit sortedByColumn(column);
  });
  connect(model_, &QAbstractItemModel::modelReset, this, &ReportListView::PullSelection);
  connect(model_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& first, const QModelIndex& last) {
            if (!syncing_) PullRows(first.row(), last.row());
          });
  connect(model_, &QAbstractItemModel::rowsRemoved, this, &ReportListView::PullSelection);
}

int ReportListView::CurrentRow() const {
  QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

void ReportListView::SelectRow(int row) {
  if (row < 0 || row >= list().size()) return;
  list().SelectOnly(row);
  QModelIndex index = model_->index(row, 0);
  syncing_ = true;
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
  syncing_ = false;
  PullSelection();
  scrollTo(index);
}

void ReportListView::PullSelection() {
  if (syncing_ || selectionModel() == nullptr) return;
  syncing_ = true;
  QItemSelection selection;
  const ReportList& rows = list();
  const int last_column = model_->columnCount() - 1;
  int run_start = -1;
  for (int i = 0; i <= rows.size(); ++i) {
    // IsSelected leaves the rows' lazily read file sizes alone.
    bool on = i < rows.size() && rows.IsSelected(i);
    if (on && run_start < 0) run_start = i;
    if (!on && run_start >= 0) {
      selection.select(model_->index(run_start, 0), model_->index(i - 1, last_column));
      run_start = -1;
    }
  }
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  syncing_ = false;
}

void ReportListView::PullRows(int first, int last) {
  // Tools change rows one by one (a whole selection, thousands of names); the
  // view catches up once per turn of the event loop, over the rows touched.
  dirty_first_ = std::min(dirty_first_, first);
  dirty_last_ = std::max(dirty_last_, last);
  if (pull_scheduled_) return;
  pull_scheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    pull_scheduled_ = false;
    const int first_row = std::max(0, dirty_first_);
    const int last_row = std::min(dirty_last_, list().size() - 1);
    dirty_first_ = INT_MAX;
    dirty_last_ = -1;
    if (first_row > last_row || selectionModel() == nullptr) return;
    syncing_ = true;
    const int last_column = model_->columnCount() - 1;
    QItemSelection runs;
    int run_start = -1;
    for (int i = first_row; i <= last_row + 1; ++i) {
      const bool on = i <= last_row && list().IsSelected(i);
      if (on && run_start < 0) run_start = i;
      if (!on && run_start >= 0) {
        runs.select(model_->index(run_start, 0), model_->index(i - 1, last_column));
        run_start = -1;
      }
    }
    QItemSelectionModel* selection = selectionModel();
    selection->select(
        QItemSelection(model_->index(first_row, 0), model_->index(last_row, last_column)),
        QItemSelectionModel::Deselect);
    selection->select(runs, QItemSelectionModel::Select);
    syncing_ = false;
  });
}

QModelIndex ReportListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  if (action == MoveHome || action == MoveEnd) modifiers |= Qt::ControlModifier;
  return QTableView::moveCursor(action, modifiers);
}

void ReportListView::selectionChanged(const QItemSelection& selected,
                                      const QItemSelection& deselected) {
  QTableView::selectionChanged(selected, deselected);
  if (syncing_) return;
  syncing_ = true;
  for (const QModelIndex& index : deselected.indexes()) {
    if (index.column() == 0) list().SetSelected(index.row(), false);
  }
  for (const QModelIndex& index : selected.indexes()) {
    if (index.column() == 0) list().SetSelected(index.row(), true);
  }
  syncing_ = false;
  emit selectionEdited();
}

}  // namespace orlavo

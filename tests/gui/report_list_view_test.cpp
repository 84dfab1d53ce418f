#include "app/gui/report_list_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

namespace orlavo {
namespace {

ReportRow Row(const QString& text, const QString& tag = "/m/", const QString& size = "1 bytes") {
  ReportRow r;
  r.text = text;
  r.tag = tag;
  r.tooltip = tag;
  r.columns << size;
  return r;
}

QList<int> ViewRows(ReportListView& view) {
  QList<int> rows;
  for (const QModelIndex& i : view.selectionModel()->selectedRows()) rows << i.row();
  std::sort(rows.begin(), rows.end());
  return rows;
}

class ReportListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"b.mp3", "A.mp3", "c.mp3", "D.mp3"}) list_.AddRow(Row(name));
    view_.resize(400, 300);
    view_.show();
  }
  ReportList list_{{"Path", "Size", "Ref"}};
  ReportListView view_{list_};
};

TEST_F(ReportListViewTest, ShowsTheRowsTextsAndTooltips) {
  QAbstractItemModel* m = view_.model();
  ASSERT_EQ(m->rowCount(), 4);
  ASSERT_EQ(m->columnCount(), 3);
  EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "Size");
  EXPECT_EQ(m->index(0, 0).data().toString(), "A.mp3");  // kept in text order
  EXPECT_EQ(m->index(0, 1).data().toString(), "1 bytes");
  EXPECT_EQ(m->index(0, 2).data().toString(), "");
  EXPECT_EQ(m->index(0, 0).data(Qt::ToolTipRole).toString(), "/m/");
}

TEST_F(ReportListViewTest, SelectionFollowsTheListAndThePerson) {
  // The program selects: the view catches up at the next turn of events.
  list_.SetSelected(1, true);
  list_.SetSelected(3, true);
  QApplication::processEvents();
  EXPECT_EQ(ViewRows(view_), QList<int>({1, 3}));
  list_.ClearSelection();
  QApplication::processEvents();
  EXPECT_TRUE(ViewRows(view_).isEmpty());

  // The person selects: the rows follow at once and the view says so.
  QSignalSpy edited(&view_, &ReportListView::selectionEdited);
  view_.selectionModel()->select(view_.model()->index(2, 0),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
  EXPECT_TRUE(list_.IsSelected(2));
  EXPECT_EQ(list_.SelectedCount(), 1);
  EXPECT_GE(edited.count(), 1);

  view_.SelectRow(0);
  EXPECT_EQ(list_.SelectedRows(), QList<int>({0}));
  EXPECT_EQ(ViewRows(view_), QList<int>({0}));
  EXPECT_EQ(view_.CurrentRow(), 0);
}

TEST_F(ReportListViewTest, HeaderClickSortsAscendingWithoutRegardToCase) {
  list_.SetColumnText(0, 2, "zz");
  list_.SetColumnText(1, 2, "Yy");
  list_.SetColumnText(2, 2, "xx");
  list_.SetColumnText(3, 2, "WW");
  QSignalSpy sorted(&view_, &ReportListView::sortedByColumn);
  QTest::mouseClick(view_.header()->viewport(), Qt::LeftButton, {},
                    QPoint(view_.header()->sectionViewportPosition(2) + 5, 5));
  ASSERT_EQ(sorted.count(), 1);
  QStringList order;
  for (int i = 0; i < list_.size(); ++i) order << list_.row(i).ColumnText(2);
  EXPECT_EQ(order, QStringList({"WW", "xx", "Yy", "zz"}));
  // A second click sorts ascending again.
  QTest::mouseClick(view_.header()->viewport(), Qt::LeftButton, {},
                    QPoint(view_.header()->sectionViewportPosition(2) + 5, 5));
  EXPECT_EQ(list_.row(0).ColumnText(2), "WW");
}

TEST_F(ReportListViewTest, EditingAndCheckingReachTheRows) {
  ReportList editable({"Modified Name", "ID3v1 Tag", "Original Name"}, /*keep_sorted=*/false);
  editable.AddRow(Row("old.mp3"));
  ReportListView view(editable);
  view.report_model()->SetEditable(true);
  view.report_model()->SetCheckable(true);
  QAbstractItemModel* m = view.model();
  EXPECT_TRUE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
  EXPECT_FALSE(m->flags(m->index(0, 1)) & Qt::ItemIsEditable);
  EXPECT_TRUE(m->setData(m->index(0, 0), "new.mp3", Qt::EditRole));
  EXPECT_EQ(editable.row(0).text, "new.mp3");
  EXPECT_TRUE(m->setData(m->index(0, 0), Qt::Checked, Qt::CheckStateRole));
  EXPECT_TRUE(editable.IsChecked(0));
  EXPECT_FALSE(m->setData(m->index(0, 1), "x", Qt::EditRole));
}

}  // namespace
}  // namespace orlavo

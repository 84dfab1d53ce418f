#include "tools/gui/tool_pane.h"

#include <QBoxLayout>
#include <QKeyEvent>

#include "app/gui/report_list_view.h"

namespace orlavo {

QHBoxLayout* ToolPane::ListWithArrows(QWidget* list, QWidget* up, QWidget* down) {
  auto* row = new QHBoxLayout;
  row->addWidget(list, 1);
  auto* arrows = new QVBoxLayout;
  arrows->addStretch(1);
  arrows->addWidget(up);
  arrows->addWidget(down);
  arrows->addStretch(1);
  row->addLayout(arrows);
  return row;
}

void ToolPane::AttachList(ReportListView* view, ToolsStatus& status) {
  list_view_ = view;
  view->installEventFilter(this);
  connect(&status, &ToolsStatus::changed, this, [this, &status] {
    list_view_->setVisible(
        !(status.running_list() == &list_view_->list() && status.running_list_hidden()));
  });
}

bool ToolPane::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_view_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (KeysWait(key)) return true;
    if (key == Qt::Key_Delete) {
      RemoveSelectedRows();
      return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      // The Enter that ends an in-place edit (F2) belongs to the edit; it
      // reaches the list only because the edit box passes it on.
      if (list_view_->Editing()) return true;
      emit list_view_->doubleClicked(list_view_->currentIndex());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace orlavo

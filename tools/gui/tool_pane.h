// One tool's pane in the Advanced tools window.
#ifndef ORLAVO_TOOLS_GUI_TOOL_PANE_H_
#define ORLAVO_TOOLS_GUI_TOOL_PANE_H_

#include <QWidget>

class QHBoxLayout;

#include "app/settings.h"
#include "tools/advanced_tools.h"

namespace orlavo {

class ReportListView;

class ToolPane : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;
  virtual ToolCode code() const = 0;
  // The tool's own routine when its launcher is pressed.
  virtual void ShowTool() = 0;
  // What the tool leaves in Settings.ini when the window unloads.
  virtual void SaveKeys(ToolKeys& keys) const {}

 protected:
  // The pane's file list: hidden while a stoppable fill of it asks for that;
  // Delete removes the selected rows (RemoveSelectedRows), Enter opens the
  // current row as a double-click does.
  void AttachList(ReportListView* view, ToolsStatus& status);
  virtual void RemoveSelectedRows() = 0;
  // A row holding the list, stretched, with its up and down arrows beside it.
  static QHBoxLayout* ListWithArrows(QWidget* list, QWidget* up, QWidget* down);
  // True while the list's keys must wait (the key is passed in).
  virtual bool KeysWait(int key) const { return false; }
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  ReportListView* list_view_ = nullptr;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_GUI_TOOL_PANE_H_

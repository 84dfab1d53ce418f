// One tool's pane in the Advanced tools window.
#ifndef ORLAVO_TOOLS_GUI_TOOL_PANE_H_
#define ORLAVO_TOOLS_GUI_TOOL_PANE_H_

#include <QWidget>

#include "app/settings.h"
#include "tools/advanced_tools.h"

namespace orlavo {

class ToolPane : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;
  virtual ToolCode code() const = 0;
  // The tool's own routine when its launcher is pressed.
  virtual void ShowTool() = 0;
  // What the tool leaves in Settings.ini when the window unloads.
  virtual void SaveKeys(ToolKeys& keys) const {}
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_GUI_TOOL_PANE_H_

// Connects the main window's "Advanced Tools" button to the Advanced tools
// window and its panes.
#ifndef ORLAVO_TOOLS_GUI_TOOLS_LAUNCHER_H_
#define ORLAVO_TOOLS_GUI_TOOLS_LAUNCHER_H_

#include "app/gui/main_window.h"
#include "tools/gui/advanced_tools_window.h"

namespace orlavo {

// The panes of the tools built so far; the others show the placeholder.
ToolPane* MakeToolPane(ToolCode code, const ToolContext& context, MainWindow* main_window,
                       QWidget* parent);

// The button opens the window (one at a time; a second press raises it).
void InstallAdvancedTools(MainWindow& main_window, PelloxBinding& pellox);

// The window the button opened last, while it is open.
AdvancedToolsWindow* OpenAdvancedToolsWindow();

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_GUI_TOOLS_LAUNCHER_H_

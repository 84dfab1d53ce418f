// The Advanced tools window: the launchers on the left, one tool pane at a
// time on the right, the shared status area and the exit button below.
#ifndef ORLAVO_TOOLS_GUI_ADVANCED_TOOLS_WINDOW_H_
#define ORLAVO_TOOLS_GUI_ADVANCED_TOOLS_WINDOW_H_

#include <QLabel>
#include <QMap>
#include <QProgressBar>
#include <QStackedWidget>
#include <QWidget>
#include <functional>

#include "app/desktop.h"
#include "app/settings.h"
#include "tools/advanced_tools.h"
#include "ui/button_set.h"
#include "ui/window_chrome.h"

namespace orlavo {

class CommandButton;
class PelloxBinding;
class ToolPane;

class AdvancedToolsWindow : public QWidget {
  Q_OBJECT

 public:
  struct Services {
    QString program_folder;
    Desktop& desktop;
    PelloxBinding& pellox;
    Options& options;
    // The main window, which this window may hide and show.
    QWidget* main_window = nullptr;
    // Opens the Options dialog.
    std::function<void()> open_options;
    // Opens the About window (the window menu's "About").
    std::function<void()> open_about;
    // The folder of libmevrit.so; empty: program_folder.
    QString library_folder;
  };
  // Makes the panes of the tools that have one; the others show the
  // placeholder. Panes are made by the factory the program registers.
  using PaneFactory = std::function<ToolPane*(ToolCode, const ToolContext&, QWidget* parent)>;

  AdvancedToolsWindow(Services services, PaneFactory factory, QWidget* parent = nullptr);
  ~AdvancedToolsWindow() override;

  // Loading: the caption, then the launcher of the tool used last.
  void Load();
  // A launcher: show that tool's pane (or the placeholder), run its show
  // routine and mark the launcher.
  void Launch(ToolCode code);
  ToolCode open_tool() const { return open_tool_; }
  ToolPane* pane(ToolCode code) const { return panes_.value(code, nullptr); }
  bool placeholder_shown() const;

  CommandButton* launcher(ToolCode code) const { return launchers_.value(code, nullptr); }
  CommandButton* exit_button() const { return exit_; }
  CommandButton* main_window_button() const { return main_window_button_; }
  QLabel* status_label() const { return status_label_; }
  QLabel* percent_label() const { return percent_label_; }
  WindowChrome* chrome() const { return chrome_; }
  ToolsStatus& status() { return status_; }
  const ToolContext& context() const { return context_; }

  // The exit button: "Close" closes, "Stop" stops the running operation.
  void PressExit();
  void ToggleMainWindow();
  void OpenFilesFolder();
  // The window became active: remember the tool, clear StopRequested, and
  // offer a reload when the main folder has changed.
  void Activated();

 signals:
  // The person chose to reload after a change of the main folder: the
  // program closes this window and opens a new one.
  void reloadRequested();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void RefreshStatus();
  void SetLaunchersEnabled(bool enabled);
  void MarkLauncher(ToolCode code);

  Services services_;
  Settings settings_;
  ToolsStatus status_;
  ToolContext context_;
  PaneFactory factory_;
  ToolCode open_tool_ = ToolCode::kNone;

  QMap<ToolCode, CommandButton*> launchers_;
  QMap<ToolCode, ToolPane*> panes_;
  QStackedWidget* stack_;
  QLabel* placeholder_;
  QLabel* pane_caption_;
  QLabel* status_label_;
  QProgressBar* bar_;
  QLabel* percent_label_;
  CommandButton* exit_;
  CommandButton* options_;
  CommandButton* main_window_button_;
  CommandButton* files_folder_;
  ButtonSet buttons_;
  WindowChrome* chrome_ = nullptr;
  bool closing_ = false;
  bool deletion_held_ = false;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_GUI_ADVANCED_TOOLS_WINDOW_H_

// The Advanced tools window without its widgets: the table of the seven tools,
// the tool that was open last, the keys the window saves when it unloads, and
// the shared status area with the stop convention every long tool operation
// follows.
#ifndef ORLAVO_TOOLS_ADVANCED_TOOLS_H_
#define ORLAVO_TOOLS_ADVANCED_TOOLS_H_

#include <QObject>
#include <QPointer>
#include <QString>
#include <array>

#include "app/desktop.h"
#include "app/report_list.h"
#include "app/settings.h"

namespace orlavo {

class PelloxBinding;
struct Options;

inline constexpr char kSelectToolPlaceholder[] = "Select a tool to the left";
inline constexpr char kExitCaptionClose[] = "Close";
inline constexpr char kExitCaptionStop[] = "Stop";
inline constexpr char kExitTooltip[] = "Exit Advanced Tools";
inline constexpr char kStatusCaption[] = "Status";
inline constexpr char kStatusTooltip[] = "Progress is shown here";
inline constexpr char kOptionsTooltip[] = "Launch Options";
inline constexpr char kHideMainWindow[] = "Hide main window";
inline constexpr char kShowMainWindow[] = "Show main window";
inline constexpr char kOpenFilesFolder[] = "Open Files folder";
inline constexpr char kOpenFilesFolderTooltip[] = "Show file output folder";
// Shown in the progress caption while a tool collects the files of the folder.
inline constexpr char kWorkingPleaseWait[] = "Working...Please Wait...";

struct ToolInfo {
  ToolCode code;
  const char* pane_caption;
  const char* launcher_caption;
  const char* launcher_tooltip;  // "" where the launcher has none
};

// The seven tools by code (1 to 7).
const std::array<ToolInfo, 7>& AdvancedTools();
// nullptr for kNone.
const ToolInfo* FindTool(ToolCode code);

// The tool whose launcher the window runs when it loads: the stored LastUsed
// when it is a code from 1 to 7, else kNone (the placeholder shows).
ToolCode ToolToOpen(const Settings& settings);
void WriteLastUsed(const Settings& settings, ToolCode code);

// The code of the visible pane: where (through some fault) several are
// visible, the last in the order Duplicates, Joiner, Sorter, Splitter, File
// name Editor, List Generator, Encoder wins; kNone when none is.
template <typename IsVisible>
ToolCode VisibleTool(IsVisible is_visible) {
  constexpr ToolCode kOrder[] = {
      ToolCode::kDuplicates,     ToolCode::kJoiner,        ToolCode::kSorter, ToolCode::kSplitter,
      ToolCode::kFileNameEditor, ToolCode::kListGenerator, ToolCode::kEncoder};
  ToolCode visible = ToolCode::kNone;
  for (ToolCode code : kOrder) {
    if (is_visible(code)) visible = code;
  }
  return visible;
}

// Activating the window: remembers the open tool and clears StopRequested.
void OnToolsWindowActivated(const Settings& settings, ToolCode visible);
// Closing it: remembers the open tool and sets StopRequested, so that a
// running loop ends at its next test.
void OnToolsWindowClosing(const Settings& settings, ToolCode visible);

// What the tools leave in Settings.ini when the window unloads.
struct ToolKeys {
  QString sort_root_path;    // the sorter's root path
  QString list_gen_syntax;   // the list generator's line pattern
  QString split_source;      // the splitter's source file
  QString split_result_dir;  // the splitter's destination folder
};
// Writes SortRootPath, MP3ListGenSyntax, SplitSFile and SplitRDir. False when
// a write failed.
bool SaveToolKeys(const Settings& settings, const ToolKeys& keys);

// The Files folder of the program folder (ending in "/"), which "Open Files
// folder" opens.
QString FilesFolder(const QString& program_folder);

// Enter or a double click on a tool list's row: the file, or its folder, as
// "When file is double clicked:" says.
void OpenFileOrFolder(Desktop& desktop, const Options& options, const QString& full_path);

// The caption of "Hide main window" / "Show main window" after a click.
QString ToggledMainWindowCaption(const QString& caption);

// The shared status area (status line, bar, percentage label) and the exit
// button's caption. Tools report their progress here; the window shows what
// it holds and refreshes on changed(). A view, when set, gets every progress
// update as well.
class ToolsStatus : public QObject, public ProgressDisplay {
  Q_OBJECT

 public:
  explicit ToolsStatus(QObject* parent = nullptr);

  void SetCaption(const QString& text) override;
  void SetBar(qint64 current, qint64 total) override;
  void SetPercent(const QString& text) override;

  const QString& status_text() const { return status_text_; }
  qint64 bar_current() const { return bar_current_; }
  qint64 bar_total() const { return bar_total_; }
  const QString& percent_text() const { return percent_text_; }
  QString exit_caption() const;
  bool stoppable_running() const { return stoppable_; }
  // True while any operation runs, stoppable or not; the window must outlive
  // the panes' loops, so it holds back its deletion until this turns false.
  bool run_active() const { return runs_ > 0 || stoppable_; }
  // An operation that runs to its end once started (join, Create Tracks,
  // encode) begins or ends; see ToolRun.
  void BeginRun();
  void EndRun();
  // The list a stoppable operation is filling (null when none), and whether
  // it is hidden while it fills ("Render report list invisible").
  ReportList* running_list() const { return running_list_; }
  bool running_list_hidden() const { return running_list_ != nullptr && list_hidden_; }

  // A stoppable operation starts: the exit button reads "Stop". list may be
  // null; hide_list asks the window to hide it until the operation ends.
  void BeginStoppable(ReportList* list, bool hide_list);
  // "Reset progress": caption "Close", bar cleared, status line emptied,
  // percentage "0%"; the running list is shown again and forgotten.
  void ResetProgress();

  enum class ExitAction { kCloseWindow, kStopped };
  // The exit button. While it reads "Stop": StopRequested is set, the status
  // area is reset, the running list emptied and the caption reads "Close".
  // Otherwise the window is to be closed.
  ExitAction PressExit();

  void set_view(ProgressDisplay* view) { view_ = view; }

 signals:
  void changed();

 private:
  QString status_text_;
  qint64 bar_current_ = 0;
  qint64 bar_total_ = 0;
  QString percent_text_ = QStringLiteral("0%");
  bool stoppable_ = false;
  int runs_ = 0;
  bool list_hidden_ = false;
  QPointer<ReportList> running_list_;
  ProgressDisplay* view_ = nullptr;
};

// What every tool works with: the person and the desktop, the window's status
// area, the Pellox library, the live options (main folder, sub-folders, prefix,
// size unit, ...) and the program folder (Settings.ini, Files/).
struct ToolContext {
  Desktop& desktop;
  ToolsStatus& status;
  PelloxBinding& pellox;
  const Options& options;
  QString program_folder;
  // Where libmevrit.so is when it is not in program_folder (an installed
  // program keeps its files in the user's data folder).
  QString library_folder = QString();
};

// Marks a stoppable operation for its lifetime: BeginStoppable on creation,
// ResetProgress when it goes out of scope, however the operation ends. It
// counts as a run until then as well: Stop turns the button back to "Close"
// while the loop is still inside its event turn, and a Close pressed then
// must not take the window down under the loop.
class StoppableRun {
 public:
  StoppableRun(ToolsStatus& status, ReportList* list, bool hide_list) : status_(status) {
    status_.BeginRun();
    status_.BeginStoppable(list, hide_list);
  }
  ~StoppableRun() {
    status_.ResetProgress();
    status_.EndRun();
  }
  StoppableRun(const StoppableRun&) = delete;
  StoppableRun& operator=(const StoppableRun&) = delete;

 private:
  ToolsStatus& status_;
};

// Marks an operation that runs to its end once started, for its lifetime.
class ToolRun {
 public:
  explicit ToolRun(ToolsStatus& status) : status_(status) { status_.BeginRun(); }
  ~ToolRun() { status_.EndRun(); }
  ToolRun(const ToolRun&) = delete;
  ToolRun& operator=(const ToolRun&) = delete;

 private:
  ToolsStatus& status_;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_ADVANCED_TOOLS_H_

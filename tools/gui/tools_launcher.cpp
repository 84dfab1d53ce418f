#include "tools/gui/tools_launcher.h"

#include <QPointer>
#include <QTimer>

#include "tools/dupes/gui/duplicates_locator_pane.h"
#include "tools/editor/gui/file_name_editor_pane.h"
#include "tools/encoder/gui/encoder_pane.h"
#include "tools/joiner/gui/joiner_pane.h"
#include "tools/listgen/gui/list_generator_pane.h"
#include "tools/splitter/gui/splitter_pane.h"
#include "tools/sorter/gui/mp3_sorter_pane.h"

namespace orlavo {
namespace {

QPointer<AdvancedToolsWindow>& OpenWindow() {
  static QPointer<AdvancedToolsWindow> window;
  return window;
}

void Open(MainWindow* main_window, PelloxBinding* pellox) {
  QPointer<AdvancedToolsWindow>& window = OpenWindow();
  if (window) {
    window->show();
    window->raise();
    window->activateWindow();
    return;
  }
  AdvancedToolsWindow::Services services{
      main_window->program_folder(),
      main_window->desktop(),
      *pellox,
      LiveOptions(),
      main_window,
      [main_window] { main_window->OpenOptions(); },
      [main_window] { main_window->chrome()->MenuCommand(WindowChrome::kAbout); },
      main_window->install_folder()};
  window = new AdvancedToolsWindow(
      services, [main_window](ToolCode code, const ToolContext& context, QWidget* parent) {
        return MakeToolPane(code, context, main_window, parent);
      });
  window->setAttribute(Qt::WA_DeleteOnClose);
  main_window->AddOwnedWindow(window);
  // "Path has been changed, update?" answered Yes: start over on the new folder.
  QObject::connect(
      window, &AdvancedToolsWindow::reloadRequested, main_window, [main_window, pellox] {
        if (OpenWindow()) OpenWindow()->close();
        QTimer::singleShot(0, main_window, [main_window, pellox] { Open(main_window, pellox); });
      });
  window->show();
  window->Load();
}

}  // namespace

ToolPane* MakeToolPane(ToolCode code, const ToolContext& context, MainWindow* main_window,
                       QWidget* parent) {
  switch (code) {
    case ToolCode::kFileNameEditor:
      return new FileNameEditorPane(context, main_window, parent);
    case ToolCode::kListGenerator:
      return new ListGeneratorPane(context, parent);
    case ToolCode::kEncoder:
      return new EncoderPane(context, parent);
    case ToolCode::kSplitter:
      return new SplitterPane(context, parent);
    case ToolCode::kJoiner:
      return new JoinerPane(context, parent);
    case ToolCode::kDuplicates:
      return new DuplicatesLocatorPane(context, main_window, parent);
    case ToolCode::kSorter:
      return new Mp3SorterPane(context, parent);
    default:
      return nullptr;
  }
}

void InstallAdvancedTools(MainWindow& main_window, PelloxBinding& pellox) {
  MainWindow* main = &main_window;
  PelloxBinding* library = &pellox;
  main_window.SetAdvancedToolsOpener([main, library] { Open(main, library); });
}

AdvancedToolsWindow* OpenAdvancedToolsWindow() { return OpenWindow(); }

}  // namespace orlavo

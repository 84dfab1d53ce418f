// "Do it!" (add at the end with a running number) on 20,000 selected rows in
// the file name editor's pane (offscreen, the list shown) against the headless
// editor on the same files in the same run: the window's overhead.
#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "app/gui/report_list_view.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "tests/support/bench_floor.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/mp3_bytes.h"
#include "tools/editor/gui/file_name_editor_pane.h"
#include "ui/command_button.h"
#include "ui/control_style.h"

using namespace orlavo;

namespace {

void Prepare(FileNameEditor& editor) {
  editor.SelectAll();
  editor.RestoreOriginalNames();
  EditorInputs& in = editor.inputs();
  in.mode = EditMode::kAdd;
  in.position = AddPosition::kEnd;
  in.main_text = QStringLiteral(" varX");
  in.variable_on = true;
  in.var_value = QStringLiteral("1");
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  orlavo::InstallControlStyle();  // as the program does
  constexpr int kFiles = 20000;
  QTemporaryDir music, program;
  const QByteArray bytes = testing::Mp3FileBytes({.id3v1 = true, .title = "T", .artist = "A"});
  for (int i = 0; i < kFiles; ++i) {
    testing::WriteBytes(music.path() + QStringLiteral("/Track %1.mp3").arg(i, 5, 10, QChar(u'0')),
                        bytes);
  }
  PelloxBinding pellox(QStringLiteral(ORLAVO_BIN_DIR));
  Options options;
  options.main_folder = music.path() + u'/';
  options.show_current_file = false;
  testing::FakeDesktop desktop;
  ToolsStatus status;
  const ToolContext context{desktop, status, pellox, options, program.path() + u'/'};

  FileNameEditor headless(context);
  headless.Fill();
  FileNameEditorPane pane(context, nullptr, nullptr);
  pane.resize(900, 600);
  pane.show();
  pane.ShowTool();
  QApplication::processEvents();

  double best_headless = 1e9, best_window = 1e9;
  for (int round = 0; round < 3; ++round) {
    Prepare(headless);
    best_headless = std::min(best_headless, testing::TimeSeconds([&] { headless.DoIt(); }));
    Prepare(pane.editor());
    pane.RefreshControls();
    best_window = std::min(best_window, testing::TimeSeconds([&] {
                             pane.button(QStringLiteral("Do it!"))->PerformClick();
                             QApplication::processEvents();
                           }));
  }
  const bool same =
      pane.editor().list().row(kFiles - 1).text == headless.list().row(kFiles - 1).text;
  std::printf("rows: %d, last row \"%s\"\n", kFiles,
              qPrintable(pane.editor().list().row(kFiles - 1).text));
  std::printf("headless Do it!: %.1f ms\n", best_headless * 1e3);
  std::printf("pane Do it!: %.1f ms\n", best_window * 1e3);
  std::printf("editor-window-doit: %.2fx of headless (target <= 2x)\n",
              best_window / best_headless);
  return same ? 0 : 1;
}

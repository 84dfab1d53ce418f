// "Show files" on 50,000 files in 1,000 folders in the main window (offscreen)
// against the headless scan of the same tree in the same run.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>

#include "app/gui/main_window.h"
#include "app/gui/report_list_view.h"
#include "app/pellox_binding.h"
#include "app/scan.h"
#include "app/settings.h"
#include "tests/support/fake_desktop.h"
#include "ui/control_style.h"

using namespace orlavo;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  orlavo::InstallControlStyle();  // as the program does
  constexpr int kFolders = 1000, kPerFolder = 50;
  QTemporaryDir music, program;
  const QString root = music.path() + "/";
  for (int f = 0; f < kFolders; ++f) {
    const QString folder = root + QStringLiteral("Artist %1/Album %2/").arg(f / 20).arg(f);
    QDir().mkpath(folder);
    for (int i = 0; i < kPerFolder; ++i) {
      QFile file(folder + QStringLiteral("%1 - Track %2.mp3").arg(f).arg(i));
      file.open(QIODevice::WriteOnly);
      file.write("\xFF\xFB\x90\x44");
    }
  }
  QFile::copy(ORLAVO_BIN_DIR "/libpellox.so", program.path() + "/libpellox.so");

  ScanSetup setup;
  setup.program_folder = program.path() + "/";
  setup.main_folder = root;
  setup.include_sub_directories = true;
  setup.no_warning = true;

  testing::FakeDesktop desktop;
  PelloxBinding pellox(program.path());
  MainWindow window(program.path(), desktop, pellox);
  LiveOptions().include_sub_directories = true;
  LiveOptions().no_warning = true;
  window.folder_box()->setText(root);
  window.show();
  QApplication::processEvents();

  auto time = [](auto&& f) {
    auto t0 = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - t0).count();
  };
  double best_headless = 1e9, best_window = 1e9;
  int rows_headless = 0, rows_window = 0;
  for (int round = 0; round < 3; ++round) {
    ReportList list(MainListHeaders());
    best_headless = std::min(best_headless, time([&] { orlavo::ShowFiles(list, setup, desktop); }));
    rows_headless = list.size();
    best_window = std::min(best_window, time([&] {
                             window.ShowFiles();
                             QApplication::processEvents();
                           }));
    rows_window = window.list().size();
  }
  std::printf("rows: headless %d, window %d\n", rows_headless, rows_window);
  std::printf("headless scan: %.1f ms\n", best_headless * 1e3);
  std::printf("window Show files: %.1f ms\n", best_window * 1e3);
  std::printf("window-show-files: %.2fx of headless scan (target <= 2x)\n",
              best_window / best_headless);
  return rows_headless == rows_window && rows_window == kFolders * kPerFolder ? 0 : 1;
}

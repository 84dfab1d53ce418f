// The main window's "Show files" on the million-file tree of scale_bench
// (offscreen): its time against the headless scan in the same run, the
// process's peak memory, the longest stall of the event loop while the list
// is scrolled from top to bottom, the longest wait between two turns of the
// event loop during a scan (the window shows its progress then), and how
// long a scan takes to end after a stop.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/flags.h"
#include "app/gui/main_window.h"
#include "app/gui/memory_tuning.h"
#include "app/gui/qt_desktop.h"
#include "app/gui/report_list_view.h"
#include "app/pellox_binding.h"
#include "app/scan.h"
#include "app/settings.h"
#include "bench/scale_tree.h"
#include "tests/support/bench_floor.h"
#include "ui/control_style.h"

using namespace orlavo;

namespace {

double PeakMb() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  // As the windowed program starts.
  orlavo::MergeFreedMemoryAtOnce();
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  orlavo::InstallControlStyle();  // as the program does
  const std::string root_path = bench::ScaleTreeRoot();
  if (!bench::EnsureScaleTree(root_path)) return 1;
  const QString root = QString::fromStdString(root_path) + "/";
  QTemporaryDir program;
  QFile::copy(ORLAVO_BIN_DIR "/libpellox.so", program.path() + "/libpellox.so");

  // The program's own desktop: its events really run during a scan.
  QtDesktop desktop;
  PelloxBinding pellox(program.path());
  MainWindow window(program.path(), desktop, pellox);
  LiveOptions().include_sub_directories = true;
  LiveOptions().no_warning = true;
  window.folder_box()->setText(root);
  window.resize(1000, 700);
  window.show();
  QApplication::processEvents();

  testing::RunChild({"find", QFile::encodeName(root), "-name", "*.mp3"});  // warms the cache
  // The window first, so that the peak is the window's.
  const double window_s = testing::TimeSeconds([&] {
    window.ShowFiles();
    QApplication::processEvents();
  });
  const double window_mb = PeakMb();
  const int rows = window.list().size();

  // Scrolling: each step moves the list and paints it, as a drag of the
  // scroll bar does.
  ReportListView* view = window.list_view();
  QScrollBar* bar = view->verticalScrollBar();
  double longest_scroll = 0;
  constexpr int kSteps = 400;
  for (int step = 0; step <= kSteps; ++step) {
    const double t = testing::TimeSeconds([&] {
      bar->setValue(static_cast<int>(static_cast<qint64>(bar->maximum()) * step / kSteps));
      view->viewport()->repaint();
      QApplication::processEvents();
    });
    longest_scroll = std::max(longest_scroll, t);
  }

  // A scan with a ticking timer: the longest gap between ticks is the
  // longest the window goes without running its events (and so without
  // showing progress). A stop is asked for partway.
  QElapsedTimer clock;
  qint64 last_tick = 0, longest_gap = 0, stop_at = -1;
  QTimer ticker;
  ticker.setInterval(5);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    longest_gap = std::max(longest_gap, now - last_tick);
    last_tick = now;
  });
  clock.start();
  ticker.start();
  window.ShowFiles();
  ticker.stop();
  longest_gap = std::max(longest_gap, clock.elapsed() - last_tick);
  const qint64 full_scan_ms = clock.elapsed();

  QTimer stopper;
  stopper.setSingleShot(true);
  QObject::connect(&stopper, &QTimer::timeout, [&] {
    stop_at = clock.elapsed();
    StopRequested = true;  // as closing the window does
  });
  clock.restart();
  stopper.start(static_cast<int>(full_scan_ms / 2));
  window.ShowFiles();
  const qint64 stop_ms = stop_at < 0 ? -1 : clock.elapsed() - stop_at;

  std::vector<double> headless;
  for (int round = 0; round < 3; ++round) {
    ReportList list(MainListHeaders());
    ScanSetup setup;
    setup.program_folder = program.path() + "/";
    setup.main_folder = root;
    setup.include_sub_directories = true;
    setup.no_warning = true;
    headless.push_back(testing::TimeSeconds([&] { orlavo::ShowFiles(list, setup, desktop); }));
  }
  const double headless_s = testing::Median(headless);

  std::printf("rows: %d; window Show files %.2f s, headless scan %.2f s (median of 3)\n", rows,
              window_s, headless_s);
  std::printf(
      "window peak %.0f MB; longest scroll step %.1f ms; longest event gap %lld ms "
      "during a %lld ms scan; scan ended %lld ms after the stop\n",
      window_mb, longest_scroll * 1e3, static_cast<long long>(longest_gap),
      static_cast<long long>(full_scan_ms), static_cast<long long>(stop_ms));
  std::printf("scale-window-show-files: %.2fx of headless scan (target <= 2x)\n",
              window_s / headless_s);
  std::printf("scale-window-memory: %.2fx of 600 MB (target <= 1x)\n", window_mb / 600.0);
  std::printf("scale-scroll-stall: %.2fx of 50 ms (target <= 1x)\n", longest_scroll * 1e3 / 50.0);
  std::printf("scale-progress-interval: %.2fx of 100 ms (target <= 1x)\n", longest_gap / 100.0);
  std::printf("scale-stop: %.2fx of 200 ms (target <= 1x)\n", stop_ms / 200.0);
  return rows == bench::kScaleFiles ? 0 : 1;
}

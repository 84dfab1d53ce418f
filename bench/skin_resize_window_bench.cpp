// The main window repainted at 100 successive sizes with the Standard skin
// (the plain frame while the size changes, then the full skin and a
// repaint), against the same window painting itself without a skin.
// ORLAVO_SKIN_BENCH_ROUNDS sets the rounds (15). Under
// valgrind --tool=callgrind with one round, the inclusive instruction counts
// of PaintSkinned and PaintUnskinned give a ratio that load does not move.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/gui/main_window.h"
#include "app/pellox_binding.h"
#include "tests/support/bench_floor.h"
#include "tests/support/fake_desktop.h"
#include "ui/control_style.h"
#include "ui/window_chrome.h"

using namespace orlavo;

namespace {

constexpr int kFrames = 100;

QSize FrameSize(int i) { return QSize(900 + 3 * i, 600 + 2 * i); }

struct Timing {
  double total = 0;  // resize, skin and repaint of every size
  double skin = 0;   // the skin's own work: re-layout, frame picture, outline
  double paint = 0;  // the repaint of the window and its controls
};

Timing PaintAllSizes(MainWindow& window, bool skinned) {
  Timing t;
  t.total = testing::TimeSeconds([&] {
    for (int i = 0; i < kFrames; ++i) {
      window.resize(FrameSize(i));
      if (skinned) t.skin += testing::TimeSeconds([&] { window.chrome()->ApplyLayout(false); });
      t.paint += testing::TimeSeconds([&] { window.repaint(); });
    }
  });
  return t;
}

// Apart, so that an instruction count (valgrind --tool=callgrind, which load
// does not disturb) shows each way's inclusive cost under its own name.
[[gnu::noinline]] Timing PaintSkinned(MainWindow& window) { return PaintAllSizes(window, true); }
[[gnu::noinline]] Timing PaintUnskinned(MainWindow& window) { return PaintAllSizes(window, false); }

}  // namespace

// The offscreen platform cannot cut window outlines and says so each time.
void QuietAboutMasks(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (text.contains(QLatin1String("window masks"))) return;
  std::fprintf(stderr, "%s\n", qPrintable(text));
  if (type == QtFatalMsg) std::abort();
}

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietAboutMasks);
  QApplication app(argc, argv);
  InstallControlStyle();  // as the program does
  QTemporaryDir program;
  // The shipped artwork, as the build copies it beside the program.
  const QString visuals = QStringLiteral(ORLAVO_BIN_DIR) + QStringLiteral("/Visuals");
  if (!QDir(visuals + QStringLiteral("/Skins/Standard")).exists()) {
    std::fprintf(stderr, "no skin at %s\n", qPrintable(visuals));
    return 1;
  }
  testing::FakeDesktop desktop;
  PelloxBinding pellox(QStringLiteral(ORLAVO_BIN_DIR));
  MainWindow window(QStringLiteral(ORLAVO_BIN_DIR), desktop, pellox);
  window.show();
  QApplication::processEvents();
  if (!window.chrome()->skin().loaded()) {
    std::fprintf(stderr, "skin not loaded: %s\n", qPrintable(window.chrome()->skin().missing));
    return 1;
  }

  // The machine is shared: each round times both ways back to back (which
  // goes first alternates), so load that comes and goes falls on both, and
  // the figure is the median of the rounds' ratios.
  const int asked = qEnvironmentVariableIntValue("ORLAVO_SKIN_BENCH_ROUNDS");
  const int rounds = asked > 0 ? asked : 15;
  std::vector<double> ratios, skinned_ms, plain_ms, skin_work_ms, skinned_paint_ms, plain_paint_ms;
  auto run = [&](bool skinned) {
    window.chrome()->SetSkinned(skinned);
    return skinned ? PaintSkinned(window) : PaintUnskinned(window);
  };
  run(true);  // warm-up: fonts, glyph caches, the canvas at its largest
  run(false);
  for (int round = 0; round < rounds; ++round) {
    Timing skinned, plain;
    if (round % 2 == 0) {
      skinned = run(true);
      plain = run(false);
    } else {
      plain = run(false);
      skinned = run(true);
    }
    ratios.push_back(skinned.total / plain.total);
    skinned_ms.push_back(skinned.total * 1e3 / kFrames);
    plain_ms.push_back(plain.total * 1e3 / kFrames);
    skin_work_ms.push_back(skinned.skin * 1e3 / kFrames);
    skinned_paint_ms.push_back(skinned.paint * 1e3 / kFrames);
    plain_paint_ms.push_back(plain.paint * 1e3 / kFrames);
  }
  std::printf("unskinned: %.2f ms per frame, %.2f ms of it repaint, median of %d rounds\n",
              testing::Median(plain_ms), testing::Median(plain_paint_ms), rounds);
  std::printf("skinned: %.2f ms per frame, %.2f ms of it repaint, median\n",
              testing::Median(skinned_ms), testing::Median(skinned_paint_ms));
  std::printf("ratio per round: min %.2fx, max %.2fx\n",
              *std::min_element(ratios.begin(), ratios.end()),
              *std::max_element(ratios.begin(), ratios.end()));
  std::printf(
      "skin-resize: %.2fx of unskinned, median of %d interleaved rounds (target <= 1.5x); "
      "%.2f ms per skinned frame, median (target < 4 ms), %.2f ms of it skin work\n",
      testing::Median(ratios), rounds, testing::Median(skinned_ms), testing::Median(skin_work_ms));
  return 0;
}

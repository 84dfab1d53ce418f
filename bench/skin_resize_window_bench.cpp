// The main window repainted at 100 successive sizes with the Standard skin
// (the plain frame while the size changes, then the full skin and a
// repaint), against the same window painting itself without a skin.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/gui/main_window.h"
#include "app/pellox_binding.h"
#include "tests/support/bench_floor.h"
#include "tests/support/fake_desktop.h"
#include "ui/window_chrome.h"

using namespace orlavo;

namespace {

constexpr int kFrames = 100;

QSize FrameSize(int i) { return QSize(900 + 3 * i, 600 + 2 * i); }

struct Timing {
  double total = 0;  // resize, skin and repaint of every size
  double skin = 0;   // the skin's own work: re-layout, frame picture, outline
};

Timing PaintAllSizes(MainWindow& window, bool skinned) {
  Timing t;
  t.total = testing::TimeSeconds([&] {
    for (int i = 0; i < kFrames; ++i) {
      window.resize(FrameSize(i));
      if (skinned) t.skin += testing::TimeSeconds([&] { window.chrome()->ApplyLayout(false); });
      window.repaint();
    }
  });
  return t;
}

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

  // Best of five rounds each, taken in turns: the machine is shared.
  double best_skinned = 1e9, best_plain = 1e9, best_skin_work = 1e9;
  for (int round = 0; round < 5; ++round) {
    window.chrome()->SetSkinned(true);
    const Timing skinned = PaintAllSizes(window, true);
    best_skinned = std::min(best_skinned, skinned.total);
    best_skin_work = std::min(best_skin_work, skinned.skin);
    window.chrome()->SetSkinned(false);
    best_plain = std::min(best_plain, PaintAllSizes(window, false).total);
  }
  std::printf("unskinned: %.2f ms per frame (resize and repaint of the whole window)\n",
              best_plain * 1e3 / kFrames);
  std::printf("skinned: %.2f ms per frame\n", best_skinned * 1e3 / kFrames);
  std::printf(
      "skin-resize: %.2fx of unskinned (target <= 1.5x), %.2f ms of skin work per frame "
      "(target < 4 ms)\n",
      best_skinned / best_plain, best_skin_work * 1e3 / kFrames);
  return 0;
}

// The main window on a Wayland compositor, where a client neither places its
// windows nor cuts their outline: these run under a headless weston
// (tests/run_under_wayland.sh); elsewhere they are skipped.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QGuiApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include "app/flags.h"
#include "app/gui/main_window.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "tests/support/fake_desktop.h"
#include "ui/window_chrome.h"

namespace orlavo {
namespace {

class WaylandChromeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
      GTEST_SKIP() << "needs a Wayland compositor";
    }
    program_ = program_dir_.path() + "/";
    QFile::copy(ORLAVO_BIN_DIR "/libpellox.so", program_ + "libpellox.so");
    const QString visuals = QStringLiteral(ORLAVO_SOURCE_DIR "/Visuals");
    QDirIterator it(visuals, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString from = it.next();
      const QString to = program_ + "Visuals" + from.mid(visuals.size());
      QDir().mkpath(QFileInfo(to).path());
      QFile::copy(from, to);
    }
    Settings s(program_);
    s.Write(settings_key::kExeShow, kPlayMp3);
    s.Write(settings_key::kDirPath, music_dir_.path() + "/");
    window_ = std::make_unique<MainWindow>(program_, desktop_, pellox_);
    ASSERT_TRUE(window_->Start([] { return false; }));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get(), 10000));
    chrome_ = window_->chrome();
    ASSERT_TRUE(chrome_->skin().loaded()) << chrome_->skin().missing.toStdString();
  }

  QTemporaryDir program_dir_, music_dir_;
  QString program_;
  testing::FakeDesktop desktop_;
  PelloxBinding pellox_{program_dir_.path() + "/"};
  std::unique_ptr<MainWindow> window_;
  WindowChrome* chrome_ = nullptr;
};

TEST_F(WaylandChromeTest, MapsFramelessWithTransparentRoundedCorners) {
  EXPECT_TRUE(window_->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_FALSE(chrome_->plain());
  const QImage shot = window_->grab().toImage();
  const int w = shot.width() - 1, h = shot.height() - 1;
  for (QPoint corner : {QPoint(1, 1), QPoint(w - 1, 1), QPoint(1, h - 1), QPoint(w - 1, h - 1)}) {
    EXPECT_EQ(qAlpha(shot.pixel(corner)), 0) << corner.x() << "," << corner.y();
  }
  EXPECT_EQ(qAlpha(shot.pixel(shot.width() / 2, 60)), 255);
}

TEST_F(WaylandChromeTest, TitleDragAsksTheCompositorAndNeverPlacesTheWindowItself) {
  QLabel* title = chrome_->title_label();
  const QPoint before = window_->pos();
  const int asked = chrome_->system_moves_asked();
  QTest::mousePress(title, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(chrome_->system_moves_asked(), asked + 1);
  // The compositor may refuse a press it did not see; the window stays put.
  for (int step = 1; step <= 3; ++step) {
    QTest::mouseMove(window_.get(), title->geometry().center() + QPoint(40 * step, 30 * step));
  }
  QTest::mouseRelease(window_.get(), Qt::LeftButton);
  EXPECT_EQ(window_->pos(), before);
}

TEST_F(WaylandChromeTest, MaximizeAndRestoreGoThroughTheCompositor) {
  const QSize normal = window_->size();
  chrome_->PressTitleButton(1);
  ASSERT_TRUE(QTest::qWaitFor([this] { return window_->isMaximized(); }, 5000));
  EXPECT_TRUE(chrome_->maximized());
  EXPECT_TRUE(QTest::qWaitFor([&] { return window_->size() != normal; }, 5000));
  chrome_->PressTitleButton(1);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !window_->isMaximized(); }, 5000));
  EXPECT_FALSE(chrome_->maximized());
  EXPECT_TRUE(QTest::qWaitFor([&] { return window_->size() == normal; }, 5000));
  // The connection outlived both changes and the skin is whole again.
  EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get(), 5000));
  EXPECT_TRUE(QTest::qWaitFor([this] { return !chrome_->plain(); }, 5000));
}

}  // namespace
}  // namespace orlavo

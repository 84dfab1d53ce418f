#include "app/gui/about_window.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "tests/gui/qt_print.h"

namespace orlavo {
namespace {

TEST(AboutWindowTest, ShowsTitleVersionAndCredits) {
  AboutWindow about;
  EXPECT_EQ(about.windowTitle(), QStringLiteral("About Orlavo Professional"));
  EXPECT_EQ(about.TitleLabel()->text(), QStringLiteral("Orlavo Professional v1.0"));
  EXPECT_FALSE(about.CreditsLabel()->text().isEmpty());
  EXPECT_EQ(about.CloseButton()->Caption(), QStringLiteral("&Close"));
}

TEST(AboutWindowTest, CloseButtonAndItsAccessKeyCloseTheWindow) {
  AboutWindow about;
  about.show();
  about.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
  QTest::mouseClick(about.CloseButton(), Qt::LeftButton);
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(about.result(), QDialog::Accepted);

  about.show();
  about.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
  QTest::keyClick(&about, Qt::Key_C, Qt::AltModifier);
  EXPECT_FALSE(about.isVisible());

  about.show();
  about.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
  QTest::keyClick(about.CloseButton(), Qt::Key_Space);
  EXPECT_FALSE(about.isVisible());
}

TEST(AboutWindowTest, ColoursComeFromTheScheme) {
  AboutWindow about;
  const ColorScheme defaults;
  EXPECT_EQ(about.palette().color(QPalette::Window), defaults.BGColor());
  EXPECT_EQ(about.palette().color(QPalette::WindowText), defaults.FGColor());
  EXPECT_EQ(about.CloseButton()->BackColor(), defaults.ButtonColor());

  const ColorScheme night =
      ColorScheme::FromTexts(QStringLiteral("&H202020"), QStringLiteral("&HE0E0E0"),
                             QStringLiteral("&H804000"), QStringLiteral("&HFF"));
  about.ApplyColors(night);
  EXPECT_EQ(about.grab().toImage().pixelColor(2, 2), QColor(0x20, 0x20, 0x20));
  EXPECT_EQ(about.CloseButton()->BackColor(), QColor(0x00, 0x40, 0x80));
  EXPECT_EQ(about.CloseButton()->BorderColor(), QColor(255, 0, 0));
}

}  // namespace
}  // namespace orlavo

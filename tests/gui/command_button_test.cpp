#include "ui/command_button.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QDialog>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "tests/gui/qt_print.h"
#include "ui/shade.h"

namespace orlavo {
namespace {

const QColor kBack(71, 115, 180);   // &HB47347
const QColor kBase(119, 163, 225);  // Shade(kBack, 48)

// A shown, active window holding buttons, so focus, shortcuts and the pointer
// behave as on a desktop.
class CommandButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(300, 120);
    button_ = new CommandButton(QStringLiteral("E&xit"), &window_);
    button_->setGeometry(10, 10, 80, 24);
    other_ = new CommandButton(QStringLiteral("Other"), &window_);
    other_->setGeometry(100, 10, 80, 24);
    third_ = new CommandButton(QStringLiteral("Third"), &window_);
    third_->setGeometry(190, 10, 80, 24);
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  }

  QImage Face(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  QWidget window_;
  CommandButton* button_ = nullptr;
  CommandButton* other_ = nullptr;
  CommandButton* third_ = nullptr;
};

TEST_F(CommandButtonTest, DefaultsAreASilverFaceWithBlackBorderAndCaption) {
  CommandButton fresh;
  EXPECT_EQ(fresh.BackColor(), QColor(192, 192, 192));
  EXPECT_EQ(fresh.BorderColor(), QColor(0, 0, 0));
  EXPECT_EQ(fresh.ForeColor(), QColor(0, 0, 0));
  EXPECT_EQ(fresh.Caption(), QString());
  EXPECT_TRUE(fresh.Enabled());
  EXPECT_EQ(fresh.focusPolicy(), Qt::StrongFocus);
  EXPECT_EQ(fresh.property("BackColor").value<QColor>(), QColor(192, 192, 192));
}

TEST_F(CommandButtonTest, PaintsTheShadedFaceBevelAndBorder) {
  button_->SetCaption(QString());
  button_->SetBackColor(kBack);
  button_->SetBorderColor(QColor(10, 20, 30));
  const QImage face = Face(button_);
  ASSERT_EQ(face.size(), QSize(80, 24));
  EXPECT_EQ(face.pixelColor(0, 0), QColor(10, 20, 30));
  EXPECT_EQ(face.pixelColor(79, 23), QColor(10, 20, 30));
  EXPECT_EQ(face.pixelColor(40, 1), Shade(kBase, 16));    // top light bevel
  EXPECT_EQ(face.pixelColor(40, 22), Shade(kBase, -48));  // bottom dark bevel
  // Row 12 of 24: step 50 / 24, amount round(-25) = -25.
  EXPECT_EQ(face.pixelColor(40, 12), Shade(kBase, -25));
  EXPECT_EQ(face.pixelColor(79, 0), QColor(10, 20, 30));
}

TEST_F(CommandButtonTest, CaptionIsDrawnInTheForeColor) {
  button_->SetCaption(QStringLiteral("WWWW"));
  button_->SetForeColor(QColor(255, 0, 0));
  const QImage face = Face(button_);
  int red = 0;
  for (int y = 0; y < face.height(); ++y) {
    for (int x = 0; x < face.width(); ++x) {
      if (button_->CaptionRect().contains(x, y) && face.pixelColor(x, y) == QColor(255, 0, 0))
        ++red;
    }
  }
  EXPECT_GT(red, 10);
}

TEST_F(CommandButtonTest, LongCaptionWrapsInsideTheButton) {
  button_->resize(60, 60);
  button_->SetCaption(QStringLiteral("Select Source Folder"));
  const int line = button_->fontMetrics().height();
  EXPECT_GE(button_->CaptionRect().height(), 2 * line);
  EXPECT_LE(button_->CaptionRect().width(), 57);
  EXPECT_EQ(button_->PressedCaptionRect(), button_->CaptionRect().translated(1, 1));
}

TEST_F(CommandButtonTest, HeightZeroDrawsNothingAndTakesInputWithoutFailing) {
  QSignalSpy clicks(button_, &CommandButton::Click);
  button_->resize(80, 0);
  button_->SetCaption(QStringLiteral("&Zero"));
  button_->repaint();
  QImage image(80, 1, QImage::Format_RGB32);
  image.fill(Qt::green);
  button_->render(&image);
  EXPECT_EQ(image.pixelColor(40, 0), QColor(Qt::green));
  button_->setFocus();
  QTest::keyClick(button_, Qt::Key_Space);
  button_->PerformClick();
  EXPECT_EQ(clicks.count(), 2);
  button_->resize(80, 24);
  EXPECT_FALSE(Face(button_).isNull());
}

TEST_F(CommandButtonTest, LeftClickPressesThenClicksOnce) {
  QSignalSpy clicks(button_, &CommandButton::Click);
  QSignalSpy downs(button_, &CommandButton::MouseDown);
  QSignalSpy ups(button_, &CommandButton::MouseUp);
  const QImage up_face = Face(button_);
  QTest::mousePress(button_, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
  EXPECT_TRUE(button_->IsPressed());
  EXPECT_NE(Face(button_), up_face);
  EXPECT_EQ(clicks.count(), 0);
  QTest::mouseRelease(button_, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
  EXPECT_FALSE(button_->IsPressed());
  EXPECT_EQ(Face(button_), up_face);
  EXPECT_EQ(clicks.count(), 1);
  ASSERT_EQ(downs.count(), 1);
  EXPECT_EQ(downs[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
  EXPECT_EQ(downs[0][2].toInt(), 20);
  EXPECT_EQ(downs[0][3].toInt(), 10);
  EXPECT_EQ(ups.count(), 1);
}

TEST_F(CommandButtonTest, RightButtonPressLeavesTheFaceAndNeverClicks) {
  QSignalSpy clicks(button_, &CommandButton::Click);
  QSignalSpy downs(button_, &CommandButton::MouseDown);
  const QImage up_face = Face(button_);
  QTest::mousePress(button_, Qt::RightButton, Qt::NoModifier, QPoint(20, 10));
  EXPECT_FALSE(button_->IsPressed());
  EXPECT_EQ(Face(button_), up_face);
  QTest::mouseRelease(button_, Qt::RightButton, Qt::NoModifier, QPoint(20, 10));
  EXPECT_EQ(Face(button_), up_face);
  EXPECT_EQ(clicks.count(), 0);
  ASSERT_EQ(downs.count(), 1);
  EXPECT_EQ(downs[0][0].value<Qt::MouseButton>(), Qt::RightButton);
}

TEST_F(CommandButtonTest, DraggingOutWithTheButtonHeldRaisesTheFaceWithoutMouseOut) {
  QSignalSpy clicks(button_, &CommandButton::Click);
  QSignalSpy overs(button_, &CommandButton::MouseOver);
  QSignalSpy outs(button_, &CommandButton::MouseOut);
  QTest::mousePress(button_, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
  QTest::mouseMove(button_, QPoint(200, 60));
  EXPECT_FALSE(button_->IsPressed());
  QTest::mouseMove(button_, QPoint(30, 12));
  EXPECT_TRUE(button_->IsPressed());
  QTest::mouseMove(button_, QPoint(200, 60));
  QTest::qWait(150);
  QTest::mouseRelease(button_, Qt::LeftButton, Qt::NoModifier, QPoint(200, 60));
  EXPECT_FALSE(button_->IsPressed());
  EXPECT_EQ(clicks.count(), 0);
  EXPECT_EQ(overs.count(), 0);
  EXPECT_EQ(outs.count(), 0);
}

TEST_F(CommandButtonTest, DoubleClickWorksTheButtonTwice) {
  QSignalSpy clicks(button_, &CommandButton::Click);
  QTest::mouseClick(button_, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
  QTest::mouseDClick(button_, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
  EXPECT_TRUE(button_->IsPressed());
  QTest::mouseRelease(button_, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
  EXPECT_EQ(clicks.count(), 2);
}

TEST_F(CommandButtonTest, DisabledButtonLooksFlatAndTakesNoInput) {
  button_->SetBackColor(kBack);
  button_->SetCaption(QStringLiteral("E&xit"));
  button_->SetEnabled(false);
  EXPECT_FALSE(button_->property("Enabled").toBool());
  const QImage face = Face(button_);
  EXPECT_EQ(face.pixelColor(0, 0), Shade(kBase, -84));
  EXPECT_EQ(face.pixelColor(3, 1), Shade(kBase, -24));
  EXPECT_EQ(face.pixelColor(3, 22), Shade(kBase, -24));

  QSignalSpy clicks(button_, &CommandButton::Click);
  QSignalSpy downs(button_, &CommandButton::MouseDown);
  QTest::mouseClick(button_, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
  QTest::keyClick(&window_, Qt::Key_X, Qt::AltModifier);
  button_->PerformClick();
  EXPECT_EQ(clicks.count(), 0);
  EXPECT_EQ(downs.count(), 0);
  EXPECT_EQ(Face(button_), face);

  button_->SetEnabled(true);
  QTest::keyClick(&window_, Qt::Key_X, Qt::AltModifier);
  EXPECT_EQ(clicks.count(), 1);
}

TEST_F(CommandButtonTest, HoverRaisesMouseOverAndLeavingRaisesMouseOutOnce) {
  QSignalSpy overs(button_, &CommandButton::MouseOver);
  QSignalSpy outs(button_, &CommandButton::MouseOut);
  QTest::mouseMove(button_, QPoint(20, 10));
  QTest::mouseMove(button_, QPoint(22, 11));
  EXPECT_GE(overs.count(), 1);
  // Resting over the button: the timer finds it still under the pointer.
  QTest::qWait(4 * CommandButton::kHoverIntervalMs);
  EXPECT_EQ(outs.count(), 0);
  // Onto the neighbouring button: this one reports the pointer gone.
  QTest::mouseMove(other_, QPoint(20, 10));
  EXPECT_TRUE(QTest::qWaitFor([&] { return outs.count() == 1; }, 1000));
  QTest::qWait(3 * CommandButton::kHoverIntervalMs);
  EXPECT_EQ(outs.count(), 1);
  EXPECT_FALSE(button_->IsPressed());
}

TEST_F(CommandButtonTest, SpaceActsAsAPressAndItsReleaseClicks) {
  QSignalSpy clicks(button_, &CommandButton::Click);
  QSignalSpy key_downs(button_, &CommandButton::KeyDown);
  QSignalSpy key_ups(button_, &CommandButton::KeyUp);
  button_->setFocus(Qt::TabFocusReason);
  QTest::keyPress(button_, Qt::Key_Space);
  EXPECT_TRUE(button_->IsPressed());
  EXPECT_EQ(clicks.count(), 0);
  QTest::keyRelease(button_, Qt::Key_Space);
  EXPECT_FALSE(button_->IsPressed());
  EXPECT_EQ(clicks.count(), 1);
  ASSERT_EQ(key_downs.count(), 1);
  EXPECT_EQ(key_downs[0][0].toInt(), int(Qt::Key_Space));
  EXPECT_EQ(key_ups.count(), 1);
}

TEST_F(CommandButtonTest, SpaceReleasedAfterAnotherKeyDoesNotClick) {
  QSignalSpy clicks(button_, &CommandButton::Click);
  button_->setFocus();
  QTest::keyPress(button_, Qt::Key_Space);
  QTest::keyPress(button_, Qt::Key_A);
  QTest::keyRelease(button_, Qt::Key_A);
  QTest::keyRelease(button_, Qt::Key_Space);
  EXPECT_EQ(clicks.count(), 0);
}

TEST_F(CommandButtonTest, ReturnAndEscapeAreLeftToTheWindow) {
  QSignalSpy clicks(button_, &CommandButton::Click);
  QSignalSpy presses(button_, &CommandButton::KeyPress);
  button_->setFocus();
  QTest::keyClick(button_, Qt::Key_Return);
  QTest::keyClick(button_, Qt::Key_A);
  EXPECT_EQ(clicks.count(), 0);
  ASSERT_EQ(presses.count(), 2);
  EXPECT_EQ(presses[0][0].value<QChar>(), QChar(u'\r'));
  EXPECT_EQ(presses[1][0].value<QChar>(), QChar(u'a'));

  QDialog dialog;
  auto* close = new CommandButton(QStringLiteral("Close"), &dialog);
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  close->setFocus();
  QTest::keyClick(close, Qt::Key_Escape);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(CommandButtonTest, ArrowKeysMoveTheFocusLikeTab) {
  button_->setFocus();
  ASSERT_TRUE(button_->hasFocus());
  QTest::keyClick(button_, Qt::Key_Right);
  EXPECT_TRUE(other_->hasFocus());
  QTest::keyClick(other_, Qt::Key_Down);
  EXPECT_TRUE(third_->hasFocus());
  QTest::keyClick(third_, Qt::Key_Up);
  EXPECT_TRUE(other_->hasFocus());
  QTest::keyClick(other_, Qt::Key_Left);
  EXPECT_TRUE(button_->hasFocus());
  QTest::keyClick(button_, Qt::Key_Tab);
  EXPECT_TRUE(other_->hasFocus());
  QTest::keyClick(other_, Qt::Key_Backtab);
  EXPECT_TRUE(button_->hasFocus());
}

TEST_F(CommandButtonTest, FocusFromTheKeyboardShowsACueTheMouseDoesNot) {
  const QImage unfocused = Face(button_);
  button_->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(Face(button_), unfocused);
  other_->setFocus(Qt::TabFocusReason);
  button_->setFocus(Qt::TabFocusReason);
  EXPECT_NE(Face(button_), unfocused);
}

TEST_F(CommandButtonTest, AccessKeyClicksAndFollowsTheCaption) {
  QSignalSpy clicks(button_, &CommandButton::Click);
  EXPECT_EQ(button_->AccessKey(), QChar(u'x'));
  QTest::keyClick(&window_, Qt::Key_X, Qt::AltModifier);
  EXPECT_EQ(clicks.count(), 1);

  button_->SetCaption(QStringLiteral("Rock && Roll"));
  EXPECT_TRUE(button_->AccessKey().isNull());
  QTest::keyClick(&window_, Qt::Key_X, Qt::AltModifier);
  QTest::keyClick(&window_, Qt::Key_R, Qt::AltModifier);
  EXPECT_EQ(clicks.count(), 1);

  button_->SetCaption(QStringLiteral("&Yes"));
  QTest::keyClick(&window_, Qt::Key_Y, Qt::AltModifier);
  EXPECT_EQ(clicks.count(), 2);
}

TEST_F(CommandButtonTest, AccessKeyClicksEvenAfterARightClick) {
  QSignalSpy clicks(button_, &CommandButton::Click);
  QTest::mouseClick(button_, Qt::RightButton, Qt::NoModifier, QPoint(20, 10));
  QTest::keyClick(&window_, Qt::Key_X, Qt::AltModifier);
  EXPECT_EQ(clicks.count(), 1);
}

TEST_F(CommandButtonTest, FocusLostWhileSpaceIsHeldRaisesTheFace) {
  button_->setFocus();
  QTest::keyPress(button_, Qt::Key_Space);
  ASSERT_TRUE(button_->IsPressed());
  other_->setFocus(Qt::TabFocusReason);
  EXPECT_FALSE(button_->IsPressed());
}

TEST_F(CommandButtonTest, SettingAColourRedrawsTheFaceUp) {
  QTest::mousePress(button_, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
  ASSERT_TRUE(button_->IsPressed());
  button_->SetBackColor(kBack);
  EXPECT_FALSE(button_->IsPressed());
  QTest::mouseRelease(button_, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
}

TEST_F(CommandButtonTest, ScreenReadersSeeAPushButtonNamedByItsCaption) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button_);
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->role(), QAccessible::Button);
  EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Exit"));
  QSignalSpy clicks(button_, &CommandButton::Click);
  ASSERT_NE(face->actionInterface(), nullptr);
  face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(clicks.count(), 1);
}

TEST_F(CommandButtonTest, MousePointerNumbersChooseShapes) {
  button_->SetMousePointer(11);
  EXPECT_EQ(button_->cursor().shape(), Qt::WaitCursor);
  button_->SetMousePointer(CommandButton::kCustomPointer);  // no icon yet: ignored
  EXPECT_EQ(button_->cursor().shape(), Qt::ArrowCursor);
  QPixmap icon(16, 16);
  icon.fill(Qt::red);
  button_->SetMouseIcon(icon);
  EXPECT_EQ(button_->cursor().shape(), Qt::BitmapCursor);
  button_->SetMousePointer(CommandButton::kDefaultPointer);
  EXPECT_FALSE(button_->testAttribute(Qt::WA_SetCursor));
}

}  // namespace
}  // namespace orlavo

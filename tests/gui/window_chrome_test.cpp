// The chrome of the large windows (title-bar buttons, window menu, drag zones,
// plain frame while resizing, skin choice) and the Visuals window.
#include "ui/window_chrome.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include "app/ini_file.h"
#include "app/settings.h"
#include "tests/gui/qt_print.h"
#include "tests/support/fake_desktop.h"
#include "ui/apply_color_scheme.h"
#include "ui/color_scheme.h"
#include "ui/command_button.h"
#include "ui/visuals_files.h"
#include "ui/visuals_window.h"

namespace orlavo {
namespace {

// A program folder with a copy of the shipped Visuals.
void CopyFolder(const QString& from, const QString& to) {
  QDir().mkpath(to);
  const QDir source(from);
  for (const QFileInfo& f : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
    if (f.isDir()) {
      CopyFolder(f.filePath(), to + "/" + f.fileName());
    } else {
      QFile::copy(f.filePath(), to + "/" + f.fileName());
    }
  }
}

class ChromeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = dir_.path() + "/";
    CopyFolder(QStringLiteral(ORLAVO_SOURCE_DIR) + "/Visuals", program_ + "Visuals");
    CurrentColorScheme() = ColorScheme();
  }
  void TearDown() override { CurrentColorScheme() = ColorScheme(); }

  // A window like the large ones: a layout of controls, then the chrome.
  std::unique_ptr<QWidget> MakeWindow() {
    auto window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    label_ = new QLabel("Label", window.get());
    ignored_ = new QLabel("Ignored", window.get());
    ignored_->setProperty(kTagProperty, "ignore");
    edit_ = new QLineEdit(window.get());
    button_ = new CommandButton("Button", window.get());
    for (QWidget* w : std::initializer_list<QWidget*>{label_, ignored_, edit_, button_}) {
      layout->addWidget(w);
    }
    window->resize(600, 400);
    chrome_ =
        new WindowChrome(window.get(), program_,
                         {[this] { ++about_; }, [this](const QString& a) { addresses_ << a; }});
    return window;
  }
  QString Key(const char* key) { return Settings(program_).Read(key); }

  QTemporaryDir dir_;
  QString program_;
  WindowChrome* chrome_ = nullptr;
  QLabel* label_ = nullptr;
  QLabel* ignored_ = nullptr;
  QLineEdit* edit_ = nullptr;
  CommandButton* button_ = nullptr;
  int about_ = 0;
  QStringList addresses_;
};

TEST_F(ChromeTest, EmptySkinNamePaintsAndStoresStandard) {
  auto window = MakeWindow();
  window->show();
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(Key("SkinName"), "Standard");
  ASSERT_TRUE(chrome_->skin().loaded()) << chrome_->skin().missing.toStdString();
  EXPECT_FALSE(chrome_->plain());
  const QImage& frame = chrome_->frame_image();
  EXPECT_EQ(frame.size(), window->size() * window->devicePixelRatioF());
  // The top-left corner piece lands at (0, 0) as the atlas has it where its
  // mask is opaque.
  const QImage gui(program_ + "Visuals/Skins/Standard/GUI.bmp");
  const QImage mask(program_ + "Visuals/Skins/Standard/RevMask.bmp");
  int checked = 0;
  for (int y = 0; y < 75; y += 5) {
    for (int x = 0; x < 60; x += 5) {
      if (qGray(mask.pixel(x, y)) != 0) continue;
      EXPECT_EQ(QColor(frame.pixel(x, y)), QColor(gui.pixel(x, y))) << x << "," << y;
      ++checked;
    }
  }
  EXPECT_GT(checked, 20);
  // The rounded corner is outside the window's outline.
  EXPECT_FALSE(window->mask().contains(QPoint(1, 1)));
  EXPECT_TRUE(window->mask().contains(QPoint(300, 200)));
}

// The frame is copied onto the window in bands of lines: none is lost or
// doubled on the tall edges.
TEST_F(ChromeTest, PaintedFrameIsItsPictureOnEveryLineOfTheEdges) {
  auto window = MakeWindow();
  window->show();
  window->resize(640, 530);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !chrome_->plain(); }, 5000));
  const QImage shot = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage frame = chrome_->frame_image().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shot.size(), frame.size());
  const QRect inside = SkinInterior(window->size());
  const QRegion outline = SkinOutline(window->size());
  QRegion controls;
  for (const QWidget* child : window->findChildren<QWidget*>()) controls += child->geometry();
  int compared = 0;
  // Left, right and bottom edges, below the title row's controls.
  for (int y = 60; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      const QPoint at(x, y);
      if (inside.contains(at) || !outline.contains(at) || controls.contains(at)) continue;
      ASSERT_EQ(QColor(shot.pixel(x, y)), QColor(frame.pixel(x, y))) << x << "," << y;
      ++compared;
    }
  }
  EXPECT_GT(compared, 20000);
}

TEST_F(ChromeTest, ResizingShowsThePlainRedFrameUntilItEnds) {
  auto window = MakeWindow();
  window->show();
  window->resize(700, 450);
  EXPECT_TRUE(chrome_->plain());
  EXPECT_TRUE(window->mask().isEmpty());
  const QImage shot = window->grab().toImage();
  for (QPoint p : {QPoint(0, 0), QPoint(699, 449), QPoint(350, 0), QPoint(0, 200)}) {
    EXPECT_EQ(shot.pixel(p), qRgb(255, 0, 0)) << p.x() << "," << p.y();
  }
  EXPECT_EQ(QColor(shot.pixel(2, 2)), ColorScheme().BGColor());
  // Further steps leave the controls where they are...
  const QRect edit = edit_->geometry();
  window->resize(760, 480);
  EXPECT_EQ(edit_->geometry(), edit);
  // ...until the end of the resize brings the skin back and lays them out.
  EXPECT_TRUE(QTest::qWaitFor([this] { return !chrome_->plain(); }, 5000));
  EXPECT_FALSE(window->mask().isEmpty());
  EXPECT_EQ(chrome_->title_button(2)->geometry().right(), 760 - 50 + 21);
  EXPECT_EQ(edit_->width(), edit.width() + 60);
}

TEST_F(ChromeTest, MissingSkinLeavesThePlainFrameOfTheSchemeColours) {
  Settings(program_).Write("SkinName", "Gone");
  CurrentColorScheme().SetColor(ColorScheme::Role::kBackground, QColor(10, 20, 30));
  auto window = MakeWindow();
  window->show();
  EXPECT_FALSE(chrome_->skin().loaded());
  EXPECT_TRUE(window->mask().isEmpty());
  EXPECT_EQ(QColor(chrome_->frame_image().pixel(300, 200)), QColor(10, 20, 30));
  EXPECT_EQ(QColor(chrome_->frame_image().pixel(0, 0)), QColor(255, 255, 255));
}

TEST_F(ChromeTest, DragZonesInTwips) {
  using Z = WindowChrome::DragZone;
  const int w = 6000, h = 4500;
  struct Case {
    int x, y;
    Z zone;
  };
  const Case cases[] = {
      {w - 50, h - 50, Z::kCorner}, {w - 240, h - 240, Z::kCorner},
      {w - 50, 1000, Z::kRight},    {w - 150, 1000, Z::kMove},
      {1000, h - 50, Z::kBottom},   {w - 150, h - 260, Z::kMove},
      {w - 100, 0, Z::kRight},      {0, 0, Z::kMove},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WindowChrome::ZoneAt(c.x, c.y, w, h), c.zone) << c.x << "," << c.y;
  }
}

TEST_F(ChromeTest, CornerDragResizesTheWindowWhereNoSystemResizeIsOffered) {
  auto window = MakeWindow();
  window->show();
  const QSize before = window->size();
  const QPoint corner(before.width() - 3, before.height() - 3);
  QTest::mousePress(window.get(), Qt::LeftButton, {}, corner);
  QMouseEvent move(QEvent::MouseMove, QPointF(before.width() + 40, before.height() + 30),
                   window->mapToGlobal(QPointF(before.width() + 40, before.height() + 30)),
                   Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(window.get(), &move);
  EXPECT_EQ(window->size(), before + QSize(40, 30));
  EXPECT_TRUE(chrome_->plain());
  QTest::mouseRelease(window.get(), Qt::LeftButton, {}, QPoint(before.width() + 40, 10));
  EXPECT_FALSE(chrome_->plain());
}

TEST_F(ChromeTest, MaximizeByTheWindowSystemShowsOnTheButtonAndMenu) {
  auto window = MakeWindow();
  window->show();
  const QRect normal = window->geometry();
  window->showMaximized();
  EXPECT_TRUE(chrome_->maximized());
  EXPECT_TRUE(chrome_->menu_action(WindowChrome::kRestore)->isEnabled());
  EXPECT_EQ(chrome_->title_button(1)->glyph(), TitleBarButton::Glyph::kRestore);
  // The title-bar button then restores the size the window had before.
  chrome_->PressTitleButton(1);
  EXPECT_FALSE(chrome_->maximized());
  EXPECT_EQ(window->size(), normal.size());
  window->showMaximized();
  window->showNormal();
  EXPECT_FALSE(chrome_->maximized());
  EXPECT_EQ(chrome_->title_button(1)->glyph(), TitleBarButton::Glyph::kMaximize);
}

TEST_F(ChromeTest, WindowMenuItemsAndTheirGreyedStates) {
  auto window = MakeWindow();
  window->show();
  QStringList captions;
  for (QAction* a : chrome_->window_menu()->actions()) captions << a->text();
  EXPECT_EQ(captions, QStringList({"Restore", "Minimize", "Maximize", "", "Close\tAlt+F4", "",
                                   "About", "Visit Website"}));
  for (int command : {101, 102, 103, 104}) {
    EXPECT_FALSE(chrome_->menu_action(command)->icon().isNull()) << command;
  }
  EXPECT_FALSE(chrome_->menu_action(WindowChrome::kRestore)->isEnabled());
  const QRect normal = window->geometry();

  // A greyed item does nothing.
  chrome_->MenuCommand(WindowChrome::kRestore);
  EXPECT_FALSE(chrome_->maximized());

  chrome_->MenuCommand(WindowChrome::kMaximize);
  EXPECT_TRUE(chrome_->maximized());
  EXPECT_EQ(window->geometry(), window->screen()->availableGeometry());
  EXPECT_TRUE(chrome_->menu_action(WindowChrome::kRestore)->isEnabled());
  EXPECT_FALSE(chrome_->menu_action(WindowChrome::kMaximize)->isEnabled());
  EXPECT_EQ(chrome_->title_button(1)->glyph(), TitleBarButton::Glyph::kRestore);
  EXPECT_FALSE(chrome_->plain());
  chrome_->MenuCommand(WindowChrome::kMaximize);
  EXPECT_TRUE(chrome_->maximized());

  chrome_->title_button(1)->PerformClick();
  EXPECT_FALSE(chrome_->maximized());
  EXPECT_EQ(window->geometry(), normal);
  EXPECT_EQ(chrome_->title_button(1)->glyph(), TitleBarButton::Glyph::kMaximize);
  EXPECT_FALSE(chrome_->menu_action(WindowChrome::kRestore)->isEnabled());

  chrome_->MenuCommand(WindowChrome::kAbout);
  chrome_->MenuCommand(WindowChrome::kVisitWebsite);
  EXPECT_EQ(about_, 1);
  ASSERT_EQ(addresses_.size(), 1);
  EXPECT_TRUE(addresses_[0].startsWith("https://"));
  chrome_->MenuCommand(WindowChrome::kClose);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(ChromeTest, SchemeColoursControlsButNotIgnoredOnesListsOrTextBoxes) {
  auto window = MakeWindow();
  const QColor ignored_text = ignored_->palette().color(QPalette::WindowText);
  const QColor edit_base = edit_->palette().color(QPalette::Base);
  const ColorScheme scheme = ColorScheme::FromTexts("&H102030", "&H405060", "&H708090", "&HA0B0C0");
  auto* check = new QCheckBox("Check", window.get());
  ApplyColorScheme(window.get(), scheme);
  EXPECT_EQ(window->palette().color(QPalette::Window), scheme.BGColor());
  // A check box is filled with the background, not the button colour.
  EXPECT_EQ(check->palette().color(check->backgroundRole()), scheme.BGColor());
  EXPECT_EQ(label_->palette().color(QPalette::WindowText), scheme.FGColor());
  EXPECT_EQ(label_->palette().color(QPalette::Window), scheme.BGColor());
  EXPECT_TRUE(label_->autoFillBackground());
  EXPECT_FALSE(ignored_->autoFillBackground());
  EXPECT_EQ(ignored_->palette().color(QPalette::WindowText), ignored_text);
  EXPECT_EQ(edit_->palette().color(QPalette::Base), edit_base);
  EXPECT_EQ(button_->BackColor(), scheme.ButtonColor());
  EXPECT_EQ(button_->BorderColor(), scheme.BorderColor());
  EXPECT_EQ(chrome_->title_button(0)->BackColor(), scheme.ButtonColor());
}

class VisualsWindowTest : public ChromeTest {
 protected:
  void SetUp() override {
    ChromeTest::SetUp();
    visuals_ = std::make_unique<VisualsWindow>(program_, desktop_);
  }
  QString SchemeKey(const QString& name, const char* key) {
    return IniRead("Settings", key, program_ + "Visuals/Color Schemes/" + name + ".ovc");
  }
  testing::FakeDesktop desktop_;
  std::unique_ptr<VisualsWindow> visuals_;
};

TEST_F(VisualsWindowTest, SkinsModeShowsTheSkinAndLoadsIt) {
  using M = VisualsWindow::Mode;
  EXPECT_EQ(visuals_->mode(), M::kSkins);
  EXPECT_FALSE(visuals_->mode_button(M::kSkins)->isEnabled());
  EXPECT_TRUE(visuals_->mode_button(M::kColors)->isEnabled());
  EXPECT_EQ(visuals_->list_caption()->text(), "Available Skins:");
  EXPECT_EQ(visuals_->apply_button()->Caption(), "Load Selected Skin");
  ASSERT_TRUE(visuals_->SelectEntry("Graphite"));
  EXPECT_FALSE(visuals_->skin_preview()->pixmap().isNull());
  EXPECT_FALSE(visuals_->skin_info()->text().isEmpty());
  EXPECT_TRUE(visuals_->render_background()->isChecked());
  visuals_->render_background()->click();
  EXPECT_EQ(IniRead("Skin", "DrawBG", program_ + "Visuals/Skins/Graphite/SkinSettings.ini"), "0");

  auto window = MakeWindow();
  window->show();
  EXPECT_EQ(chrome_->skin().name, "Standard");
  visuals_->LoadSelected();
  EXPECT_EQ(Key("SkinName"), "Graphite");
  EXPECT_EQ(chrome_->skin().name, "Graphite");
  EXPECT_FALSE(chrome_->skin().draw_bg);
}

TEST_F(VisualsWindowTest, SkinWithAMissingBitmapIsNamed) {
  QFile::remove(program_ + "Visuals/Skins/Graphite/GUI.bmp");
  visuals_->SetMode(VisualsWindow::Mode::kSkins);
  ASSERT_TRUE(visuals_->SelectEntry("Graphite"));
  EXPECT_TRUE(visuals_->skin_preview()->text().contains("Graphite/GUI.bmp"));
}

TEST_F(VisualsWindowTest, ColourFieldsAreDrawnByTheirFormulas) {
  const QImage& hues = visuals_->field(0)->image();
  const QImage& greys = visuals_->field(1)->image();
  ASSERT_EQ(hues.size(), QSize(256, 256));
  for (QPoint p : {QPoint(0, 0), QPoint(10, 20), QPoint(255, 255), QPoint(200, 7)}) {
    EXPECT_EQ(hues.pixel(p), qRgb(p.y(), 255 - p.x(), 255 - p.y()));
    EXPECT_EQ(greys.pixel(p), qRgb(p.y(), p.y(), p.y()));
  }
}

TEST_F(VisualsWindowTest, PickingEditsTheChosenColourOfTheSelectedSchemeOnly) {
  visuals_->SetMode(VisualsWindow::Mode::kColors);
  EXPECT_EQ(visuals_->list_caption()->text(), "Available Color Schemes:");
  EXPECT_EQ(visuals_->apply_button()->Caption(), "Load Selected Color Scheme");
  EXPECT_FALSE(visuals_->save_button()->isEnabled());
  QTest::mouseClick(visuals_->field(0), Qt::LeftButton, {}, QPoint(10, 20));
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text, "No Color Scheme selected.");
  EXPECT_EQ(desktop_.messages[0].icon, Desktop::Icon::kCritical);
  EXPECT_EQ(visuals_->working_scheme(), ColorScheme());

  ASSERT_TRUE(visuals_->SelectEntry("Paper"));
  EXPECT_TRUE(visuals_->save_button()->isEnabled());
  EXPECT_EQ(visuals_->role_button(ColorScheme::Role::kBackground)->toolTip(), "&HE8EEF2");
  visuals_->ChooseRole(ColorScheme::Role::kText);
  QTest::mouseClick(visuals_->field(0), Qt::LeftButton, {}, QPoint(10, 20));
  EXPECT_EQ(visuals_->working_scheme().FGColor(), QColor(20, 245, 235));
  EXPECT_EQ(visuals_->role_button(ColorScheme::Role::kText)->toolTip(), "&HEBF514");

  // The RGB frame: a swatch only for three numbers.
  visuals_->ChooseRole(ColorScheme::Role::kBorder);
  visuals_->rgb_box(0)->setText("12");
  visuals_->rgb_box(1)->setText("34");
  visuals_->rgb_box(2)->setText("x");
  visuals_->ApplyCustomColor();
  EXPECT_EQ(visuals_->working_scheme().BorderColor(), QColor(0x60, 0x60, 0x60));
  visuals_->rgb_box(2)->setText("56");
  visuals_->ApplyCustomColor();
  EXPECT_EQ(visuals_->working_scheme().BorderColor(), QColor(12, 34, 56));

  visuals_->SaveScheme();
  EXPECT_EQ(SchemeKey("Paper", "FGColor"), "&HEBF514");
  EXPECT_EQ(SchemeKey("Paper", "BorderColor"), "&H38220C");

  auto window = MakeWindow();
  visuals_->LoadSelected();
  EXPECT_EQ(Key("ColorScheme"), "Paper");
  EXPECT_EQ(CurrentColorScheme().FGColor(), QColor(20, 245, 235));
  EXPECT_EQ(label_->palette().color(QPalette::WindowText), QColor(20, 245, 235));
  EXPECT_EQ(button_->BorderColor(), QColor(12, 34, 56));
}

TEST_F(VisualsWindowTest, NewSchemeAsksForANameAndBeforeOverwriting) {
  visuals_->SetMode(VisualsWindow::Mode::kColors);
  IniWrite("Settings", "BGColor", "&HFF", program_ + "Visuals/Color Schemes/Mine.ovc");
  // "Mine" exists: No asks again; "Other" is new.
  desktop_.inputs = {QString("Mine"), QString("Other")};
  visuals_->NewScheme();
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].text, "Mine.ovc already exists, overwrite?");
  EXPECT_EQ(desktop_.input_prompts, QStringList({"New Name", "New Name"}));
  EXPECT_EQ(SchemeKey("Mine", "BGColor"), "&HFF");
  EXPECT_TRUE(QFile::exists(program_ + "Visuals/Color Schemes/Other.ovc"));
  EXPECT_TRUE(visuals_->SelectEntry("Other"));
  // A new scheme is empty: it shows the defaults.
  EXPECT_EQ(visuals_->working_scheme(), ColorScheme());

  // Yes overwrites with an empty file; an empty name cancels.
  desktop_.inputs = {QString("Mine.ovc")};
  desktop_.answers = {Desktop::Answer::kYes};
  visuals_->NewScheme();
  EXPECT_EQ(QFileInfo(program_ + "Visuals/Color Schemes/Mine.ovc").size(), 0);
  desktop_.inputs = {QString("../escape")};
  visuals_->NewScheme();
  EXPECT_FALSE(QFile::exists(program_ + "Visuals/escape.ovc"));
}

}  // namespace
}  // namespace orlavo

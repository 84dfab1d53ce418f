// Skins, scheme files and layout keywords: the frame pieces and where they
// land, the raster operations, the outline and the plain frame.
#include "ui/skin.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "app/ini_file.h"
#include "app/settings.h"
#include "tests/gui/qt_print.h"
#include "ui/layout_keywords.h"
#include "ui/visuals_files.h"

namespace orlavo {
namespace {

// A skin folder with an atlas the test controls: white (see-through) with
// the mask white, except the rectangles painted in a colour (opaque: mask
// black).
struct AtlasPaint {
  QRect rect;
  QColor color;
};
void WriteSkin(const QString& folder, const std::vector<AtlasPaint>& paints, int draw_bg) {
  QDir().mkpath(folder);
  QImage gui(kSkinAtlasSize, QImage::Format_RGB32), mask(kSkinAtlasSize, QImage::Format_RGB32);
  gui.fill(Qt::white);
  mask.fill(Qt::white);
  for (const AtlasPaint& p : paints) {
    QPainter(&gui).fillRect(p.rect, p.color);
    QPainter(&mask).fillRect(p.rect, Qt::black);
  }
  ASSERT_TRUE(gui.save(folder + "/GUI.bmp"));
  ASSERT_TRUE(mask.save(folder + "/RevMask.bmp"));
  IniWrite("Skin", "DrawBG", QString::number(draw_bg), folder + "/SkinSettings.ini");
  IniWrite("Skin", "Info", "Test skin", folder + "/SkinSettings.ini");
}

int CountAt(const std::vector<SkinPiece>& pieces, QRect source) {
  return static_cast<int>(std::count_if(pieces.begin(), pieces.end(),
                                        [&](const SkinPiece& p) { return p.source == source; }));
}

TEST(SkinLayoutTest, TopEdgeRightPartStartsAt405Pixels) {
  const QRect right_part(110, 0, 30, 24);
  EXPECT_EQ(CountAt(SkinLayout(404, 300, false), right_part), 0);
  const auto at405 = SkinLayout(405, 300, false);
  ASSERT_EQ(CountAt(at405, right_part), 1);
  for (const SkinPiece& p : at405) {
    if (p.source == right_part) EXPECT_EQ(p.at, QPoint(280, 0));
  }
}

TEST(SkinLayoutTest, EdgesReachTheCornersAndCornersComeLast) {
  const int w = 1000, h = 640;
  const auto pieces = SkinLayout(w, h, true);
  // Tiles first, 0..round(W/60) by 0..round(H/60), and only with DrawBG.
  EXPECT_EQ(CountAt(pieces, QRect(123, 90, 60, 60)), (17 + 1) * (11 + 1));
  EXPECT_EQ(CountAt(SkinLayout(w, h, false), QRect(123, 90, 60, 60)), 0);
  EXPECT_TRUE(pieces.front().opaque);
  const QPoint corners[4] = {{0, 0}, {0, h - 59}, {w - 140, 0}, {w - 62, h - 57}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(pieces[pieces.size() - 4 + i].at, corners[i]);
    EXPECT_FALSE(pieces[pieces.size() - 4 + i].opaque);
  }
  // The last left-edge tile reaches the bottom-left corner; the last bottom
  // tile reaches the bottom-right one.
  int left_end = 0, bottom_end = 0;
  for (const SkinPiece& p : pieces) {
    if (p.source == QRect(0, 75, 28, 30)) left_end = std::max(left_end, p.at.y() + 30);
    if (p.source == QRect(60, 126, 30, 28)) bottom_end = std::max(bottom_end, p.at.x() + 30);
  }
  EXPECT_GE(left_end, h - 59);
  EXPECT_GE(bottom_end, w - 62);
}

TEST(SkinRenderTest, PiecesLandThroughTheMaskAndTheTileOnlyWithDrawBG) {
  QTemporaryDir dir;
  const QColor corner(10, 200, 30), tile(200, 20, 150), background(0x47, 0x73, 0xB4);
  // The bottom-right corner piece is opaque only in its top-left 20 x 10.
  WriteSkin(dir.path() + "/S", {{QRect(218, 101, 20, 10), corner}, {QRect(123, 90, 60, 60), tile}},
            0);
  Skin skin = LoadSkin(dir.path() + "/S", "S");
  ASSERT_TRUE(skin.loaded()) << skin.missing.toStdString();
  EXPECT_EQ(skin.info, "Test skin");
  const QSize size(500, 300);
  QImage image = RenderSkin(skin, size, 1.0, background, Qt::white);
  EXPECT_EQ(QColor(image.pixel(500 - 62 + 3, 300 - 57 + 3)), corner);
  // Next to it the piece is see-through: the window colour stays.
  EXPECT_EQ(QColor(image.pixel(500 - 62 + 30, 300 - 57 + 3)), background);
  EXPECT_EQ(QColor(image.pixel(250, 150)), background);  // DrawBG 0

  skin.draw_bg = true;
  image = RenderSkin(skin, size, 1.0, background, Qt::white);
  EXPECT_EQ(QColor(image.pixel(250, 150)), tile);
  EXPECT_EQ(QColor(image.pixel(500 - 62 + 3, 300 - 57 + 3)), corner);

  // Twice the pixels on a screen of ratio 2, the same picture.
  const QImage hidpi = RenderSkin(skin, size, 2.0, background, Qt::white);
  EXPECT_EQ(hidpi.size(), QSize(1000, 600));
  EXPECT_EQ(QColor(hidpi.pixel(2 * (500 - 62 + 3), 2 * (300 - 57 + 3))), corner);
}

TEST(SkinRenderTest, PiecesLaidOnThePixelsMatchThePaintersRasterOperations) {
  // Both shipped skins, with and without tiles, from smaller than a corner
  // piece (pieces cut at the picture's edges) to a large window, with a
  // canvas reused from size to size as the chrome reuses it.
  SkinCanvas canvas;
  for (const char* name : {"Standard", "Graphite"}) {
    Skin skin = LoadSkin(QStringLiteral(ORLAVO_SOURCE_DIR "/Visuals/Skins/") + name, name);
    ASSERT_TRUE(skin.loaded()) << skin.missing.toStdString();
    for (bool draw_bg : {false, true}) {
      skin.draw_bg = draw_bg;
      for (QSize size :
           {QSize(40, 30), QSize(139, 200), QSize(404, 300), QSize(405, 301), QSize(1203, 777)}) {
        const QColor bg(0x47, 0x73, 0xB4);
        const QImage fast = RenderSkin(skin, size, 1.0, bg, Qt::white, &canvas);
        const QImage painted = RenderSkinWithPainter(skin, size, 1.0, bg, Qt::white);
        EXPECT_EQ(fast, painted) << name << " " << draw_bg << " " << size.width() << "x"
                                 << size.height();
        // No piece reaches the interior: the window colour fills it there.
        const QRect middle = SkinInterior(size);
        for (int y = middle.top(); !draw_bg && y <= middle.bottom(); ++y) {
          for (int x = middle.left(); x <= middle.right(); ++x) {
            ASSERT_EQ(QColor(fast.pixel(x, y)), bg) << name << " " << x << "," << y;
          }
        }
      }
    }
  }
}

TEST(SkinRenderTest, MissingOrBrokenBitmapGivesThePlainFrameNeverBlack) {
  QTemporaryDir dir;
  WriteSkin(dir.path() + "/S", {}, 1);
  QFile::remove(dir.path() + "/S/GUI.bmp");
  Skin skin = LoadSkin(dir.path() + "/S", "S");
  EXPECT_FALSE(skin.loaded());
  EXPECT_EQ(skin.missing, dir.path() + "/S/GUI.bmp");
  // An atlas too small for the pieces is as good as missing.
  QImage(40, 40, QImage::Format_RGB32).save(dir.path() + "/S/GUI.bmp");
  EXPECT_FALSE(LoadSkin(dir.path() + "/S", "S").loaded());

  const QColor bg(1, 2, 3), fg(250, 240, 230);
  const QImage image = RenderSkin(skin, QSize(200, 100), 1.0, bg, fg);
  EXPECT_EQ(QColor(image.pixel(0, 0)), fg);
  EXPECT_EQ(QColor(image.pixel(100, 50)), bg);
}

TEST(SkinRenderTest, PlainFrameIsPureRedHairline) {
  const QColor bg(0x47, 0x73, 0xB4);
  const QImage image = RenderPlainFrame(QSize(300, 200), 1.0, bg, kPlainFrameColor);
  for (QPoint p :
       {QPoint(0, 0), QPoint(299, 199), QPoint(150, 0), QPoint(0, 100), QPoint(299, 50)}) {
    EXPECT_EQ(image.pixel(p), qRgb(255, 0, 0)) << p.x() << "," << p.y();
  }
  EXPECT_EQ(QColor(image.pixel(1, 1)), bg);
  EXPECT_EQ(QColor(image.pixel(150, 100)), bg);
}

TEST(SkinOutlineTest, CornersAreCutRound) {
  const QRegion outline = SkinOutline(QSize(500, 300));
  for (QPoint outside :
       {QPoint(0, 0), QPoint(3, 3), QPoint(499, 0), QPoint(0, 299), QPoint(498, 298)}) {
    EXPECT_FALSE(outline.contains(outside)) << outside.x() << "," << outside.y();
  }
  for (QPoint inside : {QPoint(25, 0), QPoint(0, 25), QPoint(250, 150), QPoint(499, 150),
                        QPoint(250, 299), QPoint(10, 10)}) {
    EXPECT_TRUE(outline.contains(inside)) << inside.x() << "," << inside.y();
  }
}

TEST(ColorSchemeFileTest, MissingEmptyAndInvalidValuesTakeTheirDefaults) {
  QTemporaryDir dir;
  const QString file = dir.path() + "/s.ovc";
  // Only BGColor set: white text, silver faces, black borders.
  IniWrite("Settings", "BGColor", "&H102030", file);
  ColorScheme s = ReadColorScheme(file);
  EXPECT_EQ(s.BGColor(), QColor(0x30, 0x20, 0x10));
  EXPECT_EQ(s.FGColor(), QColor(255, 255, 255));
  EXPECT_EQ(s.ButtonColor(), QColor(192, 192, 192));
  EXPECT_EQ(s.BorderColor(), QColor(0, 0, 0));

  for (const char* bad : {"blue", "&H", "&HZZ", "&H12XY", "12"}) {
    IniWrite("Settings", "FGColor", bad, file);
    EXPECT_EQ(ReadColorScheme(file).FGColor(), QColor(255, 255, 255)) << bad;
  }
  EXPECT_EQ(ReadColorScheme(dir.path() + "/none.ovc"), ColorScheme());

  ColorScheme custom;
  custom.SetColor(ColorScheme::Role::kBorder, QColor(1, 2, 3));
  ASSERT_TRUE(WriteColorScheme(dir.path() + "/new/x.ovc", custom));
  EXPECT_EQ(IniRead("Settings", "BorderColor", dir.path() + "/new/x.ovc"), "&H30201");
  EXPECT_EQ(ReadColorScheme(dir.path() + "/new/x.ovc"), custom);
}

TEST(VisualsFilesTest, ListsAndFindsSkinsAndSchemesOfTheVisualsFolder) {
  QTemporaryDir dir;
  const QString v = dir.path() + "/Visuals";
  QDir().mkpath(v + "/Skins/beta");
  QDir().mkpath(v + "/Skins/Alpha");
  QDir().mkpath(v + "/Color Schemes");
  for (const char* f : {"b.ovc", "A.OVC", "notes.txt", ".ovc"}) {
    QFile file(v + "/Color Schemes/" + f);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  EXPECT_EQ(SkinNames(dir.path()), QStringList({"Alpha", "beta"}));
  EXPECT_EQ(ColorSchemeNames(dir.path()), QStringList({"A", "b"}));
  EXPECT_EQ(SkinFolder(dir.path(), "beta"), v + "/Skins/beta");
  EXPECT_EQ(ColorSchemeFile(dir.path(), "b"), v + "/Color Schemes/b.ovc");
  EXPECT_EQ(NewColorSchemeFolder(dir.path()), v + "/Color Schemes");

  Settings settings(dir.path() + "/");
  EXPECT_EQ(ReadSelectedColorScheme(settings), ColorScheme());
  IniWrite("Settings", "BGColor", "&HFF", v + "/Color Schemes/b.ovc");
  settings.Write("ColorScheme", "b");
  EXPECT_EQ(ReadSelectedColorScheme(settings).BGColor(), QColor(255, 0, 0));
}

TEST(LayoutKeywordsTest, KeywordsKeepDistancesToTheRightAndBottomEdges) {
  struct Case {
    const char* tag;
    QRect after;  // control at (10, 20, 100, 30) in 400 x 300, window now 500 x 350
  };
  const Case cases[] = {
      {"size", QRect(10, 20, 200, 30)},       {"move", QRect(110, 20, 100, 30)},
      {"sizeh", QRect(10, 20, 100, 80)},      {"moveh", QRect(10, 70, 100, 30)},
      {"size:moveh", QRect(10, 70, 200, 30)}, {"move:sizeh", QRect(110, 20, 100, 80)},
      {"ignore", QRect(10, 20, 100, 30)},     {"", QRect(10, 20, 100, 30)},
  };
  for (const Case& c : cases) {
    const LayoutKeywords k = ParseLayoutTag(c.tag);
    const QRect control(10, 20, 100, 30);
    const LayoutDistances d = RecordDistances(k, control, QSize(400, 300));
    EXPECT_EQ(ApplyDistances(k, d, control, QSize(500, 350)), c.after) << c.tag;
  }
}

TEST(LayoutKeywordsTest, WindowLayoutMovesTaggedControlsOnly) {
  QWidget window;
  window.resize(400, 300);
  QWidget a(&window), b(&window);
  a.setGeometry(10, 200, 100, 30);
  a.setProperty(kTagProperty, "size:moveh");
  b.setGeometry(10, 20, 50, 20);
  WindowLayout layout;
  layout.RecordLayout(&window);
  window.resize(600, 500);
  layout.ApplyLayout(&window);
  EXPECT_EQ(a.geometry(), QRect(10, 400, 300, 30));
  EXPECT_EQ(b.geometry(), QRect(10, 20, 50, 20));
}

}  // namespace
}  // namespace orlavo

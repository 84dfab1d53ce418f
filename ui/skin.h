// A skin: the atlas of frame pieces, its reversed mask and its settings, and
// the painting of a window's frame from them.
#ifndef ORLAVO_UI_SKIN_H_
#define ORLAVO_UI_SKIN_H_

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>
#include <memory>
#include <vector>

class QPainter;

namespace orlavo {

// The atlas holds every piece within this size.
inline constexpr QSize kSkinAtlasSize(280, 160);
// The corner ellipses of the window's outline.
inline constexpr int kSkinCornerDiameter = 50;
// The frame drawn while a window is being resized.
inline constexpr QColor kPlainFrameColor(255, 0, 0);

// One copy of an atlas piece onto a window.
struct SkinPiece {
  QRect source;
  QPoint at;
  // The background tile is copied as it is; every other piece goes through
  // the mask.
  bool opaque = false;
};

// Every copy that paints a frame on a window of w x h pixels, in drawing
// order (tiles first when draw_bg, then edges, then corners).
std::vector<SkinPiece> SkinLayout(int w, int h, bool draw_bg);

// The part of a window of that size that no frame piece reaches (only the
// background tiles do).
QRect SkinInterior(QSize size);

struct Skin {
  QString name;
  QString folder;
  QImage gui;   // GUI.bmp
  QImage mask;  // RevMask.bmp
  bool draw_bg = false;
  QString info;
  // The file that is missing or cannot be used; empty when the skin loaded.
  QString missing;

  bool loaded() const { return missing.isEmpty(); }
};

// Reads the skin folder. A bitmap that is missing, unreadable or smaller than
// the atlas leaves the skin unloaded, naming the file.
Skin LoadSkin(const QString& folder, const QString& name);

// The skin folder's settings file, and its DrawBG written as 0 or 1.
QString SkinSettingsFile(const QString& folder);
bool WriteDrawBG(const QString& folder, bool on);

// Memory for a window's picture that is used again from size to size: a
// fresh picture of a large window costs more in first-touch page faults than
// painting it.
class SkinCanvas {
 public:
  // An RGB32 image of the size over the canvas's memory. It stays valid until
  // the next call.
  QImage Image(QSize device_size);

 private:
  std::unique_ptr<uchar[]> data_;
  size_t capacity_ = 0;
};

// The window's picture at the given size, in device pixels of the ratio:
// the background colour, the tiles when the skin says so, then the frame
// pieces laid through the mask (destination OR NOT mask, then AND artwork).
// An unloaded skin gives the plain frame of `frame_color`.
QImage RenderSkin(const Skin& skin, QSize size, qreal dpr, const QColor& background,
                  const QColor& frame_color, SkinCanvas* canvas = nullptr);
// The same through a painter's raster operations, at any ratio (RenderSkin
// lays the pieces on the pixels itself where the ratio is 1).
QImage RenderSkinWithPainter(const Skin& skin, QSize size, qreal dpr, const QColor& background,
                             const QColor& frame_color, SkinCanvas* canvas = nullptr);
// The background colour inside a one-pixel frame.
QImage RenderPlainFrame(QSize size, qreal dpr, const QColor& background, const QColor& frame,
                        SkinCanvas* canvas = nullptr);
// The same straight onto a painter (the window's own surface).
void PaintPlainFrame(QPainter& painter, QSize size, const QColor& background, const QColor& frame);

// The rounded outline of a skinned window.
QRegion SkinOutline(QSize size);

}  // namespace orlavo

#endif  // ORLAVO_UI_SKIN_H_

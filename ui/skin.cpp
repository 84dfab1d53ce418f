#include "ui/skin.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "app/ini_file.h"
#include "ui/shade.h"

namespace orlavo {

namespace {

const QString kSkinSection = QStringLiteral("Skin");

QImage LoadBitmap(const QString& path) {
  QImage image(path);
  if (image.isNull()) return {};
  return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

std::vector<SkinPiece> SkinLayout(int w, int h, bool draw_bg) {
  std::vector<SkinPiece> out;
  if (draw_bg) {
    const int columns = RoundHalfEven(w / 60.0), rows = RoundHalfEven(h / 60.0);
    for (int i = 0; i <= columns; ++i) {
      for (int j = 0; j <= rows; ++j)
        out.push_back({QRect(123, 90, 60, 60), {60 * i, 60 * j}, true});
    }
  }
  for (int i = RoundHalfEven((h - 135) / 30.0); i >= 0; --i) {
    out.push_back({QRect(0, 75, 28, 30), {0, 75 + 30 * i}});
  }
  for (int i = RoundHalfEven((w - 120) / 30.0); i >= 0; --i) {
    out.push_back({QRect(60, 126, 30, 28), {60 + 30 * i, h - 28}});
  }
  for (int i = RoundHalfEven((h - 120) / 30.0); i >= 0; --i) {
    out.push_back({QRect(250, 80, 30, 30), {w - 30, 80 + 30 * i}});
  }
  for (int i = 0; i <= 5; ++i) out.push_back({QRect(50, 0, 30, 45), {60 + 30 * i, 0}});
  out.push_back({QRect(80, 0, 40, 45), {240, 0}});
  for (int i = RoundHalfEven((w - 420) / 30.0); i >= 0; --i) {
    out.push_back({QRect(110, 0, 30, 24), {280 + 30 * i, 0}});
  }
  out.push_back({QRect(0, 0, 60, 75), {0, 0}});
  out.push_back({QRect(0, 95, 60, 59), {0, h - 59}});
  out.push_back({QRect(140, 0, 140, 80), {w - 140, 0}});
  out.push_back({QRect(218, 101, 62, 57), {w - 62, h - 57}});
  return out;
}

QRect SkinInterior(QSize size) {
  // Inside the left and right edge tiles (28 and 30 wide), below the top
  // pieces (80 at most) and above the bottom corners (59 at most).
  return QRect(QPoint(28, 80), QPoint(size.width() - 31, size.height() - 60));
}

QString SkinSettingsFile(const QString& folder) {
  return QDir(folder).filePath(QStringLiteral("SkinSettings.ini"));
}

bool WriteDrawBG(const QString& folder, bool on) {
  return IniWrite(kSkinSection, QStringLiteral("DrawBG"),
                  on ? QStringLiteral("1") : QStringLiteral("0"), SkinSettingsFile(folder));
}

Skin LoadSkin(const QString& folder, const QString& name) {
  Skin skin;
  skin.name = name;
  skin.folder = folder;
  const QString settings = SkinSettingsFile(folder);
  skin.draw_bg = IniRead(kSkinSection, QStringLiteral("DrawBG"), settings).toInt() != 0;
  skin.info = IniRead(kSkinSection, QStringLiteral("Info"), settings);
  // The mask goes first: without it the artwork cannot be laid in.
  for (const auto& [file, target] : {std::pair{QStringLiteral("RevMask.bmp"), &skin.mask},
                                     std::pair{QStringLiteral("GUI.bmp"), &skin.gui}}) {
    const QString path = QDir(folder).filePath(file);
    *target = LoadBitmap(path);
    if (target->isNull() || target->width() < kSkinAtlasSize.width() ||
        target->height() < kSkinAtlasSize.height()) {
      skin.missing = path;
      skin.gui = QImage();
      skin.mask = QImage();
      return skin;
    }
  }
  return skin;
}

QImage SkinCanvas::Image(QSize device_size) {
  const size_t w = static_cast<size_t>(qMax(1, device_size.width()));
  const size_t h = static_cast<size_t>(qMax(1, device_size.height()));
  const size_t needed = w * h * 4;
  if (needed > capacity_) {
    // Room to grow, so a window dragged larger does not allocate every step.
    capacity_ = needed + needed / 2;
    data_ = std::make_unique<uchar[]>(capacity_);
  }
  return QImage(data_.get(), static_cast<int>(w), static_cast<int>(h),
                static_cast<qsizetype>(w * 4), QImage::Format_RGB32);
}

namespace {

QImage NewPicture(QSize size, qreal dpr, SkinCanvas* canvas) {
  const QSize device(qMax(1, qRound(size.width() * dpr)), qMax(1, qRound(size.height() * dpr)));
  if (canvas != nullptr) return canvas->Image(device);
  return QImage(device, QImage::Format_RGB32);
}

void FrameDevicePixels(QPainter& p, int w, int h, const QColor& frame) {
  p.fillRect(0, 0, w, 1, frame);
  p.fillRect(0, h - 1, w, 1, frame);
  p.fillRect(0, 0, 1, h, frame);
  p.fillRect(w - 1, 0, 1, h, frame);
}

}  // namespace

QImage RenderPlainFrame(QSize size, qreal dpr, const QColor& background, const QColor& frame,
                        SkinCanvas* canvas) {
  QImage image = NewPicture(size, dpr, canvas);
  image.fill(background);
  QPainter p(&image);
  // One device pixel wide, so the frame stays a hairline on any screen.
  FrameDevicePixels(p, image.width(), image.height(), frame);
  p.end();
  image.setDevicePixelRatio(dpr);
  return image;
}

void PaintPlainFrame(QPainter& painter, QSize size, const QColor& background, const QColor& frame) {
  painter.fillRect(QRect(QPoint(0, 0), size), background);
  painter.save();
  // One device pixel wide, whatever the ratio.
  const qreal dpr = painter.device()->devicePixelRatioF();
  painter.scale(1 / dpr, 1 / dpr);
  FrameDevicePixels(painter, qRound(size.width() * dpr), qRound(size.height() * dpr), frame);
  painter.restore();
}

namespace {

using Pixels4 = quint32 __attribute__((vector_size(16)));

// One piece laid straight on the pixels, as the two raster operations lay it:
// (destination OR NOT mask) AND artwork, or the artwork copied for an opaque
// piece. A window is repainted at every size of a resize, and per piece this
// costs a fraction of a painter's composition setup.
void LayPiece(QImage& image, const Skin& skin, const SkinPiece& piece) {
  const QRect target(piece.at, piece.source.size());
  const QRect clipped = target & image.rect();
  if (clipped.isEmpty()) return;
  const QPoint from = piece.source.topLeft() + (clipped.topLeft() - target.topLeft());
  const int n = clipped.width();
  const qsizetype d_stride = image.bytesPerLine(), a_stride = skin.gui.bytesPerLine(),
                  m_stride = skin.mask.bytesPerLine();
  uchar* d_row = image.bits() + clipped.top() * d_stride + clipped.left() * 4;
  const uchar* g_row = skin.gui.constBits() + from.y() * a_stride + from.x() * 4;
  const uchar* m_row = skin.mask.constBits() + from.y() * m_stride + from.x() * 4;
  for (int y = 0; y < clipped.height(); ++y) {
    QRgb* __restrict d = reinterpret_cast<QRgb*>(d_row + y * d_stride);
    const QRgb* __restrict g = reinterpret_cast<const QRgb*>(g_row + y * a_stride);
    if (piece.opaque) {
      std::copy(g, g + n, d);
      continue;
    }
    const QRgb* __restrict m = reinterpret_cast<const QRgb*>(m_row + y * m_stride);
    int x = 0;
    // Four pixels at a time; the build's optimisation level leaves a loop of
    // unknown length unvectorised.
    for (; x + 4 <= n; x += 4) {
      Pixels4 dv, mv, gv;
      std::memcpy(&dv, d + x, sizeof dv);
      std::memcpy(&mv, m + x, sizeof mv);
      std::memcpy(&gv, g + x, sizeof gv);
      dv = (dv | ~mv) & gv;
      std::memcpy(d + x, &dv, sizeof dv);
    }
    for (; x < n; ++x) d[x] = (d[x] | ~m[x]) & g[x];
  }
}

}  // namespace

QImage RenderSkinWithPainter(const Skin& skin, QSize size, qreal dpr, const QColor& background,
                             const QColor& frame_color, SkinCanvas* canvas) {
  if (!skin.loaded()) return RenderPlainFrame(size, dpr, background, frame_color, canvas);
  QImage image = NewPicture(size, dpr, canvas);
  image.fill(background);
  QPainter p(&image);
  // Pieces are placed in window pixels and scaled by the painter, so that
  // neighbouring pieces meet on the same device pixel at any ratio.
  p.scale(dpr, dpr);
  for (const SkinPiece& piece : SkinLayout(size.width(), size.height(), skin.draw_bg)) {
    const QRectF target(piece.at, piece.source.size());
    if (piece.opaque) {
      p.setCompositionMode(QPainter::CompositionMode_Source);
      p.drawImage(target, skin.gui, piece.source);
      continue;
    }
    p.setCompositionMode(QPainter::RasterOp_NotSourceOrDestination);
    p.drawImage(target, skin.mask, piece.source);
    p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    p.drawImage(target, skin.gui, piece.source);
  }
  p.end();
  image.setDevicePixelRatio(dpr);
  return image;
}

QImage RenderSkin(const Skin& skin, QSize size, qreal dpr, const QColor& background,
                  const QColor& frame_color, SkinCanvas* canvas) {
  // Scaled pieces need the painter; the pixels of the atlas only when both
  // bitmaps are in the 32-bit form LoadSkin gives them.
  if (!skin.loaded() || dpr != 1.0 || skin.gui.format() != QImage::Format_RGB32 ||
      skin.mask.format() != QImage::Format_RGB32) {
    return RenderSkinWithPainter(skin, size, dpr, background, frame_color, canvas);
  }
  QImage image = NewPicture(size, 1.0, canvas);
  image.fill(background);
  for (const SkinPiece& piece : SkinLayout(size.width(), size.height(), skin.draw_bg)) {
    LayPiece(image, skin, piece);
  }
  return image;
}

QRegion SkinOutline(QSize size) {
  // A rounded rectangle from (0, 0) to (W + 1, H), as wide as the window.
  const int w = size.width() + 1, h = size.height();
  const int d = kSkinCornerDiameter, r = d / 2;
  if (w < d || h < d) return QRegion(0, 0, size.width(), size.height());
  QRegion region(r, 0, w - d, h);
  region += QRegion(0, r, w, h - d);
  region += QRegion(0, 0, d, d, QRegion::Ellipse);
  region += QRegion(w - d, 0, d, d, QRegion::Ellipse);
  region += QRegion(0, h - d, d, d, QRegion::Ellipse);
  region += QRegion(w - d, h - d, d, d, QRegion::Ellipse);
  return region;
}

}  // namespace orlavo

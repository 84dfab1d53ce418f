// The program's style: the platform's own, with its tall translucent pieces
// painted a band of lines at a time.
#ifndef ORLAVO_UI_CONTROL_STYLE_H_
#define ORLAVO_UI_CONTROL_STYLE_H_

#include <QProxyStyle>
#include <QRect>
#include <functional>

namespace orlavo {

// Qt's raster painter splits a fill of more than about a hundred lines among
// its threads when the fill is blended or textured and the clip is not one
// rectangle, as it never is in a window whose controls cover parts of it.
// The hand-offs cost more than such a fill, so the group box frames (a
// stretched translucent picture) are painted in bands short enough to stay
// on the painting thread. The pixels are the same.
class ControlStyle : public QProxyStyle {
 public:
  // Over the given style, or the platform's default one.
  explicit ControlStyle(QStyle* base = nullptr);
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

 private:
  bool banded_;  // only where the base style is known to paint within the clip
};

// Lines in a band: a fill of fewer than 96 spans stays on the calling thread,
// and a band's line rarely holds more than two pieces of clip.
inline constexpr int kPaintBand = 32;

// Calls paint once for each band of area, top to bottom.
void ForEachBand(const QRect& area, const std::function<void(const QRect& band)>& paint);

// Sets the program's style; before the first window is made.
void InstallControlStyle();

}  // namespace orlavo

#endif  // ORLAVO_UI_CONTROL_STYLE_H_

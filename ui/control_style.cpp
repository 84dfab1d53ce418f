#include "ui/control_style.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>
#include <algorithm>

namespace orlavo {

ControlStyle::ControlStyle(QStyle* base)
    : QProxyStyle(base),
      banded_(baseStyle()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0) {}

void ControlStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
  if (element == PE_FrameGroupBox && banded_ && painter != nullptr &&
      option->rect.height() > kPaintBand) {
    ForEachBand(option->rect, [&](const QRect& band) {
      painter->save();
      painter->setClipRect(band, Qt::IntersectClip);
      QProxyStyle::drawPrimitive(element, option, painter, widget);
      painter->restore();
    });
    return;
  }
  QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void ForEachBand(const QRect& area, const std::function<void(const QRect& band)>& paint) {
  for (int y = area.top(); y <= area.bottom(); y += kPaintBand) {
    paint(QRect(area.left(), y, area.width(), std::min(kPaintBand, area.bottom() + 1 - y)));
  }
}

void InstallControlStyle() { QApplication::setStyle(new ControlStyle); }

}  // namespace orlavo

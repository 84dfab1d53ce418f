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
    PaintInBands(*painter, option->rect,
                 [&] { QProxyStyle::drawPrimitive(element, option, painter, widget); });
    return;
  }
  QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void PaintInBands(QPainter& painter, const QRect& area, const std::function<void()>& paint) {
  for (int y = area.top(); y <= area.bottom(); y += kPaintBand) {
    painter.save();
    painter.setClipRect(
        QRect(area.left(), y, area.width(), std::min(kPaintBand, area.bottom() + 1 - y)),
        Qt::IntersectClip);
    paint();
    painter.restore();
  }
}

void InstallControlStyle() { QApplication::setStyle(new ControlStyle); }

}  // namespace orlavo

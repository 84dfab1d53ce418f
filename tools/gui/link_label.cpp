#include "tools/gui/link_label.h"

#include <QMouseEvent>

namespace orlavo {

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setCursor(Qt::PointingHandCursor);
  SetHovered(false);
}

void LinkLabel::SetHovered(bool on) {
  hovered_ = on;
  QFont f = font();
  f.setUnderline(on);
  setFont(f);
  // Pure red while pointed at; the pane's text colour otherwise.
  setStyleSheet(on ? QStringLiteral("color: #ff0000;") : QString());
}

void LinkLabel::enterEvent(QEnterEvent* event) {
  SetHovered(true);
  QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
  SetHovered(false);
  QLabel::leaveEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit clicked();
  }
  QLabel::mouseReleaseEvent(event);
}

}  // namespace orlavo

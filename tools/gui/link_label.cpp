#include "tools/gui/link_label.h"

#include <QMouseEvent>

namespace orlavo {

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(parent), caption_(text) {
  setCursor(Qt::PointingHandCursor);
  SetHovered(false);
}

void LinkLabel::SetHovered(bool on) {
  hovered_ = on;
  // The markup colours only the hovered caption, so at rest the label keeps
  // whatever text colour the colour scheme gives the pane.
  setTextFormat(on ? Qt::RichText : Qt::PlainText);
  setText(
      on ? QStringLiteral("<u><font color=\"#ff0000\">%1</font></u>").arg(caption_.toHtmlEscaped())
         : caption_);
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

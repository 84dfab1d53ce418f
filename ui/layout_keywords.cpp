#include "ui/layout_keywords.h"

#include <QLabel>
#include <QVariant>

namespace orlavo {

LayoutKeywords ParseLayoutTag(const QString& tag) {
  LayoutKeywords k;
  for (const QString& word : tag.split(u':')) {
    const QString w = word.trimmed();
    if (w == QLatin1String("size")) k.h = LayoutKeywords::H::kSize;
    if (w == QLatin1String("move")) k.h = LayoutKeywords::H::kMove;
    if (w == QLatin1String("sizeh")) k.v = LayoutKeywords::V::kSize;
    if (w == QLatin1String("moveh")) k.v = LayoutKeywords::V::kMove;
  }
  return k;
}

LayoutDistances RecordDistances(const LayoutKeywords& k, const QRect& c, QSize window) {
  LayoutDistances d;
  if (k.h == LayoutKeywords::H::kSize) d.h = window.width() - c.left() - c.width();
  if (k.h == LayoutKeywords::H::kMove) d.h = window.width() - c.left();
  if (k.v == LayoutKeywords::V::kSize) d.v = window.height() - c.top() - c.height();
  if (k.v == LayoutKeywords::V::kMove) d.v = window.height() - c.top();
  return d;
}

QRect ApplyDistances(const LayoutKeywords& k, const LayoutDistances& d, const QRect& control,
                     QSize window) {
  QRect r = control;
  if (k.h == LayoutKeywords::H::kSize) r.setWidth(qMax(0, window.width() - r.left() - d.h));
  if (k.h == LayoutKeywords::H::kMove) r.moveLeft(window.width() - d.h);
  if (k.v == LayoutKeywords::V::kSize) r.setHeight(qMax(0, window.height() - r.top() - d.v));
  if (k.v == LayoutKeywords::V::kMove) r.moveTop(window.height() - d.v);
  return r;
}

void WindowLayout::RecordLayout(QWidget* window) {
  entries_.clear();
  initial_size_ = window->size();
  for (QWidget* child : window->findChildren<QWidget*>()) {
    // Pictures are not re-laid out.
    if (auto* label = qobject_cast<QLabel*>(child); label != nullptr && !label->pixmap().isNull()) {
      continue;
    }
    const LayoutKeywords k = ParseLayoutTag(child->property(kTagProperty).toString());
    if (!k.any()) continue;
    const QSize outer = child->parentWidget()->size();
    entries_.push_back({child, k, RecordDistances(k, child->geometry(), outer)});
  }
  recorded_ = true;
}

void WindowLayout::ApplyLayout(QWidget* window) const {
  for (const Entry& e : entries_) {
    if (!e.control) continue;
    e.control->setGeometry(ApplyDistances(e.keywords, e.distances, e.control->geometry(),
                                          e.control->parentWidget()->size()));
  }
}

}  // namespace orlavo

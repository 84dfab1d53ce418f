#include "ui/command_face.h"

#include <algorithm>

#include "ui/shade.h"

namespace orlavo {

namespace {

// A one-pixel line from (x1, y1) toward (x2, y2) with the end point left out,
// as the face was designed with. Only horizontal and vertical lines occur.
void AddLine(std::vector<FaceStroke>& strokes, int x1, int y1, int x2, int y2,
             const QColor& color) {
  QRect rect;
  if (y1 == y2) {
    if (x2 > x1) rect = QRect(x1, y1, x2 - x1, 1);
    if (x2 < x1) rect = QRect(x2 + 1, y1, x1 - x2, 1);
  } else if (x1 == x2) {
    if (y2 > y1) rect = QRect(x1, y1, 1, y2 - y1);
    if (y2 < y1) rect = QRect(x1, y2 + 1, 1, y1 - y2);
  }
  if (!rect.isEmpty()) strokes.push_back({rect, color});
}

void AddFrame(std::vector<FaceStroke>& strokes, int width, int height, const QColor& color) {
  strokes.push_back({QRect(0, 0, width, 1), color});
  strokes.push_back({QRect(0, height - 1, width, 1), color});
  strokes.push_back({QRect(0, 0, 1, height), color});
  strokes.push_back({QRect(width - 1, 0, 1, height), color});
}

void PlanUp(FacePlan& plan, int w, int h, const QColor& base, const QColor& border) {
  const double step = 50.0 / h;
  for (int y = 0; y <= h; ++y) {
    AddLine(plan.under_caption, 0, y, w, y, Shade(base, RoundHalfEven(-step * y)));
  }
  auto& bevel = plan.over_caption;
  AddLine(bevel, 2, h - 2, w - 2, h - 2, Shade(base, -48));
  AddLine(bevel, 1, h - 3, w - 2, h - 3, Shade(base, -32));
  AddLine(bevel, w - 2, 2, w - 2, h - 2, Shade(base, -36));
  AddLine(bevel, w - 3, 3, w - 3, h - 3, Shade(base, -24));
  AddLine(bevel, 2, 1, w - 2, 1, Shade(base, 16));
  AddLine(bevel, 1, 2, w - 2, 2, Shade(base, 10));
  AddLine(bevel, 1, 2, 1, h - 2, Shade(base, -5));
  AddLine(bevel, 2, 3, 2, h - 3, Shade(base, -10));
  AddFrame(bevel, w, h, border);
}

void PlanPressed(FacePlan& plan, int w, int h, const QColor& base, const QColor& border) {
  const QColor base2 = Shade(base, -32);
  const double step = 25.0 / h;
  // Rows are laid from the bottom up, so the face darkens toward the top.
  for (int i = 0; i <= h; ++i) {
    AddLine(plan.under_caption, 0, h - i, w, h - i, Shade(base2, RoundHalfEven(-step * i)));
  }
  plan.pressed_caption = true;
  auto& bevel = plan.over_caption;
  AddLine(bevel, 2, h - 2, w - 2, h - 2, Shade(base2, 16));
  AddLine(bevel, 1, h - 3, w - 2, h - 3, Shade(base2, 10));
  AddLine(bevel, w - 2, 2, w - 2, h - 2, Shade(base2, 5));
  AddLine(bevel, w - 3, 3, w - 3, h - 3, base2);
  AddLine(bevel, 2, 1, w - 2, 1, Shade(base2, -32));
  AddLine(bevel, 1, 2, w - 2, 2, Shade(base2, -24));
  AddLine(bevel, 1, 2, 1, h - 2, Shade(base2, -32));
  AddLine(bevel, 2, 2, 2, h - 2, Shade(base2, -22));
  AddFrame(bevel, w, h, border);
}

void PlanDisabled(FacePlan& plan, int w, int h, const QColor& base) {
  plan.under_caption.push_back({QRect(0, 0, w, h), Shade(base, -24)});
  plan.caption_color = Shade(base, -104);
  AddFrame(plan.over_caption, w, h, Shade(base, -84));
}

}  // namespace

QRect CaptionMeasureRect(int width, int height) {
  return QRect(1, 0, std::max(0, width - 3), std::max(0, height - 2));
}

CaptionRects LayOutCaption(int width, int height, QSize text_size) {
  // The measured rectangle keeps its top-left corner (1, 0); moving it by half
  // the room left over centres it. Whole-number division, toward zero.
  const int right = 1 + text_size.width();
  const int bottom = text_size.height();
  const int dx = (width - right) / 2;
  const int dy = (height - bottom) / 2;
  CaptionRects rects;
  rects.normal = QRect(1 + dx, dy, text_size.width(), text_size.height());
  rects.pressed = rects.normal.translated(1, 1);
  return rects;
}

QChar AccessKeyOf(const QString& caption) {
  if (caption.size() < 2) return QChar();
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] != u'&') continue;
    if (i + 1 >= caption.size()) return QChar();
    if (caption[i + 1] == u'&') {
      ++i;
      continue;
    }
    return caption[i + 1].toLower();
  }
  return QChar();
}

QString CaptionPlainText(const QString& caption) {
  QString text;
  text.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&') {
      if (i + 1 >= caption.size()) break;
      ++i;
    }
    text += caption[i];
  }
  return text;
}

FacePlan PlanFace(FaceState state, int width, int height, const QColor& back_color,
                  const QColor& fore_color, const QColor& border_color) {
  FacePlan plan;
  plan.caption_color = fore_color;
  // A zero-sized button has nothing to show, and the gradient step would divide by zero.
  if (width <= 0 || height <= 0) return plan;
  const QColor base = Shade(back_color, 48);
  switch (state) {
    case FaceState::kUp:
      PlanUp(plan, width, height, base, border_color);
      break;
    case FaceState::kPressed:
      PlanPressed(plan, width, height, base, border_color);
      break;
    case FaceState::kDisabled:
      PlanDisabled(plan, width, height, base);
      break;
  }
  return plan;
}

}  // namespace orlavo

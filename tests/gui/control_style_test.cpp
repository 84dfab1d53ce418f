// Painting in bands of lines changes no pixel: the program's style against
// its base style, and the skinned frame against its picture.
#include "ui/control_style.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QPainter>
#include <QStyleFactory>
#include <QVBoxLayout>

namespace orlavo {
namespace {

// A group box over an opaque control, so the box's clip is not one rectangle.
QImage PaintGroupBox(QStyle* style, const QString& title, bool checkable, QSize size) {
  QGroupBox box(title);
  box.setCheckable(checkable);
  QPalette palette = box.palette();
  palette.setColor(QPalette::Window, QColor(40, 90, 160));
  box.setPalette(palette);
  auto* layout = new QVBoxLayout(&box);
  auto* edit = new QLineEdit(&box);
  edit->setAutoFillBackground(true);
  layout->addWidget(edit);
  box.setStyle(style);
  edit->setStyle(style);
  box.resize(size);
  return box.grab().toImage();
}

TEST(ControlStyleTest, GroupBoxFramesArePaintedAsTheBaseStylePaintsThem) {
  std::unique_ptr<QStyle> fusion(QStyleFactory::create("Fusion"));
  ControlStyle banded(QStyleFactory::create("Fusion"));
  struct Case {
    const char* title;
    bool checkable;
    QSize size;
  };
  const Case cases[] = {{"ID3v1 Tag", false, {300, 417}},
                        {"", false, {200, 64}},
                        {"", false, {120, kPaintBand}},
                        {"Filter for:", true, {260, 97}},
                        {"Tall", false, {90, 900}}};
  for (const Case& c : cases) {
    const QImage want = PaintGroupBox(fusion.get(), c.title, c.checkable, c.size);
    const QImage got = PaintGroupBox(&banded, c.title, c.checkable, c.size);
    EXPECT_EQ(got, want) << c.title << " " << c.size.width() << "x" << c.size.height();
  }
}

}  // namespace
}  // namespace orlavo

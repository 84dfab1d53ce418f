// Readable GoogleTest failure messages for the Qt values the widget tests compare.
#ifndef ORLAVO_TESTS_GUI_QT_PRINT_H_
#define ORLAVO_TESTS_GUI_QT_PRINT_H_

#include <QColor>
#include <QRect>
#include <QSize>
#include <ostream>

inline void PrintTo(const QColor& color, std::ostream* os) {
  *os << "rgb(" << color.red() << ", " << color.green() << ", " << color.blue() << ")";
}

inline void PrintTo(const QRect& rect, std::ostream* os) {
  *os << "QRect(" << rect.x() << ", " << rect.y() << ", " << rect.width() << ", " << rect.height()
      << ")";
}

inline void PrintTo(const QSize& size, std::ostream* os) {
  *os << "QSize(" << size.width() << ", " << size.height() << ")";
}

#endif  // ORLAVO_TESTS_GUI_QT_PRINT_H_

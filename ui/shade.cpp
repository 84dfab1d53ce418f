#include "ui/shade.h"

#include <algorithm>
#include <cmath>

namespace orlavo {

QColor Shade(const QColor& color, int amount) {
  const int red = color.red() + amount;
  const int green = color.green() + amount;
  // Integer division truncates toward zero, as the face colours require.
  const int blue = color.blue() + color.blue() * amount / 192;
  return QColor(std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255));
}

int RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double fraction = value - floor;
  if (fraction > 0.5) return static_cast<int>(floor) + 1;
  if (fraction < 0.5) return static_cast<int>(floor);
  const int lower = static_cast<int>(floor);
  return lower % 2 == 0 ? lower : lower + 1;
}

}  // namespace orlavo

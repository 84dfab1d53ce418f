// Colour arithmetic of the skinned button face.
#ifndef ORLAVO_UI_SHADE_H_
#define ORLAVO_UI_SHADE_H_

#include <QColor>

namespace orlavo {

// Lightens (positive amount) or darkens (negative amount) a colour. Red and
// green move by the amount itself; blue moves by its own share of 192, so a
// blue face keeps its depth where a grey one turns white or black. Every
// channel is clamped to 0..255.
QColor Shade(const QColor& color, int amount);

// Nearest whole number, halves to even (2.5 gives 2, 3.5 gives 4).
int RoundHalfEven(double value);

}  // namespace orlavo

#endif  // ORLAVO_UI_SHADE_H_

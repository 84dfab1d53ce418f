#include "ui/button_set.h"

#include <QPalette>
#include <QWidget>
#include <algorithm>

#include "ui/color_scheme.h"
#include "ui/command_button.h"

namespace orlavo {

CommandButton* ButtonSet::Add(const QString& caption, const QString& tooltip, QWidget* parent,
                              int min_width) {
  auto* b = new CommandButton(caption, parent);
  if (!tooltip.isEmpty()) b->setToolTip(tooltip);
  b->setMinimumHeight(26);
  b->setMinimumWidth(std::max(min_width, b->fontMetrics().horizontalAdvance(caption) + 24));
  const ColorScheme& scheme = CurrentColorScheme();
  b->SetBackColor(scheme.ButtonColor());
  b->SetBorderColor(scheme.BorderColor());
  buttons_ << b;
  return b;
}

CommandButton* ButtonSet::Find(const QString& caption) const {
  for (CommandButton* b : buttons_) {
    if (b->Caption() == caption) return b;
  }
  return nullptr;
}

void ButtonSet::ApplyColors(const ColorScheme& scheme) {
  for (CommandButton* b : buttons_) {
    b->SetBackColor(scheme.ButtonColor());
    b->SetBorderColor(scheme.BorderColor());
  }
}

void ApplyWindowColors(QWidget* window, const ColorScheme& scheme) {
  QPalette pal = window->palette();
  pal.setColor(QPalette::Window, scheme.BGColor());
  pal.setColor(QPalette::WindowText, scheme.FGColor());
  window->setPalette(pal);
}

}  // namespace orlavo

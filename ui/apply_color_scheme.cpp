#include "ui/apply_color_scheme.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRadioButton>
#include <QVariant>

#include "ui/color_scheme.h"
#include "ui/command_button.h"
#include "ui/layout_keywords.h"
#include "ui/shade.h"
#include "ui/window_chrome.h"

namespace orlavo {

namespace {

bool Ignored(const QWidget* w) {
  return w->property(kTagProperty).toString() == QLatin1String("ignore");
}

// Only the roles the scheme owns are set, for the active and inactive
// states; the rest (a disabled text's grey among them) still comes from the
// window.
void SetTextColors(QWidget* w, const ColorScheme& scheme) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, scheme.BGColor());
  pal.setColor(QPalette::Active, QPalette::WindowText, scheme.FGColor());
  pal.setColor(QPalette::Inactive, QPalette::WindowText, scheme.FGColor());
  w->setPalette(pal);
}

// A control tagged "ignore" would still inherit the window's colours; its
// own colours are pinned the first time a scheme reaches it.
void PinColors(QWidget* w) {
  if (w->property("orlavoColorsPinned").toBool()) return;
  QPalette pal = w->palette();
  pal.setResolveMask(~QPalette::ResolveMask(0));
  w->setPalette(pal);
  w->setProperty("orlavoColorsPinned", true);
}

}  // namespace

void ApplyColorSchemeToControls(QWidget* part, const ColorScheme& scheme) {
  QWidget* window = part->window();
  const QList<QWidget*> children = part->findChildren<QWidget*>();
  for (QWidget* child : children) {
    if (Ignored(child) && child->window() == window) PinColors(child);
  }
  for (QWidget* child : children) {
    // Windows owned by this one are coloured when they load.
    if (Ignored(child) || child->window() != window) continue;
    if (auto* button = qobject_cast<CommandButton*>(child)) {
      button->SetBackColor(scheme.ButtonColor());
      button->SetBorderColor(scheme.BorderColor());
      continue;
    }
    if (qobject_cast<QLabel*>(child) != nullptr || qobject_cast<QGroupBox*>(child) != nullptr ||
        qobject_cast<QCheckBox*>(child) != nullptr ||
        qobject_cast<QRadioButton*>(child) != nullptr) {
      SetTextColors(child, scheme);
      // Filled with the scheme's background, so text stays readable over a
      // skin's tiled background. Buttons fill with the button colour by
      // default, under which the scheme's text colour can vanish.
      child->setBackgroundRole(QPalette::Window);
      child->setAutoFillBackground(true);
    }
  }
}

void ApplyColorScheme(QWidget* window, const ColorScheme& scheme) {
  // Pinned before the window's colours change, which they would inherit.
  for (QWidget* child : window->findChildren<QWidget*>()) {
    if (Ignored(child) && child->window() == window) PinColors(child);
  }
  if (!Ignored(window)) SetTextColors(window, scheme);
  ApplyColorSchemeToControls(window, scheme);
  if (WindowChrome* chrome = WindowChrome::Of(window)) chrome->ApplySkin(false);
}

void ApplyColorScheme(QWidget* window) { ApplyColorScheme(window, CurrentColorScheme()); }

void ApplyColorSchemeToControls(QWidget* part) {
  ApplyColorSchemeToControls(part, CurrentColorScheme());
}

void ApplyColorSchemeEverywhere() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (qobject_cast<QMenu*>(w) != nullptr) continue;
    ApplyColorScheme(w);
  }
}

void ApplyMenuLook(QMenu* menu, const ColorScheme& scheme) {
  QPalette pal = menu->palette();
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
    pal.setColor(g, QPalette::Window, scheme.BGColor());
    pal.setColor(g, QPalette::Base, scheme.BGColor());
    pal.setColor(g, QPalette::WindowText, scheme.FGColor());
    pal.setColor(g, QPalette::Text, scheme.FGColor());
    pal.setColor(g, QPalette::ButtonText, scheme.FGColor());
    pal.setColor(g, QPalette::Highlight, Shade(scheme.BGColor(), -48));
    pal.setColor(g, QPalette::HighlightedText, scheme.FGColor());
  }
  pal.setColor(QPalette::Disabled, QPalette::Window, scheme.BGColor());
  pal.setColor(QPalette::Disabled, QPalette::Base, scheme.BGColor());
  // A greyed item: the text half way to the background.
  const QColor fg = scheme.FGColor(), bg = scheme.BGColor();
  const QColor grey((fg.red() + bg.red()) / 2, (fg.green() + bg.green()) / 2,
                    (fg.blue() + bg.blue()) / 2);
  pal.setColor(QPalette::Disabled, QPalette::WindowText, grey);
  pal.setColor(QPalette::Disabled, QPalette::Text, grey);
  pal.setColor(QPalette::Disabled, QPalette::ButtonText, grey);
  menu->setPalette(pal);
}

void ApplyMenuLook(QMenu* menu) { ApplyMenuLook(menu, CurrentColorScheme()); }

}  // namespace orlavo

// The About window: the program's title and version, credits and a close button.
#ifndef ORLAVO_APP_GUI_ABOUT_WINDOW_H_
#define ORLAVO_APP_GUI_ABOUT_WINDOW_H_

#include <QDialog>
#include <QLabel>

#include "ui/color_scheme.h"
#include "ui/command_button.h"

namespace orlavo {

class AboutWindow : public QDialog {
  Q_OBJECT

 public:
  // Takes its colours from the current colour scheme.
  explicit AboutWindow(QWidget* parent = nullptr);

  // Background and text from the scheme, the button's face and border too.
  void ApplyColors(const ColorScheme& scheme);

  QLabel* TitleLabel() const { return title_; }
  QLabel* CreditsLabel() const { return credits_; }
  CommandButton* CloseButton() const { return close_; }

 private:
  QLabel* title_;
  QLabel* credits_;
  CommandButton* close_;
};

}  // namespace orlavo

#endif  // ORLAVO_APP_GUI_ABOUT_WINDOW_H_

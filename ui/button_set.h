// The skinned buttons of one window or pane: made in the colour scheme's
// colours, sized to their captions and found again by caption.
#ifndef ORLAVO_UI_BUTTON_SET_H_
#define ORLAVO_UI_BUTTON_SET_H_

#include <QList>
#include <QString>

class QWidget;

namespace orlavo {

class ColorScheme;
class CommandButton;

class ButtonSet {
 public:
  CommandButton* Add(const QString& caption, const QString& tooltip, QWidget* parent,
                     int min_width = 70);
  // The first button with this caption, or nullptr.
  CommandButton* Find(const QString& caption) const;
  const QList<CommandButton*>& buttons() const { return buttons_; }
  void ApplyColors(const ColorScheme& scheme);

 private:
  QList<CommandButton*> buttons_;
};

// The scheme's background and text colours on a window.
void ApplyWindowColors(QWidget* window, const ColorScheme& scheme);

}  // namespace orlavo

#endif  // ORLAVO_UI_BUTTON_SET_H_

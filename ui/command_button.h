// The program's own push button: it paints a shaded face from one base colour,
// reports hovering so windows can show help texts, and works from the keyboard
// (Tab focus, Space, arrow keys, Alt + access key).
#ifndef ORLAVO_UI_COMMAND_BUTTON_H_
#define ORLAVO_UI_COMMAND_BUTTON_H_

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "ui/command_face.h"

namespace orlavo {

class CommandButton : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QColor BorderColor READ BorderColor WRITE SetBorderColor)
  Q_PROPERTY(QColor BackColor READ BackColor WRITE SetBackColor)
  Q_PROPERTY(QColor ForeColor READ ForeColor WRITE SetForeColor)
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
  Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
  Q_PROPERTY(int MousePointer READ MousePointer WRITE SetMousePointer)

 public:
  // Pointer shape numbers of MousePointer; the ones between keep their
  // traditional meanings (1 arrow, 2 cross, 3 I-beam, 7 up-down, 9 left-right,
  // 11 hourglass, 12 no-drop, 15 size-all ...).
  static constexpr int kDefaultPointer = 0;
  static constexpr int kCustomPointer = 99;  // MouseIcon
  // How often the hover timer looks whether the pointer is still over the button.
  static constexpr int kHoverIntervalMs = 50;

  explicit CommandButton(QWidget* parent = nullptr);
  explicit CommandButton(const QString& caption, QWidget* parent = nullptr);
  ~CommandButton() override;

  QColor BorderColor() const { return border_color_; }
  void SetBorderColor(const QColor& color);
  QColor BackColor() const { return back_color_; }
  void SetBackColor(const QColor& color);
  QColor ForeColor() const { return fore_color_; }
  void SetForeColor(const QColor& color);
  // "&" marks the access key (Alt + that letter clicks); "&&" shows one "&".
  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  bool Enabled() const { return isEnabled(); }
  void SetEnabled(bool enabled) { setEnabled(enabled); }
  int MousePointer() const { return mouse_pointer_; }
  void SetMousePointer(int pointer);
  QPixmap MouseIcon() const { return mouse_icon_; }
  // Used while MousePointer is kCustomPointer; a null picture is ignored.
  void SetMouseIcon(const QPixmap& icon);

  // The access key in lower case, or a null QChar.
  QChar AccessKey() const { return access_key_; }
  // Whether the face is drawn pressed.
  bool IsPressed() const { return state_ == FaceState::kPressed; }
  QRect CaptionRect() const { return caption_rects_.normal; }
  QRect PressedCaptionRect() const { return caption_rects_.pressed; }
  // Clicks as Space or the access key do: the face comes up, then Click is raised
  // (only while enabled).
  void PerformClick();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void Click();
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);
  void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void KeyDown(int key, Qt::KeyboardModifiers shift);
  void KeyUp(int key, Qt::KeyboardModifiers shift);
  void KeyPress(QChar key);
  // The pointer moves over the button with no button held; raised on every such move.
  void MouseOver();
  // The pointer has left the button after hovering (noticed within kHoverIntervalMs).
  void MouseOut();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void UpdateCaptionLayout();
  void DrawState(FaceState state);
  void ButtonDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
  void ButtonUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
  void ClickIfLeft();
  void CheckHover();
  void UpdatePointer();
  bool ShowsFocusCue() const;

  QColor border_color_;
  QColor back_color_;
  QColor fore_color_;
  QString caption_;
  QChar access_key_;
  int access_key_id_ = 0;
  int mouse_pointer_ = kDefaultPointer;
  QPixmap mouse_icon_;

  CaptionRects caption_rects_;
  FaceState state_ = FaceState::kUp;
  Qt::MouseButton last_button_ = Qt::LeftButton;
  int last_key_ = 0;
  bool focus_cue_ = false;
  QTimer hover_timer_;
};

}  // namespace orlavo

#endif  // ORLAVO_UI_COMMAND_BUTTON_H_

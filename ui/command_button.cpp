#include "ui/command_button.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QShortcutEvent>
#include <algorithm>
#include <array>

namespace orlavo {

namespace {

constexpr int kCaptionFlags =
    Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;

// Shapes for MousePointer 1..15.
constexpr std::array<Qt::CursorShape, 15> kPointerShapes = {
    Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,   Qt::ArrowCursor,
    Qt::SizeAllCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor, Qt::SizeFDiagCursor,
    Qt::SizeHorCursor, Qt::UpArrowCursor,   Qt::WaitCursor,    Qt::ForbiddenCursor,
    Qt::BusyCursor,    Qt::WhatsThisCursor, Qt::SizeAllCursor,
};

// Screen readers see the button as a push button named by its caption, and can press it.
class CommandButtonAccessible : public QAccessibleWidget {
 public:
  explicit CommandButtonAccessible(CommandButton* button)
      : QAccessibleWidget(button, QAccessible::Button) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name) {
      QString name = widget()->accessibleName();
      return name.isEmpty() ? CaptionPlainText(Button()->Caption()) : name;
    }
    if (kind == QAccessible::Accelerator && !Button()->AccessKey().isNull()) {
      return QKeySequence(Qt::ALT).toString(QKeySequence::NativeText) +
             QString(Button()->AccessKey()).toUpper();
    }
    return QAccessibleWidget::text(kind);
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.pressed = Button()->IsPressed();
    return state;
  }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    if (widget()->isEnabled()) names.prepend(pressAction());
    return names;
  }

  void doAction(const QString& action) override {
    if (action == pressAction() || action == showMenuAction()) {
      Button()->PerformClick();
      return;
    }
    QAccessibleWidget::doAction(action);
  }

 private:
  CommandButton* Button() const { return static_cast<CommandButton*>(widget()); }
};

QAccessibleInterface* CommandButtonAccessibleFactory(const QString& class_name, QObject* object) {
  if (class_name == QLatin1String("orlavo::CommandButton") && object && object->isWidgetType()) {
    return new CommandButtonAccessible(static_cast<CommandButton*>(object));
  }
  return nullptr;
}

void InstallAccessibleFactory() {
  static const bool installed = [] {
    QAccessible::installFactory(CommandButtonAccessibleFactory);
    return true;
  }();
  (void)installed;
}

}  // namespace

CommandButton::CommandButton(QWidget* parent) : CommandButton(QString(), parent) {}

CommandButton::CommandButton(const QString& caption, QWidget* parent)
    : QWidget(parent), border_color_(0, 0, 0), back_color_(0xC0, 0xC0, 0xC0), fore_color_(0, 0, 0) {
  InstallAccessibleFactory();
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  // The face covers every pixel, so the background need not be cleared first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  // A right click on a button is the button's own; the window menu of the
  // window behind it must not open.
  setContextMenuPolicy(Qt::PreventContextMenu);
  setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
  hover_timer_.setInterval(kHoverIntervalMs);
  connect(&hover_timer_, &QTimer::timeout, this, &CommandButton::CheckHover);
  SetCaption(caption);
}

CommandButton::~CommandButton() = default;

void CommandButton::SetBorderColor(const QColor& color) {
  border_color_ = color;
  DrawState(FaceState::kUp);
  update();
}

void CommandButton::SetBackColor(const QColor& color) {
  back_color_ = color;
  DrawState(FaceState::kUp);
  update();
}

void CommandButton::SetForeColor(const QColor& color) {
  fore_color_ = color;
  update();
}

void CommandButton::SetCaption(const QString& caption) {
  caption_ = caption;
  access_key_ = AccessKeyOf(caption);
  if (access_key_id_ != 0) {
    releaseShortcut(access_key_id_);
    access_key_id_ = 0;
  }
  if (!access_key_.isNull()) {
    const auto key = static_cast<Qt::Key>(access_key_.toUpper().unicode());
    access_key_id_ = grabShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, key)));
  }
  UpdateCaptionLayout();
  updateGeometry();
  update();
  if (QAccessible::isActive()) {
    QAccessibleEvent name_changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name_changed);
  }
}

void CommandButton::SetMousePointer(int pointer) {
  mouse_pointer_ = pointer;
  UpdatePointer();
}

void CommandButton::SetMouseIcon(const QPixmap& icon) {
  mouse_icon_ = icon;
  UpdatePointer();
}

void CommandButton::PerformClick() {
  last_button_ = Qt::LeftButton;
  ClickIfLeft();
}

QSize CommandButton::sizeHint() const {
  const QSize text = fontMetrics().size(Qt::TextShowMnemonic, caption_);
  return QSize(text.width() + 16, std::max(23, text.height() + 10));
}

QSize CommandButton::minimumSizeHint() const { return sizeHint(); }

bool CommandButton::event(QEvent* event) {
  if (event->type() == QEvent::Shortcut) {
    auto* shortcut = static_cast<QShortcutEvent*>(event);
    if (access_key_id_ != 0 && shortcut->shortcutId() == access_key_id_) {
      focus_cue_ = true;
      if (shortcut->isAmbiguous()) {
        // Two buttons share the letter: each press moves the focus between them.
        setFocus(Qt::ShortcutFocusReason);
      } else {
        PerformClick();
      }
      return true;
    }
  }
  return QWidget::event(event);
}

void CommandButton::paintEvent(QPaintEvent*) {
  const int w = width();
  const int h = height();
  if (w <= 0 || h <= 0) return;
  const FaceState face = isEnabled() ? state_ : FaceState::kDisabled;
  const FacePlan plan = PlanFace(face, w, h, back_color_, fore_color_, border_color_);
  QPainter painter(this);
  for (const FaceStroke& stroke : plan.under_caption) painter.fillRect(stroke.rect, stroke.color);
  painter.setFont(font());
  painter.setPen(plan.caption_color);
  painter.drawText(plan.pressed_caption ? caption_rects_.pressed : caption_rects_.normal,
                   kCaptionFlags, caption_);
  for (const FaceStroke& stroke : plan.over_caption) painter.fillRect(stroke.rect, stroke.color);
  if (ShowsFocusCue() && w > 8 && h > 8) {
    painter.setPen(QPen(plan.caption_color, 1, Qt::DotLine));
    painter.drawRect(QRect(3, 3, w - 7, h - 7));
  }
}

void CommandButton::resizeEvent(QResizeEvent*) {
  UpdateCaptionLayout();
  if (height() > 0) DrawState(FaceState::kUp);
}

void CommandButton::mousePressEvent(QMouseEvent* event) {
  ButtonDown(event->button(), event->modifiers(), event->position().toPoint());
}

void CommandButton::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const Qt::MouseButtons buttons = event->buttons();
  emit MouseMove(buttons, event->modifiers(), pos.x(), pos.y());
  if (buttons != Qt::NoButton && buttons != Qt::LeftButton) return;
  const bool inside = pos.x() >= 0 && pos.x() <= width() && pos.y() >= 0 && pos.y() <= height();
  if (!inside) {
    DrawState(FaceState::kUp);
  } else if (buttons == Qt::NoButton) {
    if (!hover_timer_.isActive()) hover_timer_.start();
    emit MouseOver();
    DrawState(FaceState::kUp);
  } else {
    DrawState(FaceState::kPressed);
  }
}

void CommandButton::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  ButtonUp(event->button(), event->modifiers(), pos);
  if (rect().contains(pos)) ClickIfLeft();
}

void CommandButton::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is a press like any other, so a quick
  // second click still works the button.
  if (last_button_ == Qt::LeftButton && event->button() == Qt::LeftButton) {
    ButtonDown(Qt::LeftButton, event->modifiers(), event->position().toPoint());
  }
}

void CommandButton::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  emit KeyDown(key, event->modifiers());
  last_key_ = key;
  if (!focus_cue_) {
    focus_cue_ = true;
    update();
  }
  bool handled = true;
  switch (key) {
    case Qt::Key_Space:
      ButtonDown(Qt::LeftButton, event->modifiers(), QPoint());
      break;
    case Qt::Key_Right:
    case Qt::Key_Down:
      focusNextChild();
      break;
    case Qt::Key_Left:
    case Qt::Key_Up:
      focusPreviousChild();
      break;
    default:
      handled = false;
  }
  if (!event->text().isEmpty()) emit KeyPress(event->text().front());
  // Keys the button has no use for go on to the window (Escape closes a dialog).
  event->setAccepted(handled);
}

void CommandButton::keyReleaseEvent(QKeyEvent* event) {
  // A held key repeats its press only; the release comes once, at the end.
  if (event->isAutoRepeat()) return;
  const int key = event->key();
  emit KeyUp(key, event->modifiers());
  if (key == Qt::Key_Space && last_key_ == Qt::Key_Space) {
    ButtonUp(Qt::LeftButton, event->modifiers(), QPoint());
    last_button_ = Qt::LeftButton;
    ClickIfLeft();
    return;
  }
  event->setAccepted(key == Qt::Key_Space);
}

void CommandButton::focusInEvent(QFocusEvent* event) {
  const Qt::FocusReason reason = event->reason();
  if (reason == Qt::MouseFocusReason || reason == Qt::PopupFocusReason) {
    focus_cue_ = false;
  } else if (reason != Qt::ActiveWindowFocusReason) {
    focus_cue_ = true;
  }
  update();
}

void CommandButton::focusOutEvent(QFocusEvent*) {
  // A Space still held when the focus moves on never reaches this button
  // again; do not leave the face stuck down.
  if (IsPressed() && QApplication::mouseButtons() == Qt::NoButton) DrawState(FaceState::kUp);
  update();
}

void CommandButton::changeEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::FontChange:
      UpdateCaptionLayout();
      updateGeometry();
      update();
      break;
    case QEvent::EnabledChange:
      update();
      break;
    default:
      break;
  }
  QWidget::changeEvent(event);
}

void CommandButton::UpdateCaptionLayout() {
  const int w = width();
  const int h = height();
  const QRect measured = fontMetrics().boundingRect(
      CaptionMeasureRect(w, h),
      Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic, caption_);
  caption_rects_ = orlavo::LayOutCaption(w, h, measured.size());
}

void CommandButton::DrawState(FaceState state) {
  if (state_ == state) return;
  state_ = state;
  update();
}

void CommandButton::ButtonDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos) {
  emit MouseDown(button, shift, pos.x(), pos.y());
  last_button_ = button;
  if (button != Qt::RightButton) DrawState(FaceState::kPressed);
}

void CommandButton::ButtonUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos) {
  emit MouseUp(button, shift, pos.x(), pos.y());
  if (button != Qt::RightButton) DrawState(FaceState::kUp);
}

void CommandButton::ClickIfLeft() {
  if (last_button_ != Qt::LeftButton || !isEnabled()) return;
  DrawState(FaceState::kUp);
  emit Click();
}

void CommandButton::CheckHover() {
  // Enter and leave events say whether the pointer is over this window at all
  // (the only reliable word under Wayland); the position says whether it is
  // over this button of it.
  const bool over = underMouse() && rect().contains(mapFromGlobal(QCursor::pos()));
  if (over) return;
  hover_timer_.stop();
  DrawState(FaceState::kUp);
  emit MouseOut();
}

void CommandButton::UpdatePointer() {
  if (mouse_pointer_ == kCustomPointer) {
    if (mouse_icon_.isNull()) {
      unsetCursor();
    } else {
      setCursor(QCursor(mouse_icon_));
    }
    return;
  }
  if (mouse_pointer_ >= 1 && mouse_pointer_ <= static_cast<int>(kPointerShapes.size())) {
    setCursor(kPointerShapes[mouse_pointer_ - 1]);
  } else {
    unsetCursor();
  }
}

bool CommandButton::ShowsFocusCue() const { return focus_cue_ && hasFocus(); }

}  // namespace orlavo

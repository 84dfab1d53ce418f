#include "ui/window_chrome.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "ui/apply_color_scheme.h"
#include "ui/color_scheme.h"
#include "ui/control_style.h"
#include "ui/shade.h"
#include "ui/visuals_files.h"

namespace orlavo {

namespace {

constexpr int kTwipsPerPixel = 15;
// The edge zones, in twips from the right and bottom edges.
constexpr int kEdgeZone = 100;
constexpr int kCornerZone = 250;
constexpr char kWebsite[] = "https://www.orlavo.example/";

// Room the frame artwork needs around the controls: the title banner above,
// the bands at the sides and below.
constexpr QMargins kFrameMargins(16, 50, 16, 16);
// The title-bar buttons, from the window's right edge, and their size.
constexpr int kButtonRight[3] = {100, 75, 50};
constexpr QSize kButtonSize(22, 17);
constexpr int kButtonTop = 5;

QString GlyphFile(TitleBarButton::Glyph glyph) {
  switch (glyph) {
    case TitleBarButton::Glyph::kMinimize:
      return QStringLiteral("Glyphs/Minimize.bmp");
    case TitleBarButton::Glyph::kMaximize:
      return QStringLiteral("Glyphs/Maximize.bmp");
    case TitleBarButton::Glyph::kRestore:
      return QStringLiteral("Glyphs/Restore.bmp");
    case TitleBarButton::Glyph::kClose:
      return QStringLiteral("Glyphs/Close.bmp");
  }
  return {};
}

// Under Wayland a client cannot place its own windows and a window mask only
// limits where the pointer reaches: the compositor moves, maximizes and
// places, and the rounded outline is made of transparent pixels.
bool CompositorPlacesWindows() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// A picture drawn on white: white becomes see-through.
QPixmap PictureOnWhite(const QString& file) {
  QPixmap pixmap(file);
  if (pixmap.isNull()) return pixmap;
  pixmap.setMask(pixmap.createMaskFromColor(Qt::white));
  return pixmap;
}

}  // namespace

TitleBarButton::TitleBarButton(Glyph glyph, const QString& program_folder, QWidget* parent)
    : CommandButton(QString(), parent), program_folder_(program_folder) {
  // The window's keyboard focus stays where the person works.
  setFocusPolicy(Qt::NoFocus);
  SetGlyph(glyph);
}

void TitleBarButton::SetGlyph(Glyph glyph) {
  glyph_ = glyph;
  const QImage picture(VisualsPicture(program_folder_, GlyphFile(glyph)));
  ink_ = QImage();
  if (!picture.isNull()) {
    ink_ = QImage(picture.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) {
        ink_.setPixel(x, y, qGray(picture.pixel(x, y)) < 128 ? 0xFF000000u : 0u);
      }
    }
  }
  update();
}

void TitleBarButton::paintEvent(QPaintEvent* event) {
  CommandButton::paintEvent(event);
  QPainter p(this);
  const QColor ink = isEnabled() ? ForeColor() : Shade(BackColor(), -56);
  const QPoint shift = IsPressed() ? QPoint(1, 1) : QPoint();
  if (ink_.isNull()) {
    // Without the picture the glyph is spelled out.
    static const char* kLetters[] = {"_", "[]", "][", "x"};
    p.setPen(ink);
    p.drawText(rect().translated(shift), Qt::AlignCenter,
               QString::fromLatin1(kLetters[static_cast<int>(glyph_)]));
    return;
  }
  QImage tinted = ink_;
  QPainter t(&tinted);
  t.setCompositionMode(QPainter::CompositionMode_SourceIn);
  t.fillRect(tinted.rect(), ink);
  t.end();
  p.drawImage(QPoint((width() - tinted.width()) / 2, (height() - tinted.height()) / 2) + shift,
              tinted);
}

WindowChrome::DragZone WindowChrome::ZoneAt(int x, int y, int w, int h) {
  if (x >= w - kCornerZone && y >= h - kCornerZone) return DragZone::kCorner;
  if (x >= w - kEdgeZone) return DragZone::kRight;
  if (y >= h - kEdgeZone) return DragZone::kBottom;
  return DragZone::kMove;
}

WindowChrome::DragZone WindowChrome::ZoneAtPixel(QPoint pos, QSize window) {
  // The pixel's centre, so that the last pixel column is 7 twips from the edge.
  return ZoneAt(pos.x() * kTwipsPerPixel + kTwipsPerPixel / 2,
                pos.y() * kTwipsPerPixel + kTwipsPerPixel / 2, window.width() * kTwipsPerPixel,
                window.height() * kTwipsPerPixel);
}

WindowChrome::WindowChrome(QWidget* window, const QString& program_folder, Hooks hooks)
    : QObject(window),
      window_(window),
      program_folder_(program_folder),
      settings_(program_folder),
      hooks_(std::move(hooks)),
      compositor_places_(CompositorPlacesWindows()) {
  setObjectName(QStringLiteral("WindowChrome"));
  window_->setWindowFlag(Qt::FramelessWindowHint, true);
  window_->setMouseTracking(true);
  window_->setAutoFillBackground(false);
  window_->setAttribute(Qt::WA_OpaquePaintEvent, true);
  // Pixels outside the outline are cleared to transparent before each paint;
  // without it they keep whatever was painted there last.
  if (compositor_places_) window_->setAttribute(Qt::WA_TranslucentBackground, true);
  if (QLayout* layout = window_->layout()) {
    layout->setContentsMargins(kFrameMargins);
    // The layout's own minimum keeps every control whole; the frame is
    // closed at any size above it.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
  }

  title_ = new QLabel(window_->windowTitle(), window_);
  title_->setObjectName(QStringLiteral("ChromeTitle"));
  QFont font = title_->font();
  font.setBold(true);
  title_->setFont(font);
  // The title sits on the skin's banner, not on the window colour: it keeps
  // a light text whatever the scheme.
  title_->setProperty(kTagProperty, QStringLiteral("ignore"));
  QPalette title_colors = title_->palette();
  title_colors.setColor(QPalette::WindowText, QColor(250, 250, 250));
  title_->setPalette(title_colors);
  title_->setCursor(Qt::ArrowCursor);
  title_->installEventFilter(this);

  const TitleBarButton::Glyph glyphs[3] = {TitleBarButton::Glyph::kMinimize,
                                           TitleBarButton::Glyph::kMaximize,
                                           TitleBarButton::Glyph::kClose};
  static const char* kTips[3] = {"Minimize", "Maximize", "Close"};
  for (int i = 0; i < 3; ++i) {
    auto* b = new TitleBarButton(glyphs[i], program_folder_, window_);
    b->setToolTip(QString::fromLatin1(kTips[i]));
    b->setProperty(kTagProperty, QStringLiteral("move"));
    b->setCursor(Qt::ArrowCursor);
    const ColorScheme& scheme = CurrentColorScheme();
    b->SetBackColor(scheme.ButtonColor());
    b->SetBorderColor(scheme.BorderColor());
    connect(b, &CommandButton::Click, this, [this, i] { PressTitleButton(i); });
    buttons_[i] = b;
  }
  PlaceTitle();
  BuildMenu();

  settle_.setSingleShot(true);
  settle_.setInterval(kResizeSettleMs);
  connect(&settle_, &QTimer::timeout, this, [this] { ApplyLayout(false); });

  window_->installEventFilter(this);
  RecordLayout();
}

WindowChrome* WindowChrome::Of(const QWidget* window) {
  return window->findChild<WindowChrome*>(QStringLiteral("WindowChrome"),
                                          Qt::FindDirectChildrenOnly);
}

void WindowChrome::PlaceTitle() {
  const int w = window_->width();
  title_->setGeometry(20, 12, qMax(60, qMin(220, w - 130)), 22);
  for (int i = 0; i < 3; ++i) {
    buttons_[i]->setGeometry(QRect(QPoint(w - kButtonRight[i], kButtonTop), kButtonSize));
  }
}

void WindowChrome::BuildMenu() {
  menu_ = new QMenu(window_);
  struct Item {
    int command;
    const char* caption;
    const char* picture;
  };
  static constexpr Item kItems[] = {{kRestore, "Restore", "Menu/Restore.bmp"},
                                    {kMinimize, "Minimize", "Menu/Minimize.bmp"},
                                    {kMaximize, "Maximize", "Menu/Maximize.bmp"},
                                    {0, nullptr, nullptr},
                                    {kClose, "Close\tAlt+F4", "Menu/Close.bmp"},
                                    {0, nullptr, nullptr},
                                    {kAbout, "About", nullptr},
                                    {kVisitWebsite, "Visit Website", nullptr}};
  for (const Item& item : kItems) {
    if (item.caption == nullptr) {
      menu_->addSeparator();
      continue;
    }
    QAction* action = menu_->addAction(QString::fromLatin1(item.caption));
    action->setData(item.command);
    if (item.picture != nullptr) {
      const QPixmap picture =
          PictureOnWhite(VisualsPicture(program_folder_, QString::fromLatin1(item.picture)));
      if (!picture.isNull()) action->setIcon(QIcon(picture));
    }
    const int command = item.command;
    connect(action, &QAction::triggered, this, [this, command] { MenuCommand(command); });
  }
  SetMaximizedMenu();
}

QAction* WindowChrome::menu_action(int command) const {
  for (QAction* a : menu_->actions()) {
    if (a->data().toInt() == command) return a;
  }
  return nullptr;
}

QAction* WindowChrome::AddMenuItem(const QString& caption, std::function<void()> action) {
  QAction* a = menu_->addAction(caption);
  connect(a, &QAction::triggered, this, [action = std::move(action)] { action(); });
  return a;
}

void WindowChrome::SetMaximized(bool on) {
  maximized_ = on ? 2 : 0;
  buttons_[1]->SetGlyph(on ? TitleBarButton::Glyph::kRestore : TitleBarButton::Glyph::kMaximize);
  buttons_[1]->setToolTip(on ? QStringLiteral("Restore") : QStringLiteral("Maximize"));
  SetMaximizedMenu();
}

void WindowChrome::SetMaximizedMenu() {
  menu_action(kRestore)->setEnabled(maximized());
  menu_action(kMaximize)->setEnabled(!maximized());
}

void WindowChrome::ShowWindowMenu(QPoint global) {
  ApplyMenuLook(menu_);
  menu_->popup(global);
}

void WindowChrome::MenuCommand(int command) {
  QAction* action = menu_action(command);
  if (action != nullptr && !action->isEnabled()) return;
  switch (command) {
    case kRestore:
      if (maximized()) PressTitleButton(1);
      break;
    case kMinimize:
      PressTitleButton(0);
      break;
    case kMaximize:
      if (!maximized()) PressTitleButton(1);
      break;
    case kClose:
      PressTitleButton(2);
      break;
    case kAbout:
      if (hooks_.about) hooks_.about();
      break;
    case kVisitWebsite:
      if (hooks_.open_address) hooks_.open_address(QString::fromLatin1(kWebsite));
      break;
    default:
      break;
  }
}

void WindowChrome::PressTitleButton(int index) {
  switch (index) {
    case 0:
      window_->showMinimized();
      break;
    case 1:
      if (!maximized()) {
        normal_geometry_ = window_->geometry();
        if (compositor_places_) {
          // The compositor knows the panels and picks the place.
          state_resize_pending_ = true;
          window_->showMaximized();
        } else if (QScreen* screen = window_->screen()) {
          // The screen less the panels and docks the desktop keeps, wherever
          // they stand.
          window_->setGeometry(screen->availableGeometry());
        }
        SetMaximized(true);
      } else {
        if (compositor_places_) {
          state_resize_pending_ = true;
          // The normal size comes back with the compositor's answer; a
          // size set before it would break the protocol.
          window_->showNormal();
        } else {
          window_->setGeometry(normal_geometry_);
          window_->showNormal();
        }
        SetMaximized(false);
      }
      settle_.stop();
      ApplyLayout(false);
      break;
    case 2:
      window_->close();
      break;
    default:
      break;
  }
}

void WindowChrome::RecordLayout() {
  PlaceTitle();
  layout_.RecordLayout(window_);
}

void WindowChrome::ApplyLayout(bool plain) {
  if (plain) {
    RestLayout(true);
  } else {
    RestLayout(false);
    layout_.ApplyLayout(window_);
    title_->setFixedWidth(qMax(60, qMin(220, window_->width() - 130)));
  }
  ApplySkin(plain);
}

void WindowChrome::RestLayout(bool rest) {
  QLayout* layout = window_->layout();
  if (layout == nullptr) return;
  if (rest) {
    // The controls stay where they are while the size changes, as the
    // plain frame shows: the layout places them once, when it ends.
    if (skinned_ && layout->isEnabled()) {
      layout->setEnabled(false);
      layout_resting_ = true;
    }
    return;
  }
  if (!layout_resting_) return;
  layout_resting_ = false;
  layout->setEnabled(true);
  layout->invalidate();
  layout->activate();
}

void WindowChrome::ReloadSkin() {
  skin_read_ = false;
  ApplySkin(false);
}

void WindowChrome::SetSkinned(bool on) {
  skinned_ = on;
  if (!on) RestLayout(false);
  window_->setAttribute(Qt::WA_OpaquePaintEvent, on);
  window_->setAutoFillBackground(!on);
  if (!on) window_->clearMask();
  ApplySkin(false);
}

void WindowChrome::ApplySkin(bool plain) {
  plain_ = plain;
  if (!plain) {
    QString name = settings_.Read(QString::fromLatin1(settings_key::kSkinName));
    if (name.isEmpty()) {
      name = QString::fromLatin1(kDefaultSkinName);
      settings_.Write(QString::fromLatin1(settings_key::kSkinName), name);
    }
    if (!skin_read_ || skin_.name != name) {
      skin_ = LoadSkin(SkinFolder(program_folder_, name), name);
      skin_read_ = true;
    }
  }
  Render();
}

void WindowChrome::Render() {
  const ColorScheme& scheme = CurrentColorScheme();
  const QSize size = window_->size();
  const qreal dpr = window_->devicePixelRatioF();
  if (!skinned_) {
    frame_ = QImage();
    window_->update();
    return;
  }
  outline_ = QRegion();
  if (plain_) {
    frame_ = QImage();
    window_->clearMask();
  } else {
    frame_ = RenderSkin(skin_, size, dpr, scheme.BGColor(), scheme.FGColor(), &canvas_);
    if (skin_.loaded()) {
      outline_ = SkinOutline(size);
      // A Wayland mask would also keep repaints off the corners, leaving
      // there what the plain frame painted; the painting is clipped instead.
      if (!compositor_places_) window_->setMask(outline_);
    } else {
      window_->clearMask();
    }
  }
  window_->update();
}

void WindowChrome::StartMove(QPoint global) {
  QWindow* handle = window_->windowHandle();
  ++system_moves_asked_;
  if (handle != nullptr && handle->startSystemMove()) {
    drag_ = Drag::kSystem;
    return;
  }
  // Refused (no pointer press the compositor knows of): a Wayland window
  // cannot place itself, so the drag does nothing there.
  drag_ = compositor_places_ ? Drag::kNone : Drag::kMove;
  drag_offset_ = global - window_->pos();
}

void WindowChrome::StartResize(DragZone zone, QPoint global) {
  Qt::Edges edges;
  if (zone == DragZone::kCorner) edges = Qt::RightEdge | Qt::BottomEdge;
  if (zone == DragZone::kRight) edges = Qt::RightEdge;
  if (zone == DragZone::kBottom) edges = Qt::BottomEdge;
  QWindow* handle = window_->windowHandle();
  if (handle != nullptr && handle->startSystemResize(edges)) {
    drag_ = Drag::kSystem;
    return;
  }
  drag_ = Drag::kResize;
  drag_zone_ = zone;
}

void WindowChrome::UpdatePointer(QPoint pos) {
  switch (ZoneAtPixel(pos, window_->size())) {
    case DragZone::kCorner:
      window_->setCursor(Qt::SizeFDiagCursor);
      break;
    case DragZone::kRight:
      window_->setCursor(Qt::SizeHorCursor);
      break;
    case DragZone::kBottom:
      window_->setCursor(Qt::SizeVerCursor);
      break;
    case DragZone::kMove:
      window_->unsetCursor();
      break;
  }
}

bool WindowChrome::eventFilter(QObject* watched, QEvent* event) {
  if (watched == title_) {
    if (event->type() == QEvent::MouseButtonPress) {
      auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() == Qt::LeftButton) {
        StartMove(e->globalPosition().toPoint());
        return true;
      }
    }
    return false;
  }
  if (watched != window_) return false;
  switch (event->type()) {
    case QEvent::Paint: {
      if (!skinned_) return false;
      auto* e = static_cast<QPaintEvent*>(event);
      QPainter p(window_);
      // Outside the outline stays transparent where the mask does not cut
      // the window's picture.
      const QRegion clip = outline_.isEmpty() ? e->region() : e->region() & outline_;
      if (plain_ || frame_.isNull()) {
        p.setClipRegion(clip);
        PaintPlainFrame(p, window_->size(), CurrentColorScheme().BGColor(), kPlainFrameColor);
        return false;
      }
      // Without tiles the middle of the picture is the window colour: filled,
      // not copied, so a repaint moves little more memory than an unskinned one.
      const QRect middle =
          skin_.loaded() && !skin_.draw_bg ? SkinInterior(window_->size()) : QRect();
      QRegion framed = clip;
      if (!middle.isEmpty()) {
        framed -= middle;
        for (const QRect& r : QRegion(clip & middle)) p.fillRect(r, CurrentColorScheme().BGColor());
      }
      // Copied in bands of lines from the picture's own rectangles, so that
      // no copy goes to the painter's threads (see ControlStyle).
      const qreal dpr = frame_.devicePixelRatio();
      for (const QRect& r : framed) {
        ForEachBand(r, [&](const QRect& band) {
          p.drawImage(
              QRectF(band), frame_,
              QRectF(band.x() * dpr, band.y() * dpr, band.width() * dpr, band.height() * dpr));
        });
      }
      return false;
    }
    case QEvent::Show:
      if (!shown_) {
        shown_ = true;
        ApplyLayout(false);
      }
      return false;
    case QEvent::WindowTitleChange:
      title_->setText(window_->windowTitle());
      return false;
    case QEvent::WindowStateChange: {
      // The compositor or window manager maximized or restored the window
      // itself (a key, a double click): the button and menu follow.
      const bool state_maximized = window_->windowState() & Qt::WindowMaximized;
      if (state_maximized && !maximized()) {
        normal_geometry_ = window_->normalGeometry();
        SetMaximized(true);
      } else if (!state_maximized && maximized() &&
                 (static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMaximized)) {
        SetMaximized(false);
      }
      if (window_->isMinimized()) {
        minimized_ = true;
      } else if (minimized_) {
        minimized_ = false;
        RecordLayout();
        ApplySkin(false);
      }
      return false;
    }
    case QEvent::Resize:
      if (window_->isMinimized()) return false;
      if (!shown_ || !layout_.recorded()) {
        // Sized before it shows: laid out directly.
        if (layout_.recorded()) layout_.ApplyLayout(window_);
        return false;
      }
      if (state_resize_pending_) {
        // The size the compositor gives a maximized or restored window: no
        // drag goes on, so the full skin at once.
        state_resize_pending_ = false;
        settle_.stop();
        ApplyLayout(false);
        return false;
      }
      ApplyLayout(true);
      settle_.start();
      return false;
    case QEvent::MouseMove: {
      auto* e = static_cast<QMouseEvent*>(event);
      const QPoint pos = e->position().toPoint();
      if (drag_ == Drag::kResize && (e->buttons() & Qt::LeftButton)) {
        QSize size = window_->size();
        if (drag_zone_ != DragZone::kBottom) size.setWidth(pos.x());
        if (drag_zone_ != DragZone::kRight) size.setHeight(pos.y());
        window_->resize(size.expandedTo(window_->minimumSize()));
        return true;
      }
      if (drag_ == Drag::kMove && (e->buttons() & Qt::LeftButton)) {
        window_->move(e->globalPosition().toPoint() - drag_offset_);
        return true;
      }
      if (e->buttons() == Qt::NoButton) UpdatePointer(pos);
      return false;
    }
    case QEvent::MouseButtonPress: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() != Qt::LeftButton) return false;
      const DragZone zone = ZoneAtPixel(e->position().toPoint(), window_->size());
      if (zone == DragZone::kMove) {
        StartMove(e->globalPosition().toPoint());
      } else {
        StartResize(zone, e->globalPosition().toPoint());
      }
      return true;
    }
    case QEvent::MouseButtonRelease: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() == Qt::RightButton) {
        ShowWindowMenu(e->globalPosition().toPoint());
        return true;
      }
      if (e->button() == Qt::LeftButton) {
        const bool resized = drag_ == Drag::kResize;
        drag_ = Drag::kNone;
        if (resized || plain_) {
          settle_.stop();
          ApplyLayout(false);
        }
        return true;
      }
      return false;
    }
    default:
      return false;
  }
}

}  // namespace orlavo

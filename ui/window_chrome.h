// The chrome of the two large windows: no system title bar; the skin paints
// the frame and cuts the outline; the program's own title, title-bar buttons
// and window menu; moving and resizing by dragging the background.
#ifndef ORLAVO_UI_WINDOW_CHROME_H_
#define ORLAVO_UI_WINDOW_CHROME_H_

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <array>
#include <functional>

#include "app/settings.h"
#include "ui/command_button.h"
#include "ui/layout_keywords.h"
#include "ui/skin.h"

namespace orlavo {

// A title-bar button: the skinned face with a glyph in its text colour.
class TitleBarButton : public CommandButton {
  Q_OBJECT

 public:
  enum class Glyph { kMinimize, kMaximize, kRestore, kClose };
  TitleBarButton(Glyph glyph, const QString& program_folder, QWidget* parent);
  Glyph glyph() const { return glyph_; }
  void SetGlyph(Glyph glyph);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString program_folder_;
  Glyph glyph_;
  QImage ink_;  // the glyph's black pixels, opaque; the rest transparent
};

class WindowChrome : public QObject {
  Q_OBJECT

 public:
  // Window menu commands.
  enum Command { kRestore = 101, kMinimize, kMaximize, kClose, kAbout, kVisitWebsite };
  // Where the pointer starts a drag, from the window's right and bottom edges.
  enum class DragZone { kMove, kRight, kBottom, kCorner };
  // Pointer position and window size in twips (15 to a pixel).
  static DragZone ZoneAt(int x, int y, int w, int h);
  static DragZone ZoneAtPixel(QPoint pos, QSize window);

  struct Hooks {
    std::function<void()> about;
    std::function<void(const QString& address)> open_address;
  };

  // Makes the window frameless and gives it its chrome. Call once the
  // window's controls are built: their keyword distances are recorded now.
  WindowChrome(QWidget* window, const QString& program_folder, Hooks hooks);
  // The chrome of a window, or nullptr.
  static WindowChrome* Of(const QWidget* window);

  // The frame: the skin named by SkinName (an empty name paints and stores
  // "Standard"), or with `plain` the full rectangle in the background colour
  // with a pure red hairline. A skin that cannot be loaded gives the plain
  // frame in the scheme's colours and no rounding.
  void ApplySkin(bool plain);
  // Reads the skin's files again (another skin chosen, DrawBG changed).
  void ReloadSkin();
  void RecordLayout();
  // Re-lays out the keyworded controls (unless plain), then the skin.
  void ApplyLayout(bool plain);

  // Title-bar button 0 (minimize), 1 (maximize/restore), 2 (close).
  void PressTitleButton(int index);
  // A window menu command; a greyed one does nothing.
  void MenuCommand(int command);
  // Shows the window menu at a screen position.
  void ShowWindowMenu(QPoint global);
  // Adds an item at the end of the window menu.
  QAction* AddMenuItem(const QString& caption, std::function<void()> action);

  bool maximized() const { return maximized_ == 2; }
  bool plain() const { return plain_; }
  const Skin& skin() const { return skin_; }
  // The skin's picture (null in plain mode).
  const QImage& frame_image() const { return frame_; }
  QMenu* window_menu() const { return menu_; }
  QAction* menu_action(int command) const;
  TitleBarButton* title_button(int index) const { return buttons_[index]; }
  QLabel* title_label() const { return title_; }
  // Off: the window paints itself as an unskinned window (for comparison).
  void SetSkinned(bool on);
  // Title or background drags handed to the window system so far.
  int system_moves_asked() const { return system_moves_asked_; }
  // How long after the last size change a system resize counts as ended.
  static constexpr int kResizeSettleMs = 200;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenu();
  void PlaceTitle();
  void Render();
  void StartMove(QPoint global);
  void StartResize(DragZone zone, QPoint global);
  void UpdatePointer(QPoint pos);
  void RestLayout(bool rest);
  void SetMaximized(bool on);
  void SetMaximizedMenu();

  QWidget* window_;
  QString program_folder_;
  Settings settings_;
  Hooks hooks_;
  WindowLayout layout_;
  Skin skin_;
  bool skin_read_ = false;
  SkinCanvas canvas_;
  QImage frame_;     // the full skin; plain mode paints straight onto the window
  QRegion outline_;  // empty when the window is a full rectangle
  bool compositor_places_;
  bool state_resize_pending_ = false;
  bool layout_resting_ = false;
  int system_moves_asked_ = 0;
  bool plain_ = false;
  bool skinned_ = true;
  int maximized_ = 0;
  QRect normal_geometry_;
  bool minimized_ = false;
  bool shown_ = false;

  QLabel* title_;
  std::array<TitleBarButton*, 3> buttons_{};
  QMenu* menu_ = nullptr;
  QTimer settle_;

  // A drag the program follows itself, where the window system cannot take it.
  enum class Drag { kNone, kMove, kResize, kSystem };
  Drag drag_ = Drag::kNone;
  DragZone drag_zone_ = DragZone::kMove;
  QPoint drag_offset_;
};

}  // namespace orlavo

#endif  // ORLAVO_UI_WINDOW_CHROME_H_

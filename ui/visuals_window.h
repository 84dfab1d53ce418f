// The Visuals window: choosing and loading a skin (Skins mode), and choosing,
// editing, creating and loading colour schemes (Colors mode).
#ifndef ORLAVO_UI_VISUALS_WINDOW_H_
#define ORLAVO_UI_VISUALS_WINDOW_H_

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QStackedWidget>
#include <QWidget>
#include <array>

#include "app/desktop.h"
#include "app/settings.h"
#include "ui/color_scheme.h"

namespace orlavo {

class CommandButton;

// A 256 x 256 field of colours, drawn once; clicking or dragging over it
// picks the colour under the pointer.
class ColorField : public QWidget {
  Q_OBJECT

 public:
  enum class Kind {
    kHues,   // column x, row y: red y, green 255 - x, blue 255 - y
    kGreys,  // row y: grey y
  };
  ColorField(Kind kind, QWidget* parent);
  const QImage& image() const { return image_; }
  QColor ColorAt(QPoint pos) const;
  QSize sizeHint() const override { return image_.size(); }

 signals:
  void picked(const QColor& color, bool press);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QImage image_;
};

// A small window in a scheme's colours: background, text and a button.
class SchemePreview : public QWidget {
  Q_OBJECT

 public:
  explicit SchemePreview(QWidget* parent);
  void SetScheme(const ColorScheme& scheme);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  ColorScheme scheme_;
  CommandButton* button_;
};

class VisualsWindow : public QWidget {
  Q_OBJECT

 public:
  enum class Mode { kSkins, kColors };

  VisualsWindow(const QString& program_folder, Desktop& desktop, QWidget* parent = nullptr);

  void SetMode(Mode mode);
  Mode mode() const { return mode_; }
  // Selects a list entry by name (false when there is none).
  bool SelectEntry(const QString& name);
  void SetRenderBackground(bool on);
  // "Load Selected Skin" or "Load Selected Color Scheme".
  void LoadSelected();
  void SaveScheme();
  void NewScheme();
  // Picks a colour for the chosen option (from a field or the RGB frame).
  void PickColor(const QColor& color, bool report_no_scheme = true);
  void ApplyCustomColor();
  void ChooseRole(ColorScheme::Role role);

  const ColorScheme& working_scheme() const { return working_; }
  QListWidget* list() const { return list_; }
  QLabel* list_caption() const { return list_caption_; }
  CommandButton* apply_button() const { return apply_; }
  CommandButton* save_button() const { return save_; }
  CommandButton* new_button() const { return new_; }
  CommandButton* mode_button(Mode mode) const {
    return mode == Mode::kSkins ? skins_mode_ : colors_mode_;
  }
  QLabel* skin_preview() const { return skin_preview_; }
  QLabel* skin_info() const { return skin_info_; }
  QCheckBox* render_background() const { return render_background_; }
  QRadioButton* role_button(ColorScheme::Role role) const {
    return roles_[static_cast<size_t>(role)];
  }
  ColorField* field(int index) const { return index == 0 ? hues_ : greys_; }
  QLineEdit* rgb_box(int index) const { return rgb_[index]; }
  QLabel* swatch() const { return swatch_; }
  SchemePreview* scheme_preview() const { return preview_; }

 private:
  void FillList();
  void EntrySelected();
  void ShowSkin(const QString& name);
  void ShowScheme(const QString& name);
  void ShowWorkingScheme();
  void RgbEdited();
  QString SelectedName() const;

  QString program_folder_;
  Desktop& desktop_;
  Settings settings_;
  Mode mode_ = Mode::kSkins;
  ColorScheme working_;
  ColorScheme::Role role_ = ColorScheme::Role::kBackground;
  QColor swatch_color_;

  CommandButton* skins_mode_;
  CommandButton* colors_mode_;
  QLabel* list_caption_;
  QListWidget* list_;
  CommandButton* apply_;
  CommandButton* new_;
  CommandButton* save_;
  CommandButton* close_;
  QStackedWidget* pages_;
  QLabel* skin_preview_;
  QLabel* skin_info_;
  QCheckBox* render_background_;
  std::array<QRadioButton*, 4> roles_{};
  ColorField* hues_;
  ColorField* greys_;
  std::array<QLineEdit*, 3> rgb_{};
  QLabel* swatch_;
  CommandButton* custom_apply_;
  SchemePreview* preview_;
};

// Every skinned window reads its skin again and repaints.
void ReloadSkinsEverywhere();

}  // namespace orlavo

#endif  // ORLAVO_UI_VISUALS_WINDOW_H_

#include "ui/visuals_window.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <QVBoxLayout>

#include "app/helpers.h"
#include "app/program_title.h"
#include "ui/apply_color_scheme.h"
#include "ui/command_button.h"
#include "ui/layout_keywords.h"
#include "ui/skin.h"
#include "ui/visuals_files.h"
#include "ui/window_chrome.h"

namespace orlavo {

namespace {

constexpr char kNoScheme[] = "No Color Scheme selected.";

QString RoleCaption(ColorScheme::Role role) {
  switch (role) {
    case ColorScheme::Role::kBackground:
      return QStringLiteral("Background Color");
    case ColorScheme::Role::kText:
      return QStringLiteral("Text Color");
    case ColorScheme::Role::kButton:
      return QStringLiteral("Back Color");
    case ColorScheme::Role::kBorder:
      return QStringLiteral("Border Color");
  }
  return {};
}

}  // namespace

ColorField::ColorField(Kind kind, QWidget* parent)
    : QWidget(parent), image_(256, 256, QImage::Format_RGB32) {
  for (int y = 0; y < 256; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    for (int x = 0; x < 256; ++x) {
      line[x] = kind == Kind::kHues ? qRgb(y, 255 - x, 255 - y) : qRgb(y, y, y);
    }
  }
  setFixedSize(image_.size());
  setCursor(Qt::CrossCursor);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor ColorField::ColorAt(QPoint pos) const {
  const int x = std::clamp(pos.x(), 0, 255), y = std::clamp(pos.y(), 0, 255);
  return QColor(image_.pixel(x, y));
}

void ColorField::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, image_);
}

void ColorField::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit picked(ColorAt(event->position().toPoint()), true);
}

void ColorField::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) {
    emit picked(ColorAt(event->position().toPoint()), false);
  }
}

SchemePreview::SchemePreview(QWidget* parent) : QWidget(parent) {
  button_ = new CommandButton(QStringLiteral("Button"), this);
  // It shows the scheme being edited, not the one in force.
  button_->setProperty(kTagProperty, QStringLiteral("ignore"));
  button_->setFocusPolicy(Qt::NoFocus);
  setMinimumSize(220, 110);
  SetScheme(scheme_);
}

void SchemePreview::SetScheme(const ColorScheme& scheme) {
  scheme_ = scheme;
  button_->SetBackColor(scheme.ButtonColor());
  button_->SetBorderColor(scheme.BorderColor());
  update();
}

void SchemePreview::resizeEvent(QResizeEvent*) {
  button_->setGeometry(width() / 2 - 50, height() - 40, 100, 28);
}

void SchemePreview::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), scheme_.BGColor());
  p.setPen(scheme_.FGColor());
  p.drawText(rect().adjusted(8, 8, -8, -44), Qt::AlignCenter | Qt::TextWordWrap,
             QStringLiteral("Text on the window's background"));
  p.setPen(QColor(0, 0, 0));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

VisualsWindow::VisualsWindow(const QString& program_folder, Desktop& desktop, QWidget* parent)
    : QWidget(parent, Qt::Window),
      program_folder_(program_folder),
      desktop_(desktop.ForWindow(this)),
      settings_(program_folder) {
  setWindowTitle(QStringLiteral("Visuals"));
  setAutoFillBackground(true);

  skins_mode_ = new CommandButton(QStringLiteral("&Skins"), this);
  colors_mode_ = new CommandButton(QStringLiteral("&Colors"), this);
  list_caption_ = new QLabel(this);
  list_ = new QListWidget(this);
  list_->setMinimumWidth(200);
  apply_ = new CommandButton(this);
  new_ = new CommandButton(QStringLiteral("&New"), this);
  new_->setToolTip(QStringLiteral("Create a new color scheme"));
  save_ = new CommandButton(QStringLiteral("Sa&ve"), this);
  save_->setToolTip(QStringLiteral("Save the colors into the selected scheme"));
  close_ = new CommandButton(QStringLiteral("Close"), this);
  for (CommandButton* b : {skins_mode_, colors_mode_, apply_, new_, save_, close_}) {
    b->setMinimumHeight(26);
  }

  auto* left = new QVBoxLayout;
  auto* modes = new QHBoxLayout;
  modes->addWidget(skins_mode_);
  modes->addWidget(colors_mode_);
  left->addLayout(modes);
  left->addWidget(list_caption_);
  left->addWidget(list_, 1);
  left->addWidget(apply_);
  auto* scheme_buttons = new QHBoxLayout;
  scheme_buttons->addWidget(new_);
  scheme_buttons->addWidget(save_);
  left->addLayout(scheme_buttons);
  left->addWidget(close_);

  // Skins page.
  auto* skins_page = new QWidget(this);
  auto* preview_box = new QGroupBox(QStringLiteral("Preview"), skins_page);
  skin_preview_ = new QLabel(preview_box);
  skin_preview_->setAlignment(Qt::AlignCenter);
  skin_preview_->setMinimumSize(kSkinAtlasSize + QSize(8, 8));
  skin_preview_->setWordWrap(true);
  (new QVBoxLayout(preview_box))->addWidget(skin_preview_);
  auto* info_box = new QGroupBox(QStringLiteral("Selected skin information"), skins_page);
  skin_info_ = new QLabel(info_box);
  skin_info_->setWordWrap(true);
  skin_info_->setMinimumHeight(40);
  render_background_ = new QCheckBox(QStringLiteral("Render &Background"), info_box);
  auto* info_layout = new QVBoxLayout(info_box);
  info_layout->addWidget(skin_info_);
  info_layout->addWidget(render_background_);
  auto* skins_layout = new QVBoxLayout(skins_page);
  skins_layout->setContentsMargins(0, 0, 0, 0);
  skins_layout->addWidget(preview_box, 1);
  skins_layout->addWidget(info_box);

  // Colors page.
  auto* colors_page = new QWidget(this);
  auto* scheme_box = new QGroupBox(QStringLiteral("Preview"), colors_page);
  preview_ = new SchemePreview(scheme_box);
  (new QVBoxLayout(scheme_box))->addWidget(preview_);
  auto* roles_box = new QGroupBox(QStringLiteral("Color"), colors_page);
  auto* roles_layout = new QVBoxLayout(roles_box);
  for (ColorScheme::Role role : ColorScheme::kRoles) {
    auto* r = new QRadioButton(RoleCaption(role), roles_box);
    connect(r, &QRadioButton::toggled, this, [this, role](bool on) {
      if (on) role_ = role;
    });
    roles_[static_cast<size_t>(role)] = r;
    roles_layout->addWidget(r);
  }
  roles_[0]->setChecked(true);
  auto* custom_box = new QGroupBox(QStringLiteral("Custom Color RGB"), colors_page);
  auto* custom_layout = new QGridLayout(custom_box);
  static const char* kChannels[3] = {"R:", "G:", "B:"};
  for (int i = 0; i < 3; ++i) {
    rgb_[i] = new QLineEdit(custom_box);
    rgb_[i]->setMaxLength(3);
    rgb_[i]->setFixedWidth(48);
    custom_layout->addWidget(new QLabel(QString::fromLatin1(kChannels[i]), custom_box), i, 0);
    custom_layout->addWidget(rgb_[i], i, 1);
    connect(rgb_[i], &QLineEdit::textChanged, this, &VisualsWindow::RgbEdited);
  }
  swatch_ = new QLabel(custom_box);
  swatch_->setFixedSize(40, 40);
  swatch_->setFrameShape(QFrame::Box);
  swatch_->setProperty(kTagProperty, QStringLiteral("ignore"));
  custom_apply_ = new CommandButton(QStringLiteral("&Apply"), custom_box);
  custom_apply_->setMinimumSize(60, 26);
  custom_layout->addWidget(swatch_, 0, 2, 2, 1, Qt::AlignCenter);
  custom_layout->addWidget(custom_apply_, 2, 2);
  hues_ = new ColorField(ColorField::Kind::kHues, colors_page);
  greys_ = new ColorField(ColorField::Kind::kGreys, colors_page);
  for (ColorField* f : {hues_, greys_}) {
    connect(f, &ColorField::picked, this,
            [this](const QColor& c, bool press) { PickColor(c, press); });
  }
  auto* colors_layout = new QGridLayout(colors_page);
  colors_layout->setContentsMargins(0, 0, 0, 0);
  colors_layout->addWidget(scheme_box, 0, 0);
  colors_layout->addWidget(roles_box, 0, 1);
  colors_layout->addWidget(custom_box, 0, 2);
  auto* fields = new QHBoxLayout;
  fields->addWidget(hues_);
  fields->addWidget(greys_);
  fields->addStretch(1);
  colors_layout->addLayout(fields, 1, 0, 1, 3);
  colors_layout->setRowStretch(2, 1);

  pages_ = new QStackedWidget(this);
  pages_->addWidget(skins_page);
  pages_->addWidget(colors_page);

  auto* root = new QHBoxLayout(this);
  root->addLayout(left);
  root->addWidget(pages_, 1);

  connect(skins_mode_, &CommandButton::Click, this, [this] { SetMode(Mode::kSkins); });
  connect(colors_mode_, &CommandButton::Click, this, [this] { SetMode(Mode::kColors); });
  connect(list_, &QListWidget::itemSelectionChanged, this, [this] { EntrySelected(); });
  connect(apply_, &CommandButton::Click, this, &VisualsWindow::LoadSelected);
  connect(new_, &CommandButton::Click, this, &VisualsWindow::NewScheme);
  connect(save_, &CommandButton::Click, this, &VisualsWindow::SaveScheme);
  connect(close_, &CommandButton::Click, this, &QWidget::close);
  connect(render_background_, &QCheckBox::clicked, this, &VisualsWindow::SetRenderBackground);
  connect(custom_apply_, &CommandButton::Click, this, &VisualsWindow::ApplyCustomColor);

  SetMode(Mode::kSkins);
  ApplyColorScheme(this);
}

void VisualsWindow::SetMode(Mode mode) {
  mode_ = mode;
  const bool skins = mode == Mode::kSkins;
  skins_mode_->setEnabled(!skins);
  colors_mode_->setEnabled(skins);
  list_caption_->setText(skins ? QStringLiteral("Available Skins:")
                               : QStringLiteral("Available Color Schemes:"));
  apply_->SetCaption(skins ? QStringLiteral("Load Selected Skin")
                           : QStringLiteral("Load Selected Color Scheme"));
  new_->setVisible(!skins);
  save_->setVisible(!skins);
  pages_->setCurrentIndex(skins ? 0 : 1);
  FillList();
}

void VisualsWindow::FillList() {
  {
    const QSignalBlocker block(list_);
    list_->clear();
    list_->addItems(mode_ == Mode::kSkins ? SkinNames(program_folder_)
                                          : ColorSchemeNames(program_folder_));
    list_->setCurrentRow(-1);
  }
  EntrySelected();
}

QString VisualsWindow::SelectedName() const {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  return selected.isEmpty() ? QString() : selected.first()->text();
}

bool VisualsWindow::SelectEntry(const QString& name) {
  const QList<QListWidgetItem*> found = list_->findItems(name, Qt::MatchExactly);
  if (found.isEmpty()) return false;
  list_->setCurrentItem(found.first());
  found.first()->setSelected(true);
  return true;
}

void VisualsWindow::EntrySelected() {
  const QString name = SelectedName();
  if (mode_ == Mode::kSkins) {
    ShowSkin(name);
  } else {
    ShowScheme(name);
  }
}

void VisualsWindow::ShowSkin(const QString& name) {
  render_background_->setEnabled(!name.isEmpty());
  apply_->setEnabled(!name.isEmpty());
  if (name.isEmpty()) {
    skin_preview_->setPixmap(QPixmap());
    skin_preview_->clear();
    skin_info_->clear();
    return;
  }
  const Skin skin = LoadSkin(SkinFolder(program_folder_, name), name);
  if (skin.loaded()) {
    skin_preview_->setPixmap(QPixmap::fromImage(skin.gui));
  } else {
    skin_preview_->setPixmap(QPixmap());
    skin_preview_->setText(
        QStringLiteral("Missing or unreadable: %1").arg(QDir::toNativeSeparators(skin.missing)));
  }
  skin_info_->setText(skin.info);
  const QSignalBlocker block(render_background_);
  render_background_->setChecked(skin.draw_bg);
}

void VisualsWindow::ShowScheme(const QString& name) {
  save_->setEnabled(!name.isEmpty());
  apply_->setEnabled(!name.isEmpty());
  working_ =
      name.isEmpty() ? ColorScheme() : ReadColorScheme(ColorSchemeFile(program_folder_, name));
  ShowWorkingScheme();
}

void VisualsWindow::ShowWorkingScheme() {
  for (ColorScheme::Role role : ColorScheme::kRoles) {
    roles_[static_cast<size_t>(role)]->setToolTip(working_.ColorText(role));
  }
  preview_->SetScheme(working_);
}

void VisualsWindow::ChooseRole(ColorScheme::Role role) {
  roles_[static_cast<size_t>(role)]->setChecked(true);
}

void VisualsWindow::SetRenderBackground(bool on) {
  const QString name = SelectedName();
  if (name.isEmpty()) return;
  {
    const QSignalBlocker block(render_background_);
    render_background_->setChecked(on);
  }
  WriteDrawBG(SkinFolder(program_folder_, name), on);
}

void VisualsWindow::PickColor(const QColor& color, bool report_no_scheme) {
  if (!save_->isEnabled()) {
    if (report_no_scheme) {
      desktop_.Message(ProgramTitle(), QString::fromLatin1(kNoScheme), Desktop::Buttons::kOk,
                       Desktop::Icon::kCritical);
    }
    return;
  }
  working_.SetColor(role_, color);
  ShowWorkingScheme();
}

void VisualsWindow::RgbEdited() {
  swatch_color_ = QColor();
  int channel[3];
  for (int i = 0; i < 3; ++i) {
    bool ok = false;
    channel[i] = rgb_[i]->text().trimmed().toInt(&ok);
    if (!ok) {
      swatch_->setPalette(QPalette());
      swatch_->setAutoFillBackground(false);
      return;
    }
    channel[i] = std::clamp(channel[i], 0, 255);
  }
  swatch_color_ = QColor(channel[0], channel[1], channel[2]);
  QPalette pal = swatch_->palette();
  pal.setColor(QPalette::Window, swatch_color_);
  swatch_->setPalette(pal);
  swatch_->setAutoFillBackground(true);
}

void VisualsWindow::ApplyCustomColor() {
  if (!swatch_color_.isValid()) return;
  PickColor(swatch_color_);
}

void VisualsWindow::SaveScheme() {
  const QString name = SelectedName();
  if (mode_ != Mode::kColors || name.isEmpty()) return;
  // Saved where new schemes go, so a scheme from a folder that cannot be
  // written is kept as an edited copy.
  WriteColorScheme(NewColorSchemeFolder(program_folder_) + u'/' + name + QStringLiteral(".ovc"),
                   working_);
}

void VisualsWindow::NewScheme() {
  const QString folder = NewColorSchemeFolder(program_folder_);
  for (;;) {
    std::optional<QString> answer =
        desktop_.InputBox(QStringLiteral("New Name"), QStringLiteral("New Color Scheme"),
                          QStringLiteral("NewColorS.ovc"));
    if (!answer.has_value() || answer->isEmpty()) return;
    QString name = *answer;
    if (!name.endsWith(QLatin1String(".ovc"))) name += QStringLiteral(".ovc");
    // The name becomes a file in the schemes folder and nowhere else.
    if (!IsValidFileName(name) || name.startsWith(u'.')) {
      desktop_.Message(ProgramTitle(), QStringLiteral("Invalid file name: %1").arg(name),
                       Desktop::Buttons::kOk, Desktop::Icon::kCritical);
      continue;
    }
    const QString path = folder + u'/' + name;
    if (QFileInfo::exists(path) &&
        !desktop_.AskYesNo(ProgramTitle(), name + QStringLiteral(" already exists, overwrite?"))) {
      continue;
    }
    QDir().mkpath(folder);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.commit()) {
      desktop_.Message(ProgramTitle(), QStringLiteral("Cannot write %1").arg(path),
                       Desktop::Buttons::kOk, Desktop::Icon::kCritical);
      return;
    }
    FillList();
    return;
  }
}

void VisualsWindow::LoadSelected() {
  const QString name = SelectedName();
  if (name.isEmpty()) return;
  if (mode_ == Mode::kSkins) {
    settings_.Write(QString::fromLatin1(settings_key::kSkinName), name);
    ReloadSkinsEverywhere();
    return;
  }
  SaveScheme();
  settings_.Write(QString::fromLatin1(settings_key::kColorScheme), name);
  CurrentColorScheme() = ReadSelectedColorScheme(settings_);
  ApplyColorSchemeEverywhere();
}

void ReloadSkinsEverywhere() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (WindowChrome* chrome = WindowChrome::Of(w)) chrome->ReloadSkin();
  }
}

}  // namespace orlavo

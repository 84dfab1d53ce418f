#include "app/gui/options_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPalette>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>

#include "app/dir_ignore_list.h"
#include "app/folder_walk.h"
#include "app/helpers.h"
#include "app/program_title.h"
#include "app/syntax_checker.h"

namespace orlavo {
namespace {

constexpr char kClearIgnoreListTitle[] = "Clear folder ignore iist...";
constexpr char kAddIgnoredTitle[] = "Select MP3 Folder to ignore...";

// Room the check boxes that depend on "Include sub-directories" are moved in by.
constexpr int kDependentIndent = 20;
// Spacing inside the columns; the columns themselves stand further apart.
constexpr int kSpacing = 6;

// The folder box is white while it can be edited and button-face grey while
// "Remember last used" locks it, whatever the style does with disabled boxes.
void SetBoxBackground(QLineEdit* box, QPalette::ColorRole role) {
  const QColor color = QApplication::palette(box).color(QPalette::Active, role);
  QPalette colors = box->palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    colors.setColor(group, QPalette::Base, color);
  }
  box->setPalette(colors);
}

QString WithTrailingSlash(const QString& folder) {
  if (folder.isEmpty() || folder.endsWith(u'/')) return folder;
  return folder + u'/';
}

QColor Blend(const QColor& a, const QColor& b) {
  return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

CommandButton* NewButton(const QString& caption, const QString& tooltip, QWidget* parent) {
  auto* button = new CommandButton(caption, parent);
  if (!tooltip.isEmpty()) button->setToolTip(tooltip);
  return button;
}

}  // namespace

OptionsDialog::OptionsDialog(Options& options, const Settings& settings, Desktop& desktop,
                             QWidget* parent)
    : QDialog(parent), options_(options), settings_(settings), desktop_(desktop.ForWindow(this)) {
  setWindowTitle(QStringLiteral("Options"));
  setAutoFillBackground(true);
  BuildControls();
  BuildLayout();
  SetTabOrder();
  ShowLiveValues();
  ConnectControls();
  ApplyColors(CurrentColorScheme());
}

void OptionsDialog::BuildControls() {
  double_click_ = new QComboBox(this);
  double_click_->addItems(DoubleClickActions());
  double_click_label_ = new QLabel(QStringLiteral("&When file is double clicked:"), this);
  double_click_label_->setBuddy(double_click_);

  size_unit_ = new QComboBox(this);
  size_unit_->addItems(SizeUnits());
  size_unit_label_ = new QLabel(QStringLiteral("Display files' si&ze in:"), this);
  size_unit_label_->setBuddy(size_unit_);

  include_sub_directories_ = new QCheckBox(QStringLiteral("&Include sub-directories"), this);
  no_warning_ = new QCheckBox(QStringLiteral("Suppress warni&ng (sub-dirs)"), this);
  render_list_invisible_ = new QCheckBox(QStringLiteral("&Render report list invisible"), this);
  render_list_invisible_->setToolTip(
      QStringLiteral("Renders listbox where all the files are displayed invisible during "
                     "operation to increase performance"));
  show_current_file_ = new QCheckBox(QStringLiteral("Show file name&s during execution"), this);
  show_current_file_->setToolTip(QStringLiteral("Show file names being scanned during operation"));
  prefix_dir_ = new QCheckBox(QStringLiteral("&Prefix folderpath to filenames"), this);
  prefix_dir_->setToolTip(
      QStringLiteral("If ticked, a whole path to the file will be displayed in the reports"));

  folder_frame_ = new QGroupBox(this);
  remember_last_used_ = new QRadioButton(QStringLiteral("Remember &last used"), folder_frame_);
  use_specified_path_ = new QRadioButton(QStringLiteral("&Use specified path"), folder_frame_);
  folder_path_ = new QLineEdit(folder_frame_);
  folder_path_label_ = new QLabel(QStringLiteral("F&older path:"), folder_frame_);
  folder_path_label_->setBuddy(folder_path_);
  browse_ = NewButton(QStringLiteral("..."), QString(), folder_frame_);

  ok_ = NewButton(QStringLiteral("OK"), QStringLiteral("Save changes"), this);
  cancel_ = NewButton(QStringLiteral("Cancel"), QStringLiteral("Ignore changed"), this);
  visuals_ = NewButton(QStringLiteral("&Visuals"), QString(), this);
  about_ = NewButton(QStringLiteral("&About"), QStringLiteral("Launch About"), this);
  syntax_ignore_list_ = NewButton(QStringLiteral("S&yntax ignore list"), QString(), this);
  folder_ignore_list_ = NewButton(QStringLiteral("&Folder ignore list"), QString(), this);

  ignore_panel_ = new QGroupBox(QStringLiteral("Folder ignore list"), this);
  ignore_list_ = new QListWidget(ignore_panel_);
  ignore_list_->setSelectionMode(QAbstractItemView::SingleSelection);
  ignore_list_->installEventFilter(this);
  ignore_label_ =
      new QLabel(QStringLiteral("Following folders are on ignore list:"), ignore_panel_);
  ignore_label_->setBuddy(ignore_list_);
  add_ignored_ = NewButton(QStringLiteral("A&dd"), QString(), ignore_panel_);
  save_ignore_list_ = NewButton(QStringLiteral("Sav&e"), QString(), ignore_panel_);
  clear_ignore_list_ = NewButton(QStringLiteral("&Clear the list"), QString(), ignore_panel_);
  hide_ignore_list_ = NewButton(QStringLiteral("&Hide"), QString(), ignore_panel_);
  ignore_panel_->hide();
}

void OptionsDialog::BuildLayout() {
  auto* drop_downs = new QGridLayout;
  drop_downs->setHorizontalSpacing(8);
  drop_downs->setVerticalSpacing(kSpacing);
  drop_downs->addWidget(double_click_label_, 0, 0);
  drop_downs->addWidget(double_click_, 0, 1);
  drop_downs->addWidget(size_unit_label_, 1, 0);
  drop_downs->addWidget(size_unit_, 1, 1);
  // A short entry in a wide box reads badly; the room to spare goes beside them.
  drop_downs->setColumnStretch(2, 1);
  const int box_width =
      std::max({150, double_click_->sizeHint().width(), size_unit_->sizeHint().width()});
  double_click_->setMinimumWidth(box_width);
  size_unit_->setMinimumWidth(box_width);

  auto* dependent = new QHBoxLayout;
  dependent->setSpacing(0);
  dependent->addSpacing(kDependentIndent);
  dependent->addWidget(no_warning_);

  auto* radios = new QHBoxLayout;
  radios->setSpacing(kSpacing);
  radios->addWidget(remember_last_used_);
  radios->addSpacing(12);
  radios->addWidget(use_specified_path_);
  radios->addStretch();
  browse_->setFixedWidth(std::max(27, browse_->sizeHint().width()));
  browse_->setFixedHeight(std::max(23, folder_path_->sizeHint().height()));
  auto* folder_row = new QHBoxLayout;
  folder_row->setSpacing(kSpacing);
  folder_row->addWidget(folder_path_label_);
  folder_row->addWidget(folder_path_, 1);
  folder_row->addWidget(browse_);
  auto* folder_layout = new QVBoxLayout(folder_frame_);
  folder_layout->setSpacing(kSpacing);
  folder_layout->addLayout(radios);
  folder_layout->addLayout(folder_row);

  auto* options_column = new QVBoxLayout;
  options_column->setSpacing(kSpacing);
  options_column->addLayout(drop_downs);
  options_column->addSpacing(6);
  options_column->addWidget(include_sub_directories_);
  options_column->addLayout(dependent);
  options_column->addWidget(render_list_invisible_);
  options_column->addWidget(show_current_file_);
  options_column->addWidget(prefix_dir_);
  options_column->addSpacing(6);
  options_column->addWidget(folder_frame_);
  options_column->addStretch();

  auto* buttons_column = new QVBoxLayout;
  buttons_column->setSpacing(kSpacing);
  buttons_column->addWidget(ok_);
  buttons_column->addWidget(cancel_);
  buttons_column->addSpacing(12);
  buttons_column->addWidget(visuals_);
  buttons_column->addWidget(about_);
  buttons_column->addSpacing(12);
  buttons_column->addWidget(syntax_ignore_list_);
  buttons_column->addWidget(folder_ignore_list_);
  buttons_column->addStretch();
  const int button_width = std::max(
      {97, syntax_ignore_list_->sizeHint().width(), folder_ignore_list_->sizeHint().width()});
  for (CommandButton* button :
       {ok_, cancel_, visuals_, about_, syntax_ignore_list_, folder_ignore_list_}) {
    button->setMinimumWidth(button_width);
    button->setFixedHeight(25);
  }

  auto* panel_buttons = new QGridLayout;
  panel_buttons->setSpacing(kSpacing);
  panel_buttons->addWidget(add_ignored_, 0, 0);
  panel_buttons->addWidget(save_ignore_list_, 0, 1);
  panel_buttons->addWidget(clear_ignore_list_, 1, 0);
  panel_buttons->addWidget(hide_ignore_list_, 1, 1);
  for (CommandButton* button :
       {add_ignored_, save_ignore_list_, clear_ignore_list_, hide_ignore_list_}) {
    button->setMinimumWidth(97);
    button->setFixedHeight(25);
  }
  auto* panel_layout = new QVBoxLayout(ignore_panel_);
  panel_layout->setSpacing(kSpacing);
  panel_layout->addWidget(ignore_label_);
  panel_layout->addWidget(ignore_list_, 1);
  panel_layout->addLayout(panel_buttons);
  ignore_list_->setMinimumSize(320, 120);

  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(12, 12, 12, 12);
  outer->setSpacing(14);
  outer->addLayout(options_column, 1);
  outer->addLayout(buttons_column);
  outer->addWidget(ignore_panel_, 1);
}

void OptionsDialog::SetTabOrder() {
  const QWidget* order[] = {double_click_,
                            size_unit_,
                            include_sub_directories_,
                            no_warning_,
                            render_list_invisible_,
                            show_current_file_,
                            prefix_dir_,
                            remember_last_used_,
                            use_specified_path_,
                            folder_path_,
                            browse_,
                            ok_,
                            cancel_,
                            visuals_,
                            about_,
                            syntax_ignore_list_,
                            folder_ignore_list_,
                            ignore_list_,
                            add_ignored_,
                            save_ignore_list_,
                            clear_ignore_list_,
                            hide_ignore_list_};
  for (size_t i = 1; i < std::size(order); ++i) {
    setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
  }
}

void OptionsDialog::ConnectControls() {
  connect(double_click_, &QComboBox::currentTextChanged, this,
          [this](const QString& text) { options_.double_click_action = text; });
  connect(size_unit_, &QComboBox::currentTextChanged, this,
          [this](const QString& text) { options_.size_unit = text; });
  connect(include_sub_directories_, &QCheckBox::toggled, this, [this](bool on) {
    options_.include_sub_directories = on;
    UpdateEnabledControls();
  });
  connect(render_list_invisible_, &QCheckBox::toggled, this,
          [this](bool on) { options_.render_list_invisible = on; });
  connect(show_current_file_, &QCheckBox::toggled, this,
          [this](bool on) { options_.show_current_file = on; });
  connect(no_warning_, &QCheckBox::toggled, this, [this](bool on) { options_.no_warning = on; });
  connect(prefix_dir_, &QCheckBox::toggled, this, [this](bool on) { options_.prefix_dir = on; });
  connect(remember_last_used_, &QRadioButton::toggled, this, [this](bool on) {
    if (!on) return;
    options_.ChooseRememberLastUsed();
    UpdateEnabledControls();
  });
  connect(use_specified_path_, &QRadioButton::toggled, this, [this](bool on) {
    if (on) ChooseUseSpecifiedPath();
  });
  connect(folder_path_, &QLineEdit::textChanged, this,
          [this](const QString& text) { options_.specified_folder = text; });
  connect(browse_, &CommandButton::Click, this, &OptionsDialog::BrowseFolder);

  connect(ok_, &CommandButton::Click, this, &OptionsDialog::Save);
  connect(cancel_, &CommandButton::Click, this, &OptionsDialog::Cancel);
  connect(visuals_, &CommandButton::Click, this, &OptionsDialog::ShowVisuals);
  connect(about_, &CommandButton::Click, this, &OptionsDialog::ShowAbout);
  connect(syntax_ignore_list_, &CommandButton::Click, this, &OptionsDialog::OpenSyntaxIgnoreList);
  connect(folder_ignore_list_, &CommandButton::Click, this, &OptionsDialog::ShowIgnoreListPanel);

  connect(add_ignored_, &CommandButton::Click, this, &OptionsDialog::AddIgnoredFolder);
  connect(save_ignore_list_, &CommandButton::Click, this, &OptionsDialog::SaveIgnoreList);
  connect(clear_ignore_list_, &CommandButton::Click, this, &OptionsDialog::ClearIgnoreList);
  connect(hide_ignore_list_, &CommandButton::Click, this, &OptionsDialog::HideIgnoreListPanel);
}

void OptionsDialog::ApplyColors(const ColorScheme& scheme) {
  QPalette colors = palette();
  colors.setColor(QPalette::Window, scheme.BGColor());
  colors.setColor(QPalette::Active, QPalette::WindowText, scheme.FGColor());
  colors.setColor(QPalette::Inactive, QPalette::WindowText, scheme.FGColor());
  // Greyed captions must stay readable on any background.
  colors.setColor(QPalette::Disabled, QPalette::WindowText,
                  Blend(scheme.FGColor(), scheme.BGColor()));
  setPalette(colors);
  for (CommandButton* button : findChildren<CommandButton*>()) {
    button->SetBackColor(scheme.ButtonColor());
    button->SetBorderColor(scheme.BorderColor());
  }
}

void OptionsDialog::Activate() {
  options_.Load(settings_);
  ShowLiveValues();
  emit mainFolderChanged(options_.main_folder);
}

void OptionsDialog::ShowLiveValues() {
  const QSignalBlocker blockers[] = {QSignalBlocker(double_click_),
                                     QSignalBlocker(size_unit_),
                                     QSignalBlocker(include_sub_directories_),
                                     QSignalBlocker(render_list_invisible_),
                                     QSignalBlocker(show_current_file_),
                                     QSignalBlocker(no_warning_),
                                     QSignalBlocker(prefix_dir_),
                                     QSignalBlocker(remember_last_used_),
                                     QSignalBlocker(use_specified_path_),
                                     QSignalBlocker(folder_path_)};
  double_click_->setCurrentIndex(
      std::max(0, double_click_->findText(options_.double_click_action)));
  size_unit_->setCurrentIndex(std::max(0, size_unit_->findText(options_.size_unit)));
  include_sub_directories_->setChecked(options_.include_sub_directories);
  render_list_invisible_->setChecked(options_.render_list_invisible);
  show_current_file_->setChecked(options_.show_current_file);
  no_warning_->setChecked(options_.no_warning);
  prefix_dir_->setChecked(options_.prefix_dir);
  if (options_.folder_choice == FolderChoice::kUseSpecifiedPath) {
    use_specified_path_->setChecked(true);
  } else {
    remember_last_used_->setChecked(true);
  }
  folder_path_->setText(options_.specified_folder);
  UpdateEnabledControls();
}

void OptionsDialog::ReadControls() {
  options_.double_click_action = double_click_->currentText();
  options_.size_unit = size_unit_->currentText();
  options_.include_sub_directories = include_sub_directories_->isChecked();
  options_.render_list_invisible = render_list_invisible_->isChecked();
  options_.show_current_file = show_current_file_->isChecked();
  options_.no_warning = no_warning_->isChecked();
  options_.prefix_dir = prefix_dir_->isChecked();
  options_.folder_choice = use_specified_path_->isChecked() ? FolderChoice::kUseSpecifiedPath
                                                            : FolderChoice::kRememberLastUsed;
  options_.specified_folder = folder_path_->text();
}

void OptionsDialog::UpdateEnabledControls() {
  folder_ignore_list_->SetEnabled(options_.FolderIgnoreListEnabled());
  no_warning_->setEnabled(options_.NoWarningEnabled());
  const bool specified = options_.SpecifiedFolderEnabled();
  folder_path_->setEnabled(specified);
  browse_->SetEnabled(specified);
  SetBoxBackground(folder_path_, specified ? QPalette::Base : QPalette::Button);
}

void OptionsDialog::Save() {
  ReadControls();
  // A typed folder is a folder text like every other: it ends with "/".
  if (options_.folder_choice == FolderChoice::kUseSpecifiedPath) {
    QString folder = WithTrailingSlash(options_.specified_folder.trimmed());
    if (folder != folder_path_->text()) folder_path_->setText(folder);
  }
  // A settings file that cannot be written leaves the live values in force,
  // for this session only; the person is told so.
  if (!options_.Save(settings_)) {
    desktop_.Inform(QString(),
                    QStringLiteral("The settings could not be saved to ") + settings_.FilePath(),
                    Desktop::Icon::kCritical);
  }
  if (options_.folder_choice == FolderChoice::kUseSpecifiedPath) {
    emit mainFolderChanged(options_.main_folder);
  }
  hide();
}

void OptionsDialog::Cancel() {
  // Unsaved ignore-list entries go with the cancelled edits; the panel shows
  // the file again when it is opened next.
  HideIgnoreListPanel();
  ignore_list_->clear();
  hide();
}

void OptionsDialog::reject() { Cancel(); }

void OptionsDialog::ChooseUseSpecifiedPath() {
  options_.ChooseUseSpecifiedPath(settings_);
  const QSignalBlocker blocker(folder_path_);
  folder_path_->setText(options_.specified_folder);
  UpdateEnabledControls();
}

void OptionsDialog::BrowseFolder() {
  options_.BrowseSpecifiedFolder(desktop_);
  folder_path_->setText(options_.specified_folder);
}

void OptionsDialog::ShowVisuals() {
  if (visuals_opener_) visuals_opener_();
}

void OptionsDialog::ShowAbout() {
  if (about_window_ == nullptr) about_window_ = new AboutWindow(this);
  about_window_->show();
  about_window_->raise();
  about_window_->activateWindow();
}

void OptionsDialog::OpenSyntaxIgnoreList() {
  const QString folder = settings_.ProgramFolder();
  // The list is made at start-up; one deleted since then comes back as the
  // template rather than leaving the editor nothing to open.
  WriteSyntaxIgnoreTemplate(folder, ProgramTitleWithVersion());
  desktop_.ShellOpen(SyntaxIgnoreListPath(folder));
}

void OptionsDialog::ShowIgnoreListPanel() {
  ignore_list_->clear();
  for (const QString& folder : LoadDirIgnoreListLines(settings_.ProgramFolder())) {
    AppendIgnoredFolder(folder);
  }
  if (ignore_panel_->isHidden()) {
    ignore_panel_->show();
    layout()->activate();
    const QSize wanted = sizeHint();
    const int old_height = height();
    resize(std::max(width(), wanted.width()), std::max(height(), wanted.height()));
    panel_added_height_ = height() - old_height;
  }
  ignore_list_->setFocus(Qt::OtherFocusReason);
}

void OptionsDialog::HideIgnoreListPanel() {
  if (ignore_panel_->isHidden()) return;
  const int panel_width = ignore_panel_->width() + layout()->spacing();
  if (ignore_panel_->isAncestorOf(focusWidget())) folder_ignore_list_->setFocus();
  ignore_panel_->hide();
  layout()->activate();
  resize(std::max(minimumSizeHint().width(), width() - panel_width),
         std::max(minimumSizeHint().height(), height() - panel_added_height_));
  panel_added_height_ = 0;
}

void OptionsDialog::AddIgnoredFolder() {
  const QString chosen = desktop_.BrowseForFolder(kAddIgnoredTitle, options_.main_folder);
  if (chosen.isEmpty()) return;
  AppendIgnoredFolder(IgnoreListEntry(chosen));
  ignore_list_->setCurrentRow(ignore_list_->count() - 1);
}

void OptionsDialog::AppendIgnoredFolder(const QString& folder) {
  auto* item = new QListWidgetItem(folder, ignore_list_);
  // Deep folders are wider than the list.
  item->setToolTip(folder);
}

void OptionsDialog::RemoveSelectedIgnoredFolder() {
  QListWidgetItem* item = ignore_list_->currentItem();
  if (item == nullptr || !item->isSelected()) return;
  const int row = ignore_list_->row(item);
  delete ignore_list_->takeItem(row);
  const int next = RowAfterRemoval(row, ignore_list_->count());
  if (next >= 0) ignore_list_->setCurrentRow(next);
}

void OptionsDialog::ClearIgnoreList() {
  if (desktop_.AskYesNo(kClearIgnoreListTitle, QStringLiteral("Are you sure?"))) {
    ignore_list_->clear();
  }
}

void OptionsDialog::SaveIgnoreList() {
  QStringList folders;
  for (int row = 0; row < ignore_list_->count(); ++row) folders << ignore_list_->item(row)->text();
  if (!SaveDirIgnoreList(settings_.ProgramFolder(), folders)) {
    // The panel stays open, so the edited list is not lost with the message.
    desktop_.Inform(QString(),
                    QStringLiteral("The folder ignore list could not be saved to ") +
                        DirIgnoreListPath(settings_.ProgramFolder()),
                    Desktop::Icon::kCritical);
    return;
  }
  HideIgnoreListPanel();
}

void OptionsDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Only a dialog opened anew reloads: coming back from being minimised, or
  // from a box or picker, or from another window, keeps the edits in hand.
  if (event->spontaneous()) return;
  Activate();
  // An ignore-list panel left open shows the file, not entries never saved.
  if (!ignore_panel_->isHidden()) ShowIgnoreListPanel();
}

void OptionsDialog::closeEvent(QCloseEvent* event) {
  // The close box and the close at program exit keep the options, like "OK".
  Save();
  event->accept();
}

void OptionsDialog::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    // A focused button takes Enter for itself; anywhere else Enter is "OK".
    if (auto* button = qobject_cast<CommandButton*>(focusWidget())) {
      button->PerformClick();
    } else {
      Save();
    }
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ignore_list_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    RemoveSelectedIgnoredFolder();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace orlavo

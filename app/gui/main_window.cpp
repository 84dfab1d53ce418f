#include "app/gui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/file_info_report.h"
#include "app/flags.h"
#include "app/gui/about_window.h"
#include "app/gui/file_info_window.h"
#include "app/gui/options_dialog.h"
#include "app/gui/report_list_view.h"
#include "app/helpers.h"
#include "app/pellox_binding.h"
#include "app/program_title.h"
#include "app/tag_helpers.h"
#include "app/tag_transfer.h"
#include "formats/id3v1.h"
#include "ui/apply_color_scheme.h"
#include "ui/button_set.h"
#include "ui/color_scheme.h"
#include "ui/command_button.h"
#include "ui/visuals_files.h"

namespace orlavo {
namespace {

// 340 twips at 15 twips to a pixel, for the column sizing rule.
constexpr int kColumnSlackPixels = 23;
constexpr char kSupportAddress[] = "support@orlavo.example";

// While a run disables its own button or hides the list, Qt would hand the
// focus to the next control (Options), where a Space or Enter meant for the
// run's button would open something else. The focus waits on the window
// itself and goes back where it was when the run ends, unless the person
// put it somewhere else meanwhile.
class FocusKeeper {
 public:
  explicit FocusKeeper(QWidget* window) : window_(window) {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) focus = window->focusWidget();
    if (focus != nullptr && focus != window && focus->window() == window) {
      focus_ = focus;
      window->setFocus(Qt::OtherFocusReason);
    }
  }
  ~FocusKeeper() {
    if (!focus_ || !window_) return;
    QWidget* now = window_->focusWidget();
    if (now != nullptr && now != window_) return;
    if (focus_->isEnabled() && focus_->isVisible()) focus_->setFocus(Qt::OtherFocusReason);
  }
  FocusKeeper(const FocusKeeper&) = delete;
  FocusKeeper& operator=(const FocusKeeper&) = delete;

 private:
  QPointer<QWidget> window_;
  QPointer<QWidget> focus_;
};

QString HelpDocumentPath(const QString& program_folder) {
  return QDir(program_folder).filePath(QStringLiteral("Orlavo Professional.html"));
}

}  // namespace

MainWindow::MainWindow(const QString& program_folder, Desktop& desktop, PelloxBinding& pellox,
                       QWidget* parent)
    : QWidget(parent),
      program_folder_(program_folder.endsWith(u'/') ? program_folder : program_folder + u'/'),
      install_folder_(program_folder_),
      desktop_(desktop),
      pellox_(pellox),
      settings_(program_folder_),
      options_(LiveOptions()),
      syntax_(program_folder_),
      list_(MainListHeaders()) {
  BuildLayout();
  progress_ = std::make_unique<QtProgressDisplay>(total_label_, progress_bar_, percent_label_);
  options_dialog_ = new OptionsDialog(options_, settings_, desktop_, this);
  connect(options_dialog_, &OptionsDialog::mainFolderChanged, this, [this](const QString& folder) {
    if (folder_box_->text() != folder) folder_box_->setText(folder);
  });
  options_dialog_->SetVisualsOpener([this] { OpenVisuals(); });
  chrome_ = new WindowChrome(
      this, program_folder_,
      {[this] { ShowAbout(); }, [this](const QString& address) { desktop_.ShellOpen(address); }});
  chrome_->AddMenuItem(QStringLiteral("Visuals"), [this] { OpenVisuals(); });
  ApplyColors();
}

MainWindow::~MainWindow() {
  // The view shows list_, a member that goes before the base class deletes
  // the child widgets.
  delete view_;
}

CommandButton* MainWindow::MakeButton(const QString& caption, const QString& tooltip,
                                      void (MainWindow::*action)()) {
  CommandButton* b = buttons_.Add(caption, tooltip, this, 80);
  connect(b, &CommandButton::Click, this, action);
  return b;
}

CommandButton* MainWindow::button(const QString& caption) const { return buttons_.Find(caption); }

void MainWindow::BuildLayout() {
  setWindowTitle(ProgramTitleWithVersion());

  folder_box_ = new QLineEdit(this);
  folder_box_->setPlaceholderText(QStringLiteral("Main MP3 folder"));
  connect(folder_box_, &QLineEdit::textChanged, this,
          [this](const QString& text) { options_.SetMainFolder(text); });
  auto* browse = MakeButton(QStringLiteral("..."), QStringLiteral("Select a main MP3s folder"),
                            &MainWindow::SelectFolder);
  browse->setMinimumWidth(36);

  view_ = new ReportListView(list_, this);
  view_->viewport()->installEventFilter(this);
  view_->installEventFilter(this);
  // The first column takes what the other two leave (see SizeColumns).
  view_->header()->setStretchLastSection(false);
  view_->header()->resizeSection(1, 120);
  view_->header()->resizeSection(2, 180);
  connect(view_, &ReportListView::selectionEdited, this, [this] {
    // Keyboard moves are handled when the key is released.
    if (!key_down_) RowSelected();
  });
  connect(view_, &QAbstractItemView::doubleClicked, this, [this] { DoubleClickAction(); });

  total_label_ = new QLabel(TotalMp3sText(0), this);
  // A long file name in the progress caption is cut rather than squeezing
  // the bar beside it.
  total_label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  total_label_->setMinimumWidth(120);
  progress_bar_ = new QProgressBar(this);
  progress_bar_->setTextVisible(false);
  progress_bar_->setRange(0, 1);
  progress_bar_->setValue(0);
  progress_bar_->setMaximumHeight(14);
  percent_label_ = new QLabel(QStringLiteral("0%"), this);
  percent_label_->setMinimumWidth(40);

  // Filters.
  auto* filter_group = new QGroupBox(QStringLiteral("Filter for:"), this);
  const char* filter_captions[kFilterCount] = {
      "Incorrect File Syntax", "ID3v1 tag is not present", "ID3v1 tag is present",
      "ID3v2 tag present",     "ID3v2 tag is not present", "Incorrect ID3v1 Syntax"};
  auto* filter_layout = new QGridLayout(filter_group);
  for (int i = 0; i < kFilterCount; ++i) {
    filters_[i] = new QCheckBox(QString::fromLatin1(filter_captions[i]), filter_group);
    filter_layout->addWidget(filters_[i], i % 3, i / 3);
  }
  // The presence boxes of one tag version exclude each other.
  auto exclusive = [this](Filter a, Filter b) {
    connect(filters_[a], &QCheckBox::toggled, this, [this, b](bool on) {
      if (on) filters_[b]->setChecked(false);
    });
    connect(filters_[b], &QCheckBox::toggled, this, [this, a](bool on) {
      if (on) filters_[a]->setChecked(false);
    });
  };
  exclusive(kNoV1, kV1);
  exclusive(kV2, kNoV2);

  // The ID3v1 panel.
  auto* panel = new QGroupBox(QStringLiteral("ID3v1 Tag"), this);
  auto* panel_layout = new QGridLayout(panel);
  file_name_box_ = new QLineEdit(panel);
  file_name_box_->setReadOnly(true);
  panel_layout->addWidget(new QLabel(QStringLiteral("File:"), panel), 0, 0);
  panel_layout->addWidget(file_name_box_, 0, 1, 1, 3);
  const char* field_captions[kFieldCount] = {"Title:", "Artist:", "Album:", "Year:", "Comment:"};
  const int field_widths[kFieldCount] = {30, 30, 30, 4, 30};
  for (int i = 0; i < kFieldCount; ++i) {
    fields_[i] = new QLineEdit(panel);
    fields_[i]->setMaxLength(field_widths[i]);
    auto* label = new QLabel(QString::fromLatin1(field_captions[i]), panel);
    label->setBuddy(fields_[i]);
    panel_layout->addWidget(label, i + 1, 0);
    panel_layout->addWidget(fields_[i], i + 1, 1, 1, 3);
    connect(fields_[i], &QLineEdit::textEdited, this,
            [this] { button(QStringLiteral("Save ID3v1 Tag"))->setEnabled(true); });
  }
  genre_box_ = new QComboBox(panel);
  genre_box_->setMaxVisibleItems(20);
  connect(genre_box_, &QComboBox::activated, this,
          [this] { button(QStringLiteral("Save ID3v1 Tag"))->setEnabled(true); });
  auto* genre_label = new QLabel(QStringLiteral("Genre:"), panel);
  genre_label->setBuddy(genre_box_);
  panel_layout->addWidget(genre_label, 6, 0);
  panel_layout->addWidget(genre_box_, 6, 1, 1, 3);
  pattern_box_ = new QLineEdit(panel);
  auto* pattern_label = new QLabel(QStringLiteral("Syntax:"), panel);
  pattern_label->setBuddy(pattern_box_);
  panel_layout->addWidget(pattern_label, 7, 0);
  panel_layout->addWidget(pattern_box_, 7, 1, 1, 3);

  auto* save = MakeButton(QStringLiteral("Save ID3v1 Tag"), {}, &MainWindow::SaveTag);
  auto* remove = MakeButton(QStringLiteral("Remove ID3v1 Tag"), {}, &MainWindow::RemoveTag);
  auto* to_name =
      MakeButton(QStringLiteral("ID3v1 TAG -> Filename"), {}, &MainWindow::RenameFromTag);
  auto* to_tag = MakeButton(QStringLiteral("Filename -> ID3v1 TAG"), {}, &MainWindow::NameToTag);
  auto* info = MakeButton(QStringLiteral("Info"), QStringLiteral("Information about keywords"),
                          &MainWindow::ShowPatternInfo);
  auto* def = MakeButton(QStringLiteral("Default"), QStringLiteral("Show default syntax"),
                         &MainWindow::DefaultPattern);
  auto* legend = MakeButton(QStringLiteral("Error Legend"), {}, &MainWindow::ShowErrorLegend);
  auto* full_info =
      MakeButton(QStringLiteral("Show full info"), QStringLiteral("Show full MP3 file information"),
                 &MainWindow::ShowFullInfo);
  auto* panel_buttons = new QGridLayout;
  panel_buttons->addWidget(save, 0, 0);
  panel_buttons->addWidget(remove, 0, 1);
  panel_buttons->addWidget(to_name, 1, 0);
  panel_buttons->addWidget(to_tag, 1, 1);
  panel_buttons->addWidget(info, 2, 0);
  panel_buttons->addWidget(def, 2, 1);
  panel_buttons->addWidget(legend, 3, 0);
  panel_buttons->addWidget(full_info, 3, 1);
  panel_layout->addLayout(panel_buttons, 8, 0, 1, 4);
  panel_layout->setRowStretch(9, 1);
  save->setEnabled(false);
  remove->setEnabled(false);
  to_name->setEnabled(false);
  to_tag->setEnabled(false);

  // The main buttons.
  auto* show = MakeButton(QStringLiteral("Show files"), {}, &MainWindow::ShowFiles);
  auto* apply =
      MakeButton(QStringLiteral("Apply Filter(s)"), QStringLiteral("Apply above selected filters"),
                 &MainWindow::ApplyFilters);
  auto* tools = MakeButton(QStringLiteral("Advanced Tools"),
                           QStringLiteral("Launch Advanced Tools"), &MainWindow::OpenAdvancedTools);
  auto* opts = MakeButton(QStringLiteral("Options"), {}, &MainWindow::OpenOptions);
  auto* help = MakeButton(QStringLiteral("Help"), {}, &MainWindow::OpenHelp);
  auto* exit =
      MakeButton(QStringLiteral("Exit"), QStringLiteral("Exit application"), &MainWindow::Exit);

  // Layout: folder row; list with status below on the left, panel and filters
  // on the right; the main buttons at the bottom.
  auto* root = new QVBoxLayout(this);
  auto* folder_row = new QHBoxLayout;
  auto* folder_label = new QLabel(QStringLiteral("Folder:"), this);
  folder_label->setBuddy(folder_box_);
  folder_row->addWidget(folder_label);
  folder_row->addWidget(folder_box_, 1);
  folder_row->addWidget(browse);
  root->addLayout(folder_row);

  auto* middle = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(view_, 1);
  auto* status = new QHBoxLayout;
  status->addWidget(total_label_, 1);
  status->addWidget(progress_bar_, 2);
  status->addWidget(percent_label_);
  left->addLayout(status);
  left->addWidget(filter_group);
  middle->addLayout(left, 3);
  middle->addWidget(panel, 2);
  root->addLayout(middle, 1);

  auto* bottom = new QHBoxLayout;
  for (CommandButton* b : {show, apply, tools, opts, help}) bottom->addWidget(b);
  bottom->addStretch(1);
  bottom->addWidget(exit);
  root->addLayout(bottom);

  setTabOrder(folder_box_, browse);
  setTabOrder(browse, view_);
  resize(1000, 640);
}

void MainWindow::ApplyColors() { ApplyColorScheme(this); }

void MainWindow::OpenVisuals() {
  if (!visuals_window_) {
    visuals_window_ = new VisualsWindow(program_folder_, desktop_, this);
    visuals_window_->setAttribute(Qt::WA_DeleteOnClose);
    visuals_window_->resize(880, 540);
    // Over this window, and whole on its screen.
    QRect frame(QPoint(), visuals_window_->size());
    frame.moveCenter(geometry().center());
    if (QScreen* s = screen()) {
      const QRect room = s->availableGeometry();
      frame.moveLeft(std::clamp(frame.left(), room.left(),
                                std::max(room.left(), room.right() - frame.width())));
      frame.moveTop(std::clamp(frame.top(), room.top(),
                               std::max(room.top(), room.bottom() - frame.height())));
    }
    visuals_window_->move(frame.topLeft());
  }
  visuals_window_->show();
  visuals_window_->raise();
  visuals_window_->activateWindow();
}

bool MainWindow::BindPellox() {
  if (pellox_.Bind()) return true;
  const QString text = pellox_.error() + QStringLiteral("\r\n") +
                       QStringLiteral(
                           "Incorrect DLL compilation.  Please email me as soon as "
                           "possible so I can correct this.");
  desktop_.Message(ProgramTitle(), text, Desktop::Buttons::kOk, Desktop::Icon::kCritical);
  const QString mail = QStringLiteral("mailto:%1?subject=%2&body=%3")
                           .arg(QString::fromLatin1(kSupportAddress),
                                QString::fromLatin1(QUrl::toPercentEncoding("INCORRECT DLL")),
                                QString::fromLatin1(QUrl::toPercentEncoding(text)));
  desktop_.ShellOpen(mail);
  return false;
}

void MainWindow::SetInstallFolder(const QString& folder) {
  install_folder_ = folder.endsWith(u'/') ? folder : folder + u'/';
}

void MainWindow::OpenAtStart(const QString& folder, const QString& file) {
  start_folder_ = folder.endsWith(u'/') ? folder : folder + u'/';
  start_file_ = file;
}

bool MainWindow::Start(const std::function<bool()>& another_instance_running) {
  // 1. The first run shows its message, the About window and the guide.
  if (settings_.Read(settings_key::kExeShow).isEmpty()) {
    desktop_.Inform(QString(),
                    QStringLiteral("This is your first time running this program, please make "
                                   "sure you have the latest release.  Thank You."));
    ShowAbout();
    desktop_.ShellOpen(HelpDocumentPath(install_folder_));
  }
  // 2. The caption.
  setWindowTitle(ProgramTitleWithVersion());
  // 3. The rename pattern.
  pattern_box_->setText(settings_.Syntax());
  // 4. One instance only.
  if (another_instance_running && another_instance_running()) return false;
  if (!BindPellox()) return false;
  // 5. The colour scheme.
  CurrentColorScheme() = ReadSelectedColorScheme(settings_);
  ApplyColors();
  options_dialog_->ApplyColors(CurrentColorScheme());
  // 6. The Options dialog, loaded invisibly: the live options and the folder.
  options_dialog_->Activate();
  if (!start_folder_.isEmpty()) options_.SetMainFolder(start_folder_);
  folder_box_->setText(options_.main_folder);
  // 7.
  show();
  desktop_.LetEventsRun();
  // The first run's About window came up before this window: it goes back in front.
  if (about_window_ && about_window_->isVisible()) {
    about_window_->raise();
    about_window_->activateWindow();
  }
  // 8. The genre box: 148 entries, the last one blank.
  genre_box_->clear();
  for (int i = 0; i < kGenreCount; ++i) {
    int g = i;
    genre_box_->addItem(GenreName(g));
  }
  genre_box_->setCurrentIndex(kBlankGenre);
  // 9.
  PathChanged = false;
  // 10.
  if (folder_box_->text().isEmpty()) {
    SelectFolder();
  } else {
    ShowFiles();
    const int row = start_file_.isEmpty() ? -1 : list_.IndexOfPath(start_file_);
    if (row >= 0) {
      view_->SelectRow(row);
      RowSelected();
    }
  }
  // 11.
  QDir(program_folder_).mkpath(QStringLiteral("Files"));
  // 12.
  if (folder_box_->text().isEmpty()) button(QStringLiteral("Advanced Tools"))->setEnabled(false);
  // 13.
  WriteSyntaxIgnoreTemplate(program_folder_, ProgramTitleWithVersion());
  // 14.
  started_ = true;
  // The list has its final width once the layout has run.
  QTimer::singleShot(0, this, [this] { SizeColumns(); });
  return true;
}

void MainWindow::SizeColumns() {
  QHeaderView* h = view_->header();
  const int width =
      view_->viewport()->width() - h->sectionSize(1) - h->sectionSize(2) - kColumnSlackPixels;
  if (width > 50) h->resizeSection(0, width);
}

void MainWindow::resizeEvent(QResizeEvent* event) { QWidget::resizeEvent(event); }

ScanSetup MainWindow::CurrentScanSetup() const {
  ScanSetup s;
  s.program_folder = program_folder_;
  s.main_folder = folder_box_->text();
  s.include_sub_directories = options_.include_sub_directories;
  s.no_warning = options_.no_warning;
  s.prefix_dir = options_.prefix_dir;
  s.size_unit = options_.size_unit;
  return s;
}

void MainWindow::SetTotal() { total_label_->setText(TotalMp3sText(list_.size())); }

void MainWindow::EmptyPanel() {
  for (QLineEdit* f : fields_) f->clear();
  genre_box_->setCurrentIndex(genre_box_->count() - 1);
  // The rows are new: nothing is selected for the panel's buttons to act on.
  for (const char* caption :
       {"Save ID3v1 Tag", "Remove ID3v1 Tag", "ID3v1 TAG -> Filename", "Filename -> ID3v1 TAG"}) {
    button(QString::fromLatin1(caption))->setEnabled(false);
  }
}

void MainWindow::SelectFolder() {
  const QString folder = SelectMainFolder(desktop_, folder_box_->text(), CurrentScanSetup());
  if (folder.isEmpty()) return;
  CommandButton* tools = button(QStringLiteral("Advanced Tools"));
  tools->setEnabled(false);
  folder_box_->setText(folder);
  tools->setEnabled(true);
  settings_.Write(settings_key::kDirPath, folder);
  ShowFiles();
  if (settings_.Read(settings_key::kLastUsed).isEmpty() && !list_.empty()) {
    view_->SelectRow(0);
    DoubleClickAction();
  }
}

void MainWindow::ShowFiles() {
  FocusKeeper focus(this);
  CommandButton* tools = button(QStringLiteral("Advanced Tools"));
  tools->setEnabled(false);
  ScanResult result = orlavo::ShowFiles(list_, CurrentScanSetup(), desktop_);
  if (result.outcome == ScanOutcome::kNoFolder) {
    SelectFolder();
    return;
  }
  tools->setEnabled(true);
  SetTotal();
  EmptyPanel();
  TellRefused(desktop_, result.denied);
}

void MainWindow::ApplyFilters() {
  FilterChoice choice;
  choice.incorrect_file_syntax = filters_[kBadName]->isChecked();
  choice.v1_not_present = filters_[kNoV1]->isChecked();
  choice.v1_present = filters_[kV1]->isChecked();
  choice.v2_present = filters_[kV2]->isChecked();
  choice.v2_not_present = filters_[kNoV2]->isChecked();
  choice.incorrect_v1_syntax = filters_[kBadTag]->isChecked();
  FocusKeeper focus(this);
  const bool hide = options_.render_list_invisible;
  if (hide) view_->setVisible(false);
  file_name_box_->clear();
  CommandButton* apply = button(QStringLiteral("Apply Filter(s)"));
  apply->setEnabled(false);
  PelloxID3v1Reader reader(pellox_);
  FilterTools tools{desktop_, *progress_, reader, syntax_, options_.show_current_file};
  CommandButton* advanced = button(QStringLiteral("Advanced Tools"));
  advanced->setEnabled(false);
  ScanResult result = orlavo::ApplyFilters(list_, choice, CurrentScanSetup(), tools);
  if (result.outcome == ScanOutcome::kNoFolder) {
    if (hide) view_->setVisible(true);
    apply->setEnabled(true);
    SelectFolder();
    return;
  }
  advanced->setEnabled(true);
  apply->setEnabled(true);
  SetTotal();
  percent_label_->setText(QStringLiteral("0%"));
  if (hide) view_->setVisible(true);
  EmptyPanel();
  TellRefused(desktop_, result.denied);
}

int MainWindow::SelectedRow() const {
  int current = view_->CurrentRow();
  if (current >= 0 && current < list_.size() && list_.IsSelected(current)) return current;
  return list_.FirstSelected();
}

void MainWindow::FillPanel(int row) {
  const QString path = list_.FullPath(row);
  ID3v1Tag tag;
  pellox_.ReadID3v1(path, &tag);
  file_name_box_->setText(path);
  const char* texts[kFieldCount] = {tag.Title, tag.Artist, tag.Album, tag.Year, tag.Comment};
  const size_t sizes[kFieldCount] = {30, 30, 30, 4, 30};
  for (int i = 0; i < kFieldCount; ++i) {
    fields_[i]->setText(CleanTagText(RecordText(texts[i], sizes[i])));
  }
  int genre = tag.Genre;
  GenreName(genre);
  genre_box_->setCurrentIndex(std::min(genre, genre_box_->count() - 1));
  button(QStringLiteral("Save ID3v1 Tag"))->setEnabled(false);
  button(QStringLiteral("Remove ID3v1 Tag"))->setEnabled(tag.Exists != 0);
}

void MainWindow::RowSelected() {
  if (list_.empty()) return;
  CommandButton* apply = button(QStringLiteral("Apply Filter(s)"));
  const int selected = list_.SelectedCount();
  if (selected > 1) {
    apply->setEnabled(false);
    return;
  }
  apply->setEnabled(true);
  const int row = SelectedRow();
  if (row >= 0) FillPanel(row);
  if (info_window_) info_window_->close();
  button(QStringLiteral("Filename -> ID3v1 TAG"))->setEnabled(selected >= 1);
  button(QStringLiteral("ID3v1 TAG -> Filename"))->setEnabled(selected >= 1);
}

void MainWindow::KeyReleased() {
  if (list_.empty()) return;
  const int current = view_->CurrentRow();
  if (current >= 0 && list_.SelectedCount() == 0) view_->SelectRow(current);
  CommandButton* apply = button(QStringLiteral("Apply Filter(s)"));
  if (list_.SelectedCount() >= 2) {
    apply->setEnabled(false);
    return;
  }
  apply->setEnabled(true);
  const int row = SelectedRow();
  if (row < 0) return;
  FillPanel(row);
  button(QStringLiteral("Filename -> ID3v1 TAG"))->setEnabled(true);
  button(QStringLiteral("ID3v1 TAG -> Filename"))->setEnabled(true);
  // An open information window follows the keyboard.
  ReprintInfoWindow();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // The first column keeps taking the width the other two leave, also after
  // the person enlarges the window.
  if (watched == view_->viewport() && event->type() == QEvent::Resize && started_) {
    SizeColumns();
  }
  if (watched == view_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool del = key->key() == Qt::Key_Delete;
    key_down_ = true;
    // The busy flag guards the list's own actions (a held key acts once);
    // every other key, chords and Tab included, is the view's.
    if (!enter && !del) return false;
    if (key_busy_) return true;
    key_busy_ = true;
    if (enter) {
      DoubleClickAction();
    } else {
      RemoveSelectedRows();
    }
    return true;
  }
  if (watched == view_ && event->type() == QEvent::KeyRelease) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->isAutoRepeat()) return false;
    key_down_ = false;
    key_busy_ = false;
    KeyReleased();
    return false;
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::RemoveSelectedRows() {
  // The row that comes to stand at the current position is selected next.
  const int current = view_->CurrentRow();
  int position = current;
  for (int row : list_.SelectedRows()) {
    if (row < current) --position;
  }
  list_.RemoveSelectedRows();
  SetTotal();
  if (list_.empty()) {
    // Nothing left for the panel to show or its buttons to act on.
    file_name_box_->clear();
    EmptyPanel();
    if (info_window_) info_window_->close();
    return;
  }
  view_->SelectRow(std::clamp(position, 0, list_.size() - 1));
  KeyReleased();
}

void MainWindow::DoubleClickAction() {
  if (list_.empty()) return;
  const int row = SelectedRow() >= 0 ? SelectedRow() : view_->CurrentRow();
  if (row < 0) return;
  const ReportRow& r = list_.row(row);
  if (options_.double_click_action == QLatin1String(kOpenMp3Folder)) {
    desktop_.ShellOpen(options_.prefix_dir ? FolderOf(r.text) : r.tag);
  } else {
    desktop_.ShellOpen(r.FullPath());
  }
}

void MainWindow::ReprintInfoWindow() {
  if (!info_window_ || !info_window_->isVisible()) return;
  const int row = SelectedRow();
  if (row >= 0) info_window_->ShowReport(FileInfoReport(list_.FullPath(row), pellox_));
}

void MainWindow::ShowFullInfo() {
  if (list_.empty()) return;
  const int row = SelectedRow();
  if (row < 0) return;
  if (!info_window_) {
    info_window_ = new FileInfoWindow(this);
    info_window_->setAttribute(Qt::WA_DeleteOnClose);
  }
  info_window_->show();
  info_window_->ShowReport(FileInfoReport(list_.FullPath(row), pellox_));
  info_window_->raise();
}

void MainWindow::OpenHelp() { desktop_.ShellOpen(HelpDocumentPath(install_folder_)); }

void MainWindow::OpenOptions() {
  options_dialog_->Activate();
  options_dialog_->show();
  options_dialog_->raise();
  options_dialog_->activateWindow();
}

void MainWindow::OpenAdvancedTools() {
  if (advanced_tools_opener_) {
    PathChanged = false;
    advanced_tools_opener_();
    return;
  }
  desktop_.Inform(QString(), QStringLiteral("The Advanced tools are not available in this "
                                            "version."));
}

void MainWindow::ShowAbout() {
  if (!about_window_) {
    about_window_ = new AboutWindow(this);
    about_window_->setAttribute(Qt::WA_DeleteOnClose);
  }
  about_window_->show();
  about_window_->raise();
}

void MainWindow::SaveTag() {
  WriteID3v1(file_name_box_->text(), fields_[kTitle]->text(), fields_[kArtist]->text(),
             fields_[kAlbum]->text(), fields_[kYear]->text(), fields_[kComment]->text(),
             genre_box_->currentIndex());
  button(QStringLiteral("Save ID3v1 Tag"))->setEnabled(false);
  if (edit_from_tools_) {
    edit_from_tools_ = false;
    if (tools_tag_saved_) tools_tag_saved_(fields_[kArtist]->text(), fields_[kTitle]->text());
  }
}

void MainWindow::RemoveTag() {
  for (int row : list_.SelectedRows()) BlankID3v1(list_.FullPath(row));
  if (edit_from_tools_ && tools_tag_removed_) tools_tag_removed_();
  RowSelected();
  button(QStringLiteral("Remove ID3v1 Tag"))->setEnabled(false);
}

void MainWindow::RenameFromTag() {
  if (list_.empty() || file_name_box_->text().isEmpty()) return;
  if (!desktop_.AskYesNo(
          QStringLiteral("Renaming..."),
          QStringLiteral("Are you sure you want to rename ") + file_name_box_->text())) {
    return;
  }
  TagFields fields{fields_[kArtist]->text(), fields_[kTitle]->text(), fields_[kAlbum]->text(),
                   fields_[kYear]->text(), genre_box_->currentText()};
  TagRename r = orlavo::RenameFromTag(file_name_box_->text(), folder_box_->text(),
                                      pattern_box_->text(), fields, desktop_);
  if (!r.result.ok()) return;  // the file is as it was; the panel keeps its texts
  EmptyPanel();
  // A rescan through the filters would empty the list when no filter is
  // checked; then the plain scan shows the file under its new name.
  bool any_filter = false;
  for (QCheckBox* f : filters_) any_filter = any_filter || f->isChecked();
  if (any_filter) {
    ApplyFilters();
  } else {
    ShowFiles();
  }
}

void MainWindow::NameToTag() {
  NameParts parts = SplitNameIntoTag(file_name_box_->text(), syntax_);
  fields_[kArtist]->setText(parts.artist);
  fields_[kTitle]->setText(parts.title);
  button(QStringLiteral("Save ID3v1 Tag"))->setEnabled(true);
}

void MainWindow::ShowPatternInfo() {
  desktop_.Message(QString(), PatternInfoText(), Desktop::Buttons::kOk, Desktop::Icon::kNone);
}

void MainWindow::DefaultPattern() {
  pattern_box_->setText(QString::fromLatin1(kDefaultRenamePattern));
}

void MainWindow::ShowErrorLegend() {
  desktop_.Message(QString(), ErrorLegendText(), Desktop::Buttons::kOk, Desktop::Icon::kNone);
}

void MainWindow::Exit() { close(); }

void MainWindow::EditTagFromTools(
    const std::function<int(ReportList&)>& select_row,
    std::function<void(const QString& artist, const QString& title)> saved,
    std::function<void()> removed) {
  ShowFiles();
  const int row = select_row(list_);
  // The panel is to be seen: the main window comes in front of the tools.
  if (!isVisible()) show();
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  if (row < 0) return;
  view_->SelectRow(row);
  RowSelected();
  // Flash the tag fields so the eye finds them.
  QList<QWidget*> boxes(fields_.begin(), fields_.end());
  boxes << genre_box_;
  auto paint = [&boxes](bool red) {
    for (QWidget* w : boxes) {
      QPalette pal = w->palette();
      pal.setColor(QPalette::Base,
                   red ? QColor(255, 0, 0) : QApplication::palette().base().color());
      w->setPalette(pal);
    }
  };
  for (bool red : {true, false, true, false}) {
    paint(red);
    Pause(desktop_, 0.1);
  }
  edit_from_tools_ = true;
  tools_tag_saved_ = std::move(saved);
  tools_tag_removed_ = std::move(removed);
}

void MainWindow::ForgetFiles(const QStringList& paths) {
  QList<int> rows;
  for (const QString& path : paths) {
    const int row = list_.IndexOfPath(path);
    if (row >= 0) rows << row;
  }
  list_.RemoveRows(rows);
  SetTotal();
  if (paths.contains(file_name_box_->text())) {
    file_name_box_->clear();
    EmptyPanel();
  }
}

void MainWindow::AddOwnedWindow(QWidget* window) { owned_windows_ << window; }

void MainWindow::closeEvent(QCloseEvent* event) {
  StopRequested = true;
  settings_.Write(settings_key::kSyntax, pattern_box_->text());
  // The Options dialog saves as it closes.
  options_dialog_->Save();
  if (about_window_) about_window_->close();
  for (const QPointer<QWidget>& w : owned_windows_) {
    if (w) w->close();
  }
  if (info_window_) info_window_->close();
  event->accept();
}

}  // namespace orlavo

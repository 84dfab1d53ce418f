#include "tools/splitter/gui/splitter_pane.h"

#include <QCursor>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "app/gui/report_list_view.h"
#include "app/settings.h"
#include "ui/apply_color_scheme.h"
#include "ui/command_button.h"

namespace orlavo {

using namespace splitter_text;

namespace {
QString L(const char* text) { return QString::fromLatin1(text); }

// The time field's color after an Add with nothing typed.
void SetRed(QLineEdit* field, bool red) {
  QPalette pal = field->palette();
  pal.setColor(QPalette::Base,
               red ? QColor(255, 0, 0) : field->style()->standardPalette().color(QPalette::Base));
  field->setPalette(pal);
}
}  // namespace

SplitterPane::SplitterPane(const ToolContext& context, QWidget* parent)
    : ToolPane(parent),
      splitter_(context),
      desktop_(context.desktop),
      status_(context.status),
      program_folder_(context.program_folder) {
  view_ = new ReportListView(splitter_.tracks(), this);
  view_->report_model()->SetCheckable(true);
  // The list is in track order, which is cut order: no header sorts it.
  view_->header()->setSectionsClickable(false);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  view_->viewport()->installEventFilter(this);
  // Numbers are short and names the widest texts; times fit their columns.
  view_->header()->resizeSection(0, 64);
  view_->header()->resizeSection(1, 240);
  AttachList(view_, status_);
  connect(view_, &QWidget::customContextMenuRequested, this, [this] { ShowPlayMenu(); });
  connect(view_, &QAbstractItemView::doubleClicked, this, [this] { BeginRename(); });
  connect(&splitter_.tracks(), &ReportList::rowsChanged, this, [this] {
    splitter_.RecountCaption();
    create_->SetCaption(splitter_.create_caption());
  });

  name_editor_ = new QLineEdit(view_->viewport());
  name_editor_->hide();
  name_editor_->installEventFilter(this);

  source_ = new QLineEdit(this);
  destination_ = new QLineEdit(this);
  connect(source_, &QLineEdit::textEdited, this,
          [this](const QString& t) { splitter_.set_source(t); });
  connect(destination_, &QLineEdit::textEdited, this,
          [this](const QString& t) { splitter_.set_destination(t); });
  auto* select_source = MakeButton(L(kSelect), L(kSelectSourceTooltip));
  connect(select_source, &CommandButton::Click, this, [this] {
    splitter_.SelectSource();
    ShowState();
  });
  select_destination_ = MakeButton(L(kSelect), L(kSelectDestinationTooltip));
  connect(select_destination_, &CommandButton::Click, this, [this] {
    splitter_.SelectDestination();
    ShowState();
  });

  duration_label_ = new QLabel(this);
  bitrate_label_ = new QLabel(this);
  frequency_label_ = new QLabel(this);

  time_ = new QLineEdit(this);
  time_->installEventFilter(this);
  auto* time_label = new QLabel(L(kTrackTiming), this);
  time_label->setBuddy(time_);
  connect(time_, &QLineEdit::textEdited, this, [this](const QString& text) {
    const QString filtered = Splitter::FilterTimeText(text);
    if (filtered != text) {
      time_->setText(filtered);
      time_->setCursorPosition(filtered.size());
    }
    splitter_.set_time_field(filtered);
  });
  connect(time_, &QLineEdit::returnPressed, this, [this] { Add(); });

  auto* add = MakeButton(L(kAdd), L(kAddTooltip));
  connect(add, &CommandButton::Click, this, [this] { Add(); });
  auto* remove = MakeButton(L(kRemove), L(kRemoveTooltip));
  connect(remove, &CommandButton::Click, this, [this] { RemoveSelectedRows(); });
  create_ = MakeButton(L(kCreateTracks), {});
  connect(create_, &CommandButton::Click, this, [this] {
    splitter_.CreateTracks();
    ShowState();
  });
  auto* load = MakeButton(L(kLoad), L(kLoadTooltip));
  connect(load, &CommandButton::Click, this, [this] {
    splitter_.LoadCueDialog();
    ShowState();
  });
  auto* save = MakeButton(L(kSave), L(kSaveTooltip));
  connect(save, &CommandButton::Click, this, [this] { SaveClicked(); });

  up_ = MakeButton(QStringLiteral("\u25B2"), QStringLiteral("Move the selected track up"));
  down_ = MakeButton(QStringLiteral("\u25BC"), QStringLiteral("Move the selected track down"));
  up_->setMinimumWidth(32);
  down_->setMinimumWidth(32);
  connect(up_, &CommandButton::Click, this, [this] {
    splitter_.MoveSelected(true);
    ShowState();
  });
  connect(down_, &CommandButton::Click, this, [this] {
    splitter_.MoveSelected(false);
    ShowState();
  });

  // Layout.
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  auto* paths = new QGridLayout;
  auto* source_label = new QLabel(L(kSourceField), this);
  source_label->setBuddy(source_);
  auto* destination_label = new QLabel(L(kDestinationField), this);
  destination_label->setBuddy(destination_);
  paths->addWidget(source_label, 0, 0);
  paths->addWidget(source_, 0, 1);
  paths->addWidget(select_source, 0, 2);
  paths->addWidget(destination_label, 1, 0);
  paths->addWidget(destination_, 1, 1);
  paths->addWidget(select_destination_, 1, 2);
  root->addLayout(paths);
  auto* captions = new QHBoxLayout;
  captions->addWidget(duration_label_);
  captions->addSpacing(24);
  captions->addWidget(bitrate_label_);
  captions->addSpacing(24);
  captions->addWidget(frequency_label_);
  captions->addStretch(1);
  root->addLayout(captions);
  QHBoxLayout* list_row = ListWithArrows(view_, up_, down_);
  root->addLayout(list_row, 1);
  auto* timing = new QHBoxLayout;
  timing->addWidget(time_label);
  timing->addWidget(time_);
  timing->addWidget(add);
  timing->addWidget(remove);
  timing->addStretch(1);
  timing->addWidget(load);
  timing->addWidget(save);
  timing->addWidget(create_);
  root->addLayout(timing);
  ShowState();
}

SplitterPane::~SplitterPane() { delete view_; }

CommandButton* SplitterPane::MakeButton(const QString& caption, const QString& tooltip) {
  return buttons_.Add(caption, tooltip, this);
}

CommandButton* SplitterPane::button(const QString& caption) const { return buttons_.Find(caption); }

void SplitterPane::ShowTool() {
  splitter_.Show(Settings(program_folder_));
  ShowState();
}

void SplitterPane::SaveKeys(ToolKeys& keys) const { splitter_.SaveKeys(keys); }

void SplitterPane::ShowState() {
  if (source_->text() != splitter_.source()) source_->setText(splitter_.source());
  if (destination_->text() != splitter_.destination()) {
    destination_->setText(splitter_.destination());
  }
  if (time_->text() != splitter_.time_field()) time_->setText(splitter_.time_field());
  SetRed(time_, splitter_.time_field_red());
  duration_label_->setText(splitter_.duration_caption());
  bitrate_label_->setText(splitter_.bitrate_caption());
  frequency_label_->setText(splitter_.frequency_caption());
  create_->SetCaption(splitter_.create_caption());
}

void SplitterPane::FocusTimeField() {
  time_->setFocus();
  time_->selectAll();
}

void SplitterPane::Add() {
  EndRename();
  splitter_.set_time_field(time_->text());
  const int rows = splitter_.tracks().size();
  splitter_.AddNewTime();
  ShowState();
  if (splitter_.tracks().size() > rows) {
    view_->scrollTo(view_->report_model()->index(splitter_.tracks().size() - 1, 0));
  }
  if (!splitter_.time_field_red()) FocusTimeField();
}

void SplitterPane::RemoveSelectedRows() {
  EndRename();
  splitter_.RemoveSelected();
  ShowState();
}

void SplitterPane::BeginRename() {
  const int row = splitter_.tracks().FirstSelected();
  if (row < 0) return;
  renaming_row_ = row;
  const QRect cell = view_->visualRect(view_->report_model()->index(row, 1));
  name_editor_->setGeometry(cell);
  name_editor_->setText(splitter_.tracks().row(row).ColumnText(1));
  name_editor_->selectAll();
  name_editor_->show();
  name_editor_->setFocus();
}

void SplitterPane::EndRename() {
  if (!name_editor_->isVisible()) return;
  name_editor_->hide();
  if (renaming_row_ >= 0) splitter_.RenameRow(renaming_row_, name_editor_->text());
  renaming_row_ = -1;
  view_->setFocus();
}

bool SplitterPane::eventFilter(QObject* watched, QEvent* event) {
  if (watched == name_editor_ && event->type() == QEvent::KeyPress) {
    // Handled here: a line edit passes Enter on to its parent, the list,
    // where it would open the editor again.
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      EndRename();
      return true;
    }
    if (key == Qt::Key_Escape) {
      renaming_row_ = -1;
      name_editor_->hide();
      view_->setFocus();
      return true;
    }
  } else if (watched == view_->viewport() && event->type() == QEvent::MouseButtonPress) {
    if (name_editor_->isVisible() && !name_editor_->geometry().contains(
                                         static_cast<QMouseEvent*>(event)->position().toPoint())) {
      EndRename();
    }
  } else if (watched == time_ && event->type() == QEvent::FocusIn) {
    splitter_.TimeFieldFocused();
    SetRed(time_, false);
    QMetaObject::invokeMethod(time_, &QLineEdit::selectAll, Qt::QueuedConnection);
  }
  return ToolPane::eventFilter(watched, event);
}

void SplitterPane::ShowPlayMenu() {
  if (splitter_.tracks().empty()) return;
  const bool chosen = play_menu_ ? play_menu_() : PopUpPlayMenu();
  if (!chosen) return;
  splitter_.Preview();
  ShowState();
}

void SplitterPane::SaveClicked() {
  if (splitter_.tracks().empty()) return;
  const std::optional<int> item = save_menu_ ? save_menu_() : PopUpSaveMenu();
  if (item) splitter_.SaveCue(*item == 0 ? CueKind::kOrv : CueKind::kStandard);
  QDir().mkpath(FilesFolder(program_folder_));
  desktop_.ShellOpen(FilesFolder(program_folder_));
}

bool SplitterPane::PopUpPlayMenu() {
  QMenu menu(L(kPlayMenuCaption), this);
  ApplyMenuLook(&menu);
  menu.addAction(L(kPlay));
  return menu.exec(QCursor::pos()) != nullptr;
}

std::optional<int> SplitterPane::PopUpSaveMenu() {
  QMenu menu(L(cue_text::kSaveMenuCaption), this);
  ApplyMenuLook(&menu);
  QAction* orv = menu.addAction(L(cue_text::kSaveOrv));
  menu.addAction(L(cue_text::kSaveStandard));
  QAction* chosen = menu.exec(QCursor::pos());
  if (chosen == nullptr) return std::nullopt;
  return chosen == orv ? 0 : 1;
}

}  // namespace orlavo

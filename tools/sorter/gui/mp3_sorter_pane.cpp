#include "tools/sorter/gui/mp3_sorter_pane.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "app/gui/report_list_view.h"
#include "tools/gui/genre_list.h"
#include "ui/command_button.h"

namespace orlavo {

using namespace sorter_text;

namespace {
QString L(const char* text) { return QString::fromLatin1(text); }
}  // namespace

TagFields TagBoxes::Fields() const {
  return {boxes[0]->text(), boxes[1]->text(), boxes[2]->text(), boxes[3]->text(), boxes[4]->text()};
}

void TagBoxes::Show(const TagFields& fields) {
  boxes[0]->setText(fields.title);
  boxes[1]->setText(fields.artist);
  boxes[2]->setText(fields.album);
  boxes[3]->setText(fields.year);
  boxes[4]->setText(fields.genre);
}

Mp3SorterPane::Mp3SorterPane(const ToolContext& context, QWidget* parent)
    : ToolPane(parent), sorter_(context), status_(context.status) {
  sorter_.on_progress = [this] { ShowProgress(); };

  view_ = new ReportListView(sorter_.list(), this);
  view_->setMinimumHeight(150);
  const int widths[] = {220, 60, 130, 100, 110, 45, 70, 85};
  for (int column = 0; column < 8; ++column) view_->header()->resizeSection(column, widths[column]);
  AttachList(view_, status_);
  connect(view_, &ReportListView::selectionEdited, this, &Mp3SorterPane::RowClicked);
  connect(view_, &QAbstractItemView::doubleClicked, this,
          [this] { sorter_.OpenRow(view_->CurrentRow()); });

  source_ = new QLabel(this);
  source_->setToolTip(L(kSourceTooltip));
  auto* rescan = buttons_.Add(L(kRescan), L(kRescanTooltip), this);
  connect(rescan, &CommandButton::Click, this, [this] {
    sorter_.Scan();
    ShowState();
  });
  root_ = new QLineEdit(this);
  root_->setToolTip(L(kRootTooltip));
  connect(root_, &QLineEdit::textEdited, this,
          [this](const QString& t) { sorter_.SetRootPath(t); });
  auto* root_label = new QLabel(L(kRootCaption), this);
  root_label->setBuddy(root_);
  auto* browse = buttons_.Add(L(kBrowse), L(kBrowseTooltip), this);
  connect(browse, &CommandButton::Click, this, [this] {
    sorter_.Browse();
    ShowState();
  });

  auto* untagged = new QLabel(L(kRemoveUntaggedLine), this);
  auto* click_here = new QLabel(QStringLiteral("<a href=\"#\">%1</a>").arg(L(kClickHere)), this);
  click_here->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  connect(click_here, &QLabel::linkActivated, this, &Mp3SorterPane::ClickHere);

  // Sort options, playlists, "Sort".
  auto* options_box = new QGroupBox(this);
  auto* options_layout = new QGridLayout(options_box);
  options_layout->setVerticalSpacing(2);
  for (const SortOptionInfo& info : SortOptions()) {
    auto* radio = new QRadioButton(L(info.caption), options_box);
    const int index = int(info.option);
    options_[index] = radio;
    options_layout->addWidget(radio, index % 3, index / 3);
    connect(radio, &QRadioButton::toggled, this, [this, option = info.option](bool on) {
      if (on) sorter_.SetOption(option);
    });
  }
  options_[0]->setChecked(true);
  m3u_each_ = new QCheckBox(L(kM3uEach), options_box);
  m3u_each_->setToolTip(L(kM3uEachTooltip));
  m3u_global_ = new QCheckBox(L(kM3uGlobal), options_box);
  m3u_global_->setToolTip(L(kM3uGlobalTooltip));
  connect(m3u_each_, &QCheckBox::toggled, this, [this](bool on) { sorter_.m3u_each = on; });
  connect(m3u_global_, &QCheckBox::toggled, this, [this](bool on) { sorter_.m3u_global = on; });
  options_layout->addWidget(m3u_each_, 3, 0, 1, 2);
  options_layout->addWidget(m3u_global_, 4, 0, 1, 2);
  auto* sort = buttons_.Add(L(kSort), L(kSortTooltip), options_box);
  connect(sort, &CommandButton::Click, this, &Mp3SorterPane::Sort);
  options_layout->addWidget(sort, 2, 1);

  // "MP3 Edit".
  auto* edit_box = new QGroupBox(L(kEditCaption), this);
  QLayout* edit_form = nullptr;
  edit_ = MakeBoxes(edit_box, &edit_form);
  auto* edit_layout = new QVBoxLayout(edit_box);
  edit_layout->addLayout(edit_form);
  auto* save = buttons_.Add(L(kSave), L(kSaveTooltip), edit_box);
  auto* remove = buttons_.Add(L(kRemove), L(kRemoveTooltip), edit_box);
  connect(save, &CommandButton::Click, this, &Mp3SorterPane::SaveEdit);
  connect(remove, &CommandButton::Click, this, [this] {
    sorter_.RemoveTags();
    edit_.Show(sorter_.edit_fields());
  });
  auto* edit_buttons = new QHBoxLayout;
  edit_buttons->addStretch(1);
  edit_buttons->addWidget(save);
  edit_buttons->addWidget(remove);
  edit_layout->addLayout(edit_buttons);

  // "Progress".
  progress_pane_ = new QGroupBox(L(kProgressCaption), this);
  auto* progress_layout = new QGridLayout(progress_pane_);
  progress_pane_->setMaximumWidth(340);
  root_label_ = new QLabel(progress_pane_);
  root_label_->setWordWrap(true);
  option_label_ = new QLabel(progress_pane_);
  progress_layout->addWidget(root_label_, 0, 0, 1, 2);
  progress_layout->addWidget(option_label_, 1, 0, 1, 2);
  const char* const bar_captions[] = {kGathering, kAnalyzing, kSorting};
  for (int i = 0; i < 3; ++i) {
    bars_[i] = new QProgressBar(progress_pane_);
    bars_[i]->setTextVisible(false);
    progress_layout->addWidget(new QLabel(L(bar_captions[i]), progress_pane_), 2 + i, 0);
    progress_layout->addWidget(bars_[i], 2 + i, 1);
  }
  progress_layout->setVerticalSpacing(2);
  progress_layout->setRowStretch(5, 1);

  // The error list, its fixer, and the action button below them.
  errors_pane_ = new QGroupBox(L(kErrorsCaption), this);
  errors_view_ = new ReportListView(sorter_.errors(), errors_pane_);
  errors_view_->header()->resizeSection(0, 200);
  errors_view_->header()->resizeSection(1, 120);
  errors_view_->header()->setStretchLastSection(true);
  connect(errors_view_, &QAbstractItemView::doubleClicked, this,
          [this] { OpenFixer(errors_view_->CurrentRow()); });
  fixer_pane_ = new QGroupBox(errors_pane_);
  QLayout* fixer_form = nullptr;
  fixer_ = MakeBoxes(fixer_pane_, &fixer_form);
  auto* fixer_layout = new QVBoxLayout(fixer_pane_);
  fixer_layout->addLayout(fixer_form);
  auto* fixer_save = buttons_.Add(L(kSave), L(kSaveTooltip), fixer_pane_);
  auto* fixer_cancel = buttons_.Add(L(kCancel), {}, fixer_pane_);
  connect(fixer_save, &CommandButton::Click, this, &Mp3SorterPane::SaveFixer);
  connect(fixer_cancel, &CommandButton::Click, this, [this] {
    sorter_.CloseFixer();
    ShowState();
  });
  auto* fixer_buttons = new QHBoxLayout;
  fixer_buttons->addWidget(fixer_save);
  fixer_buttons->addWidget(fixer_cancel);
  fixer_layout->addLayout(fixer_buttons);
  auto* errors_layout = new QGridLayout(errors_pane_);
  errors_layout->addWidget(errors_view_, 0, 0);
  errors_layout->addWidget(new QLabel(L(kErrorsHint), errors_pane_), 1, 0);
  errors_layout->addWidget(fixer_pane_, 0, 1, 2, 1);
  errors_layout->setColumnStretch(0, 1);

  auto* cancel = buttons_.Add(L(kCancel), {}, this);
  connect(cancel, &CommandButton::Click, this, [this] {
    sorter_.CloseErrors();
    ShowState();
  });
  action_ = buttons_.Add(L(kContinue), L(kContinueTooltip), this, 100);
  connect(action_, &CommandButton::Click, this, &Mp3SorterPane::PressAction);

  // Layout.
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  auto* source_row = new QHBoxLayout;
  source_row->addWidget(source_, 1);
  source_row->addWidget(rescan);
  root->addLayout(source_row);
  auto* root_row = new QHBoxLayout;
  root_row->addWidget(root_label);
  root_row->addWidget(root_, 1);
  root_row->addWidget(browse);
  root->addLayout(root_row);
  root->addWidget(view_, 3);
  auto* untagged_row = new QHBoxLayout;
  untagged_row->addWidget(untagged);
  untagged_row->addWidget(click_here);
  untagged_row->addStretch(1);
  root->addLayout(untagged_row);
  // The unfolded error list takes the place of the controls below the list,
  // so that the list keeps its rows.
  middle_ = new QWidget(this);
  auto* middle = new QHBoxLayout(middle_);
  middle->setContentsMargins(0, 0, 0, 0);
  middle->addWidget(options_box);
  middle->addWidget(edit_box, 1);
  middle->addWidget(progress_pane_);
  root->addWidget(middle_);
  root->addWidget(errors_pane_, 2);
  auto* action_row = new QHBoxLayout;
  action_row->addStretch(1);
  action_row->addWidget(cancel);
  action_row->addWidget(action_);
  root->addLayout(action_row);
  ShowState();
  ShowProgress();
}

Mp3SorterPane::~Mp3SorterPane() {
  // The views show lists that the sorter owns; they go first.
  delete view_;
  delete errors_view_;
}

TagBoxes Mp3SorterPane::MakeBoxes(QWidget* parent, QLayout** layout) {
  TagBoxes boxes;
  // Two fields a row, so that the list above keeps its height.
  auto* grid = new QGridLayout;
  grid->setVerticalSpacing(2);
  const char* const captions[] = {"Title:", "Artist:", "Album:", "Year:", "Genre:"};
  for (int i = 0; i < 5; ++i) {
    boxes.boxes[i] = new QLineEdit(parent);
    auto* label = new QLabel(L(captions[i]), parent);
    label->setBuddy(boxes.boxes[i]);
    grid->addWidget(label, i / 2, (i % 2) * 2);
    grid->addWidget(boxes.boxes[i], i / 2, (i % 2) * 2 + 1);
  }
  grid->setColumnStretch(1, 3);
  grid->setColumnStretch(3, 2);
  boxes.boxes[0]->setMaxLength(30);
  boxes.boxes[1]->setMaxLength(30);
  boxes.boxes[2]->setMaxLength(30);
  boxes.boxes[3]->setMaxLength(4);
  GenreList::AttachField(boxes.genre());
  *layout = grid;
  return boxes;
}

void Mp3SorterPane::ShowTool() {
  GenreList::Of(this)->FillOnce();
  sorter_.Open();
  ShowState();
}

void Mp3SorterPane::SaveKeys(ToolKeys& keys) const { keys.sort_root_path = sorter_.root_path(); }

void Mp3SorterPane::RemoveSelectedRows() { sorter_.RemoveSelectedRows(); }

void Mp3SorterPane::RowClicked() {
  const int row = view_->CurrentRow();
  if (row >= 0) edit_.Show(sorter_.SelectRow(row));
}

void Mp3SorterPane::Sort() {
  sorter_.SetRootPath(root_->text());
  if (!sorter_.Sort() && sorter_.root_path().isEmpty()) root_->setFocus();
  ShowState();
}

void Mp3SorterPane::PressAction() {
  sorter_.SetRootPath(root_->text());
  sorter_.PressAction();
  ShowState();
}

void Mp3SorterPane::OpenFixer(int error_row) {
  if (sorter_.OpenFixer(error_row)) fixer_.Show(sorter_.fixer_fields());
  ShowState();
}

void Mp3SorterPane::SaveFixer() {
  sorter_.SaveFixer(fixer_.Fields());
  ShowState();
}

void Mp3SorterPane::SaveEdit() {
  if (sorter_.SaveEdit(edit_.Fields())) edit_.Show(sorter_.edit_fields());
}

void Mp3SorterPane::ClickHere() {
  sorter_.RemoveUntagged();
  ShowState();
}

void Mp3SorterPane::ShowState() {
  source_->setText(sorter_.source_label());
  if (root_->text() != sorter_.root_path()) root_->setText(sorter_.root_path());
  action_->SetCaption(sorter_.action_caption());
  errors_pane_->setVisible(sorter_.errors_visible());
  middle_->setVisible(!sorter_.errors_visible());
  fixer_pane_->setVisible(sorter_.fixer_open());
  fixer_pane_->setTitle(sorter_.fixer_caption());
  if (sorter_.errors_visible() && !sorter_.fixer_open()) {
    const int selected = sorter_.errors().FirstSelected();
    if (selected >= 0) errors_view_->SelectRow(selected);
  }
}

void Mp3SorterPane::ShowProgress() {
  const Mp3Sorter::ProgressPane& p = sorter_.progress();
  progress_pane_->setVisible(p.visible);
  root_label_->setText(p.root_label);
  root_label_->setToolTip(p.root_tooltip);
  option_label_->setText(p.option_label);
  for (int i = 0; i < 3; ++i) {
    bars_[i]->setRange(0, p.total[i] > 0 ? int(p.total[i]) : 1);
    bars_[i]->setValue(int(p.current[i]));
  }
}

}  // namespace orlavo

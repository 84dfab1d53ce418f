#include "tools/dupes/gui/duplicates_locator_pane.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "app/gui/main_window.h"
#include "app/gui/report_list_view.h"
#include "ui/command_button.h"

namespace orlavo {

using namespace dupes_text;

namespace {
QString L(const char* text) { return QString::fromLatin1(text); }

void SizeColumns(ReportListView* view) {
  view->header()->resizeSection(0, 300);
  view->header()->resizeSection(1, 110);
  view->header()->setStretchLastSection(true);
}
}  // namespace

DuplicatesLocatorPane::DuplicatesLocatorPane(const ToolContext& context, MainWindow* main_window,
                                             QWidget* parent)
    : ToolPane(parent),
      locator_(context),
      desktop_(context.desktop),
      options_(context.options),
      main_window_(main_window) {
  files_view_ = new ReportListView(locator_.files(), this);
  SizeColumns(files_view_);
  AttachList(files_view_, context.status);
  connect(files_view_, &QAbstractItemView::doubleClicked, this, [this] {
    const int row = files_view_->CurrentRow();
    if (row >= 0) {
      OpenFileOrFolder(desktop_, options_, locator_.files().FullPath(row));
    }
  });

  by_name_ = new QCheckBox(L(kByName), this);
  by_tag_ = new QCheckBox(L(kByTag), this);
  by_size_ = new QCheckBox(L(kBySize), this);
  const std::pair<QCheckBox*, DupeCriterion> boxes[] = {{by_name_, DupeCriterion::kName},
                                                        {by_tag_, DupeCriterion::kTag},
                                                        {by_size_, DupeCriterion::kSize}};
  for (const auto& [box, criterion] : boxes) {
    connect(box, &QCheckBox::toggled, this, [this, criterion = criterion](bool on) {
      if (showing_) return;
      locator_.SetCriterionChecked(criterion, on);
      ShowState();
    });
  }

  reload_ = buttons_.Add(L(kReload), L(kReloadTooltip), this);
  start_ = buttons_.Add(L(kStart), L(kStartTooltip), this);
  show_ = buttons_.Add(L(kShowDuplicates), {}, this, 110);
  connect(reload_, &CommandButton::Click, this, &DuplicatesLocatorPane::Reload);
  connect(start_, &CommandButton::Click, this, &DuplicatesLocatorPane::Start);
  connect(show_, &CommandButton::Click, this, [this] {
    locator_.ShowDuplicates();
    ShowState();
  });

  report_pane_ = new QGroupBox(L(kReportCaption), this);
  report_view_ = new ReportListView(locator_.report(), report_pane_);
  SizeColumns(report_view_);
  report_view_->installEventFilter(this);
  connect(report_view_, &QAbstractItemView::doubleClicked, this,
          [this] { locator_.OpenReportRow(report_view_->CurrentRow()); });
  delete_ = buttons_.Add(L(kDelete), L(kDeleteTooltip), report_pane_, 100);
  auto* ok = buttons_.Add(L(kOk), L(kOkTooltip), report_pane_);
  connect(delete_, &CommandButton::Click, this, &DuplicatesLocatorPane::DeleteSelected);
  connect(ok, &CommandButton::Click, this, [this] {
    locator_.HideReport();
    ShowState();
  });

  auto* report_layout = new QVBoxLayout(report_pane_);
  report_layout->addWidget(report_view_, 1);
  auto* report_buttons = new QHBoxLayout;
  report_buttons->addStretch(1);
  report_buttons->addWidget(delete_);
  report_buttons->addWidget(ok);
  report_layout->addLayout(report_buttons);

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  root->addWidget(new QLabel(L(kFilesLabel), this));
  root->addWidget(files_view_, 1);
  auto* boxes_row = new QHBoxLayout;
  boxes_row->addWidget(by_name_);
  boxes_row->addWidget(by_tag_);
  boxes_row->addWidget(by_size_);
  boxes_row->addStretch(1);
  root->addLayout(boxes_row);
  auto* buttons_row = new QHBoxLayout;
  buttons_row->addWidget(reload_);
  buttons_row->addStretch(1);
  buttons_row->addWidget(start_);
  buttons_row->addWidget(show_);
  root->addLayout(buttons_row);
  root->addWidget(report_pane_, 1);
  ShowState();
}

DuplicatesLocatorPane::~DuplicatesLocatorPane() {
  // The views show lists that the locator owns; they go first.
  delete files_view_;
  delete report_view_;
}

QCheckBox* DuplicatesLocatorPane::criterion_box(DupeCriterion criterion) const {
  switch (criterion) {
    case DupeCriterion::kName:
      return by_name_;
    case DupeCriterion::kTag:
      return by_tag_;
    case DupeCriterion::kSize:
      return by_size_;
    case DupeCriterion::kNone:
      break;
  }
  return nullptr;
}

void DuplicatesLocatorPane::ShowTool() { Reload(); }

void DuplicatesLocatorPane::Reload() {
  locator_.Load();
  ShowState();
}

void DuplicatesLocatorPane::Start() {
  if (!locator_.start_enabled()) return;
  locator_.Start();
  ShowState();
}

void DuplicatesLocatorPane::DeleteSelected() {
  if (!locator_.delete_enabled()) return;
  if (locator_.DeleteReportRow(report_view_->CurrentRow()) && main_window_ != nullptr) {
    main_window_->ShowFiles();
  }
  ShowState();
}

bool DuplicatesLocatorPane::eventFilter(QObject* watched, QEvent* event) {
  if (watched == report_view_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      locator_.OpenReportRow(report_view_->CurrentRow());
      return true;
    }
  }
  return ToolPane::eventFilter(watched, event);
}

void DuplicatesLocatorPane::ShowState() {
  showing_ = true;
  by_name_->setChecked(locator_.criterion() == DupeCriterion::kName);
  by_tag_->setChecked(locator_.criterion() == DupeCriterion::kTag);
  by_size_->setChecked(locator_.criterion() == DupeCriterion::kSize);
  reload_->SetCaption(locator_.reload_caption());
  start_->setEnabled(locator_.start_enabled());
  show_->setEnabled(locator_.show_enabled());
  delete_->setEnabled(locator_.delete_enabled());
  report_pane_->setVisible(locator_.report_visible());
  showing_ = false;
}

}  // namespace orlavo

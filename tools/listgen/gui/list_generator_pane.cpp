#include "tools/listgen/gui/list_generator_pane.h"

#include <QCursor>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QVBoxLayout>

#include "app/gui/report_list_view.h"
#include "app/helpers.h"
#include "app/settings.h"
#include "ui/apply_color_scheme.h"
#include "ui/command_button.h"

namespace orlavo {

using namespace listgen_text;

namespace {
QString L(const char* text) { return QString::fromLatin1(text); }
}  // namespace

ListGeneratorPane::ListGeneratorPane(const ToolContext& context, QWidget* parent)
    : ToolPane(parent),
      generator_(context),
      status_(context.status),
      desktop_(context.desktop),
      options_(context.options) {
  generator_.set_size_menu([this] { return PopUpSizeMenu(); });
  view_ = new ReportListView(generator_.preview(), this);
  AttachList(view_, status_);
  connect(view_, &ReportListView::selectionEdited, this, [this] {
    up_->setEnabled(generator_.arrows_enabled());
    down_->setEnabled(generator_.arrows_enabled());
  });
  connect(view_, &QAbstractItemView::doubleClicked, this, [this] {
    const int row = view_->CurrentRow();
    if (row < 0) return;
    const ReportRow& r = generator_.preview().row(row);
    if (options_.double_click_action == QLatin1String(kOpenMp3Folder)) {
      desktop_.ShellOpen(options_.prefix_dir ? FolderOf(r.text) : r.tag);
    } else {
      desktop_.ShellOpen(r.FullPath());
    }
  });

  folder_label_ = new QLabel(this);
  subfolders_label_ = new QLabel(this);
  pattern_ = new QLineEdit(this);
  auto* pattern_label = new QLabel(L(kPatternCaption), this);
  pattern_label->setBuddy(pattern_);
  connect(pattern_, &QLineEdit::textEdited, this,
          [this](const QString& text) { generator_.SetPattern(text); });

  auto* box_group = new QGroupBox(this);
  auto* box_layout = new QGridLayout(box_group);
  for (int i = 0; i < kListBoxCount; ++i) {
    boxes_[i] = new QCheckBox(L(ListBoxes()[i].caption), box_group);
    box_layout->addWidget(boxes_[i], i / 5, i % 5);
    connect(boxes_[i], &QCheckBox::clicked, this, [this, i](bool checked) {
      if (showing_) return;
      generator_.SetPattern(pattern_->text());
      generator_.SetBoxChecked(i, checked);
      ShowState();
      FocusPattern();
    });
  }

  auto* add_tab = MakeButton(L(kAddTab), {});
  connect(add_tab, &CommandButton::Click, this, [this] {
    generator_.SetPattern(pattern_->text());
    generator_.AddTab();
    ShowState();
    FocusPattern();
  });
  auto* def = MakeButton(L(kDefault), L(kDefaultTooltip));
  connect(def, &CommandButton::Click, this, [this] {
    generator_.Default();
    ShowState();
    FocusPattern();
  });
  auto* show = MakeButton(L(kShowFiles), {});
  connect(show, &CommandButton::Click, this, [this] {
    generator_.SetPattern(pattern_->text());
    generator_.ShowFiles();
    ShowState();
  });
  auto* create = MakeButton(L(kCreate), {});
  connect(create, &CommandButton::Click, this, [this] {
    generator_.SetPattern(pattern_->text());
    generator_.var_value() = var_value_->text();
    generator_.increment_expression() = increment_->text();
    const ListFileReport report = generator_.Create();
    if (!report.written) {
      desktop_.Inform(QString(),
                      QStringLiteral("The list could not be written to %1.").arg(report.path),
                      Desktop::Icon::kCritical);
    }
    ShowState();
  });

  variable_pane_ = new QGroupBox(L(kVariableOptions), this);
  var_value_ = new QLineEdit(variable_pane_);
  increment_ = new QLineEdit(variable_pane_);
  connect(var_value_, &QLineEdit::textEdited, this,
          [this](const QString& t) { generator_.var_value() = t; });
  connect(increment_, &QLineEdit::textEdited, this,
          [this](const QString& t) { generator_.increment_expression() = t; });
  auto* reset = MakeButton(L(kReset), {});
  connect(reset, &CommandButton::Click, this, [this] {
    generator_.ResetVariable();
    ShowState();
  });
  auto* var_layout = new QGridLayout(variable_pane_);
  var_layout->addWidget(new QLabel(L(kVarXCaption), variable_pane_), 0, 0);
  var_layout->addWidget(var_value_, 0, 1);
  var_layout->addWidget(reset, 0, 2);
  var_layout->addWidget(new QLabel(QStringLiteral("Next value:"), variable_pane_), 1, 0);
  var_layout->addWidget(increment_, 1, 1, 1, 2);

  auto* ascending = MakeButton(L(kAscending), {});
  connect(ascending, &CommandButton::Click, this, [this] { generator_.SortAscending(); });
  auto* descending = MakeButton(L(kDescending), {});
  connect(descending, &CommandButton::Click, this, [this] { generator_.SortDescending(); });
  up_ = MakeButton(QStringLiteral("\u25B2"), QStringLiteral("Move the selected file up"));
  down_ = MakeButton(QStringLiteral("\u25BC"), QStringLiteral("Move the selected file down"));
  up_->setMinimumWidth(32);
  down_->setMinimumWidth(32);
  connect(up_, &CommandButton::Click, this, [this] { generator_.MoveSelectedRow(true); });
  connect(down_, &CommandButton::Click, this, [this] { generator_.MoveSelectedRow(false); });

  // Layout.
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  auto* labels = new QHBoxLayout;
  labels->addWidget(folder_label_, 1);
  labels->addWidget(subfolders_label_);
  root->addLayout(labels);
  auto* pattern_row = new QHBoxLayout;
  pattern_row->addWidget(pattern_label);
  pattern_row->addWidget(pattern_, 1);
  pattern_row->addWidget(add_tab);
  pattern_row->addWidget(def);
  root->addLayout(pattern_row);
  auto* middle = new QHBoxLayout;
  middle->addWidget(box_group, 1);
  middle->addWidget(variable_pane_);
  root->addLayout(middle);
  QHBoxLayout* list_row = ListWithArrows(view_, up_, down_);
  root->addLayout(list_row, 1);
  auto* actions = new QHBoxLayout;
  actions->addWidget(new QLabel(L(kSort), this));
  actions->addWidget(ascending);
  actions->addWidget(descending);
  actions->addStretch(1);
  actions->addWidget(show);
  actions->addWidget(create);
  root->addLayout(actions);
  ShowState();
}

ListGeneratorPane::~ListGeneratorPane() { delete view_; }

CommandButton* ListGeneratorPane::MakeButton(const QString& caption, const QString& tooltip) {
  return buttons_.Add(caption, tooltip, this);
}

CommandButton* ListGeneratorPane::button(const QString& caption) const {
  return buttons_.Find(caption);
}

void ListGeneratorPane::set_size_menu(std::function<std::optional<QString>()> menu) {
  generator_.set_size_menu(std::move(menu));
}

std::optional<QString> ListGeneratorPane::PopUpSizeMenu() {
  QMenu menu(L(kSizeMenuCaption), this);
  ApplyMenuLook(&menu);
  for (const char* unit : {kSizeBytes, kSizeKB, kSizeMB}) {
    QAction* a = menu.addAction(L(unit));
    a->setCheckable(true);
    a->setChecked(generator_.unit_marked(L(unit)));
  }
  QAction* chosen = menu.exec(QCursor::pos());
  if (chosen == nullptr) return std::nullopt;
  return chosen->text();
}

void ListGeneratorPane::ShowTool() {
  generator_.Open();
  ShowState();
  FocusPattern();
}

void ListGeneratorPane::SaveKeys(ToolKeys& keys) const {
  keys.list_gen_syntax = generator_.pattern();
}

void ListGeneratorPane::ShowState() {
  showing_ = true;
  folder_label_->setText(generator_.folder_label());
  subfolders_label_->setText(generator_.subfolders_label());
  if (pattern_->text() != generator_.pattern()) pattern_->setText(generator_.pattern());
  for (int i = 0; i < kListBoxCount; ++i) boxes_[i]->setChecked(generator_.box_checked(i));
  variable_pane_->setVisible(generator_.variable_options_visible());
  var_value_->setText(generator_.var_value());
  increment_->setText(const_cast<ListGenerator&>(generator_).increment_expression());
  up_->setEnabled(generator_.arrows_enabled());
  down_->setEnabled(generator_.arrows_enabled());
  // The first column holds whole names (or paths).
  if (view_->header()->sectionSize(0) < 240) view_->header()->resizeSection(0, 240);
  showing_ = false;
}

void ListGeneratorPane::FocusPattern() {
  pattern_->setFocus();
  pattern_->setCursorPosition(pattern_->text().size());
}

}  // namespace orlavo

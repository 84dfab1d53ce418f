#include "tools/editor/gui/file_name_editor_pane.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QVBoxLayout>

#include "app/gui/main_window.h"
#include "app/gui/report_list_view.h"
#include "app/helpers.h"
#include "app/settings.h"
#include "ui/apply_color_scheme.h"
#include "ui/command_button.h"

namespace orlavo {

using namespace editor_text;

namespace {
QString L(const char* text) { return QString::fromLatin1(text); }
}  // namespace

FileNameEditorPane::FileNameEditorPane(const ToolContext& context, MainWindow* main_window,
                                       QWidget* parent)
    : ToolPane(parent), editor_(context), status_(context.status), main_window_(main_window) {
  view_ = new ReportListView(editor_.list(), this);
  view_->report_model()->SetEditable(true);
  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  view_->header()->resizeSection(0, 260);
  view_->header()->resizeSection(1, 200);
  connect(view_, &QWidget::customContextMenuRequested, this, &FileNameEditorPane::ShowContextMenu);
  connect(view_, &ReportListView::selectionEdited, this, &FileNameEditorPane::UpdateRowActions);
  connect(view_, &QAbstractItemView::doubleClicked, this, [this] {
    if (main_window_ == nullptr) return;
    // The main window's double-click setting decides: play or open the folder.
    const int row = view_->CurrentRow();
    if (row < 0) return;
    const ReportRow& r = editor_.list().row(row);
    const Options& o = LiveOptions();
    if (o.double_click_action == QLatin1String(kOpenMp3Folder)) {
      main_window_->desktop().ShellOpen(o.prefix_dir ? FolderOf(r.text) : r.tag);
    } else {
      main_window_->desktop().ShellOpen(r.tag + r.ColumnText(kEditorOriginalColumn));
    }
  });
  AttachList(view_, status_);

  auto* list_label = new QLabel(L(kListLabel), this);
  up_ = MakeButton(QStringLiteral("\u25B2"), QStringLiteral("Move the selected file up"));
  down_ = MakeButton(QStringLiteral("\u25BC"), QStringLiteral("Move the selected file down"));
  up_->setMinimumWidth(32);
  down_->setMinimumWidth(32);
  connect(up_, &CommandButton::Click, this, [this] { editor_.MoveSelectedRow(true); });
  connect(down_, &CommandButton::Click, this, [this] { editor_.MoveSelectedRow(false); });

  // Mode buttons.
  auto* add = MakeButton(L(kAddCharacters), {});
  auto* remove = MakeButton(L(kRemoveCharacters), {});
  auto* replace = MakeButton(L(kReplaceCharacters), {});
  connect(add, &CommandButton::Click, this, [this] {
    ReadInputs();
    editor_.AddCharacters();
    ShowState();
    main_text_->setFocus();
  });
  connect(remove, &CommandButton::Click, this, [this] {
    ReadInputs();
    editor_.RemoveCharacters();
    ShowState();
  });
  connect(replace, &CommandButton::Click, this, [this] {
    ReadInputs();
    editor_.ReplaceCharacters();
    ShowState();
  });
  mode_label_ = new QLabel(this);
  mode_label_->hide();

  main_caption_ = new QLabel(this);
  main_text_ = new QLineEdit(this);
  main_caption_->setBuddy(main_text_);
  position_caption_ = new QLabel(this);
  front_ = new QRadioButton(L(kFront), this);
  end_ = new QRadioButton(L(kEnd), this);
  middle_ = new QRadioButton(L(kMiddle), this);
  for (auto [button, position] :
       {std::pair{front_, AddPosition::kFront}, std::pair{end_, AddPosition::kEnd},
        std::pair{middle_, AddPosition::kMiddle}}) {
    const AddPosition p = position;
    connect(button, &QRadioButton::clicked, this, [this, p] {
      ReadInputs();
      editor_.SetPosition(p);
      ShowState();
    });
  }
  replacement_text_ = new QLineEdit(this);
  after_caption_ = new QLabel(L(kAfterCaption), this);
  after_text_ = new QLineEdit(this);
  after_caption_->setBuddy(after_text_);
  case_sensitive_ = new QCheckBox(L(kCaseSensitive), this);

  variable_button_ = MakeButton(L(kUseVariable), L(kUseVariableTooltip));
  connect(variable_button_, &CommandButton::Click, this, [this] {
    ReadInputs();
    editor_.ToggleVariable();
    ShowState();
  });
  variable_pane_ = new QGroupBox(L(kVariableOptions), this);
  var_value_ = new QLineEdit(variable_pane_);
  increment_ = new QLineEdit(variable_pane_);
  auto* reset = MakeButton(L(kReset), L(kResetTooltip));
  connect(reset, &CommandButton::Click, this, [this] {
    ReadInputs();
    editor_.ResetVariable();
    ShowState();
  });
  auto* variable_layout = new QGridLayout(variable_pane_);
  variable_layout->addWidget(new QLabel(L(kVarXCaption), variable_pane_), 0, 0);
  variable_layout->addWidget(var_value_, 0, 1);
  variable_layout->addWidget(reset, 0, 2);
  variable_layout->addWidget(new QLabel(QStringLiteral("Next value:"), variable_pane_), 1, 0);
  variable_layout->addWidget(increment_, 1, 1, 1, 2);

  auto* do_it = MakeButton(L(kDoIt), L(kDoItTooltip));
  connect(do_it, &CommandButton::Click, this, [this] {
    ReadInputs();
    editor_.DoIt();
    ShowState();
  });
  auto* select_all = MakeButton(L(kSelectAll), L(kSelectAllTooltip));
  connect(select_all, &CommandButton::Click, this, [this] {
    editor_.SelectAll();
    UpdateRowActions();
  });
  auto* correct = MakeButton(L(kCorrectSyntax), L(kCorrectSyntaxTooltip));
  connect(correct, &CommandButton::Click, this, [this] { editor_.CorrectSyntax(); });
  auto* restore = MakeButton(L(kRestore), L(kRestoreTooltip));
  restore->setMinimumWidth(32);
  connect(restore, &CommandButton::Click, this, [this] { editor_.RestoreOriginalNames(); });
  auto* rename = MakeButton(L(kRenameFiles), L(kRenameFilesTooltip));
  // The main list is left alone: its next "Show files" shows the new names.
  connect(rename, &CommandButton::Click, this, [this] {
    editor_.RenameFiles();
    ShowState();
  });

  // Layout: the list with its arrows on top, the editing controls below.
  QHBoxLayout* list_row = ListWithArrows(view_, up_, down_);

  auto* modes = new QHBoxLayout;
  for (CommandButton* b : {add, remove, replace}) modes->addWidget(b);
  modes->addStretch(1);

  auto* inputs = new QGridLayout;
  inputs->addWidget(main_caption_, 0, 0);
  inputs->addWidget(main_text_, 0, 1, 1, 3);
  inputs->addWidget(position_caption_, 1, 0);
  inputs->addWidget(front_, 1, 1);
  inputs->addWidget(end_, 1, 2);
  inputs->addWidget(middle_, 1, 3);
  inputs->addWidget(replacement_text_, 1, 1, 1, 3);
  inputs->addWidget(after_caption_, 2, 0);
  inputs->addWidget(after_text_, 2, 1, 1, 3);
  inputs->addWidget(case_sensitive_, 3, 1, 1, 3);
  inputs->setColumnStretch(3, 1);

  auto* controls = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addLayout(modes);
  left->addLayout(inputs);
  left->addStretch(1);
  controls->addLayout(left, 3);
  auto* right = new QVBoxLayout;
  right->addWidget(variable_button_);
  right->addWidget(variable_pane_);
  right->addStretch(1);
  controls->addLayout(right, 2);

  auto* actions = new QHBoxLayout;
  for (CommandButton* b : {do_it, select_all, correct, restore}) actions->addWidget(b);
  actions->addStretch(1);
  actions->addWidget(rename);

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  root->addWidget(list_label);
  root->addLayout(list_row, 1);
  root->addLayout(controls);
  root->addLayout(actions);

  for (QLineEdit* box : {main_text_, replacement_text_, after_text_, var_value_, increment_}) {
    connect(box, &QLineEdit::textEdited, this, [this] { ReadInputs(); });
  }
  connect(case_sensitive_, &QCheckBox::toggled, this, [this] {
    if (!showing_) ReadInputs();
  });
  ShowState();
}

FileNameEditorPane::~FileNameEditorPane() { delete view_; }

CommandButton* FileNameEditorPane::MakeButton(const QString& caption, const QString& tooltip) {
  return buttons_.Add(caption, tooltip, this);
}

CommandButton* FileNameEditorPane::button(const QString& caption) const {
  return buttons_.Find(caption);
}

QRadioButton* FileNameEditorPane::position_button(AddPosition p) const {
  return p == AddPosition::kFront ? front_ : p == AddPosition::kEnd ? end_ : middle_;
}

void FileNameEditorPane::ShowTool() {
  editor_.Fill();
  ShowState();
  UpdateRowActions();
}

void FileNameEditorPane::ReadInputs() {
  if (showing_) return;
  EditorInputs& in = editor_.inputs();
  in.main_text = main_text_->text();
  in.replacement_text = replacement_text_->text();
  in.after_text = after_text_->text();
  in.case_sensitive = case_sensitive_->isChecked();
  in.var_value = var_value_->text();
  in.increment_expression = increment_->text();
}

void FileNameEditorPane::ShowState() {
  showing_ = true;
  const EditorInputs& in = editor_.inputs();
  mode_label_->setText(editor_.mode_label());
  main_caption_->setText(editor_.main_caption());
  main_text_->setText(in.main_text);
  const QString position = editor_.position_caption();
  position_caption_->setText(position);
  position_caption_->setVisible(!position.isEmpty());
  const bool buttons = editor_.position_buttons_visible();
  front_->setVisible(buttons);
  end_->setVisible(buttons);
  middle_->setVisible(buttons);
  position_button(in.position)->setChecked(true);
  replacement_text_->setVisible(editor_.replacement_visible());
  replacement_text_->setText(in.replacement_text);
  after_caption_->setVisible(editor_.after_text_visible());
  after_text_->setVisible(editor_.after_text_visible());
  after_text_->setText(in.after_text);
  case_sensitive_->setVisible(editor_.case_sensitive_visible());
  case_sensitive_->setChecked(in.case_sensitive);
  variable_pane_->setVisible(editor_.variable_pane_visible());
  variable_button_->SetCaption(editor_.variable_button_caption());
  var_value_->setText(in.var_value);
  increment_->setText(in.increment_expression);
  showing_ = false;
}

void FileNameEditorPane::UpdateRowActions() {
  const bool single = editor_.single_row_actions_enabled();
  up_->setEnabled(single);
  down_->setEnabled(single);
}

void FileNameEditorPane::ShowContextMenu(const QPoint& at) {
  QMenu menu(this);
  ApplyMenuLook(&menu);
  menu.addAction(L(kImportFromTags), this, &FileNameEditorPane::ImportFromTags);
  menu.addAction(L(kExportToTags), this, &FileNameEditorPane::ExportToTags);
  menu.addSeparator();
  QAction* edit = menu.addAction(L(kEditTag), this, &FileNameEditorPane::EditTag);
  edit->setEnabled(editor_.single_row_actions_enabled() && main_window_ != nullptr);
  menu.addAction(L(kRemoveTags), this, &FileNameEditorPane::RemoveTags);
  menu.addSeparator();
  QAction* del = menu.addAction(L(kDeleteFromDisk), this, &FileNameEditorPane::DeleteFromHardDrive);
  del->setEnabled(editor_.delete_enabled());
  menu.exec(view_->viewport()->mapToGlobal(at));
}

void FileNameEditorPane::ImportFromTags() {
  const QString pattern = main_window_ != nullptr ? main_window_->pattern_box()->text()
                                                  : QString::fromLatin1(kDefaultRenamePattern);
  editor_.ImportFromTags(pattern);
}

void FileNameEditorPane::ExportToTags() { editor_.ExportToTags(); }

void FileNameEditorPane::RemoveTags() { editor_.RemoveTags(); }

void FileNameEditorPane::EditTag() {
  if (main_window_ == nullptr) return;
  main_window_->EditTagFromTools(
      [this](ReportList& main_list) { return editor_.SelectForTagEdit(main_list); },
      [this](const QString& artist, const QString& title) {
        editor_.TagSavedInMainWindow(artist, title);
      },
      [this] { editor_.TagRemovedInMainWindow(); });
}

void FileNameEditorPane::DeleteFromHardDrive() {
  editor_.set_files_deleted([this](const QStringList& paths) {
    if (main_window_ != nullptr) main_window_->ForgetFiles(paths);
  });
  editor_.DeleteFromHardDrive();
}

bool FileNameEditorPane::KeysWait(int key) const {
  // Keys other than F2 wait while an operation runs.
  return status_.stoppable_running() && key != Qt::Key_F2;
}

}  // namespace orlavo

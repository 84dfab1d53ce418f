#include "tools/joiner/gui/joiner_pane.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "app/gui/report_list_view.h"
#include "tools/gui/genre_list.h"
#include "tools/gui/link_label.h"
#include "ui/command_button.h"

namespace orlavo {

using namespace joiner_text;

namespace {
QString L(const char* text) { return QString::fromLatin1(text); }
}  // namespace

JoinerPane::JoinerPane(const ToolContext& context, QWidget* parent)
    : ToolPane(parent), joiner_(context) {
  view_ = new ReportListView(joiner_.sources(), this);
  AttachList(view_, context.status);
  connect(view_, &QAbstractItemView::doubleClicked, this,
          [this] { joiner_.OpenRow(view_->CurrentRow()); });
  // The caption follows the list however it changes (adds, Delete, Clear).
  ReportList& list = joiner_.sources();
  connect(&list, &ReportList::rowsInserted, this, [this] { RefreshSize(); });
  connect(&list, &ReportList::rowsRemoved, this, [this] { RefreshSize(); });
  connect(&list, &ReportList::modelReset, this, [this] { RefreshSize(); });

  auto* add = buttons_.Add(L(kAddFiles), L(kAddFilesTooltip), this);
  connect(add, &CommandButton::Click, this, [this] {
    Pull();
    joiner_.AddFiles();
    Push();
  });
  auto* clear = buttons_.Add(L(kClear), L(kClearTooltip), this);
  connect(clear, &CommandButton::Click, this, [this] { joiner_.Clear(); });
  auto* up =
      buttons_.Add(QStringLiteral("\u25B2"), QStringLiteral("Move the selected file up"), this, 32);
  auto* down = buttons_.Add(QStringLiteral("\u25BC"), QStringLiteral("Move the selected file down"),
                            this, 32);
  connect(up, &CommandButton::Click, this, [this] { joiner_.MoveSelectedRow(true); });
  connect(down, &CommandButton::Click, this, [this] { joiner_.MoveSelectedRow(false); });
  size_ = new QLabel(this);

  folder_ = new QLineEdit(this);
  auto* browse = buttons_.Add(L(kBrowse), L(kBrowseTooltip), this);
  connect(browse, &CommandButton::Click, this, [this] {
    Pull();
    joiner_.BrowseFolder();
    Push();
  });
  name_ = new QLineEdit(this);
  name_->setToolTip(L(kFileNameTooltip));
  random_ = new LinkLabel(L(kRandomly), this);
  connect(random_, &LinkLabel::clicked, this, [this] {
    Pull();
    joiner_.RandomName();
    Push();
  });
  from_tag_ = new LinkLabel(L(kFromTag), this);
  connect(from_tag_, &LinkLabel::clicked, this, [this] {
    Pull();
    joiner_.NameFromTag();
    Push();
  });

  tag_box_ = new QCheckBox(L(kAddTag), this);
  connect(tag_box_, &QCheckBox::clicked, this, [this](bool on) {
    joiner_.SetAddTag(on);
    ShowTagFields();
  });
  auto* tag_grid = new QGridLayout;
  for (int i = 0; i < 6; ++i) {
    captions_[i] = new QLabel(L(kFieldCaptions[i]), this);
    fields_[i] = new QLineEdit(this);
    captions_[i]->setBuddy(fields_[i]);
    tag_grid->addWidget(captions_[i], i / 2, (i % 2) * 2);
    tag_grid->addWidget(fields_[i], i / 2, (i % 2) * 2 + 1);
  }
  fields_[0]->setMaxLength(30);
  fields_[1]->setMaxLength(30);
  fields_[2]->setMaxLength(30);
  fields_[3]->setMaxLength(4);
  fields_[4]->setMaxLength(30);
  GenreList::AttachField(fields_[5]);

  auto* join = buttons_.Add(L(kJoin), QString(), this);
  connect(join, &CommandButton::Click, this, [this] {
    Pull();
    const Joiner::RunResult r = joiner_.Join();
    Push();
    if (r.focus == Joiner::Focus::kFolder) folder_->setFocus();
    if (r.focus == Joiner::Focus::kFileName) name_->setFocus();
  });

  // Layout: the list with its arrows, the list's buttons and size, the
  // destination, the tag, and Join.
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  QHBoxLayout* list_row = ListWithArrows(view_, up, down);
  root->addLayout(list_row, 1);
  auto* list_buttons = new QHBoxLayout;
  list_buttons->addWidget(add);
  list_buttons->addWidget(clear);
  list_buttons->addStretch(1);
  list_buttons->addWidget(size_);
  root->addLayout(list_buttons);

  auto* destination = new QGridLayout;
  destination->addWidget(new QLabel(QStringLiteral("Destination folder:"), this), 0, 0);
  destination->addWidget(folder_, 0, 1);
  destination->addWidget(browse, 0, 2);
  destination->addWidget(new QLabel(QStringLiteral("Destination file:"), this), 1, 0);
  destination->addWidget(name_, 1, 1);
  auto* links = new QHBoxLayout;
  links->addWidget(new QLabel(QStringLiteral("Name it:"), this));
  links->addWidget(random_);
  links->addWidget(new QLabel(QStringLiteral("or from its"), this));
  links->addWidget(from_tag_);
  links->addStretch(1);
  destination->addLayout(links, 2, 1);
  root->addLayout(destination);

  root->addWidget(tag_box_);
  root->addLayout(tag_grid);
  auto* actions = new QHBoxLayout;
  actions->addStretch(1);
  actions->addWidget(join);
  root->addLayout(actions);

  Push();
}

JoinerPane::~JoinerPane() { delete view_; }

void JoinerPane::ShowTool() {
  // Names with their track numbers and titles need the room.
  if (view_->header()->sectionSize(0) < 360) view_->header()->resizeSection(0, 360);
  GenreList::Of(this)->FillOnce();
  RefreshSize();
  joiner_.Show();
  ShowTagFields();
}

void JoinerPane::RemoveSelectedRows() { joiner_.RemoveSelectedRows(); }

bool JoinerPane::eventFilter(QObject* watched, QEvent* event) {
  // A held Delete removes one entry, not one per repeat.
  if (watched == view_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Delete && key->isAutoRepeat()) return true;
  }
  if (watched == view_ && event->type() == QEvent::KeyRelease) {
    const int row = view_->CurrentRow();
    if (row >= 0) joiner_.sources().SelectOnly(row);
    RefreshSize();
  }
  return ToolPane::eventFilter(watched, event);
}

void JoinerPane::Pull() {
  joiner_.folder = folder_->text();
  joiner_.file_name = name_->text();
  QString* texts[6] = {&joiner_.title, &joiner_.artist,  &joiner_.album,
                       &joiner_.year,  &joiner_.comment, &joiner_.genre};
  for (int i = 0; i < 6; ++i) *texts[i] = fields_[i]->text();
}

void JoinerPane::Push() {
  if (folder_->text() != joiner_.folder) folder_->setText(joiner_.folder);
  if (name_->text() != joiner_.file_name) name_->setText(joiner_.file_name);
  RefreshSize();
}

void JoinerPane::ShowTagFields() {
  const bool on = joiner_.add_tag();
  tag_box_->setChecked(on);
  for (int i = 0; i < 6; ++i) {
    captions_[i]->setEnabled(on);
    fields_[i]->setEnabled(on);
    // Ready fields look like paper; resting ones like the buttons around them.
    QPalette p = fields_[i]->palette();
    p.setColor(QPalette::Base, palette().color(on ? QPalette::Base : QPalette::Button));
    fields_[i]->setPalette(p);
  }
}

void JoinerPane::RefreshSize() { size_->setText(joiner_.SizeCaption()); }

}  // namespace orlavo

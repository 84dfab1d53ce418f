#include "tools/encoder/gui/encoder_pane.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QUrl>
#include <QVBoxLayout>

#include "app/gui/report_list_view.h"
#include "ui/command_button.h"

namespace orlavo {

using namespace encoder_text;

namespace {

QString L(const char* text) { return QString::fromLatin1(text); }

EncoderLibrary& LibraryFor(const ToolContext& context, EncoderLibrary* library,
                           std::unique_ptr<EncoderLibrary>& own) {
  if (library != nullptr) return *library;
  own = std::make_unique<MevritBinding>(context.library_folder.isEmpty() ? context.program_folder
                                                                         : context.library_folder);
  return *own;
}

// The local files of a drag from a file manager.
QStringList DroppedFiles(const QMimeData* mime) {
  QStringList paths;
  if (mime == nullptr || !mime->hasUrls()) return paths;
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  return paths;
}

}  // namespace

EncoderPane::EncoderPane(const ToolContext& context, QWidget* parent, EncoderLibrary* library)
    : ToolPane(parent), encoder_(context, LibraryFor(context, library, own_library_)) {
  view_ = new ReportListView(encoder_.list(), this);
  AttachList(view_, context.status);
  view_->viewport()->setAcceptDrops(true);
  view_->viewport()->installEventFilter(this);
  view_->header()->resizeSection(0, 320);
  auto* list_label = new QLabel(L(kListCaption), this);
  auto* hint = new QLabel(L(kDropHint), this);

  encode_mode_ = buttons_.Add(L(kEncode), {}, this);
  decode_mode_ = buttons_.Add(L(kDecode), {}, this);
  connect(encode_mode_, &CommandButton::Click, this, [this] { encoder_.SelectEncodeMode(); });
  connect(decode_mode_, &CommandButton::Click, this, [this] { encoder_.Decode(); });

  bitrate_ = new QComboBox(this);
  for (int bitrate : EncoderBitrates()) bitrate_->addItem(QString::number(bitrate));
  connect(bitrate_, &QComboBox::currentTextChanged, this,
          [this](const QString& text) { encoder_.SetBitrate(text.toInt()); });
  mode_ = new QComboBox(this);
  mode_->addItems(EncoderModes());
  connect(mode_, &QComboBox::currentTextChanged, this,
          [this](const QString& text) { encoder_.SetMode(text); });
  output_folder_ = new QLineEdit(this);
  connect(output_folder_, &QLineEdit::textEdited, this,
          [this](const QString& text) { encoder_.SetOutputFolder(text); });
  browse_ = buttons_.Add(L(kBrowse), {}, this);
  connect(browse_, &CommandButton::Click, this, [this] { encoder_.Browse(); });
  run_ = buttons_.Add(L(kEncode), {}, this, 110);
  connect(run_, &CommandButton::Click, this, &EncoderPane::RunEncoder);
  connect(&encoder_, &WavEncoder::stateChanged, this, &EncoderPane::ShowState);

  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(0, 0, 0, 0);
  auto* modes = new QHBoxLayout;
  modes->addWidget(encode_mode_);
  modes->addWidget(decode_mode_);
  modes->addStretch(1);
  root->addLayout(modes);
  root->addWidget(list_label);
  root->addWidget(view_, 1);
  root->addWidget(hint);
  auto* settings = new QGridLayout;
  settings->addWidget(new QLabel(L(kBitrateCaption), this), 0, 0);
  settings->addWidget(bitrate_, 0, 1);
  settings->addWidget(new QLabel(L(kModeCaption), this), 0, 2);
  settings->addWidget(mode_, 0, 3);
  settings->setColumnStretch(4, 1);
  settings->addWidget(new QLabel(L(kOutputFolderCaption), this), 1, 0);
  settings->addWidget(output_folder_, 1, 1, 1, 4);
  settings->addWidget(browse_, 1, 5);
  root->addLayout(settings);
  auto* actions = new QHBoxLayout;
  actions->addStretch(1);
  actions->addWidget(run_);
  root->addLayout(actions);
  ShowState();
}

EncoderPane::~EncoderPane() { delete view_; }

void EncoderPane::ShowTool() {
  encoder_.Show();
  bitrate_->setCurrentText(QString::number(encoder_.bitrate()));
  mode_->setCurrentText(encoder_.mode());
  ShowState();
}

void EncoderPane::RunEncoder() {
  encoder_.SetOutputFolder(output_folder_->text());
  encoder_.Run();
}

void EncoderPane::ShowState() {
  const bool idle = !encoder_.running();
  encode_mode_->setEnabled(idle && !encoder_.encode_mode());
  decode_mode_->setEnabled(idle && encoder_.encode_mode());
  for (QWidget* control :
       std::initializer_list<QWidget*>{bitrate_, mode_, view_, output_folder_, browse_, run_}) {
    control->setEnabled(idle && encoder_.encode_mode());
  }
  if (output_folder_->text() != encoder_.output_folder()) {
    output_folder_->setText(encoder_.output_folder());
  }
}

bool EncoderPane::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_->viewport()) {
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (DroppedFiles(drag->mimeData()).isEmpty() || encoder_.running()) {
          drag->ignore();
        } else {
          drag->acceptProposedAction();
        }
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!encoder_.running()) encoder_.AddDropped(DroppedFiles(drop->mimeData()));
        drop->acceptProposedAction();
        return true;
      }
      default:
        break;
    }
  }
  return ToolPane::eventFilter(watched, event);
}

}  // namespace orlavo

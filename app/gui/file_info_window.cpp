#include "app/gui/file_info_window.h"

#include <QFontDatabase>
#include <QVBoxLayout>

#include "app/program_title.h"
#include "ui/button_set.h"
#include "ui/color_scheme.h"
#include "ui/command_button.h"

namespace orlavo {

FileInfoWindow::FileInfoWindow(QWidget* parent)
    : QDialog(parent), text_(new QPlainTextEdit(this)), close_(new CommandButton("Close", this)) {
  setWindowTitle(ProgramTitle() + QStringLiteral(" - File information"));
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFrameShape(QFrame::NoFrame);
  close_->setToolTip(QStringLiteral("Hide this window"));
  close_->setFixedHeight(28);
  close_->setMinimumWidth(90);
  connect(close_, &CommandButton::Click, this, &QDialog::close);

  const ColorScheme& scheme = CurrentColorScheme();
  ApplyWindowColors(this, scheme);
  close_->SetBackColor(scheme.ButtonColor());
  close_->SetBorderColor(scheme.BorderColor());

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_, 1);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(close_);
  layout->addLayout(row);
  resize(420, 520);
}

void FileInfoWindow::ShowReport(const QStringList& lines) {
  text_->clear();
  text_->setPlainText(lines.join(u'\n'));
}

QStringList FileInfoWindow::Lines() const { return text_->toPlainText().split(u'\n'); }

}  // namespace orlavo

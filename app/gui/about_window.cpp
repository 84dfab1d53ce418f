#include "app/gui/about_window.h"

#include <QHBoxLayout>
#include <QPalette>
#include <QVBoxLayout>

#include "app/program_title.h"

namespace orlavo {

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About ") + ProgramTitle());
  setAutoFillBackground(true);

  title_ = new QLabel(ProgramTitleWithVersion(), this);
  title_->setObjectName(QStringLiteral("title"));
  QFont title_font = title_->font();
  title_font.setPointSizeF(title_font.pointSizeF() * 1.6);
  title_font.setBold(true);
  title_->setFont(title_font);
  title_->setAlignment(Qt::AlignCenter);

  auto* summary = new QLabel(
      QStringLiteral("Reports, tags and names for your MP3 collection, with tools to rename, "
                     "list, join, split, sort and encode many files at once."),
      this);
  summary->setWordWrap(true);
  summary->setAlignment(Qt::AlignCenter);

  credits_ = new QLabel(
      QStringLiteral("Built with Qt 6; MP3 encoding by the LAME encoder library."), this);
  credits_->setObjectName(QStringLiteral("credits"));
  credits_->setWordWrap(true);
  credits_->setAlignment(Qt::AlignCenter);

  close_ = new CommandButton(QStringLiteral("&Close"), this);
  close_->setFixedSize(97, 25);
  close_->setToolTip(QStringLiteral("Close this window"));
  connect(close_, &CommandButton::Click, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close_);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 16);
  layout->setSpacing(12);
  layout->addWidget(title_);
  layout->addWidget(summary);
  layout->addWidget(credits_);
  layout->addSpacing(4);
  layout->addLayout(buttons);
  setFixedWidth(380);
  setFixedHeight(sizeHint().height());

  ApplyColors(CurrentColorScheme());
  close_->setFocus(Qt::OtherFocusReason);
}

void AboutWindow::ApplyColors(const ColorScheme& scheme) {
  QPalette colors = palette();
  colors.setColor(QPalette::Window, scheme.BGColor());
  colors.setColor(QPalette::WindowText, scheme.FGColor());
  setPalette(colors);
  close_->SetBackColor(scheme.ButtonColor());
  close_->SetBorderColor(scheme.BorderColor());
}

}  // namespace orlavo

#include "app/gui/qt_desktop.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPalette>
#include <algorithm>
#include <limits>

#include "app/program_title.h"

namespace orlavo {

namespace {

QString TitleOrProgram(const QString& title) { return title.isEmpty() ? ProgramTitle() : title; }

QMessageBox::Icon BoxIcon(Desktop::Icon icon) {
  switch (icon) {
    case Desktop::Icon::kNone:
      return QMessageBox::NoIcon;
    case Desktop::Icon::kInformation:
      return QMessageBox::Information;
    case Desktop::Icon::kQuestion:
      return QMessageBox::Question;
    case Desktop::Icon::kWarning:
      return QMessageBox::Warning;
    case Desktop::Icon::kCritical:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

Desktop::Answer DefaultAnswer(Desktop::Buttons buttons) {
  switch (buttons) {
    case Desktop::Buttons::kOk:
      return Desktop::Answer::kOk;
    case Desktop::Buttons::kYesNo:
      return Desktop::Answer::kNo;
    case Desktop::Buttons::kRetryCancel:
      return Desktop::Answer::kCancel;
  }
  return Desktop::Answer::kCancel;
}

QString FilterPattern(const QString& windows_pattern) {
  QStringList patterns;
  for (const QString& part : windows_pattern.split(u';', Qt::SkipEmptyParts)) {
    const QString pattern = part.trimmed();
    if (pattern.isEmpty()) continue;
    patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
  }
  return patterns.isEmpty() ? QStringLiteral("*") : patterns.join(u' ');
}

// "*.mp3" or ".mp3" -> "mp3"; the dialog adds it to a typed name without one.
QString SuffixOf(const QString& default_extension) {
  QString suffix = default_extension.trimmed();
  while (suffix.startsWith(u'*') || suffix.startsWith(u'.')) suffix.remove(0, 1);
  if (suffix.contains(u'*') || suffix.contains(u'?')) return {};
  return suffix;
}

}  // namespace

QStringList FileDialogFilters(const QString& filter) {
  QStringList parts = filter.split(u'|');
  while (!parts.isEmpty() && parts.last().isEmpty()) parts.removeLast();
  QStringList filters;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    QString description = parts[i].trimmed();
    const QString raw = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
    const QString pattern = FilterPattern(raw);
    // The dialog reads the patterns from the last parentheses of a filter.
    const QString shown = QStringLiteral("(") + raw + QStringLiteral(")");
    if (!raw.isEmpty() && description.endsWith(shown)) {
      description.chop(shown.size());
      description = description.trimmed();
    }
    if (description.isEmpty()) description = pattern;
    filters << description + QStringLiteral(" (") + pattern + QStringLiteral(")");
  }
  return filters;
}

QUrl ShellTargetUrl(const QString& target) {
  const QString text = target.trimmed();
  if (text.isEmpty()) return QUrl();
  if (text.startsWith(u'/')) return QUrl::fromLocalFile(text);
  if (text.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive) ||
      text.contains(QLatin1String("://"))) {
    return QUrl(text, QUrl::TolerantMode);
  }
  if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive)) {
    return QUrl(QStringLiteral("http://") + text, QUrl::TolerantMode);
  }
  return QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
}

QtDesktop::QtDesktop(QWidget* owner) : owner_(owner) {}

QWidget* QtDesktop::Owner() const {
  if (owner_) return owner_;
  return QApplication::activeWindow();
}

Desktop::Answer QtDesktop::Message(const QString& title, const QString& text, Buttons buttons,
                                   Icon icon) {
  QMessageBox box(Owner());
  box.setWindowTitle(TitleOrProgram(title));
  // Messages quote file names, which may hold "<" or "&": never read them as markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(text);
  box.setIcon(BoxIcon(icon));
  switch (buttons) {
    case Buttons::kOk:
      box.setStandardButtons(QMessageBox::Ok);
      box.setDefaultButton(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Ok);
      break;
    case Buttons::kYesNo:
      // Most questions stand before damage (delete, overwrite, rename): Enter
      // or a stray Space must not be the Yes.
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::No);
      box.setEscapeButton(QMessageBox::No);
      break;
    case Buttons::kRetryCancel:
      box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Retry);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
  }
  box.exec();
  switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
      return Answer::kOk;
    case QMessageBox::Yes:
      return Answer::kYes;
    case QMessageBox::No:
      return Answer::kNo;
    case QMessageBox::Retry:
      return Answer::kRetry;
    case QMessageBox::Cancel:
      return Answer::kCancel;
    default:
      return DefaultAnswer(buttons);
  }
}

QString QtDesktop::BrowseForFolder(const QString& title, const QString& initial) {
  // With no folder (or one that is gone) the picker starts in the user's home.
  QString start = initial.trimmed();
  if (start.isEmpty() || !QFileInfo(start).isDir()) start = QDir::homePath();
  QFileDialog dialog(Owner(), title, start);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.first();
}

QString QtDesktop::OpenFileDialog(const QString& filter, const QString& title,
                                  const QString& default_extension) {
  QFileDialog dialog(Owner(), title);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  const QStringList filters = FileDialogFilters(filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
  }
  dialog.setDefaultSuffix(SuffixOf(default_extension));
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.first().trimmed();
}

std::optional<QString> QtDesktop::InputBox(const QString& prompt, const QString& title,
                                           const QString& default_text) {
  QInputDialog dialog(Owner());
  dialog.setWindowTitle(TitleOrProgram(title));
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setLabelText(prompt);
  dialog.setTextValue(default_text);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}

bool QtDesktop::ShellOpen(const QString& target) {
  const QUrl url = ShellTargetUrl(target);
  if (!url.isValid()) return false;
  return QDesktopServices::openUrl(url);
}

void QtDesktop::LetEventsRun() { QCoreApplication::processEvents(); }

Desktop& QtDesktop::ForWindow(QObject* window) {
  auto* widget = qobject_cast<QWidget*>(window);
  if (widget == nullptr) return *this;
  auto found = windows_.find(window);
  if (found != windows_.end()) return *found->second;
  auto& desktop = windows_[window];
  desktop = std::make_unique<QtDesktop>(widget);
  QObject::connect(window, &QObject::destroyed, &guard_,
                   [this, window] { windows_.erase(window); });
  return *desktop;
}

QtProgressDisplay::QtProgressDisplay(QLabel* caption, QProgressBar* bar, QLabel* percent)
    : caption_(caption), bar_(bar), percent_(percent) {
  if (bar_) {
    // The percent label tells the number; the bar is a plain blue fill.
    bar_->setTextVisible(false);
    QPalette palette = bar_->palette();
    palette.setColor(QPalette::Highlight, QColor(0, 0, 255));
    bar_->setPalette(palette);
    SetBar(0, 0);
  }
}

void QtProgressDisplay::SetCaption(const QString& text) {
  if (caption_) caption_->setText(text);
}

void QtProgressDisplay::SetBar(qint64 current, qint64 total) {
  if (!bar_) return;
  if (total <= 0) {
    bar_->setRange(0, 1);
    bar_->setValue(0);
    return;
  }
  // The bar counts in int; very large totals are scaled down together.
  constexpr qint64 kMax = std::numeric_limits<int>::max();
  const qint64 scale = total > kMax ? total / kMax + 1 : 1;
  const qint64 value = std::clamp<qint64>(current, 0, total);
  bar_->setRange(0, static_cast<int>(total / scale));
  bar_->setValue(static_cast<int>(value / scale));
}

void QtProgressDisplay::SetPercent(const QString& text) {
  if (percent_) percent_->setText(text);
}

}  // namespace orlavo

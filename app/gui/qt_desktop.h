// The desktop as the windows reach it: Qt message boxes, pickers and input box,
// the desktop's default handlers, and a progress display over three widgets.
#ifndef ORLAVO_APP_GUI_QT_DESKTOP_H_
#define ORLAVO_APP_GUI_QT_DESKTOP_H_

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <map>
#include <memory>

#include "app/desktop.h"

namespace orlavo {

// Name filters for QFileDialog from "description|pattern" pairs joined by "|"
// ("MP3 Files (*.mp3)|*.mp3|All Files {*.*}|*.*"). Patterns separated by ";"
// become one filter; "*.*" means every file, names without a dot included,
// and becomes "*".
QStringList FileDialogFilters(const QString& filter);

// What ShellOpen hands to the desktop: web and mail addresses as they are, a
// "www." address as a web address, anything else a local file or folder.
// An empty target gives an invalid URL.
QUrl ShellTargetUrl(const QString& target);

class QtDesktop : public Desktop {
 public:
  // Dialogs are modal to owner and centred on it; without one, on the active window.
  explicit QtDesktop(QWidget* owner = nullptr);

  void SetOwner(QWidget* owner) { owner_ = owner; }

  Answer Message(const QString& title, const QString& text, Buttons buttons, Icon icon) override;
  QString BrowseForFolder(const QString& title, const QString& initial) override;
  QString OpenFileDialog(const QString& filter, const QString& title,
                         const QString& default_extension) override;
  std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                  const QString& default_text) override;
  bool ShellOpen(const QString& target) override;
  void LetEventsRun() override;
  // A desktop whose boxes and pickers belong to window (a QWidget).
  Desktop& ForWindow(QObject* window) override;

  // The window the boxes and pickers belong to: the given owner, or else the
  // active window.
  QWidget* Owner() const;

 private:
  QPointer<QWidget> owner_;
  // The desktops of the windows that asked for one, until each window goes.
  std::map<QObject*, std::unique_ptr<QtDesktop>> windows_;
  // Ends the windows' clean-up connections together with this desktop.
  QObject guard_;
};

// Shows progress in a caption label, a bar and a percent label that belong to
// a window; a widget that has been destroyed is skipped.
class QtProgressDisplay : public ProgressDisplay {
 public:
  QtProgressDisplay(QLabel* caption, QProgressBar* bar, QLabel* percent);

  void SetCaption(const QString& text) override;
  void SetBar(qint64 current, qint64 total) override;
  void SetPercent(const QString& text) override;

 private:
  QPointer<QLabel> caption_;
  QPointer<QProgressBar> bar_;
  QPointer<QLabel> percent_;
};

}  // namespace orlavo

#endif  // ORLAVO_APP_GUI_QT_DESKTOP_H_

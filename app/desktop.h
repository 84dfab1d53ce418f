// How the core reaches the person and the desktop: questions and messages,
// pickers, the input box, opening files and addresses, progress and letting
// pending window events run. The windows implement it with Qt, orlavo-cli with
// the console, and tests with a scripted fake.
#ifndef ORLAVO_APP_DESKTOP_H_
#define ORLAVO_APP_DESKTOP_H_

#include <QString>
#include <optional>

class QObject;

namespace orlavo {

// The caption, bar and percent label of a long operation.
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;
  virtual void SetCaption(const QString& text) = 0;
  // The bar runs from 0 to total and is filled up to current; total 0 clears it.
  virtual void SetBar(qint64 current, qint64 total) = 0;
  virtual void SetPercent(const QString& text) = 0;
};

class Desktop {
 public:
  enum class Icon { kNone, kInformation, kQuestion, kWarning, kCritical };
  enum class Buttons { kOk, kYesNo, kRetryCancel };
  enum class Answer { kOk, kYes, kNo, kRetry, kCancel };

  virtual ~Desktop() = default;

  // A message box; an empty title means the program's title.
  virtual Answer Message(const QString& title, const QString& text, Buttons buttons, Icon icon) = 0;
  // The chosen folder, or "" when cancelled. An empty initial folder starts at
  // the user's home folder.
  virtual QString BrowseForFolder(const QString& title, const QString& initial) = 0;
  // One existing file; filter is "description|pattern" pairs joined by "|".
  // Returns "" when cancelled.
  virtual QString OpenFileDialog(const QString& filter, const QString& title,
                                 const QString& default_extension) = 0;
  // nullopt when cancelled.
  virtual std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                          const QString& default_text) = 0;
  // Opens a file, folder, web or mail address with the desktop's default handler.
  virtual bool ShellOpen(const QString& target) = 0;
  // Lets pending window events run (a stop button may set StopRequested).
  virtual void LetEventsRun() = 0;

  // The desktop as one window of the program asks through it: its boxes and
  // pickers belong to that window, so the window manager hands the focus
  // back to it (not to another window of the program) when they close. The
  // desktop lives as long as the window. Desktops without windows answer
  // for every window alike.
  virtual Desktop& ForWindow(QObject* window) { return *this; }

  // The answer of a box nobody answers: OK, No or Cancel.
  static Answer CautiousAnswer(Buttons buttons) {
    return buttons == Buttons::kOk      ? Answer::kOk
           : buttons == Buttons::kYesNo ? Answer::kNo
                                        : Answer::kCancel;
  }

  // Shorthands.
  bool AskYesNo(const QString& title, const QString& text, Icon icon = Icon::kQuestion) {
    return Message(title, text, Buttons::kYesNo, icon) == Answer::kYes;
  }
  void Inform(const QString& title, const QString& text, Icon icon = Icon::kInformation) {
    Message(title, text, Buttons::kOk, icon);
  }
};

// A desktop that asks nothing: every question gets its default answer (No,
// Cancel), pickers are cancelled and nothing is opened. For headless callers.
class SilentDesktop : public Desktop {
 public:
  Answer Message(const QString&, const QString&, Buttons buttons, Icon) override {
    return CautiousAnswer(buttons);
  }
  QString BrowseForFolder(const QString&, const QString&) override { return {}; }
  QString OpenFileDialog(const QString&, const QString&, const QString&) override { return {}; }
  std::optional<QString> InputBox(const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
  bool ShellOpen(const QString&) override { return false; }
  void LetEventsRun() override {}
};

}  // namespace orlavo

#endif  // ORLAVO_APP_DESKTOP_H_

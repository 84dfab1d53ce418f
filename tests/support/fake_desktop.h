// A scripted desktop for tests: records every message, picker and shell open,
// and answers from queues the test fills.
#ifndef ORLAVO_TESTS_SUPPORT_FAKE_DESKTOP_H_
#define ORLAVO_TESTS_SUPPORT_FAKE_DESKTOP_H_

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "app/desktop.h"

namespace orlavo::testing {

class FakeDesktop : public Desktop {
 public:
  struct MessageRecord {
    QString title;
    QString text;
    Buttons buttons;
    Icon icon;
  };

  Answer Message(const QString& title, const QString& text, Buttons buttons, Icon icon) override;
  QString BrowseForFolder(const QString& title, const QString& initial) override;
  QString OpenFileDialog(const QString& filter, const QString& title,
                         const QString& default_extension) override;
  std::optional<QString> InputBox(const QString& prompt, const QString& title,
                                  const QString& default_text) override;
  bool ShellOpen(const QString& target) override;
  void LetEventsRun() override;

  // Answers given in order; when empty, the default answer (Ok, No, Cancel).
  std::deque<Answer> answers;
  std::deque<QString> folders;  // BrowseForFolder results; empty = cancelled
  std::deque<QString> files;    // OpenFileDialog results
  std::deque<std::optional<QString>> inputs;
  // Called on every LetEventsRun (a test may set StopRequested there).
  std::function<void()> on_events;

  std::vector<MessageRecord> messages;
  QStringList browse_titles, browse_initials, file_dialog_titles, input_prompts, opened;
  int events_run = 0;
};

}  // namespace orlavo::testing

#endif  // ORLAVO_TESTS_SUPPORT_FAKE_DESKTOP_H_

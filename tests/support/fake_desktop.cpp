#include "tests/support/fake_desktop.h"

namespace orlavo::testing {

Desktop::Answer FakeDesktop::Message(const QString& title, const QString& text, Buttons buttons,
                                     Icon icon) {
  messages.push_back({title, text, buttons, icon});
  if (!answers.empty()) {
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  return CautiousAnswer(buttons);
}

QString FakeDesktop::BrowseForFolder(const QString& title, const QString& initial) {
  browse_titles << title;
  browse_initials << initial;
  if (folders.empty()) return {};
  QString f = folders.front();
  folders.pop_front();
  return f;
}

QString FakeDesktop::OpenFileDialog(const QString& filter, const QString& title,
                                    const QString& default_extension) {
  file_dialog_titles << title;
  if (files.empty()) return {};
  QString f = files.front();
  files.pop_front();
  return f;
}

std::optional<QString> FakeDesktop::InputBox(const QString& prompt, const QString& title,
                                             const QString& default_text) {
  input_prompts << prompt;
  if (inputs.empty()) return std::nullopt;
  auto v = inputs.front();
  inputs.pop_front();
  return v;
}

bool FakeDesktop::ShellOpen(const QString& target) {
  opened << target;
  return true;
}

void FakeDesktop::LetEventsRun() {
  ++events_run;
  if (on_events) on_events();
}

}  // namespace orlavo::testing

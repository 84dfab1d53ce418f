#include "launcher/question.h"

#include <cctype>

namespace twcheck {

std::vector<QuestionWay> QuestionWays(const QuestionSetting& setting) {
  std::vector<QuestionWay> ways;
  if (setting.has_display) {
    if (setting.has_zenity) ways.push_back(QuestionWay::kZenity);
    if (setting.has_kdialog) ways.push_back(QuestionWay::kKdialog);
  }
  if (setting.stdin_is_terminal) ways.push_back(QuestionWay::kTerminal);
  return ways;
}

std::vector<std::string> DialogCommand(QuestionWay way, std::string_view title,
                                       std::string_view question) {
  const std::string title_text(title);
  const std::string question_text(question);
  switch (way) {
    case QuestionWay::kZenity:
      // --no-markup: the text is shown as written, whatever characters it holds.
      return {"zenity",      "--question",     "--title=" + title_text, "--text=" + question_text,
              "--no-markup", "--ok-label=Yes", "--cancel-label=No"};
    case QuestionWay::kKdialog:
      return {"kdialog", "--title", title_text, "--yesno", question_text};
    case QuestionWay::kTerminal:
      break;
  }
  return {};
}

Answer DialogAnswer(int exit_status) {
  if (exit_status == 0) return Answer::kYes;
  if (exit_status == 1) return Answer::kNo;
  return Answer::kNone;
}

Answer TerminalAnswer(std::string_view line) {
  auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!line.empty() && space(line.front())) line.remove_prefix(1);
  while (!line.empty() && space(line.back())) line.remove_suffix(1);
  std::string word;
  for (char c : line) word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (word == "y" || word == "yes") return Answer::kYes;
  if (word == "n" || word == "no") return Answer::kNo;
  return Answer::kNone;
}

}  // namespace twcheck

// How TWCheck puts its one Yes/No question to the user: a desktop dialog when there is a
// display and a dialog tool, the terminal when standard input is one, otherwise nobody is
// there to answer and the answer is No.
#ifndef ORLAVO_LAUNCHER_QUESTION_H_
#define ORLAVO_LAUNCHER_QUESTION_H_

#include <string>
#include <string_view>
#include <vector>

namespace twcheck {

enum class QuestionWay { kZenity, kKdialog, kTerminal };

struct QuestionSetting {
  bool has_display = false;  // DISPLAY or WAYLAND_DISPLAY is set
  bool has_zenity = false;
  bool has_kdialog = false;
  bool stdin_is_terminal = false;
};

// The ways to try, best first; a way that cannot give an answer falls through to the next.
std::vector<QuestionWay> QuestionWays(const QuestionSetting& setting);

// The command line that shows the question as a dialog with the buttons Yes and No.
std::vector<std::string> DialogCommand(QuestionWay way, std::string_view title,
                                       std::string_view question);

enum class Answer { kYes, kNo, kNone };

// A dialog tool's exit status: 0 is Yes, 1 is No (or the window closed); anything else means
// the dialog could not be shown.
Answer DialogAnswer(int exit_status);

// A line typed at the terminal prompt; kNone asks again.
Answer TerminalAnswer(std::string_view line);

}  // namespace twcheck

#endif  // ORLAVO_LAUNCHER_QUESTION_H_

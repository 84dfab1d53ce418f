// One subcommand of orlavo-cli: a name, its options, its help text and its run.
#ifndef ORLAVO_CLI_COMMAND_H_
#define ORLAVO_CLI_COMMAND_H_

#include <QCommandLineParser>
#include <QString>
#include <QTextStream>
#include <memory>
#include <vector>

#include "app/pellox_binding.h"

namespace orlavo::cli {

struct Context {
  QString program_folder;
  QTextStream& out;
  QTextStream& err;
  PelloxBinding& pellox;
  // The folder of libmevrit.so when program_folder (where Files/ is) is the
  // user's data folder of an installed program; empty: program_folder.
  QString library_folder = QString();
};

enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2 };

class Command {
 public:
  virtual ~Command() = default;
  virtual QString name() const = 0;
  // One line for the command list.
  virtual QString summary() const = 0;
  // The positional arguments as shown in the usage line, e.g. "FILE...".
  virtual QString arguments() const = 0;
  virtual void AddOptions(QCommandLineParser& parser) const {}
  virtual int Run(const QCommandLineParser& parser, Context& context) const = 0;
};

// Every command, in the order of the help text.
std::vector<std::unique_ptr<Command>>& Registry();

template <typename T>
struct Registration {
  Registration() { Registry().push_back(std::make_unique<T>()); }
};

// Prints "orlavo-cli: message" on the error stream.
void PrintError(Context& context, const QString& message);

}  // namespace orlavo::cli

#endif  // ORLAVO_CLI_COMMAND_H_

// orlavo-cli: the command-line companion of Orlavo Professional.
#include <QCoreApplication>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>
#include <cstdio>

#include "app/pellox_binding.h"
#include "app/program_folders.h"
#include "app/program_title.h"
#include "cli/command.h"

namespace orlavo::cli {

std::vector<std::unique_ptr<Command>>& Registry() {
  static std::vector<std::unique_ptr<Command>> commands;
  return commands;
}

void PrintError(Context& context, const QString& message) {
  context.err << "orlavo-cli: " << message << Qt::endl;
}

namespace {

QString VersionText() {
  return QStringLiteral("orlavo-cli %1.%2").arg(ORLAVO_VERSION_MAJOR).arg(ORLAVO_VERSION_MINOR);
}

void PrintOverview(QTextStream& out) {
  std::sort(Registry().begin(), Registry().end(),
            [](const auto& a, const auto& b) { return a->name() < b->name(); });
  out << "Usage: orlavo-cli COMMAND [OPTIONS] [ARGUMENTS]\n\n"
      << "The command-line companion of Orlavo Professional.\n\nCommands:\n";
  int width = 0;
  for (const auto& c : Registry()) width = std::max(width, static_cast<int>(c->name().size()));
  for (const auto& c : Registry()) {
    out << "  " << c->name().leftJustified(width + 2) << c->summary() << "\n";
  }
  out << "\nRun 'orlavo-cli COMMAND --help' for a command's options.\n"
      << "  --help     Show this help.\n  --version  Show the version.\n";
  out.flush();
}

int RunCommand(const Command& command, QStringList args, Context& context) {
  QCommandLineParser parser;
  parser.setApplicationDescription(command.summary());
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                          QStringLiteral("Show this help."));
  parser.addOption(help);
  command.AddOptions(parser);
  parser.addPositionalArgument(command.arguments(), QString(), command.arguments());
  args[0] = QStringLiteral("orlavo-cli ") + command.name();
  if (!parser.parse(args)) {
    PrintError(context, parser.errorText());
    return kUsage;
  }
  if (parser.isSet(help)) {
    // The parser names the program by its path as started; the usage line
    // names it as the person types it.
    QString text = parser.helpText();
    const QString started = QStringLiteral("Usage: ") + QCoreApplication::arguments().constFirst();
    if (text.startsWith(started)) {
      text.replace(0, started.size(), QStringLiteral("Usage: orlavo-cli ") + command.name());
    }
    context.out << text;
    context.out.flush();
    return kOk;
  }
  return command.Run(parser, context);
}

}  // namespace
}  // namespace orlavo::cli

int main(int argc, char** argv) {
  using namespace orlavo::cli;
  QCoreApplication app(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  QStringList args = app.arguments();
  // Files/ is shared with the windowed program: beside it, or in the user's
  // data folder when it is installed.
  QCoreApplication::setApplicationName(orlavo::ProgramTitle());
  const orlavo::ProgramFolders folders = orlavo::LocateProgramFolders(
      QCoreApplication::applicationDirPath(),
      QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
  orlavo::PelloxBinding pellox(folders.program);
  Context context{folders.data, out, err, pellox, folders.program};

  if (args.size() < 2 || args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h") ||
      args[1] == QLatin1String("help")) {
    PrintOverview(out);
    return args.size() < 2 ? kUsage : kOk;
  }
  if (args[1] == QLatin1String("--version")) {
    out << VersionText() << Qt::endl;
    return kOk;
  }
  for (const auto& command : Registry()) {
    if (command->name() == args[1]) return RunCommand(*command, args.mid(1), context);
  }
  PrintError(context, QStringLiteral("unknown command '%1' (see orlavo-cli --help)").arg(args[1]));
  return kUsage;
}

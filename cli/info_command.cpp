// orlavo-cli info: the file information report of each file.
#include <QFileInfo>

#include "app/file_info_report.h"
#include "cli/console.h"

namespace orlavo::cli {
namespace {

class InfoCommand : public Command {
 public:
  QString name() const override { return QStringLiteral("info"); }
  QString summary() const override {
    return QStringLiteral("Print the full information report of MP3 files.");
  }
  QString arguments() const override { return QStringLiteral("FILE..."); }

  int Run(const QCommandLineParser& parser, Context& context) const override {
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
      PrintError(context, QStringLiteral("info needs at least one FILE"));
      return kUsage;
    }
    if (!BindPellox(context)) return kFailed;
    int status = kOk;
    bool first = true;
    for (const QString& file : files) {
      QFileInfo fi(file);
      if (!fi.exists()) {
        PrintError(context, QStringLiteral("%1: no such file").arg(file));
        status = kFailed;
        continue;
      }
      if (!fi.isFile()) {
        PrintError(context, QStringLiteral("%1: not a regular file").arg(file));
        status = kFailed;
        continue;
      }
      if (!fi.isReadable()) {
        PrintError(context, QStringLiteral("%1: cannot be read").arg(file));
        status = kFailed;
        continue;
      }
      if (!first) context.out << "\n";
      first = false;
      for (const QString& line : FileInfoReport(fi.absoluteFilePath(), context.pellox)) {
        context.out << line << "\n";
      }
      context.out.flush();
    }
    return status;
  }
};

const Registration<InfoCommand> kRegistration;

}  // namespace
}  // namespace orlavo::cli

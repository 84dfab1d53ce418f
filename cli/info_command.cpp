// orlavo-cli info: the file information report of each file.
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "app/file_info_report.h"
#include "app/folder_walk.h"
#include "app/name_repair.h"
#include "cli/console.h"
#include "formats/byte_source.h"

namespace orlavo::cli {
namespace {

// Qt hands over arguments decoded as UTF-8, invalid bytes replaced; the
// original bytes are still in the process's own argument list.
bool HasBrokenName(const QString& argument) {
  QFile cmdline(QStringLiteral("/proc/self/cmdline"));
  if (!cmdline.open(QIODevice::ReadOnly)) return false;
  for (const QByteArray& raw : cmdline.readAll().split('\0')) {
    if (!IsValidUtf8(raw) && QString::fromUtf8(raw) == argument) {
      struct stat st;
      if (::lstat(raw.constData(), &st) == 0) return true;
    }
  }
  return false;
}

// Why a file cannot be reported on, or "" when it can after all.
QString WhyNotReadable(const QString& file) {
  // A folder on the way that may not be searched hides whether the file is
  // there: that is a refusal, not an absence.
  struct stat st;
  if (::stat(QFile::encodeName(file).constData(), &st) != 0 && errno != ENOENT &&
      errno != ENOTDIR) {
    return QStringLiteral("cannot be read (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
  }
  const QFileInfo fi(file);
  if (!fi.exists()) {
    // The name as the shell passed it may exist in bytes that are not
    // UTF-8: the file is there, the program cannot name it.
    return HasBrokenName(file)
               ? QStringLiteral("the name is not valid UTF-8; see orlavo-cli fix-names")
               : QStringLiteral("no such file");
  }
  if (!fi.isFile()) return QStringLiteral("not a regular file");
  if (QString why = WhyUnreadable(file); !why.isEmpty()) {
    return QStringLiteral("cannot be read (%1)").arg(why);
  }
  return {};
}

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
      // One open answers "is it a readable regular file", gives the length
      // and reads the ID3v2 tag; the questions below only name a failure.
      FileSource source(QFile::encodeName(file).constData());
      QString report_path = file;
      if (!source.ok()) {
        context.out.flush();  // the reports before a message stay before it
        const QString why = WhyNotReadable(file);
        if (!why.isEmpty()) {
          PrintError(context, QStringLiteral("%1: %2").arg(file, why));
          status = kFailed;
          continue;
        }
        report_path = QFileInfo(file).absoluteFilePath();
      }
      if (!first) context.out << "\n";
      first = false;
      for (const QString& line : FileInfoReport(report_path, source, context.pellox)) {
        context.out << line << "\n";
      }
    }
    context.out.flush();
    return status;
  }
};

const Registration<InfoCommand> kRegistration;

}  // namespace
}  // namespace orlavo::cli

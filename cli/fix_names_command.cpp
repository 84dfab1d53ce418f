// orlavo-cli fix-names: names that are not valid UTF-8 (the program leaves
// them out of every list) get their decoded spelling; renames only with --apply.
#include <QFile>
#include <QFileInfo>

#include "app/name_repair.h"
#include "cli/console.h"

namespace orlavo::cli {
namespace {

QString Opt(const char* name) { return QString::fromLatin1(name); }

class FixNamesCommand : public Command {
 public:
  QString name() const override { return QStringLiteral("fix-names"); }
  QString summary() const override {
    return QStringLiteral(
        "List the file and folder names of a folder that are not valid UTF-8 with their "
        "decoded spelling; renames them with --apply.");
  }
  QString arguments() const override { return QStringLiteral("FOLDER"); }

  void AddOptions(QCommandLineParser& parser) const override {
    parser.addOption({Opt("subdirs"), Opt("Include sub-folders.")});
    parser.addOption({Opt("from"),
                      Opt("The encoding the names were written in: windows-1252 (default) or "
                          "latin1."),
                      Opt("ENCODING"), Opt("windows-1252")});
    parser.addOption(
        {Opt("apply"), Opt("Rename the names (nothing is renamed without it); a name whose "
                           "decoded spelling is taken is left as it is.")});
    AddDryRunOption(parser);
  }

  int Run(const QCommandLineParser& parser, Context& context) const override {
    const QString folder = OneFolder(parser, context);
    if (folder.isEmpty()) return kUsage;
    const QString from = parser.value(Opt("from")).toLower();
    LegacyEncoding encoding;
    if (from == QLatin1String("windows-1252") || from == QLatin1String("cp1252")) {
      encoding = LegacyEncoding::kWindows1252;
    } else if (from == QLatin1String("latin1") || from == QLatin1String("iso-8859-1")) {
      encoding = LegacyEncoding::kLatin1;
    } else {
      PrintError(context, QStringLiteral("--from takes windows-1252 or latin1, not '%1'")
                              .arg(parser.value(Opt("from"))));
      return kUsage;
    }
    const bool apply = parser.isSet(Opt("apply"));
    if (apply && IsDryRun(parser)) {
      PrintError(context, QStringLiteral("--apply and --dry-run exclude each other"));
      return kUsage;
    }
    const QByteArray root = QFile::encodeName(folder);
    if (!QFileInfo(folder).isDir()) {
      PrintError(context, QStringLiteral("%1: not a folder").arg(folder));
      return kFailed;
    }

    const QList<NameRepair> repairs = FindBrokenNames(root, parser.isSet(Opt("subdirs")), encoding);
    // One row per name: the name as it is (bytes that are not UTF-8 shown as
    // \xNN), tab, the name it gets.
    for (const NameRepair& r : repairs) {
      context.out << Field(ShownName(r.path())) << '\t' << Field(QString::fromUtf8(r.fixed_path()))
                  << '\n';
    }
    context.out.flush();
    int status = kOk;
    if (!apply) {
      for (const NameRepair& r : repairs) {
        if (!r.taken) continue;
        PrintError(context, QStringLiteral("%1: would be left as it is, %2 is taken")
                                .arg(ShownName(r.path()), r.fixed));
        status = kFailed;
      }
      return status;
    }
    const QList<RenameResult> results = ApplyNameRepairs(repairs);
    int renamed = 0;
    for (qsizetype i = 0; i < repairs.size(); ++i) {
      if (results[i].ok()) {
        ++renamed;
        continue;
      }
      status = kFailed;
      const QString why = results[i].status == RenameStatus::kTargetExists
                              ? QStringLiteral("%1 is taken").arg(repairs[i].fixed)
                              : results[i].error;
      PrintError(context,
                 QStringLiteral("%1: left as it is, %2").arg(ShownName(repairs[i].path()), why));
    }
    context.out << renamed << (renamed == 1 ? " name" : " names") << " fixed\n";
    context.out.flush();
    return status;
  }
};

const Registration<FixNamesCommand> kRegistration;

}  // namespace
}  // namespace orlavo::cli

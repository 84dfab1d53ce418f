// orlavo-cli listgen: the MP3 list generator's "Create" over the files of a
// folder, without the window.
#include <QFileInfo>

#include "app/file_ops.h"
#include "app/settings.h"
#include "cli/console.h"
#include "tools/advanced_tools.h"
#include "tools/listgen/list_generator.h"

namespace orlavo::cli {
namespace {

class ListgenCommand : public Command {
 public:
  QString name() const override { return QStringLiteral("listgen"); }
  QString summary() const override {
    return QStringLiteral(
        "Write one line per MP3 file of a folder from a pattern of variables, as the MP3 list "
        "generator's \"Create\" does.");
  }
  QString arguments() const override { return QStringLiteral("FOLDER"); }

  void AddOptions(QCommandLineParser& parser) const override {
    parser.addOption(
        {QStringLiteral("pattern"),
         QStringLiteral("The line pattern: %Title %Artist %Album %Year %Genre %SizeB %SizeKB "
                        "%SizeMB %Duration %Path %Filename %VarX %Tab (default \"%1\").")
             .arg(listgen_text::kDefaultPattern),
         QStringLiteral("P"), listgen_text::kDefaultPattern});
    parser.addOption({QStringLiteral("out"),
                      QStringLiteral("The file to write (default: Files/MP3List.txt in the "
                                     "program folder)."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("overwrite"),
                      QStringLiteral("Move an existing --out FILE to the trash first.")});
    parser.addOption({QStringLiteral("var-start"),
                      QStringLiteral("The first value of %VarX (default 1)."), QStringLiteral("N"),
                      listgen_text::kDefaultVarValue});
    parser.addOption({QStringLiteral("var-expr"),
                      QStringLiteral("How %VarX goes on; VarX stands for the current value "
                                     "(default \"VarX + 1\")."),
                      QStringLiteral("E"), listgen_text::kDefaultIncrement});
    AddScanOptions(parser);
  }

  int Run(const QCommandLineParser& parser, Context& context) const override {
    const QString folder = OneFolder(parser, context);
    if (folder.isEmpty()) return kUsage;
    ScanSetup setup;
    if (!ScanSetupFrom(parser, folder, context, &setup)) return kUsage;
    if (!BindPellox(context)) return kFailed;

    const Options options = ToolOptions(setup);
    ConsoleDesktop desktop(context.err);
    ToolsStatus status;
    ListGenerator generator(
        ToolContext{desktop, status, context.pellox, options, context.program_folder});
    generator.SetPattern(parser.value(QStringLiteral("pattern")));
    generator.var_value() = parser.value(QStringLiteral("var-start"));
    generator.increment_expression() = parser.value(QStringLiteral("var-expr"));

    QString out = parser.value(QStringLiteral("out"));
    if (!out.isEmpty()) {
      // A file the user names is never replaced silently.
      out = QFileInfo(out).absoluteFilePath();
      if (QFileInfo(out).isDir()) {
        PrintError(context, QStringLiteral("%1: is a folder").arg(out));
        return kFailed;
      }
      if (QFileInfo::exists(out)) {
        if (!parser.isSet(QStringLiteral("overwrite"))) {
          PrintError(context, QStringLiteral("%1: already exists (use --overwrite)").arg(out));
          return kFailed;
        }
        const TrashResult trashed = DeleteToTrash(out, nullptr);
        if (!trashed.ok()) {
          PrintError(
              context,
              QStringLiteral("%1: cannot be moved to the trash: %2").arg(out, trashed.error));
          return kFailed;
        }
      }
    }
    generator.ShowFiles();
    const ListFileReport report = generator.Create(out);
    if (!report.written) {
      PrintError(context, QStringLiteral("%1: cannot be written").arg(report.path));
      return kFailed;
    }
    context.out << report.lines << (report.lines == 1 ? " line" : " lines") << " written to "
                << report.path << "\n";
    // The list is written all the same: what could not be read is named.
    return ReportRefused(generator.denied() + report.unreadable, context);
  }
};

const Registration<ListgenCommand> kRegistration;

}  // namespace
}  // namespace orlavo::cli

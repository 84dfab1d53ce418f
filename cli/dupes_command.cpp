// orlavo-cli dupes: the duplicates locator's "Start" over the files of a
// folder, printing its report.
#include "cli/console.h"
#include "tools/advanced_tools.h"
#include "tools/dupes/duplicates_locator.h"

namespace orlavo::cli {
namespace {

// The report shows sizes in bytes whatever the unit, so the command has no
// --size-unit.
bool SetupWithoutUnit(const QCommandLineParser& parser, const QString& folder, Context& context,
                      ScanSetup* setup) {
  QCommandLineParser defaults;
  AddScanOptions(defaults);
  defaults.parse({QStringLiteral("orlavo-cli")});
  if (!ScanSetupFrom(defaults, folder, context, setup)) return false;
  setup->include_sub_directories = parser.isSet(QStringLiteral("subdirs"));
  setup->prefix_dir = parser.isSet(QStringLiteral("prefix-dir"));
  return true;
}

class DupesCommand : public Command {
 public:
  QString name() const override { return QStringLiteral("dupes"); }
  QString summary() const override {
    return QStringLiteral(
        "List the MP3 files of a folder that share a name, an ID3v1 artist and title, or an "
        "exact size with another (path, size in bytes, ID3v1; tab-separated).");
  }
  QString arguments() const override { return QStringLiteral("FOLDER"); }

  void AddOptions(QCommandLineParser& parser) const override {
    parser.addOption({QStringLiteral("by"),
                      QStringLiteral("What makes files duplicates: name (letter case ignored), "
                                     "tag (ID3v1 artist and title) or size."),
                      QStringLiteral("CRITERION")});
    parser.addOption({QStringLiteral("subdirs"), QStringLiteral("Include sub-folders.")});
    parser.addOption({QStringLiteral("prefix-dir"),
                      QStringLiteral("Show the whole path of each file instead of its name.")});
  }

  int Run(const QCommandLineParser& parser, Context& context) const override {
    const QString folder = OneFolder(parser, context);
    if (folder.isEmpty()) return kUsage;
    const QString by = parser.value(QStringLiteral("by"));
    DupeCriterion criterion;
    if (by == QLatin1String("name")) {
      criterion = DupeCriterion::kName;
    } else if (by == QLatin1String("tag")) {
      criterion = DupeCriterion::kTag;
    } else if (by == QLatin1String("size")) {
      criterion = DupeCriterion::kSize;
    } else {
      PrintError(context, QStringLiteral("--by takes name, tag or size"));
      return kUsage;
    }
    ScanSetup setup;
    if (!SetupWithoutUnit(parser, folder, context, &setup)) return kUsage;
    if (!BindPellox(context)) return kFailed;

    Options options = ToolOptions(setup);
    options.no_warning = true;  // the command line is the answer to the question
    ConsoleDesktop desktop(context.err);
    ToolsStatus status;
    DuplicatesLocator locator(
        ToolContext{desktop, status, context.pellox, options, context.program_folder});
    locator.Load();
    locator.SetCriterionChecked(criterion, true);
    const int count = locator.Start();
    const ReportList& report = locator.report();
    for (int i = 0; i < report.size(); ++i) {
      // The placeholder row of an empty report has no columns to show.
      context.out << (count == 0 ? report.row(i).text
                                 : RowLine(report.row(i), report.column_count()))
                  << "\n";
    }
    context.out << dupes_text::kDuplicatesCount << count << "\n";
    // An unreadable file has a name and a size, but no tag to compare.
    QList<Refused> refused;
    for (const Refused& r : locator.refused()) {
      if (r.path.endsWith(u'/') || criterion == DupeCriterion::kTag) refused << r;
    }
    return ReportRefused(refused, context);
  }
};

const Registration<DupesCommand> kRegistration;

}  // namespace
}  // namespace orlavo::cli

// orlavo-cli scan and filter: the main report list of a folder, unfiltered or
// through the filters of the main window.
#include "app/report_list.h"
#include "app/syntax_checker.h"
#include "cli/console.h"

namespace orlavo::cli {
namespace {

// As RowLine joins them, without building a list per row.
int PrintRows(const ReportList& list, Context& context) {
  const qsizetype columns = list.column_count();
  RowWriter writer(context.out);
  constexpr int kAhead = 8;
  for (int i = 0; i < list.size(); ++i) {
    list.Prefetch(i + 2 * kAhead, kAhead);
    const ReportRow& row = list.row(i);
    writer.AddField(row.text);
    for (qsizetype c = 1; c < columns; ++c) {
      writer.AddField(c - 1 < row.columns.size() ? QStringView(row.columns[c - 1]) : QStringView());
    }
    writer.EndRow();
  }
  return kOk;
}

class ScanCommand : public Command {
 public:
  QString name() const override { return QStringLiteral("scan"); }
  QString summary() const override {
    return QStringLiteral(
        "List the MP3 files of a folder as the report list shows them "
        "(name, size, reference; tab-separated).");
  }
  QString arguments() const override { return QStringLiteral("FOLDER"); }
  void AddOptions(QCommandLineParser& parser) const override { AddScanOptions(parser); }

  int Run(const QCommandLineParser& parser, Context& context) const override {
    const QString folder = OneFolder(parser, context);
    ScanSetup setup;
    if (folder.isEmpty() || !ScanSetupFrom(parser, folder, context, &setup)) return kUsage;
    ConsoleDesktop desktop(context.err);
    // Left to the end of the process: freeing a million rows one by one
    // takes longer than the system takes to reclaim them all at once.
    auto* list = new ReportList(MainListHeaders());
    const ScanResult result = ShowFiles(*list, setup, desktop);
    list->ResolvePendingSizes();
    PrintRows(*list, context);
    return ReportRefused(result.denied, context);
  }
};

struct FilterFlag {
  const char* name;
  const char* help;
  bool FilterChoice::*field;
};

constexpr FilterFlag kFilterFlags[] = {
    {"bad-name", "Incorrect File Syntax: names that break the title-case rules.",
     &FilterChoice::incorrect_file_syntax},
    {"no-v1", "ID3v1 tag is not present.", &FilterChoice::v1_not_present},
    {"v1", "ID3v1 tag is present.", &FilterChoice::v1_present},
    {"v2", "ID3v2 tag present.", &FilterChoice::v2_present},
    {"no-v2", "ID3v2 tag is not present.", &FilterChoice::v2_not_present},
    {"bad-tag", "Incorrect ID3v1 Syntax: ID3v1 artist or title that break the rules.",
     &FilterChoice::incorrect_v1_syntax},
};

class FilterCommand : public Command {
 public:
  QString name() const override { return QStringLiteral("filter"); }
  QString summary() const override {
    return QStringLiteral(
        "List the files of a folder that meet the chosen filters, one row per "
        "filter met, with its marker.");
  }
  QString arguments() const override { return QStringLiteral("FOLDER"); }
  void AddOptions(QCommandLineParser& parser) const override {
    AddScanOptions(parser);
    for (const FilterFlag& f : kFilterFlags) {
      parser.addOption({QString::fromLatin1(f.name), QString::fromLatin1(f.help)});
    }
  }

  int Run(const QCommandLineParser& parser, Context& context) const override {
    const QString folder = OneFolder(parser, context);
    ScanSetup setup;
    if (folder.isEmpty() || !ScanSetupFrom(parser, folder, context, &setup)) return kUsage;
    FilterChoice choice;
    bool any = false;
    for (const FilterFlag& f : kFilterFlags) {
      choice.*f.field = parser.isSet(QString::fromLatin1(f.name));
      any = any || choice.*f.field;
    }
    if (!any) {
      PrintError(context, QStringLiteral("choose at least one filter (see --help)"));
      return kUsage;
    }
    if ((choice.v1_present && choice.v1_not_present) ||
        (choice.v2_present && choice.v2_not_present)) {
      PrintError(context, QStringLiteral("--v1/--no-v1 and --v2/--no-v2 exclude each other"));
      return kUsage;
    }
    if (!BindPellox(context)) return kFailed;
    ConsoleDesktop desktop(context.err);
    NoProgress progress;
    PelloxID3v1Reader reader(context.pellox);
    SyntaxChecker syntax(context.program_folder);
    FilterTools tools{desktop, progress, reader, syntax, false};
    ReportList list(MainListHeaders());
    const ScanResult result = ApplyFilters(list, choice, setup, tools);
    // A file met by several filters has a row for each: its folder is read once.
    list.ResolvePendingSizes();
    PrintRows(list, context);
    return ReportRefused(result.denied, context);
  }
};

class CorrectCommand : public Command {
 public:
  QString name() const override { return QStringLiteral("correct"); }
  QString summary() const override {
    return QStringLiteral(
        "Print the title-case spelling of names (a name ending in .mp3 keeps "
        "the extension).");
  }
  QString arguments() const override { return QStringLiteral("TEXT..."); }

  int Run(const QCommandLineParser& parser, Context& context) const override {
    const QStringList texts = parser.positionalArguments();
    if (texts.isEmpty()) {
      PrintError(context, QStringLiteral("give at least one TEXT"));
      return kUsage;
    }
    SyntaxChecker syntax(context.program_folder);
    for (const QString& text : texts) {
      const bool mp3 = text.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive);
      context.out << syntax.CorrectSyntax(text, mp3) << "\n";
    }
    context.out.flush();
    return kOk;
  }
};

const Registration<ScanCommand> kScan;
const Registration<FilterCommand> kFilter;
const Registration<CorrectCommand> kCorrect;

}  // namespace
}  // namespace orlavo::cli

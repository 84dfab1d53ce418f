// orlavo-cli sort: the MP3 sorter without the window. With FOLDER it writes
// the sort plan as "Sort" does; with --apply it carries a plan out as
// "Continue..." does.
#include <QFileInfo>

#include "app/helpers.h"
#include "cli/console.h"
#include "tools/advanced_tools.h"
#include "tools/sorter/mp3_sorter.h"
#include "tools/sorter/sort_plan.h"

namespace orlavo::cli {
namespace {

// Keeps the messages of the sorter for the command to print as it chooses.
class QuietDesktop : public SilentDesktop {
 public:
  Answer Message(const QString& title, const QString& text, Buttons buttons, Icon icon) override {
    messages << text;
    return CautiousAnswer(buttons);
  }
  QStringList messages;
};

QString AbsoluteFolder(const QString& folder) {
  const QString path = QFileInfo(folder).absoluteFilePath();
  return path.endsWith(u'/') ? path : path + u'/';
}

class SortCommand : public Command {
 public:
  QString name() const override { return QStringLiteral("sort"); }
  QString summary() const override {
    return QStringLiteral(
        "Write the sort plan of a folder's MP3 files by artist, album, year, genre or date "
        "(as the MP3 sorter's \"Sort\"), or carry a plan out with --apply (as \"Continue...\").");
  }
  QString arguments() const override { return QStringLiteral("[FOLDER]"); }

  void AddOptions(QCommandLineParser& parser) const override {
    parser.addOption({QStringLiteral("by"),
                      QStringLiteral("Sort by artist, album, year, genre or date."),
                      QStringLiteral("FIELD")});
    parser.addOption({QStringLiteral("root"),
                      QStringLiteral("The folder under which the new folders go."),
                      QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("subdirs"), QStringLiteral("Include sub-folders.")});
    parser.addOption({QStringLiteral("prefix-dir"),
                      QStringLiteral("Show the whole path of each file instead of its name.")});
    parser.addOption({QStringLiteral("apply"),
                      QStringLiteral("Carry out this plan file: make the folders, move the files "
                                     "(never replacing one), write the playlists."),
                      QStringLiteral("PLAN")});
    parser.addOption(
        {QStringLiteral("m3u-each"), QStringLiteral("With --apply: a playlist in each folder.")});
    parser.addOption({QStringLiteral("m3u-global"),
                      QStringLiteral("With --apply: Playlist.m3u in the root with every file.")});
    AddDryRunOption(parser);
  }

  int Run(const QCommandLineParser& parser, Context& context) const override {
    if (!parser.isSet(QStringLiteral("root"))) {
      PrintError(context, QStringLiteral("give the root folder with --root"));
      return kUsage;
    }
    if (parser.isSet(QStringLiteral("apply"))) {
      if (!parser.positionalArguments().isEmpty()) {
        PrintError(context, QStringLiteral("--apply takes no FOLDER"));
        return kUsage;
      }
      return Apply(parser, context);
    }
    return WritePlan(parser, context);
  }

 private:
  int WritePlan(const QCommandLineParser& parser, Context& context) const {
    const QString folder = OneFolder(parser, context);
    if (folder.isEmpty()) return kUsage;
    const QString by = parser.value(QStringLiteral("by"));
    const SortOptionInfo* chosen = nullptr;
    for (const SortOptionInfo& info : SortOptions()) {
      if (by == QLatin1String(info.keyword)) chosen = &info;
    }
    if (chosen == nullptr) {
      PrintError(context, QStringLiteral("--by takes artist, album, year, genre or date"));
      return kUsage;
    }
    QCommandLineParser defaults;
    AddScanOptions(defaults);
    defaults.parse({QStringLiteral("orlavo-cli")});
    ScanSetup setup;
    if (!ScanSetupFrom(defaults, folder, context, &setup)) return kUsage;
    setup.include_sub_directories = parser.isSet(QStringLiteral("subdirs"));
    setup.prefix_dir = parser.isSet(QStringLiteral("prefix-dir"));
    if (!BindPellox(context)) return kFailed;

    Options options = ToolOptions(setup);
    options.no_warning = true;  // the command line is the answer to the question
    QuietDesktop desktop;
    ToolsStatus status;
    Mp3Sorter sorter(ToolContext{desktop, status, context.pellox, options, context.program_folder});
    sorter.Scan();
    sorter.SetOption(chosen->option);
    sorter.SetRootPath(AbsoluteFolder(parser.value(QStringLiteral("root"))));
    if (!sorter.Sort()) {
      PrintError(context, desktop.messages.value(0));
      return kFailed;
    }
    context.out << sorter.PlanPath() << "\n";
    context.out.flush();
    // The plan holds what could be read; what could not stays where it is.
    const int refused = ReportRefused(sorter.refused(), context);
    const ReportList& errors = sorter.errors();
    if (errors.empty()) return refused;
    for (int i = 0; i < errors.size(); ++i) {
      context.err << RowLine(errors.row(i), errors.column_count()) << "\n";
    }
    PrintError(context, QStringLiteral("the %1 of %2 cannot name a folder: fix %3 and sort again "
                                       "before applying the plan")
                            .arg(QLatin1String(chosen->keyword))
                            .arg(errors.size() == 1 ? QStringLiteral("1 file")
                                                    : QStringLiteral("%1 files").arg(errors.size()))
                            .arg(errors.size() == 1 ? "its tag" : "their tags"));
    return kFailed;
  }

  int Apply(const QCommandLineParser& parser, Context& context) const {
    const QString plan_path = QFileInfo(parser.value(QStringLiteral("apply"))).absoluteFilePath();
    PlanExecution execution;
    execution.root = AbsoluteFolder(parser.value(QStringLiteral("root")));
    execution.m3u_each = parser.isSet(QStringLiteral("m3u-each"));
    execution.m3u_global = parser.isSet(QStringLiteral("m3u-global"));
    const bool dry = IsDryRun(parser);
    if (dry) {
      // Nothing moves: each planned move is printed, and what would fail is named.
      execution.move = [](const QString& from, const QString& to) {
        if (!FileExists(from)) return RenameResult{RenameStatus::kSourceMissing, {}, 0};
        if (QFileInfo::exists(to) && from != to) {
          return RenameResult{RenameStatus::kTargetExists, {}, 0};
        }
        return RenameResult{RenameStatus::kRenamed, {}, 0};
      };
      execution.m3u_each = execution.m3u_global = false;
    }
    PlanRun run;
    if (dry) {
      // The folders are not made either: the plan is only read and checked.
      QFile file(plan_path);
      if (!file.open(QIODevice::ReadOnly)) {
        PrintError(context, QStringLiteral("%1: cannot be read").arg(plan_path));
        return kFailed;
      }
      run.plan = ParsePlan(file.readAll());
      if (run.plan.ok() && QFileInfo(execution.root).isDir()) {
        for (const ParsedPlan::Block& block : run.plan.blocks) {
          for (const ParsedPlan::File& f : block.files) {
            const QString to = block.folder + FileNameOf(f.path);
            const RenameResult r = execution.move(f.path, to);
            if (r.ok()) {
              run.report.moved.append({f.path, to});
            } else {
              run.report.not_moved.append({f.path, MoveFailureText(r)});
            }
          }
        }
      } else {
        run.outcome = run.plan.ok() ? PlanRun::Outcome::kNoRoot : PlanRun::Outcome::kSyntaxError;
      }
    } else {
      run = RunPlanFile(plan_path, execution);
    }
    switch (run.outcome) {
      case PlanRun::Outcome::kNoPlanFile:
        PrintError(context, QStringLiteral("%1: cannot be read; nothing was moved").arg(plan_path));
        return kFailed;
      case PlanRun::Outcome::kSyntaxError:
        PrintError(context, QStringLiteral("%1:%2: %3: %4; nothing was moved")
                                .arg(plan_path)
                                .arg(run.plan.error_line)
                                .arg(run.plan.error_reason, run.plan.error_text));
        return kFailed;
      case PlanRun::Outcome::kNoRoot:
        PrintError(context, QStringLiteral("%1: the root folder does not exist; nothing was moved")
                                .arg(execution.root));
        return kFailed;
      case PlanRun::Outcome::kDone:
        break;
    }
    for (const PlanReport::Move& m : run.report.moved)
      context.out << Field(m.from) << '\t' << Field(m.to) << "\n";
    context.out.flush();
    for (const PlanReport::Failure& f : run.report.not_moved) {
      PrintError(context, QStringLiteral("%1: not moved: %2").arg(f.path, f.reason));
    }
    for (const PlanReport::Failure& f : run.report.playlists_not_written) {
      PrintError(context, QStringLiteral("%1: playlist not written: %2").arg(f.path, f.reason));
    }
    return run.report.complete() ? kOk : kFailed;
  }
};

const Registration<SortCommand> kRegistration;

}  // namespace
}  // namespace orlavo::cli

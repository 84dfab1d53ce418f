// orlavo-cli split: the MP3 splitter's track list from end times or a cue
// sheet, and Create Tracks, without the window.
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include "app/helpers.h"
#include "app/settings.h"
#include "cli/console.h"
#include "tools/advanced_tools.h"
#include "tools/splitter/splitter.h"

namespace orlavo::cli {
namespace {

// Agrees to the conversions Add new time offers (seconds above 59,
// milliseconds above 999) and keeps its messages for the command to report.
class SplitDesktop : public Desktop {
 public:
  Answer Message(const QString&, const QString& text, Buttons buttons, Icon icon) override {
    if (buttons == Buttons::kYesNo) return Answer::kYes;
    if (icon == Icon::kCritical) critical << text;
    return CautiousAnswer(buttons);
  }
  QString BrowseForFolder(const QString&, const QString&) override { return {}; }
  QString OpenFileDialog(const QString&, const QString&, const QString&) override { return {}; }
  std::optional<QString> InputBox(const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
  bool ShellOpen(const QString&) override { return false; }
  void LetEventsRun() override {}

  QStringList critical;
};

QString Absolute(const QString& path) { return QFileInfo(path).absoluteFilePath(); }

QString AsFolder(QString folder) {
  folder = Absolute(folder);
  return folder.endsWith(u'/') ? folder : folder + u'/';
}

class SplitCommand : public Command {
 public:
  QString name() const override { return QStringLiteral("split"); }
  QString summary() const override {
    return QStringLiteral(
        "Cut an MP3 file into tracks by end times or a cue sheet, as the MP3 splitter's "
        "\"Create Tracks\" does.");
  }
  QString arguments() const override { return QStringLiteral("[SOURCE]"); }

  void AddOptions(QCommandLineParser& parser) const override {
    parser.addOption({QStringLiteral("end"),
                      QStringLiteral("The end time of the next track, minutes:seconds:milliseconds "
                                     "(repeatable; as \"Add new time\" takes it)."),
                      QStringLiteral("TIME")});
    parser.addOption({QStringLiteral("cue"),
                      QStringLiteral("Take the track list from an ORV or standard cue sheet; "
                                     "SOURCE, when given, stands in for the sheet's source."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("to"),
                      QStringLiteral("The folder of the tracks (default: the ORV sheet's "
                                     "destination, the standard sheet's folder, or the source's "
                                     "folder)."),
                      QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("name"),
                      QStringLiteral("The name of track 1, 2, ... in order (repeatable; default "
                                     "Track01, Track02, ...)."),
                      QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("only"),
                      QStringLiteral("Write only these track numbers (repeatable; default all)."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("save-cue"),
                      QStringLiteral("Also save the list as Files/Saved_CueNNN.cue of the program "
                                     "folder, in the ORV or the standard form."),
                      QStringLiteral("orv|standard")});
    parser.addOption({QStringLiteral("overwrite"),
                      QStringLiteral("Replace existing track files (the old ones go to the "
                                     "trash).")});
    parser.addOption({QStringLiteral("dry-run"),
                      QStringLiteral("Print the tracks that would be written (number, name, "
                                     "start, end, duration) and write no track.")});
  }

  int Run(const QCommandLineParser& parser, Context& context) const override {
    const QStringList positional = parser.positionalArguments();
    const QStringList ends = parser.values(QStringLiteral("end"));
    const bool from_cue = parser.isSet(QStringLiteral("cue"));
    if (positional.size() > 1) return Usage(context, QStringLiteral("give at most one SOURCE"));
    if (from_cue == !ends.isEmpty()) {
      return Usage(context, QStringLiteral("give either --end TIME... or --cue FILE"));
    }
    if (!from_cue && positional.isEmpty()) {
      return Usage(context, QStringLiteral("--end needs a SOURCE"));
    }
    const QString save_form = parser.value(QStringLiteral("save-cue"));
    if (parser.isSet(QStringLiteral("save-cue")) && save_form != u"orv" &&
        save_form != u"standard") {
      return Usage(context, QStringLiteral("--save-cue takes orv or standard"));
    }
    if (!BindPellox(context)) return kFailed;

    Options options;
    options.show_current_file = false;
    SplitDesktop desktop;
    ToolsStatus status;
    Splitter splitter(
        ToolContext{desktop, status, context.pellox, options, context.program_folder});
    splitter.set_auto_create(false);
    const QString source = positional.isEmpty() ? QString() : Absolute(positional[0]);
    if (!source.isEmpty() && !FileExists(source)) {
      PrintError(context, QStringLiteral("%1: no such file").arg(positional[0]));
      return kFailed;
    }

    if (from_cue) {
      const QString cue = parser.value(QStringLiteral("cue"));
      if (!splitter.LoadCue(Absolute(cue), source)) {
        for (const QString& m : desktop.critical) PrintError(context, m);
        return kFailed;
      }
      if (!splitter.load_refusals().isEmpty()) {
        for (const QString& m : splitter.load_refusals()) PrintError(context, m);
        return kFailed;
      }
    } else {
      splitter.set_source(source);
      splitter.set_destination(FolderOf(source));
      splitter.RefreshSource();
      if (!splitter.audio().can_cut()) {
        PrintError(context, splitter.PlanTracks().refusal);
        return kFailed;
      }
      for (const QString& end : ends) {
        if (end.trimmed().isEmpty()) return Usage(context, QStringLiteral("an empty --end"));
        splitter.set_time_field(end.trimmed());
        const AddResult added = splitter.AddNewTime();
        if (added.outcome != AddOutcome::kAdded) {
          PrintError(context, added.message.isEmpty() ? QStringLiteral("%1: not added").arg(end)
                                                      : added.message);
          return kFailed;
        }
      }
    }
    if (parser.isSet(QStringLiteral("to"))) {
      splitter.set_destination(AsFolder(parser.value(QStringLiteral("to"))));
    } else if (!splitter.destination().isEmpty()) {
      splitter.set_destination(AsFolder(splitter.destination()));
    }

    ReportList& tracks = splitter.tracks();
    const QStringList names = parser.values(QStringLiteral("name"));
    if (names.size() > tracks.size()) {
      return Usage(context,
                   QStringLiteral("%1 names for %2 tracks").arg(names.size()).arg(tracks.size()));
    }
    for (int i = 0; i < names.size(); ++i) splitter.RenameRow(i, names[i]);
    if (parser.isSet(QStringLiteral("only"))) {
      QSet<int> only;
      for (const QString& n : parser.values(QStringLiteral("only"))) {
        bool ok = false;
        const int number = n.toInt(&ok);
        if (!ok || number < 1 || number > tracks.size()) {
          return Usage(context, QStringLiteral("--only %1: no such track").arg(n));
        }
        only.insert(number - 1);
      }
      for (int i = 0; i < tracks.size(); ++i) splitter.SetTicked(i, only.contains(i));
    }

    // Everything is checked before anything is written.
    const Splitter::Plan plan = splitter.PlanTracks();
    if (!plan.refusal.isEmpty()) {
      PrintError(context, plan.refusal);
      return kFailed;
    }
    const QString folder = splitter.destination();
    const bool dry_run = parser.isSet(QStringLiteral("dry-run"));
    const bool overwrite = parser.isSet(QStringLiteral("overwrite"));
    if (!dry_run && !FolderExists(folder)) {
      PrintError(context, QStringLiteral("%1: no such folder").arg(folder));
      return kFailed;
    }
    QSet<QString> replace;
    for (const TrackJob& job : plan.jobs) {
      if (!job.ticked || !QFileInfo::exists(folder + job.file_name)) continue;
      if (!overwrite && !dry_run) {
        PrintError(context, QStringLiteral("%1: already exists (--overwrite replaces it)")
                                .arg(folder + job.file_name));
        return kFailed;
      }
      replace.insert(job.file_name);
    }

    if (!save_form.isEmpty()) {
      const std::optional<QString> saved =
          splitter.SaveCue(save_form == u"orv" ? CueKind::kOrv : CueKind::kStandard);
      if (!saved) {
        for (const QString& m : desktop.critical) PrintError(context, m);
        return kFailed;
      }
      context.out << *saved << "\n";
    }
    if (dry_run) {
      for (int i = 0; i < tracks.size(); ++i) {
        if (tracks.IsChecked(i)) context.out << RowLine(tracks.row(i), 5) << "\n";
      }
      context.out.flush();
      return kOk;
    }
    const WriteTracksResult result =
        WriteTracks(splitter.source(), folder, plan.jobs, replace, /*desktop=*/nullptr, {});
    for (const QString& path : result.written) context.out << path << "\n";
    context.out.flush();
    if (!result.ok()) {
      PrintError(context, result.error);
      return kFailed;
    }
    return kOk;
  }

 private:
  static int Usage(Context& context, const QString& message) {
    PrintError(context, message);
    return kUsage;
  }
};

const Registration<SplitCommand> kRegistration;

}  // namespace
}  // namespace orlavo::cli

// orlavo-cli names: one operation of the file name editor on every MP3 file of
// a folder; prints the old and new names and renames only with --apply.
#include "app/settings.h"
#include "cli/console.h"
#include "tools/advanced_tools.h"
#include "tools/editor/file_name_editor.h"

namespace orlavo::cli {
namespace {

QString Opt(const char* name) { return QString::fromLatin1(name); }

class NamesCommand : public Command {
 public:
  QString name() const override { return QStringLiteral("names"); }
  QString summary() const override {
    return QStringLiteral(
        "Add, remove or replace text in the names of the MP3 files of a folder (file name "
        "editor); shows the new names, renames with --apply.");
  }
  QString arguments() const override { return QStringLiteral("FOLDER"); }

  void AddOptions(QCommandLineParser& parser) const override {
    parser.addOption(
        {Opt("add"), Opt("Add TEXT (at the front unless --end or --after)."), Opt("TEXT")});
    parser.addOption({Opt("front"), Opt("--add: put the text in front of the name.")});
    parser.addOption({Opt("end"), Opt("--add: put the text before the \".mp3\" extension.")});
    parser.addOption(
        {Opt("after"), Opt("--add: put the text after the first AFTER."), Opt("AFTER")});
    parser.addOption({Opt("remove"), Opt("Remove TEXT from the names."), Opt("TEXT")});
    parser.addOption({Opt("replace"), Opt("Replace TEXT (with --with)."), Opt("TEXT")});
    parser.addOption({Opt("with"), Opt("--replace: the replacement."), Opt("NEW")});
    parser.addOption(
        {Opt("ignore-case"), Opt("--remove/--replace: find the text without regard to case (first "
                                 "occurrence only).")});
    parser.addOption({Opt("var-start"),
                      Opt("Number the files: varX in TEXT (or NEW) becomes N, then the next "
                          "value of --var-expr (default 1)."),
                      Opt("N")});
    parser.addOption({Opt("var-expr"),
                      Opt("How varX goes on; varX stands for the current value (default "
                          "\"varX+1\")."),
                      Opt("E")});
    parser.addOption({Opt("apply"), Opt("Rename the files (nothing is renamed without it).")});
    AddDryRunOption(parser);
    AddScanOptions(parser);
  }

  int Run(const QCommandLineParser& parser, Context& context) const override {
    const QString folder = OneFolder(parser, context);
    if (folder.isEmpty()) return kUsage;
    EditorInputs inputs;
    if (!InputsFrom(parser, context, &inputs)) return kUsage;
    const bool apply = parser.isSet(Opt("apply"));
    if (apply && IsDryRun(parser)) {
      PrintError(context, QStringLiteral("--apply and --dry-run exclude each other"));
      return kUsage;
    }
    ScanSetup setup;
    if (!ScanSetupFrom(parser, folder, context, &setup)) return kUsage;
    if (!BindPellox(context)) return kFailed;

    const Options options = ToolOptions(setup);
    ConsoleDesktop desktop(context.err);
    ToolsStatus status;
    FileNameEditor editor(
        ToolContext{desktop, status, context.pellox, options, context.program_folder});
    editor.Fill();
    for (const QString& name : editor.unreadable()) {
      PrintError(context, QStringLiteral("%1: left out, the name is not valid UTF-8").arg(name));
    }
    editor.inputs() = inputs;
    editor.SelectAll();
    if (!editor.DoIt()) return kFailed;

    const ReportList& list = editor.list();
    int changes = 0;
    for (int i = 0; i < list.size(); ++i) {
      const ReportRow& row = list.row(i);
      const QString original = row.ColumnText(kEditorOriginalColumn);
      if (original == row.text) continue;
      ++changes;
      context.out << Field(original) << '\t' << Field(row.text) << "\n";
    }
    context.out << changes << " of " << list.size() << " names change"
                << "\n";
    context.out.flush();
    // The names in folders that could not be read are not shown, so they are
    // not renamed either: told once, after what could be done.
    if (!apply || changes == 0) return ReportRefused(editor.denied(), context);

    const RenameReport report = editor.RenameConfirmed();
    context.out << report.renamed << (report.renamed == 1 ? " file" : " files") << " renamed\n";
    const int refused = ReportRefused(editor.denied(), context);
    return report.duplicate.isEmpty() && report.not_renamed.isEmpty() && report.skipped == 0
               ? refused
               : kFailed;
  }

 private:
  static bool InputsFrom(const QCommandLineParser& parser, Context& context, EditorInputs* inputs) {
    const bool add = parser.isSet(Opt("add"));
    const bool remove = parser.isSet(Opt("remove"));
    const bool replace = parser.isSet(Opt("replace"));
    if (int(add) + int(remove) + int(replace) != 1) {
      PrintError(context, QStringLiteral("give one of --add, --remove and --replace"));
      return false;
    }
    const int positions = int(parser.isSet(Opt("front"))) + int(parser.isSet(Opt("end"))) +
                          int(parser.isSet(Opt("after")));
    if (positions > 1 || (positions > 0 && !add)) {
      PrintError(context, QStringLiteral("--front, --end and --after go with --add, one at most"));
      return false;
    }
    if (replace != parser.isSet(Opt("with"))) {
      PrintError(context, QStringLiteral("--replace and --with go together"));
      return false;
    }
    if (add && parser.isSet(Opt("ignore-case"))) {
      PrintError(context, QStringLiteral("--ignore-case goes with --remove or --replace"));
      return false;
    }
    if (add) {
      inputs->mode = EditMode::kAdd;
      inputs->main_text = parser.value(Opt("add"));
      inputs->position = parser.isSet(Opt("end"))     ? AddPosition::kEnd
                         : parser.isSet(Opt("after")) ? AddPosition::kMiddle
                                                      : AddPosition::kFront;
      inputs->after_text = parser.value(Opt("after"));
    } else if (remove) {
      inputs->mode = EditMode::kRemove;
      inputs->main_text = parser.value(Opt("remove"));
    } else {
      inputs->mode = EditMode::kReplace;
      inputs->main_text = parser.value(Opt("replace"));
      inputs->replacement_text = parser.value(Opt("with"));
    }
    inputs->case_sensitive = !parser.isSet(Opt("ignore-case"));
    inputs->variable_on = parser.isSet(Opt("var-start")) || parser.isSet(Opt("var-expr"));
    if (parser.isSet(Opt("var-start"))) inputs->var_value = parser.value(Opt("var-start"));
    if (parser.isSet(Opt("var-expr"))) {
      inputs->increment_expression = parser.value(Opt("var-expr"));
    }
    return true;
  }
};

const Registration<NamesCommand> kRegistration;

}  // namespace
}  // namespace orlavo::cli

#include "cli/console.h"

#include <QDir>
#include <QFileInfo>

#include "app/settings.h"

namespace orlavo::cli {

Desktop::Answer ConsoleDesktop::Message(const QString& title, const QString& text, Buttons buttons,
                                        Icon icon) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  err_ << (title.isEmpty() ? QStringLiteral("orlavo-cli") : title) << ": " << shown << Qt::endl;
  return buttons == Buttons::kOk      ? Answer::kOk
         : buttons == Buttons::kYesNo ? Answer::kNo
                                      : Answer::kCancel;
}

void AddScanOptions(QCommandLineParser& parser) {
  parser.addOption({QStringLiteral("subdirs"), QStringLiteral("Include sub-folders.")});
  parser.addOption({QStringLiteral("prefix-dir"),
                    QStringLiteral("Show the whole path of each file instead of its name.")});
  parser.addOption({QStringLiteral("size-unit"),
                    QStringLiteral("Size unit: Bytes, KB or MB (default Bytes)."),
                    QStringLiteral("UNIT"), QStringLiteral("Bytes")});
}

bool ScanSetupFrom(const QCommandLineParser& parser, const QString& folder, Context& context,
                   ScanSetup* setup) {
  QFileInfo info(folder);
  if (!info.isDir()) {
    PrintError(context, QStringLiteral("%1: not a folder").arg(folder));
    return false;
  }
  const QString unit = parser.value(QStringLiteral("size-unit"));
  if (!SizeUnits().contains(unit)) {
    PrintError(context, QStringLiteral("--size-unit takes Bytes, KB or MB, not '%1'").arg(unit));
    return false;
  }
  setup->program_folder = context.program_folder;
  QString main = info.absoluteFilePath();
  setup->main_folder = main.endsWith(u'/') ? main : main + u'/';
  setup->include_sub_directories = parser.isSet(QStringLiteral("subdirs"));
  setup->no_warning = true;  // the command line is the answer to the warning
  setup->prefix_dir = parser.isSet(QStringLiteral("prefix-dir"));
  setup->size_unit = unit;
  return true;
}

void AddDryRunOption(QCommandLineParser& parser) {
  parser.addOption({QStringLiteral("dry-run"),
                    QStringLiteral("Show what would be done; change nothing on disk.")});
}

bool IsDryRun(const QCommandLineParser& parser) { return parser.isSet(QStringLiteral("dry-run")); }

QString RowLine(const ReportRow& row, int columns) {
  QStringList cells{row.text};
  for (int c = 1; c < columns; ++c) cells << row.ColumnText(c);
  return cells.join(u'\t');
}

}  // namespace orlavo::cli

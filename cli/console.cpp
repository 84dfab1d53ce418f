#include "cli/console.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "app/settings.h"

namespace orlavo::cli {

Desktop::Answer ConsoleDesktop::Message(const QString& title, const QString& text, Buttons buttons,
                                        Icon icon) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  // The title only qualifies the message: every line a script may look for
  // still starts with the program's name.
  err_ << "orlavo-cli: ";
  if (!title.isEmpty()) err_ << title << ": ";
  err_ << shown << Qt::endl;
  return CautiousAnswer(buttons);
}

int ReportRefused(const QList<Refused>& refused, Context& context) {
  context.out.flush();
  for (const Refused& r : refused) {
    PrintError(context, QStringLiteral("%1: cannot be read (%2)").arg(r.path, r.reason));
  }
  return refused.isEmpty() ? kOk : kFailed;
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

QString OneFolder(const QCommandLineParser& parser, Context& context) {
  const QStringList args = parser.positionalArguments();
  if (args.size() != 1) {
    PrintError(context, QStringLiteral("give exactly one FOLDER"));
    return {};
  }
  return args[0];
}

bool BindPellox(Context& context) {
  if (context.pellox.Bind()) return true;
  PrintError(context, context.pellox.error());
  return false;
}

Options ToolOptions(const ScanSetup& setup) {
  Options options;
  options.main_folder = setup.main_folder;
  options.include_sub_directories = setup.include_sub_directories;
  options.prefix_dir = setup.prefix_dir;
  options.size_unit = setup.size_unit;
  options.render_list_invisible = false;
  options.show_current_file = false;
  return options;
}

void AddDryRunOption(QCommandLineParser& parser) {
  parser.addOption({QStringLiteral("dry-run"),
                    QStringLiteral("Show what would be done; change nothing on disk.")});
}

bool IsDryRun(const QCommandLineParser& parser) { return parser.isSet(QStringLiteral("dry-run")); }

QString Field(const QString& text) {
  QString field;
  field.reserve(text.size());
  for (const QChar c : text) {
    switch (c.unicode()) {
      case u'\\':
        field += QLatin1String("\\\\");
        break;
      case u'\t':
        field += QLatin1String("\\t");
        break;
      case u'\n':
        field += QLatin1String("\\n");
        break;
      case u'\r':
        field += QLatin1String("\\r");
        break;
      default:
        field += c;
    }
  }
  return field;
}

void WriteField(QTextStream& out, const QString& text) {
  // Most names hold none of the escaped characters: write them as they are.
  const bool plain = std::none_of(text.begin(), text.end(), [](QChar c) {
    return c == u'\\' || c == u'\t' || c == u'\n' || c == u'\r';
  });
  if (plain) {
    out << text;
  } else {
    out << Field(text);
  }
}

QString RowLine(const ReportRow& row, int columns) {
  QStringList cells{Field(row.text)};
  for (int c = 1; c < columns; ++c) cells << Field(row.ColumnText(c));
  return cells.join(u'\t');
}

}  // namespace orlavo::cli

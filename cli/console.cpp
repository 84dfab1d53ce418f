#include "cli/console.h"

#include <QDir>
#include <QFileDevice>
#include <QFileInfo>
#include <algorithm>

#include "app/settings.h"

namespace orlavo::cli {
namespace {

constexpr size_t kFlushAt = 1 << 16;

// What a character that would break a tab-separated row is written as; null
// for every other character.
const char* EscapeOf(char16_t c) {
  switch (c) {
    case u'\\':
      return "\\\\";
    case u'\t':
      return "\\t";
    case u'\n':
      return "\\n";
    case u'\r':
      return "\\r";
    default:
      return nullptr;
  }
}

}  // namespace

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
    if (const char* escape = EscapeOf(c.unicode())) {
      field += QLatin1String(escape);
    } else {
      field += c;
    }
  }
  return field;
}

RowWriter::RowWriter(QTextStream& out) : out_(out) {
  out_.flush();
  buffer_.reserve(kFlushAt + 4096);
}

void RowWriter::AddField(QStringView text) {
  if (row_open_) buffer_ += '\t';
  row_open_ = true;
  const QChar* p = text.data();
  const QChar* end = p + text.size();
  while (p != end) {
    // Plain ASCII runs are copied byte for byte; anything else goes through
    // the UTF-8 encoder a run at a time.
    const QChar* run = p;
    while (p != end && p->unicode() < 0x80 && EscapeOf(p->unicode()) == nullptr) ++p;
    const size_t at = buffer_.size();
    buffer_.resize(at + static_cast<size_t>(p - run));
    char* out = buffer_.data() + at;
    for (const QChar* c = run; c != p; ++c) *out++ = static_cast<char>(c->unicode());
    if (p == end) break;
    if (const char* escape = EscapeOf(p->unicode())) {
      buffer_ += escape;
      ++p;
      continue;
    }
    run = p;
    while (p != end && p->unicode() >= 0x80) ++p;
    const QByteArray utf8 = QStringView(run, p - run).toUtf8();
    buffer_.append(utf8.constData(), static_cast<size_t>(utf8.size()));
  }
}

void RowWriter::EndRow() {
  buffer_ += '\n';
  row_open_ = false;
  if (buffer_.size() >= kFlushAt) Flush();
}

void RowWriter::Flush() {
  if (buffer_.empty()) return;
  QIODevice* device = out_.device();
  if (device != nullptr) {
    device->write(buffer_.data(), static_cast<qint64>(buffer_.size()));
    if (auto* file = qobject_cast<QFileDevice*>(device)) file->flush();
  } else {
    out_ << QString::fromUtf8(buffer_.data(), static_cast<qsizetype>(buffer_.size()));
    out_.flush();
  }
  buffer_.clear();
}

QString RowLine(const ReportRow& row, int columns) {
  QStringList cells{Field(row.text)};
  for (int c = 1; c < columns; ++c) cells << Field(row.ColumnText(c));
  return cells.join(u'\t');
}

}  // namespace orlavo::cli

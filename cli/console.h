// What the subcommands share: a console stand-in for the desktop, and the
// options common to the commands that scan a folder or change files.
#ifndef ORLAVO_CLI_CONSOLE_H_
#define ORLAVO_CLI_CONSOLE_H_

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QTextStream>
#include <string>

#include "app/desktop.h"
#include "app/scan.h"
#include "app/settings.h"
#include "cli/command.h"

namespace orlavo::cli {

// Messages go to the error stream; questions get their cautious answer (No,
// Cancel) because nobody is there to answer them; nothing is opened.
class ConsoleDesktop : public Desktop {
 public:
  explicit ConsoleDesktop(QTextStream& err) : err_(err) {}
  Answer Message(const QString& title, const QString& text, Buttons buttons, Icon icon) override;
  QString BrowseForFolder(const QString&, const QString&) override { return {}; }
  QString OpenFileDialog(const QString&, const QString&, const QString&) override { return {}; }
  std::optional<QString> InputBox(const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
  bool ShellOpen(const QString&) override { return false; }
  void LetEventsRun() override {}

 private:
  QTextStream& err_;
};

// A progress display that shows nothing.
class NoProgress : public ProgressDisplay {
 public:
  void SetCaption(const QString&) override {}
  void SetBar(qint64, qint64) override {}
  void SetPercent(const QString&) override {}
};

// --subdirs, --prefix-dir and --size-unit.
void AddScanOptions(QCommandLineParser& parser);
// The scan setup of FOLDER and the scan options; false (with a message) when
// the folder or the options are not usable.
bool ScanSetupFrom(const QCommandLineParser& parser, const QString& folder, Context& context,
                   ScanSetup* setup);

// The positional FOLDER of a command that takes exactly one ("" with a message).
QString OneFolder(const QCommandLineParser& parser, Context& context);
// Binds the Pellox library; false with the reason printed.
bool BindPellox(Context& context);
// Live options for a tool run from the command line: the scan's folder and
// flags, nothing hidden and no file names in progress texts.
Options ToolOptions(const ScanSetup& setup);

// One "orlavo-cli: PATH: cannot be read (REASON)" line per refused file or
// folder, after flushing the rows printed so far; kFailed when there was
// any, else kOk. What could be read is still listed: a folder that hides one
// locked file must not hide the rest.
int ReportRefused(const QList<Refused>& refused, Context& context);

void AddDryRunOption(QCommandLineParser& parser);
bool IsDryRun(const QCommandLineParser& parser);

// A name or text as one field of a tab-separated row: a backslash, tab, line
// feed or carriage return in it is written as \\, \t, \n or \r, so that
// every row stays one line of fields.
QString Field(const QString& text);

// Tab-separated rows gathered as UTF-8 and handed to the stream's device in
// large pieces: a million rows through the text stream one field at a time
// cost more than reading the files they name.
class RowWriter {
 public:
  explicit RowWriter(QTextStream& out);
  ~RowWriter() { Flush(); }
  RowWriter(const RowWriter&) = delete;
  RowWriter& operator=(const RowWriter&) = delete;

  // One field, escaped as Field() does; a tab goes before every field but
  // the first of a row.
  void AddField(QStringView text);
  void EndRow();
  void Flush();

 private:
  QTextStream& out_;
  std::string buffer_;
  bool row_open_ = false;
};

// The row as the report list shows it: row text, then the other columns,
// separated by tabs, each a Field.
QString RowLine(const ReportRow& row, int columns);

}  // namespace orlavo::cli

#endif  // ORLAVO_CLI_CONSOLE_H_

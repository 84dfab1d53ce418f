// The sort plan of the MP3 sorter as a file: its lines written from the
// grouped files, read back (after the person may have edited it), checked,
// and carried out as folder creations, moves and playlists.
#ifndef ORLAVO_TOOLS_SORTER_SORT_PLAN_H_
#define ORLAVO_TOOLS_SORTER_SORT_PLAN_H_

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "app/file_ops.h"

namespace orlavo {

inline constexpr char kPlanEndLine[] = "// End of the data.";

// The files of one target folder, in plan order.
struct PlanFolder {
  QString name;  // the sort value that names the folder
  QStringList files;
};

// What "Sort" writes.
struct PlanContents {
  QString option_caption;  // "Sort by Artist"
  QString keyword;         // "artist"
  QString root;            // ends with "/"
  QList<PlanFolder> folders;
  QStringList unsorted;  // full paths of the files without a value
  int total_files = 0;
};

// Every line of the plan file, without line ends.
QStringList PlanLines(const PlanContents& plan);
// The lines joined with CR LF (each line ends with one), in UTF-8.
QByteArray PlanBytes(const QStringList& lines);

// A plan read back: the blocks in plan order, or the line that stops it.
struct ParsedPlan {
  struct File {
    QString path;
    int line = 0;  // 1-based line number in the plan file
  };
  struct Block {
    QString folder;  // ends with "/"
    int line = 0;
    QList<File> files;
  };
  QList<Block> blocks;
  int lines = 0;  // lines up to and including "// End of the data."
  // Set when the plan cannot be carried out; nothing may be moved then.
  int error_line = 0;
  QString error_text;  // the offending line as written
  QString error_reason;
  bool ok() const { return error_line == 0; }
};

// Reads the lines up to "// End of the data." (CR LF or LF). Empty lines,
// lines of blanks and lines starting with "//" are skipped. A line that
// begins with "[" but does not end with "]", a folder or file that is not a
// full path, an empty folder line, and a file line before the first folder
// line are errors.
ParsedPlan ParsePlan(const QByteArray& bytes);

// What carrying out a plan did.
struct PlanReport {
  struct Move {
    QString from;
    QString to;
  };
  struct Failure {
    QString path;  // as the plan gives it
    QString reason;
  };
  QList<Move> moved;
  QList<Failure> not_moved;
  QList<Failure> playlists_not_written;  // path of the playlist and why
  QStringList playlists_written;
  bool complete() const { return not_moved.isEmpty() && playlists_not_written.isEmpty(); }
};

struct PlanExecution {
  QString root;  // ends with "/"; must exist
  bool m3u_each = false;
  bool m3u_global = false;
  // Moves one file; MoveNoReplace unless a test puts another in.
  std::function<RenameResult(const QString& from, const QString& to)> move;
  // Called after each line handled (current, total); may let events run.
  std::function<void(int current, int total)> progress;
};

// The reason text of a move that failed.
QString MoveFailureText(const RenameResult& result);

// Creates the folders (with their parents), moves the files without ever
// replacing one, and writes the playlists at the end: a playlist lists only
// the files that were moved into place, two blocks of one folder share one
// playlist, and a playlist that already exists keeps its lines (the new
// entries follow them). The plan must be ok().
PlanReport ExecutePlan(const ParsedPlan& plan, const PlanExecution& execution);

// One message listing what was not done, "" when everything was.
QString PlanFailureMessage(const PlanReport& report);

// "Continue...": the plan file read, checked, and carried out. A plan that
// cannot be read, a plan line in error and a root folder that does not exist
// each stop the run before anything is moved, with a message naming the file,
// the line or the folder.
struct PlanRun {
  enum class Outcome { kDone, kNoPlanFile, kSyntaxError, kNoRoot };
  Outcome outcome = Outcome::kDone;
  ParsedPlan plan;
  PlanReport report;
  QString message;  // why nothing was moved, or what was not done; "" when all was
};
PlanRun RunPlanFile(const QString& plan_path, const PlanExecution& execution);

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_SORTER_SORT_PLAN_H_

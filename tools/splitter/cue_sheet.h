// Cue sheets of the splitter's track list: the program's own tab-separated
// ORV form (source, destination and every row as shown) and the standard
// FILE / TRACK / TITLE / INDEX form that CD rippers and players write.
#ifndef ORLAVO_TOOLS_SPLITTER_CUE_SHEET_H_
#define ORLAVO_TOOLS_SPLITTER_CUE_SHEET_H_

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace orlavo {

namespace cue_text {
inline constexpr char kSaveOrv[] = "Save to ORV cue sheet";
inline constexpr char kSaveStandard[] = "Save to standard cue sheet";
inline constexpr char kSaveMenuCaption[] = "savecue";
inline constexpr char kSourceMissing[] =
    "The source file specified in cue sheet can not be located.  Make sure the file is in the "
    "same folder as the cue sheet file.";
inline constexpr char kCriticalError[] = "Critical error: ";
inline constexpr char kSelectCueTitle[] = "Select Cue File";
inline constexpr char kCueFilter[] = "Cue Files (*.cue)|*.cue|All Files {*.*}|*.*";
inline constexpr char kCueDefaultExtension[] = "*.mp3";
}  // namespace cue_text

enum class CueKind { kOrv, kStandard };

// One row of the track list as the ORV form stores it.
struct CueRow {
  QString number;
  QString name;
  QString start;
  QString end;
  QString duration;
};

// One TRACK block of a standard sheet.
struct CueTrack {
  QString title;  // empty when the block has none
  // INDEX 01, or INDEX 00 when the block has no INDEX 01; nothing when it has
  // neither.
  std::optional<qint64> start_ms;
};

struct CueSheet {
  CueKind kind = CueKind::kOrv;
  // ORV: the first line as written. Standard: the FILE line's file, resolved
  // against the sheet's folder (see ResolveCueSource).
  QString source;
  // ORV: the second line. Standard: the sheet's folder, ending in "/".
  QString destination;
  std::vector<CueRow> rows;      // ORV
  std::vector<CueTrack> tracks;  // standard, in sheet order
  // The description of the first malformed line; what came before it stays.
  QString error;
};

// Reads the sheet's bytes (UTF-8, or Windows-1252 when they are not valid
// UTF-8; a byte-order mark and CR LF or LF line ends are all accepted). A
// sheet is standard when any line, trimmed, begins with "FILE ".
CueSheet ParseCueSheet(const QByteArray& bytes, const QString& cue_path);
// nullopt with *error set when the file cannot be read.
std::optional<CueSheet> ReadCueSheet(const QString& cue_path, QString* error);

// The file a FILE line names: the name in double quotes (up to the last
// quote) or, unquoted, everything before the file-type word; absolute, or
// relative to the sheet's folder. When that file does not exist but the same
// name with the extension ".mp3" does (a sheet written for a CD image), that
// file.
QString ResolveCueSource(const QString& file_line, const QString& cue_folder);

// An INDEX time "mm:ss:ff": a third field of three digits is milliseconds (as
// this program once wrote it), any other is CD frames of 1/75 s, rounded to
// the nearest millisecond.
qint64 CueIndexMilliseconds(const QString& time_text);
// Milliseconds as "mm:ss:ff" with the frames rounded to the nearest.
QString CueIndexText(qint64 ms);

// The sheet texts, CR LF line ends.
QString OrvCueText(const QString& source, const QString& destination,
                   const std::vector<CueRow>& rows);
// rows supply the names (TITLE) and start times (INDEX 01).
QString StandardCueText(const QString& source, const std::vector<CueRow>& rows);

// The next free Files/Saved_CueNNN.cue (from 001 upward) of the program folder.
QString NextSavedCuePath(const QString& program_folder);
// Writes the text (UTF-8) under the next free Saved_Cue name, through a
// temporary file renamed into place without replacing anything. Returns the
// path written, or nullopt with *error set.
std::optional<QString> SaveCueText(const QString& program_folder, const QString& text,
                                   QString* error);

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_SPLITTER_CUE_SHEET_H_

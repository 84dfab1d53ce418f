// "Show files" (the scan of the main folder into the main report list), the
// choice of the main folder, and "Apply Filter(s)". The window around them
// enables its buttons, shows the totals and empties the ID3v1 panel.
#ifndef ORLAVO_APP_SCAN_H_
#define ORLAVO_APP_SCAN_H_

#include <QString>
#include <QStringList>

#include "app/folder_walk.h"
#include "app/report_list.h"

namespace orlavo {

class Desktop;
class ProgressDisplay;
class SyntaxChecker;

inline constexpr char kWorkingRowText[] = "Working...Please Wait...";

// The headers of the main window's report list.
QStringList MainListHeaders();
// "Total MP3s: " and the count.
QString TotalMp3sText(int count);

// The option values a scan reads; callers pass them from the live options.
struct ScanSetup {
  QString program_folder;  // holds Files/DirIgnoreList.txt
  QString main_folder;     // the folder path box
  bool include_sub_directories = false;
  bool no_warning = false;  // "Suppress warning (sub-dirs)"
  bool prefix_dir = false;
  QString size_unit = QStringLiteral("Bytes");

  RowOptions row_options() const { return RowOptions{prefix_dir, size_unit, main_folder}; }
};

enum class ScanOutcome {
  kRefilled,
  // The sub-folder warning was answered No: the list is as it was.
  kDeclined,
  // No main folder: the caller runs Select folder instead.
  kNoFolder,
};

struct ScanResult {
  ScanOutcome outcome = ScanOutcome::kRefilled;
  // Names left out because they are not valid UTF-8 (the person was told).
  QStringList unreadable;
  // Folders the walk could not read and, after the filters, files whose tags
  // could not be read (those are left out of the filter rows).
  QList<Refused> denied;
};

// Empties the list and fills it with one row per MP3 file of the main folder
// (and its sub-folders when they are included). Columns 1 and 2 are filled, no
// tag is read. A stop ends the filling; the rows added so far stay.
ScanResult ShowFiles(ReportList& list, const ScanSetup& setup, Desktop& desktop);

// Tells the person which folders and files a scan or the filters could not
// read (no permission, gone meanwhile), so that a short list is not taken
// for the whole folder. Nothing when there were none.
void TellRefused(Desktop& desktop, const QList<Refused>& refused);

// The folder picker of Select folder, starting at current: the chosen folder
// with a closing "/", or "" when the person cancels. Without sub-folders a
// folder without MP3 files is refused with a message and the picker opens
// again on it.
QString SelectMainFolder(Desktop& desktop, const QString& current, const ScanSetup& setup);

// The check boxes under "Filter for:".
struct FilterChoice {
  bool incorrect_file_syntax = false;  // "Incorrect File Syntax"
  bool v1_not_present = false;         // "ID3v1 tag is not present"
  bool v1_present = false;             // "ID3v1 tag is present"
  bool v2_present = false;             // "ID3v2 tag present"
  bool v2_not_present = false;         // "ID3v2 tag is not present"
  bool incorrect_v1_syntax = false;    // "Incorrect ID3v1 Syntax"
};

struct FilterTools {
  Desktop& desktop;
  // Its caption is the total label.
  ProgressDisplay& progress;
  ID3v1Reader& id3v1;
  const SyntaxChecker& syntax;
  bool show_current_file = true;  // "Show file names during execution"
};

// Adds, for each path in order, one row per checked filter that the file
// meets, in the order of the check boxes above, with that filter's marker in
// the third column. Shows progress for every file and lets events run after
// it; the loop does not stop early. A file that a tag filter needs to read
// and that cannot be read gets no row (it would otherwise pass as untagged)
// and is returned.
QList<Refused> RunFilters(ReportList& list, const QStringList& paths, const FilterChoice& choice,
                          const RowOptions& rows, FilterTools& tools);

// "Apply Filter(s)": a fresh Show files, then the filters over the full paths
// of its rows; the list ends with the rows the filters added (none when no
// box is checked). The progress display ends cleared with the total caption.
ScanResult ApplyFilters(ReportList& list, const FilterChoice& choice, const ScanSetup& setup,
                        FilterTools& tools);

}  // namespace orlavo

#endif  // ORLAVO_APP_SCAN_H_

// The duplicates locator: the MP3 files of the main folder in a list, the files
// that share a name, an ID3v1 artist and title, or an exact size marked, a
// report of the marked files, and deleting one file of it at a time.
#ifndef ORLAVO_TOOLS_DUPES_DUPLICATES_LOCATOR_H_
#define ORLAVO_TOOLS_DUPES_DUPLICATES_LOCATOR_H_

#include <QList>
#include <QString>

#include "app/file_ops.h"
#include "app/folder_walk.h"
#include "app/report_list.h"
#include "tools/advanced_tools.h"

namespace orlavo {

namespace dupes_text {
inline constexpr char kPaneCaption[] = "Duplicates Locator";
inline constexpr char kFilesLabel[] = "MP3s:";
inline constexpr char kReportCaption[] = "Duplicates Report";
inline constexpr char kByName[] = "Check for filename duplication";
inline constexpr char kByTag[] = "Check for ID3v1 Duplication";
inline constexpr char kBySize[] = "Check for filesize duplication";
inline constexpr char kReload[] = "Reload";
inline constexpr char kLoad[] = "Load";
inline constexpr char kReloadTooltip[] = "Reload the files from source folder";
inline constexpr char kStart[] = "Start";
inline constexpr char kStartTooltip[] = "Show duplicates";
inline constexpr char kShowDuplicates[] = "Show Duplicates";
inline constexpr char kDelete[] = "Delete from HD";
inline constexpr char kDeleteTooltip[] = "Delete selected file(s) from your Hard Drive";
inline constexpr char kOk[] = "OK";
inline constexpr char kOkTooltip[] = "Hide report";
inline constexpr char kNoDuplicates[] = "No Duplicates located.";
inline constexpr char kDuplicatesCount[] = "Duplicates: ";
inline constexpr char kScanTitle[] = "Scanning MP3s...";
inline constexpr char kScanQuestion[] =
    "You have sub-folders selected. Scanning all the MP3s may take a little while. Are you sure "
    "you want to continue?";
inline constexpr char kDeleteQuestion[] =
    "Are you sure you want to delete selected file from your HARD DRIVE?\r\n"
    "Remember, one of the duplicates displayed is the original copy.\r\n"
    "If you will delete all the files from the list, you will delete the original file as well.";
}  // namespace dupes_text

// The headers of the file list and of the report.
QStringList DuplicatesHeaders();

enum class DupeCriterion { kNone, kName, kTag, kSize };

// The rows of a list that share the criterion's key with at least one other
// row: names (letter case ignored), non-empty "Artist - Title" texts (letter
// case ignored) or size texts, in list order. Groups the rows by key in one
// pass, so the cost grows with the number of rows, never with pairs of them.
QList<int> DuplicateRows(const ReportList& list, DupeCriterion criterion);

// The reason text of a delete that did not happen.
QString DeleteFailureText(const QString& path, const TrashResult& result);

class DuplicatesLocator {
 public:
  explicit DuplicatesLocator(const ToolContext& context);

  ReportList& files() { return files_; }
  const ReportList& files() const { return files_; }
  ReportList& report() { return report_; }
  const ReportList& report() const { return report_; }

  // The three check boxes: at most one is on; checking one clears the others.
  DupeCriterion criterion() const { return criterion_; }
  void SetCriterionChecked(DupeCriterion criterion, bool checked);

  // Opening the pane and "Reload": the file list filled from the main folder
  // (after the sub-folder question, when it is asked), sizes in bytes whatever
  // the size unit of the options. Stoppable; a stop keeps the rows loaded
  // until then.
  void Load();
  // What the last Load could not read: folders (ending in "/"), whose files
  // are left out, and files whose tag could not be read (they stay in the
  // list; only the tag criterion misses them).
  const QList<Refused>& refused() const { return refused_; }
  // "Start": marks (selects) the duplicates under the criterion, then shows
  // the report. Returns the number marked.
  int Start();
  // "Show Duplicates": the report filled from the marked rows and shown.
  void ShowDuplicates();
  // "OK".
  void HideReport() { report_visible_ = false; }
  // "Delete from HD" on one report row: after the question, the file goes to
  // the trash and its rows go from both lists. A delete that fails is
  // reported and keeps both rows. True when the file was deleted.
  bool DeleteReportRow(int report_row);
  // Enter or a double click on a report row.
  void OpenReportRow(int report_row);

  QString reload_caption() const;
  bool start_enabled() const { return !files_.empty(); }
  bool show_enabled() const { return started_; }
  bool delete_enabled() const { return delete_enabled_; }
  bool report_visible() const { return report_visible_; }
  int marked_count() const { return marked_; }

 private:
  ToolContext context_;
  ReportList files_;
  ReportList report_;
  QList<Refused> refused_;
  DupeCriterion criterion_ = DupeCriterion::kSize;
  bool loaded_once_ = false;
  bool started_ = false;
  bool delete_enabled_ = false;
  bool report_visible_ = false;
  int marked_ = 0;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_DUPES_DUPLICATES_LOCATOR_H_

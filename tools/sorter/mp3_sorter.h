// The MP3 sorter: the files of the main folder with their tags and creation
// dates, a sort plan written per artist, album, year, genre or date for the
// person to check and edit, then the plan carried out (folders, moves,
// playlists). Also the small tag editor of the pane and the fixer of the
// files whose values cannot name a folder.
#ifndef ORLAVO_TOOLS_SORTER_MP3_SORTER_H_
#define ORLAVO_TOOLS_SORTER_MP3_SORTER_H_

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

#include "app/folder_walk.h"
#include "app/report_list.h"
#include "formats/records.h"
#include "tools/advanced_tools.h"
#include "tools/sorter/sort_plan.h"

namespace orlavo {

namespace sorter_text {
inline constexpr char kPaneCaption[] = "MP3 Sorter";
inline constexpr char kRootCaption[] = "Root path:";
inline constexpr char kRootTooltip[] = "New folders will be created here.";
inline constexpr char kBrowse[] = "Browse...";
inline constexpr char kBrowseTooltip[] = "Select a folder where folders will be created";
inline constexpr char kBrowseTitle[] = "Select MP3 Folder...";
inline constexpr char kSourcePrefix[] = "MP3s Path: ";
inline constexpr char kSourceTooltip[] = "Current MP3 source folder";
inline constexpr char kRescan[] = "Re-Scan";
inline constexpr char kRescanTooltip[] = "Rescan files in the source folder";
inline constexpr char kM3uEach[] = "Create M3U in each folder";
inline constexpr char kM3uEachTooltip[] =
    "Creates a .m3u file (Winamp PLaylist files) with song in the folder";
inline constexpr char kM3uGlobal[] = "Create a global M3U";
inline constexpr char kM3uGlobalTooltip[] =
    "Create a main m3u file with all the files in all the folders";
inline constexpr char kSort[] = "Sort";
inline constexpr char kSortTooltip[] = "Start sort";
inline constexpr char kContinue[] = "Continue...";
inline constexpr char kContinueTooltip[] = "Coninue sort";
inline constexpr char kViewErrors[] = "View Errors";
inline constexpr char kCancel[] = "Cancel";
inline constexpr char kSave[] = "Save";
inline constexpr char kSaveTooltip[] = "Save ID3v1 tag";
inline constexpr char kRemove[] = "Remove";
inline constexpr char kRemoveTooltip[] = "Remove ID3v1 tag";
inline constexpr char kEditCaption[] = "MP3 Edit";
inline constexpr char kErrorsCaption[] =
    "List of errors encountered while trying to generate a folder list";
inline constexpr char kErrorsHint[] = "Double click the file to fix it's ID3v1 tag.";
inline constexpr char kRemoveUntaggedLine[] =
    "To remove all MP3s without ID3v1 tag or with an empty tag";
inline constexpr char kClickHere[] = "click here";
inline constexpr char kRemoveUntaggedTitle[] = "Removing MP3s from the list...";
inline constexpr char kRemoveUntaggedQuestion[] = "Are you sure?";
inline constexpr char kProgressCaption[] = "Progress";
inline constexpr char kGathering[] = "Gathering information:";
inline constexpr char kAnalyzing[] = "Analyzing sort file:";
inline constexpr char kSorting[] = "Sorting files:";
inline constexpr char kFoldersIn[] = "Folders will be created in: ";
inline constexpr char kSelectedOption[] = " is your selected option";
inline constexpr char kNoRoot[] = "No root path specified.  Please select root path.";
inline constexpr char kReview[] =
    "Please review the text file to make sure all the files will be moved to their appropriate "
    "locations.  When done, click continue to start the sort.";
inline constexpr char kInvalidCharacters[] = "Invalid characters: ";
inline constexpr char kContainsInvalid[] = " contains one of the following invalid characters: ";
inline constexpr char kScanTitle[] = "Scanning MP3s...";
inline constexpr char kScanQuestion[] =
    "You have sub-folders selected. Scanning all the MP3s may take a little while. Are you sure "
    "you want to continue?";
}  // namespace sorter_text

enum class SortOption { kArtist = 0, kAlbum, kYear, kGenre, kDate };

struct SortOptionInfo {
  SortOption option;
  const char* caption;  // "Sort by Artist": the option button and the plan's name
  int column;           // the sort list column the value comes from
  const char* keyword;  // "artist", in the plan's note on unsorted files
};
const std::array<SortOptionInfo, 5>& SortOptions();
const SortOptionInfo& SortOptionOf(SortOption option);

// The columns of the sort list.
enum SorterColumn {
  kSorterSize = 1,
  kSorterTitle,
  kSorterArtist,
  kSorterAlbum,
  kSorterYear,
  kSorterGenre,
  kSorterCreated,
};
QStringList SorterHeaders();
QStringList SorterErrorHeaders();

// "mmm d yyyy" in UTC, with English month abbreviations whatever the locale,
// so that plans come out the same on every machine: "Mar 7 2004".
QString SortDateText(const QDateTime& time);
// The file's creation time, or its modification time where the file system
// keeps none, as SortDateText.
QString CreationDateText(const QString& path);
// The nine characters that cannot be in a folder name, separated by blanks.
QString InvalidCharactersText();

// The genre names 0 to 147 in table order, and the number of a name (-1 when
// it is none of them).
QStringList GenreNames();
int GenreNumber(const QString& name);

struct TagFields {
  QString title, artist, album, year, genre;
};

class Mp3Sorter {
 public:
  explicit Mp3Sorter(const ToolContext& context);

  ReportList& list() { return list_; }
  const ReportList& list() const { return list_; }
  ReportList& errors() { return errors_; }
  const ReportList& errors() const { return errors_; }

  QString root_path() const { return root_path_; }
  void SetRootPath(const QString& root) { root_path_ = root; }
  SortOption option() const { return option_; }
  void SetOption(SortOption option) { option_ = option; }
  bool m3u_each = false;
  bool m3u_global = false;
  QString source_label() const;

  // Opening the pane: the root from the settings, then (after the sub-folder
  // question, when it is asked) the scan.
  void Open();
  // "Re-Scan". Stoppable; the window's Stop empties the list.
  void Scan();
  // What the last Scan could not read: folders (ending in "/") and files
  // whose tags could not be read. Neither is in the list, so that no plan
  // files a song under the empty tag of a file it could not read.
  const QList<Refused>& refused() const { return refused_; }
  // "Browse...": a chosen folder becomes the root (with a closing "/").
  void Browse();
  // "click here": after the question, the rows whose five tag columns are
  // blank leave the list (not the disk). Returns the number removed.
  int RemoveUntagged();

  // "Sort": the plan file written from the list and opened. False when no
  // plan was written (no root, or the file could not be written).
  bool Sort();
  // Files/<option caption>.txt of the program folder.
  QString PlanPath() const;

  // The button below the error list: "Continue..." or "View Errors".
  QString action_caption() const;
  bool errors_visible() const { return errors_visible_; }
  // "View Errors" unfolds the error list; "Continue..." carries out the plan.
  void PressAction();
  // "Continue...": the plan of the selected option carried out; the person
  // hears what was not done, the root is opened and the list scanned again.
  PlanRun Continue();
  // "Cancel" under the error list.
  void CloseErrors() { errors_visible_ = false; }

  // The fixer of one error row (a double click).
  bool OpenFixer(int error_row);
  bool fixer_open() const { return fixer_row_ >= 0; }
  QString fixer_caption() const;
  const TagFields& fixer_fields() const { return fixer_fields_; }
  // Checks the sort field, writes the tag, updates the row, drops the error
  // row and selects the next one. False when nothing was saved.
  bool SaveFixer(const TagFields& fields);
  void CloseFixer() { fixer_row_ = -1; }

  // "MP3 Edit": a click on a row fills the fields from its columns.
  const TagFields& SelectRow(int row);
  const TagFields& edit_fields() const { return edit_fields_; }
  // The clicked row (-1 when none, or when it left the list).
  int edit_row() const { return list_.IndexOfPath(edit_path_); }
  // "Save": the fields written to the clicked row's file.
  bool SaveEdit(const TagFields& fields);
  // "Remove": the tags of the selected rows removed.
  void RemoveTags();

  void RemoveSelectedRows();
  // Enter or a double click on a sort list row.
  void OpenRow(int row);

  // The "Progress" pane with its three bars.
  struct ProgressPane {
    bool visible = false;
    QString root_label;
    QString root_tooltip;
    QString option_label;
    std::array<qint64, 3> current{};
    std::array<qint64, 3> total{};
  };
  const ProgressPane& progress() const { return progress_; }
  // Called when the progress pane changed (the pane repaints it).
  std::function<void()> on_progress;

 private:
  QString Root() const;
  void SetBar(int bar, qint64 current, qint64 total);
  void FillTagColumns(int row, const ID3v1Tag& tag);
  bool WriteTag(int row, const TagFields& fields, int genre);

  ToolContext context_;
  ReportList list_;
  ReportList errors_;
  QList<Refused> refused_;
  QString root_path_;
  SortOption option_ = SortOption::kArtist;
  bool has_errors_ = false;
  bool errors_visible_ = false;
  int fixer_row_ = -1;
  QString fixer_path_;
  TagFields fixer_fields_;
  QString edit_path_;
  TagFields edit_fields_;
  ProgressPane progress_;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_SORTER_MP3_SORTER_H_

// The MP3 list generator: a one-line pattern of variables (%Title, %Duration,
// ...) is filled for every file of the preview list and written, one line per
// file, to Files/MP3List.txt, which is then opened with the default
// application.
#ifndef ORLAVO_TOOLS_LISTGEN_LIST_GENERATOR_H_
#define ORLAVO_TOOLS_LISTGEN_LIST_GENERATOR_H_

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "app/folder_walk.h"
#include "app/report_list.h"
#include "formats/records.h"
#include "tools/advanced_tools.h"

namespace orlavo {

namespace listgen_text {
inline constexpr char kPaneCaption[] = "MP3 list Generator";
inline constexpr char kPatternCaption[] = "Syntax:";
inline constexpr char kDefaultPattern[] = "%VarX. %Path%Filename%Tab%Duration%Tab%SizeMB";
// The header of the preview's first column while it is the only one.
inline constexpr char kSingleColumnHeader[] = "MP3s";
inline constexpr char kAddTab[] = "Add Tab";
inline constexpr char kDefault[] = "Default";
inline constexpr char kDefaultTooltip[] = "Show default syntax";
inline constexpr char kShowFiles[] = "Show files";
inline constexpr char kCreate[] = "Create";
inline constexpr char kReset[] = "<- Reset";
inline constexpr char kSort[] = "Sort:";
inline constexpr char kAscending[] = "ascending";
inline constexpr char kDescending[] = "descending";
inline constexpr char kVariableOptions[] = "Variable options:";
inline constexpr char kVarXCaption[] = "VarX = ";
inline constexpr char kDefaultVarValue[] = "1";
inline constexpr char kDefaultIncrement[] = "VarX + 1";
inline constexpr char kVarX[] = "VarX";
// The "Size" pop-up menu.
inline constexpr char kSizeMenuCaption[] = "Size";
inline constexpr char kSizeBytes[] = "Bytes";
inline constexpr char kSizeKB[] = "KB";
inline constexpr char kSizeMB[] = "MB";
inline constexpr char kSubFoldersEnabled[] = "Sub-folders are ENABLED";
inline constexpr char kSubFoldersDisabled[] = "Sub-folders are DISABLED";
inline constexpr char kCurrentFolder[] = "Current Folder: ";
}  // namespace listgen_text

// The variable check boxes, in index order.
enum ListBox {
  kTitleBox = 0,
  kArtistBox,
  kAlbumBox,
  kYearBox,
  kGenreBox,
  kSizeBox,
  kDurationBox,
  kPathBox,
  kFilenameBox,
  kVariableBox,
};
inline constexpr int kListBoxCount = 10;

struct ListBoxInfo {
  const char* caption;   // also the header of its preview column
  const char* variable;  // what the box inserts ("%Size" until a unit is chosen)
};
const std::array<ListBoxInfo, kListBoxCount>& ListBoxes();

// The "%Duration" text: minutes and seconds, both with two digits while they
// make a valid time of day (4:05 gives "04:05"), else as plain numbers ("25:7").
QString ListDurationText(int seconds);

// The pattern cut once into literal text and variables, so that a line is
// built in one pass and a value that happens to hold a variable's name (a
// file called "100%Tab.mp3") is never taken for one.
class ListPattern {
 public:
  enum class Part {
    kText,
    kTitle,
    kArtist,
    kAlbum,
    kYear,
    kGenre,
    kSizeB,
    kSizeKB,
    kSizeMB,
    kDuration,
    kPath,
    kFilename,
    kVarX,
    kTab,
  };

  explicit ListPattern(const QString& pattern);

  bool Uses(Part part) const;
  bool NeedsTag() const;
  bool NeedsSize() const;

  // What one line is made of.
  struct Values {
    const ID3v1Tag* tag = nullptr;
    std::optional<qint64> size;   // nothing when the file cannot be read
    std::optional<int> duration;  // seconds
    QString path;                 // the folder, ending in "/"
    QString file_name;
    QString var_x;
  };
  QString Line(const Values& values) const;

 private:
  struct Piece {
    Part part;
    QString text;  // for kText
  };
  std::vector<Piece> pieces_;
  unsigned used_ = 0;
};

struct ListFileReport {
  QString path;         // the file written
  bool written = true;  // false when it could not be created or written
  int lines = 0;        // file lines written (the header not counted)
  bool stopped = false;
  // Files whose tag or stream the pattern needed and that could not be read:
  // their lines are written with those fields empty.
  QList<Refused> unreadable;
};

class ListGenerator {
 public:
  explicit ListGenerator(const ToolContext& context);

  ReportList& preview() { return preview_; }
  const ReportList& preview() const { return preview_; }

  const QString& pattern() const { return pattern_; }
  // Typing into the "Syntax:" box.
  void SetPattern(const QString& pattern) { pattern_ = pattern; }

  bool box_checked(int box) const { return checked_[box]; }
  // A click on a box (a no-op when it already has that state): the variable
  // goes into or out of the pattern and the box's preview column is added or
  // removed.
  void SetBoxChecked(int box, bool checked);

  // Shows the "Size" menu when the Size box is checked; returns the chosen
  // entry ("Bytes", "KB", "MB") or nothing when the menu was dismissed.
  void set_size_menu(std::function<std::optional<QString>()> menu) { size_menu_ = std::move(menu); }
  // A choice in the Size menu: the unit is marked (alone) and every size
  // variable of the pattern becomes the unit's.
  void ChooseSizeUnit(const QString& unit);
  bool unit_marked(const QString& unit) const;
  // The first marked unit ("" when none is).
  QString marked_unit() const;

  void AddTab();
  // The default pattern, stored, and the pane opened again on it.
  void Default();
  // Opening the pane: the boxes of the stored pattern are checked and the
  // pattern box gets the stored pattern (the default when none is stored).
  void Open();

  QString& var_value() { return var_value_; }
  const QString& var_value() const { return var_value_; }
  QString& increment_expression() { return increment_expression_; }
  void ResetVariable() { var_value_ = listgen_text::kDefaultVarValue; }
  bool variable_options_visible() const { return checked_[kVariableBox]; }

  QString folder_label() const;
  QString subfolders_label() const;

  // "Show files": the preview list refilled from the main folder. Stoppable.
  void ShowFiles();
  // Folders the last Show files could not read (their files are not listed).
  const QList<Refused>& denied() const { return denied_; }
  // "ascending" / "descending".
  void SortAscending();
  void SortDescending();
  bool descending() const { return descending_; }
  bool arrows_enabled() const { return preview_.SelectedCount() <= 1; }
  void MoveSelectedRow(bool up);
  void RemoveSelectedRows() { preview_.RemoveSelectedRows(); }
  // Enter or a double click: the row's file or its folder.
  void OpenRow(int row);

  // "Create": one line per preview row, in list order, written to out_path
  // (Files/MP3List.txt of the program folder when empty), then opened.
  // Stoppable; a stopped run opens the partial file.
  ListFileReport Create(const QString& out_path = QString());
  QString OutputPath() const;

 private:
  void OpenWith(QString stored);
  void AfterBoxAction();
  QString SizeVariable(const QString& unit) const;

  ToolContext context_;
  ReportList preview_;
  QList<Refused> denied_;
  QString pattern_;
  std::array<bool, kListBoxCount> checked_{};
  // Bytes, KB, MB.
  std::array<bool, 3> unit_marks_{};
  bool size_menu_suppressed_ = false;
  std::function<std::optional<QString>()> size_menu_;
  QString var_value_ = listgen_text::kDefaultVarValue;
  QString increment_expression_ = listgen_text::kDefaultIncrement;
  bool descending_ = false;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_LISTGEN_LIST_GENERATOR_H_

// The program's settings in Settings.ini (section "Options") in the program
// folder, and the live option values that every operation consults.
#ifndef ORLAVO_APP_SETTINGS_H_
#define ORLAVO_APP_SETTINGS_H_

#include <QString>
#include <QStringList>

namespace orlavo {

class Desktop;

inline constexpr char kSettingsFileName[] = "Settings.ini";
inline constexpr char kSettingsSection[] = "Options";

// The keys of section "Options".
namespace settings_key {
inline constexpr char kExeShow[] = "EXE/SHOW";
inline constexpr char kFSizeFormat[] = "FSizeFormat";
inline constexpr char kIncludeSubDirectories[] = "IncludeSubDirectories";
inline constexpr char kRenderList1Invisible[] = "RenderList1Invisible";
inline constexpr char kShowCurrentFile[] = "ShowCurrentFile";
inline constexpr char kNoWarning[] = "NoWarning";
inline constexpr char kPrefixDir[] = "PrefixDir";
inline constexpr char kDirPathOption[] = "DirPathOption";
inline constexpr char kDirPath[] = "DirPath";
inline constexpr char kLastUsed[] = "LastUsed";
inline constexpr char kSyntax[] = "Syntax";
inline constexpr char kAddv1TAGOnJoin[] = "Addv1TAGOnJoin";
inline constexpr char kMP3ListGenSyntax[] = "MP3ListGenSyntax";
inline constexpr char kSplitSFile[] = "SplitSFile";
inline constexpr char kSplitRDir[] = "SplitRDir";
inline constexpr char kSortRootPath[] = "SortRootPath";
inline constexpr char kSkinName[] = "SkinName";
inline constexpr char kColorScheme[] = "ColorScheme";
inline constexpr char kPollID[] = "PollID";
}  // namespace settings_key

// The entries of "When file is double clicked:".
inline constexpr char kPlayMp3[] = "play MP3";
inline constexpr char kOpenMp3Folder[] = "open MP3 folder!";
QStringList DoubleClickActions();
// The entries of "Display files' size in:".
QStringList SizeUnits();

inline constexpr char kDefaultRenamePattern[] = "%Artist - %Title";
inline constexpr char kDefaultSkinName[] = "Standard";

// How the main folder is chosen at start-up.
enum class FolderChoice { kRememberLastUsed = 1, kUseSpecifiedPath = 2 };

// The codes of the Advanced tools stored in LastUsed.
enum class ToolCode {
  kNone = 0,
  kSorter = 1,
  kDuplicates = 2,
  kSplitter = 3,
  kJoiner = 4,
  kFileNameEditor = 5,
  kListGenerator = 6,
  kEncoder = 7,
};

// Settings.ini of one program folder. Reads go to the file every time, so a
// value written by any part of the program is seen by the next read. Writes
// report failure through their result; callers may ignore it.
class Settings {
 public:
  // program_folder is the folder of the executable (tests pass a temporary one).
  explicit Settings(const QString& program_folder);

  const QString& ProgramFolder() const { return program_folder_; }
  // The program folder followed by "Settings.ini".
  QString FilePath() const;

  // The raw text of a key of section "Options" ("" when absent).
  QString Read(const QString& key) const;
  bool Write(const QString& key, const QString& value) const;
  bool WriteFlag(const QString& key, bool on) const;

  // The keys with the rule the program applies when they are absent or empty.
  // EXE/SHOW and FSizeFormat fall back to the first entry of their drop-down for
  // an empty value and for a value that is not one of the entries.
  QString DoubleClickAction() const;
  QString SizeUnit() const;
  // "1" only is on.
  bool IncludeSubDirectories() const;
  bool NoWarning() const;
  bool PrefixDir() const;
  // "1" or empty is on.
  bool RenderList1Invisible() const;
  bool ShowCurrentFile() const;
  // Anything but "2" is "Remember last used".
  FolderChoice DirPathOption() const;
  QString DirPath() const;
  // Codes other than 1 to 7 (and an empty key) give kNone. Whether LastUsed is
  // empty at all is Read(kLastUsed).isEmpty().
  ToolCode LastUsed() const;
  // The rename pattern; "%Artist - %Title" when empty.
  QString Syntax() const;
  // The skin name; "Standard" when empty.
  QString SkinName() const;

 private:
  QString program_folder_;
};

// The live option values: what the Options dialog shows and edits and what
// every operation reads. A change counts for the next operation at once; Save
// only makes it persistent. The dialog binds its controls to these fields.
struct Options {
  // "When file is double clicked:": kPlayMp3 or kOpenMp3Folder.
  QString double_click_action = kPlayMp3;
  // "Display files' size in:": "Bytes", "KB" or "MB".
  QString size_unit = "Bytes";
  bool include_sub_directories = false;  // "Include sub-directories"
  bool render_list_invisible = true;     // "Render report list invisible"
  bool show_current_file = true;         // "Show file names during execution"
  bool no_warning = false;               // "Suppress warning (sub-dirs)"
  bool prefix_dir = false;               // "Prefix folderpath to filenames"
  FolderChoice folder_choice = FolderChoice::kRememberLastUsed;
  // The dialog's "Folder path:" box.
  QString specified_folder;
  // The main window's folder path box: the main folder of every operation.
  QString main_folder;

  // Puts a folder into the main folder box; a changed text sets PathChanged.
  void SetMainFolder(const QString& folder);

  // Activation: reads every option from the settings into the live values and
  // puts DirPath into the main folder box. With "Use specified path" the folder
  // box of the dialog gets DirPath as well, so that saving cannot blank it.
  void Load(const Settings& settings);
  // "OK": writes EXE/SHOW, FSizeFormat, the five check boxes, DirPathOption and
  // DirPath in that order. With "Use specified path" the dialog's folder also
  // becomes the main folder. False when a write failed.
  bool Save(const Settings& settings);

  // "Remember last used" / "Use specified path"; the latter fills the dialog's
  // folder box from the setting DirPath.
  void ChooseRememberLastUsed();
  void ChooseUseSpecifiedPath(const Settings& settings);
  // "..." beside the dialog's folder box: the picker "Select MP3 Folder..."
  // starts at that folder; a chosen folder gets a closing "/". A cancelled
  // picker keeps the box as it was.
  void BrowseSpecifiedFolder(Desktop& desktop);

  // Which controls the dialog enables.
  bool FolderIgnoreListEnabled() const { return include_sub_directories; }
  bool NoWarningEnabled() const { return include_sub_directories; }
  bool SpecifiedFolderEnabled() const { return folder_choice == FolderChoice::kUseSpecifiedPath; }
};

// The one live options object of the running program.
Options& LiveOptions();

}  // namespace orlavo

#endif  // ORLAVO_APP_SETTINGS_H_

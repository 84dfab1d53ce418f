// The MP3 joiner: several MP3 files written one after the other into one, each
// without its ID3v1 tag and without the encoder's information frame at its
// start, optionally ended by a new ID3v1 tag.
#ifndef ORLAVO_TOOLS_JOINER_JOINER_H_
#define ORLAVO_TOOLS_JOINER_JOINER_H_

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "app/report_list.h"
#include "tools/advanced_tools.h"

namespace orlavo {

namespace joiner_text {
inline constexpr char kPaneCaption[] = "MP3 Joiner";
inline constexpr char kPathHeader[] = "Path";
inline constexpr char kSizeHeader[] = "Size";
inline constexpr char kAddFiles[] = "Add file(s)";
inline constexpr char kAddFilesTooltip[] = "Add a source file";
inline constexpr char kClear[] = "Clear";
inline constexpr char kClearTooltip[] = "Clear the list with source MP3s";
inline constexpr char kBrowse[] = "Browse...";
inline constexpr char kBrowseTooltip[] = "Select a folder to create new track in";
inline constexpr char kRandomly[] = "randomly";
inline constexpr char kFromTag[] = "id3v1 tag";
inline constexpr char kFileNameTooltip[] = "Name of the output MP3";
inline constexpr char kDefaultFileName[] = "destination.mp3";
inline constexpr char kNoSourceFiles[] = "no source files";
inline constexpr char kAddTag[] = "Add ID3v1 tag";
inline constexpr char kJoin[] = "Join";
inline constexpr char kSizeCaption[] = "Destination size: ";
inline constexpr char kFieldCaptions[6][9] = {
    "Title:", "Artist:", "Album:", "Year:", "Comment:", "Genre:"};

inline constexpr char kSelectSourceTitle[] = "Select Source File";
inline constexpr char kSourceFilter[] = "MP3 Files (*.mp3)|*.mp3|Batch Files (*.*)|*.*";
inline constexpr char kSourceExtension[] = "*.mp3";
inline constexpr char kSelectFolderTitle[] = "Select MP3 Folder...";
inline constexpr char kResetTitle[] = "Reset source list...";
inline constexpr char kAreYouSure[] = "Are you sure?";
inline constexpr char kNothingToJoin[] =
    "Nothing to join.  Please click Add file button to select a file.";
inline constexpr char kOneTrack[] = "You can't join one track.  Must have at least two tracks.";
inline constexpr char kNoFolder[] = "No folder selected.";
inline constexpr char kNoMp3[] = "No MP3 selected";
inline constexpr char kIncorrectFolder[] =
    "Incorrect folder name.  Would you like to change that to ";
inline constexpr char kIncorrectName[] =
    "Incorrect MP3 file name.  Would you like to change that to ";
inline constexpr char kOverwrite[] = "File already exists.  Overwrite?";
inline constexpr char kCannotJoin[] =
    "Can't join the files.  Check your folder and mp3 file syntax.";
inline constexpr char kJoining[] = "Joining";
}  // namespace joiner_text

// The genre number the joiner writes for a genre text: the table entry whose
// name is exactly the text, or 0 when none is (an empty text included).
int JoinGenreNumber(const QString& name);

// The new ID3v1 tag of a joined file.
struct JoinTag {
  QString title, artist, album, year, comment;
  int genre = 0;  // the byte stored, 0 to 255
};

struct JoinOutcome {
  bool ok = false;
  int sources_joined = 0;
  // On failure: the source that stopped the join (empty when the destination
  // did), and the system's reason, for callers that can show more than the
  // window's one message.
  QString failed_source;
  QString reason;
};

// What a source gives to a join: its bytes up to its ID3v1 tag, without a
// leading Xing, Info or VBRI frame. Ranges are [first, second).
struct SourceRanges {
  qint64 before_first = 0;  // bytes from 0 up to the information frame (or all)
  qint64 after_from = 0;    // where the bytes after the information frame begin
  qint64 end = 0;
  qint64 bytes() const { return before_first + (end - after_from); }
};
// nullopt when the file cannot be read as a regular file.
std::optional<SourceRanges> JoinRanges(const QString& path);

// Called after each source with its 1-based position; may let events run.
using JoinProgress = std::function<void(int position)>;

// Writes the sources, in order, into a new file in destination's folder and
// renames it to destination when complete; with `tag`, the tag ends the file.
// Sources are copied in blocks, never whole. Any failure (a source missing,
// unreadable or contributing no bytes, a write error such as a full disk, a
// destination that appeared meanwhile) removes the new file and leaves no file
// at destination. `replace`, when set, is called once the new file is complete
// and before it is renamed: it must remove the existing destination (into the
// trash) and return false to abandon the join.
JoinOutcome JoinFiles(const QStringList& sources, const QString& destination,
                      const std::optional<JoinTag>& tag, const JoinProgress& progress = {},
                      const std::function<bool()>& replace = {});

// The write that a test makes fail, to stand for a disk that fills up.
using JoinWriteHook = std::function<bool(qint64 bytes_so_far)>;
void SetJoinWriteHookForTesting(JoinWriteHook hook);

// The paths a batch file names, one a line (CR LF or LF); empty lines and
// lines starting with "//" are skipped.
QStringList ParseJoinBatch(const QByteArray& bytes);

// The joiner pane without its widgets.
class Joiner {
 public:
  explicit Joiner(const ToolContext& context);

  ReportList& sources() { return sources_; }
  const ReportList& sources() const { return sources_; }

  // The destination and tag fields, as the pane's text boxes hold them.
  QString folder;
  QString file_name = joiner_text::kDefaultFileName;
  QString title, artist, album, year, comment, genre;

  bool add_tag() const { return add_tag_; }
  // The "Add ID3v1 tag" box: stores Addv1TAGOnJoin.
  void SetAddTag(bool on);

  // Showing the pane: Addv1TAGOnJoin "1" or "0" sets the box, anything else
  // leaves it; the box handler then runs once.
  void Show();

  // "Add file(s)": one MP3, or every path named in a batch file.
  void AddFiles();
  // One path at its sorted place (as AddFileRow adds it).
  void AddSource(const QString& path);
  // "Clear", after the question; false when the answer was No.
  bool Clear();
  // "Browse...".
  void BrowseFolder();
  // "randomly": eight letters a-z and ".mp3".
  void RandomName();
  // "id3v1 tag": "Artist - Title.mp3" from the selected source's tag.
  void NameFromTag();
  // The sum of the listed files' sizes in the options' unit.
  QString SizeCaption() const;
  void RemoveSelectedRows() { sources_.RemoveSelectedRows(); }
  void MoveSelectedRow(bool up) { ListMoveItem(sources_, up, 0); }
  void OpenRow(int row);

  // Which box a refused check gives the focus to.
  enum class Focus { kNone, kFolder, kFileName };
  struct RunResult {
    bool joined = false;
    Focus focus = Focus::kNone;
  };
  // "Join": the checks in order, then the join. Messages go to the desktop.
  RunResult Join();

 private:
  ToolContext context_;
  Settings settings_;
  ReportList sources_;
  bool add_tag_ = false;
  // Events run between sources; a second "Join" pressed meanwhile is ignored.
  bool joining_ = false;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_JOINER_JOINER_H_

// The MP3 splitter without its widgets: a source, a destination folder and a
// track list built by typing each track's end time (or loaded from a cue
// sheet); Create Tracks writes every ticked track as its own file, and one
// track can be played as a preview.
#ifndef ORLAVO_TOOLS_SPLITTER_SPLITTER_H_
#define ORLAVO_TOOLS_SPLITTER_SPLITTER_H_

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "app/report_list.h"
#include "formats/records.h"
#include "tools/advanced_tools.h"
#include "tools/splitter/cue_sheet.h"
#include "tools/splitter/source_audio.h"
#include "tools/splitter/split_time.h"
#include "tools/splitter/track_writer.h"

namespace orlavo {

class Settings;

namespace splitter_text {
inline constexpr char kPaneCaption[] = "MP3 Splitter";
inline constexpr char kSourceField[] = "Source File:";
inline constexpr char kDestinationField[] = "Destination Folder:";
inline constexpr char kSelect[] = "Select";
inline constexpr char kSelectSourceTooltip[] = "Select a source file to split";
inline constexpr char kSelectDestinationTooltip[] = "Select folder to create new tracks in";
inline constexpr char kTrackTiming[] = "Track timing:";
inline constexpr char kAdd[] = "Add";
inline constexpr char kAddTooltip[] = "Add new time";
inline constexpr char kRemove[] = "Remove";
inline constexpr char kRemoveTooltip[] = "Remove selected";
inline constexpr char kCreateTracks[] = "Create Tracks";
inline constexpr char kLoad[] = "Load";
inline constexpr char kLoadTooltip[] = "Load CUE file";
inline constexpr char kSave[] = "Save";
inline constexpr char kSaveTooltip[] = "Save CUE file";
inline constexpr char kPlay[] = "Play";
inline constexpr char kPlayMenuCaption[] = "Play";
inline constexpr char kNameHeader[] = "Name";
inline constexpr char kStartHeader[] = "Start (Time)";
inline constexpr char kEndHeader[] = "End (Time)";
inline constexpr char kDurationHeader[] = "Duration";
inline constexpr char kZeroTime[] = "00:00:000";
inline constexpr char kSelectSourceTitle[] = "Select Source File";
inline constexpr char kSourceFilter[] = "MP3 Files (*.mp3)|*.mp3|All Files {*.*}|*.*";
inline constexpr char kSourceDefaultExtension[] = "*.mp3";
inline constexpr char kSelectDestinationTitle[] = "Select Destination Folder...";
}  // namespace splitter_text

// How Add new time ended.
enum class AddOutcome {
  kAdded,
  kRefused,  // a lower end or a zero duration; the message says which
  kEnded,    // a question answered, an empty field, a conversion declined
};
struct AddResult {
  AddOutcome outcome = AddOutcome::kEnded;
  QString message;  // the refusal's text
};

class Splitter {
 public:
  explicit Splitter(const ToolContext& context);

  // The track list: number, Name, Start (Time), End (Time), Duration, one
  // ticked row per track, in track order.
  ReportList& tracks() { return tracks_; }
  const ReportList& tracks() const { return tracks_; }

  const QString& source() const { return source_; }
  const QString& destination() const { return destination_; }
  // Typing into the two path fields.
  void set_source(const QString& path) { source_ = path; }
  void set_destination(const QString& folder) { destination_ = folder; }
  // The "Track timing:" field. It turns red when Add finds it empty, and
  // takes the normal color again when it gets the focus.
  const QString& time_field() const { return time_field_; }
  void set_time_field(const QString& text) { time_field_ = text; }
  bool time_field_red() const { return time_field_red_; }
  void TimeFieldFocused() { time_field_red_ = false; }
  // The entry filter: a last character that is neither a digit, ":" nor "."
  // is dropped. Returns the filtered text.
  static QString FilterTimeText(const QString& text);

  QString duration_caption() const;
  QString bitrate_caption() const;
  QString frequency_caption() const;
  const QString& create_caption() const { return create_caption_; }
  qint64 duration_seconds() const { return audio_.can_cut() ? audio_.DurationSeconds() : 0; }
  const StreamInfo& stream_info() const { return info_; }
  const SourceAudio& audio() const { return audio_; }

  // Showing the pane: the stored fields (on the first show; later the fields
  // as they are), each emptied when its file or folder is gone, and the
  // source's information.
  void Show(const Settings& settings);
  void SaveKeys(ToolKeys& keys) const;

  // "Select" beside the source: the open-file dialog, then the information.
  void SelectSource();
  // The information of the source in the field, without a dialog.
  void RefreshSource();
  void SelectDestination();

  // Appends a track ending at the time field's time.
  AddResult AddNewTime();
  // "Remove selected": only the last row may go.
  void RemoveSelected();
  void RenameRow(int row, const QString& name);
  void SetTicked(int row, bool ticked);
  // "Create " + ticked rows + " Track(s)".
  void RecountCaption();
  // The arrows beside the list: the selected row moves (with its tick) and
  // every row is numbered again.
  void MoveSelected(bool up);

  // Create Tracks with its questions. Returns the files written.
  QStringList CreateTracks();

  // Every row, ticked or not, with its file name and byte range; or a refusal
  // (a source that cannot be cut, two ticked rows with one file name).
  struct Plan {
    std::vector<TrackJob> jobs;
    QString refusal;
  };
  Plan PlanTracks() const;

  // "Load": the open-file dialog, then LoadCue.
  void LoadCueDialog();
  // Replaces the track list from a cue sheet; a source given here stands in
  // for the sheet's. False when the load ended with a message (an unreadable
  // sheet, a missing source, a malformed line).
  bool LoadCue(const QString& cue_path, const QString& source_override = QString());
  // The refusals of Add new time during the last standard load.
  const QStringList& load_refusals() const { return load_refusals_; }
  // Writes the list to the next free Files/Saved_CueNNN.cue. nullopt (after
  // a message) when it could not be written.
  std::optional<QString> SaveCue(CueKind kind);
  std::vector<CueRow> CueRows() const;

  // "Play" on the list: the first selected row's bytes into Files/temp.mp3,
  // then opened. False after an error box.
  bool Preview();
  QString PreviewPath() const;

  // Add new time starts Create Tracks by itself when the end reaches the
  // source's duration; the command line turns that off.
  void set_auto_create(bool on) { auto_create_ = on; }
  bool adding_from_cue() const { return adding_from_cue_; }
  // Replaces the file writes of Create Tracks (tests inject failures).
  void set_write_function(WriteFunction write) { write_ = std::move(write); }

  // The file name of a row: the name with every character a file name
  // cannot hold replaced by "_"; "TrackNN" for "", "." and "..".
  static QString TrackFileName(const QString& name, int number);

 private:
  QString FullDurationText() const;
  void Renumber();
  AddResult Refuse(const QString& text);
  bool AskYes(const QString& text);
  void Inform(const QString& text, Desktop::Icon icon = Desktop::Icon::kInformation);

  ToolContext context_;
  ReportList tracks_;
  QString source_;
  QString destination_;
  QString time_field_;
  bool time_field_red_ = false;
  QString create_caption_ = QString::fromLatin1(splitter_text::kCreateTracks);
  StreamInfo info_{};
  SourceAudio audio_;
  // Which file audio_ describes, as it was then.
  struct AnalysedFile {
    QString path;
    qint64 size = -1;
    qint64 modified = 0;
    int bitrate = 0;
    int frequency = 0;
    bool operator==(const AnalysedFile&) const = default;
  };
  AnalysedFile analysed_;
  bool shown_ = false;
  bool adding_from_cue_ = false;
  bool loading_cue_ = false;
  QStringList load_refusals_;
  bool auto_create_ = true;
  WriteFunction write_;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_SPLITTER_SPLITTER_H_

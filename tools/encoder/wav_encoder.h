// The WAV to MP3 encoder: a list of WAV files encoded one after the other by
// the encoder library at the chosen bitrate and channel mode, each MP3 moved
// to the output folder when that is another folder.
#ifndef ORLAVO_TOOLS_ENCODER_WAV_ENCODER_H_
#define ORLAVO_TOOLS_ENCODER_WAV_ENCODER_H_

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

#include "app/report_list.h"
#include "tools/advanced_tools.h"
#include "tools/encoder/encoder_library.h"

namespace orlavo {

namespace encoder_text {
inline constexpr char kPaneCaption[] = "Encode/Decode";
inline constexpr char kListCaption[] = "Wav files to encode";
inline constexpr char kFileHeader[] = "File";
inline constexpr char kSizeHeader[] = "Size";
inline constexpr char kDropHint[] = "Drag files to encode/decode on the list above.";
inline constexpr char kBitrateCaption[] = "Bitrate:";
inline constexpr char kModeCaption[] = "Mode:";
inline constexpr char kOutputFolderCaption[] = "Output folder:";
inline constexpr char kEncode[] = "Encode";
inline constexpr char kDecode[] = "Decode";
inline constexpr char kBrowse[] = "Browse";
inline constexpr char kBrowseTitle[] = "Select MP3 Folder...";
inline constexpr char kDecoderNotReady[] = "Sorry, but decoder is not ready yet.";
inline constexpr char kEncoding[] = "Encoding: ";
inline constexpr char kOverwriteQuestion[] = "File already exists, overwrite?";
inline constexpr char kClearListQuestion[] = "Clear the list?";
inline constexpr char kCantLocateLibrary[] = "Can't locate required DLL";
inline constexpr char kStereo[] = "Stereo";
inline constexpr char kDualChannel[] = "DualChannel";
inline constexpr char kMono[] = "Mono";
// The status messages.
inline constexpr char kCantOpenWav[] = "Can't open WAV file";
inline constexpr char kCantLoadLame[] = "Can't load the lame_enc.dll library";
inline constexpr char kInterrupted[] = "Interrupted by user";
inline constexpr char kCompleted[] = "Completed succesfully";
inline constexpr char kCantWriteMp3[] = "Can't write the MP3 file";
}  // namespace encoder_text

// The bitrate list in kbit/s, and the one selected when the pane shows.
const std::array<int, 14>& EncoderBitrates();
inline constexpr int kDefaultBitrate = 128;
// "Stereo", "DualChannel", "Mono".
QStringList EncoderModes();
// The library's mode number of a mode text: Stereo 0, DualChannel 2, Mono 3,
// any other text 0.
int32_t ModeNumber(const QString& mode);

// The message of a library status; every value without one of its own counts
// as success.
QString StatusMessage(int32_t status);
bool IsSuccessStatus(int32_t status);

// The name with its last three characters replaced by "mp3".
QString Mp3NameOf(const QString& wav_name);
// True when the last three characters, lower-cased, are "wav".
bool IsWavName(const QString& name);

// One WAV file of a run.
struct EncodeJob {
  QString wav;           // full path
  QString display_text;  // as the list shows it
};

struct EncodeSettings {
  int bitrate = kDefaultBitrate;
  int32_t mode = 0;
  // Ending in "/"; empty leaves each MP3 beside its WAV.
  QString output_folder;
};

struct EncodeFileResult {
  enum class Outcome {
    kEncoded,  // the library reported success
    kFailed,   // the library reported a failure, or the old MP3 could not be removed
    kSkipped,  // an MP3 of the name exists and was kept
  };
  EncodeJob job;
  Outcome outcome = Outcome::kSkipped;
  int32_t status = 0;
  // The status message; after a success the MP3 that could not be moved to
  // the output folder says where it stayed and why.
  QString message;
  QString mp3;       // where the MP3 is, after a success
  QString existing;  // for a skip: the MP3 that was kept
};

struct EncodeRunReport {
  std::vector<EncodeFileResult> files;
  QString last_message;  // the status message of the last file encoded
  bool library_missing = false;
  // Files whose MP3 is not where it was asked for, with their messages.
  QStringList ProblemLines() const;
};

// The run, shared by the pane and orlavo-cli: for each job in order, the
// question before an MP3 of the name is replaced (into the trash), the
// library call with a progress that lets events run, and the move to the
// output folder. A library that cannot be bound shows "Can't locate required
// DLL" and ends the run. on_file, when set, hears each file as it is done.
EncodeRunReport EncodeWavFiles(const std::vector<EncodeJob>& jobs, const EncodeSettings& settings,
                               Desktop& desktop, ProgressDisplay& progress, EncoderLibrary& library,
                               const std::function<void(const EncodeFileResult&)>& on_file = {});

// The pane's logic.
class WavEncoder : public QObject {
  Q_OBJECT

 public:
  WavEncoder(const ToolContext& context, EncoderLibrary& library);

  ReportList& list() { return list_; }
  const ReportList& list() const { return list_; }

  int bitrate() const { return bitrate_; }
  void SetBitrate(int bitrate) { bitrate_ = bitrate; }
  const QString& mode() const { return mode_; }
  void SetMode(const QString& mode) { mode_ = mode; }
  const QString& output_folder() const { return output_folder_; }
  void SetOutputFolder(const QString& folder) { output_folder_ = folder; }

  // True while a run is in progress: the controls are disabled.
  bool running() const { return running_; }
  // The "Encode" mode button is disabled while encode mode is selected.
  bool encode_mode() const { return encode_mode_; }

  // The launcher's show routine: bitrate 128, "Stereo", encode mode.
  void Show();
  void SelectEncodeMode();
  // "Decode": the decoder is announced only.
  void Decode();
  // "Browse": a chosen folder replaces the output folder.
  void Browse();
  // Dropped files: those whose name ends in "wav" (any case) are added, with
  // their size. Returns how many were added.
  int AddDropped(const QStringList& paths);
  void RemoveSelectedRows() { list_.RemoveSelectedRows(); }

  // "Encode": the run over the list, top to bottom, then the question whether
  // to clear the list (not after a missing library).
  EncodeRunReport Run();

 signals:
  // Running state or output folder changed.
  void stateChanged();

 private:
  ToolContext context_;
  EncoderLibrary& library_;
  ReportList list_;
  int bitrate_ = kDefaultBitrate;
  QString mode_ = QString::fromLatin1(encoder_text::kStereo);
  QString output_folder_;
  bool running_ = false;
  bool encode_mode_ = true;
};

// The question after a run: the last status message, each file that did not
// succeed on a line of its own, then "Clear the list?".
QString ClearListQuestion(const EncodeRunReport& report);

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_ENCODER_WAV_ENCODER_H_

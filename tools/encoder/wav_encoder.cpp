#include "tools/encoder/wav_encoder.h"

#include <QDir>
#include <QFileInfo>

#include "app/file_ops.h"
#include "app/helpers.h"

namespace orlavo {

using namespace encoder_text;

namespace {

QString L(const char* text) { return QString::fromLatin1(text); }
const QString kCrLf = QStringLiteral("\r\n");

// Anything standing under the name, a dangling link included.
bool Occupied(const QString& path) {
  const QFileInfo info(path);
  return info.exists() || info.isSymLink();
}

bool SameFolder(const QString& a, const QString& b) {
  const QString canonical_a = QFileInfo(a).canonicalFilePath();
  const QString canonical_b = QFileInfo(b).canonicalFilePath();
  if (!canonical_a.isEmpty() && !canonical_b.isEmpty()) return canonical_a == canonical_b;
  return QDir::cleanPath(a) == QDir::cleanPath(b);
}

enum class Clearance { kClear, kKept, kNotRemovable };

// An MP3 of the output name may only go after a Yes, and then into the trash.
Clearance ClearName(const QString& path, Desktop& desktop) {
  if (!Occupied(path)) return Clearance::kClear;
  if (QFileInfo(path).isDir()) return Clearance::kNotRemovable;
  if (!desktop.AskYesNo(QString(), L(kOverwriteQuestion))) return Clearance::kKept;
  const TrashResult trashed = DeleteToTrash(path, &desktop);
  if (trashed.ok()) return Clearance::kClear;
  return trashed.status == TrashStatus::kDeclined ? Clearance::kKept : Clearance::kNotRemovable;
}

QString StayedMessage(const QString& src, const QString& out, const RenameResult& moved) {
  const QString why =
      moved.status == RenameStatus::kTargetExists
          ? QStringLiteral("%1 appeared meanwhile").arg(out)
          : QStringLiteral("it could not be moved to %1: %2").arg(FolderOf(out), moved.error);
  return QStringLiteral("%1; the MP3 stays at %2 (%3)").arg(L(kCompleted), src, why);
}

}  // namespace

const std::array<int, 14>& EncoderBitrates() {
  static constexpr std::array<int, 14> kBitrates = {32,  40,  48,  56,  64,  80,  96,
                                                    112, 128, 160, 192, 224, 256, 320};
  return kBitrates;
}

QStringList EncoderModes() { return {L(kStereo), L(kDualChannel), L(kMono)}; }

int32_t ModeNumber(const QString& mode) {
  if (mode == QLatin1String(kDualChannel)) return MEVRIT_MODE_DUAL_CHANNEL;
  if (mode == QLatin1String(kMono)) return MEVRIT_MODE_MONO;
  return MEVRIT_MODE_STEREO;
}

QString StatusMessage(int32_t status) {
  switch (status) {
    case MEVRIT_STATUS_CANT_OPEN_WAV:
      return L(kCantOpenWav);
    case MEVRIT_STATUS_LAME_FAILED:
      return L(kCantLoadLame);
    case MEVRIT_STATUS_INTERRUPTED:
      return L(kInterrupted);
    case MEVRIT_STATUS_CANT_WRITE_MP3:
      return L(kCantWriteMp3);
    default:
      return L(kCompleted);
  }
}

bool IsSuccessStatus(int32_t status) { return StatusMessage(status) == QLatin1String(kCompleted); }

QString Mp3NameOf(const QString& wav_name) {
  return wav_name.left(std::max<qsizetype>(0, wav_name.size() - 3)) + QStringLiteral("mp3");
}

bool IsWavName(const QString& name) { return name.right(3).toLower() == QLatin1String("wav"); }

QStringList EncodeRunReport::ProblemLines() const {
  QStringList lines;
  for (const EncodeFileResult& file : files) {
    const bool moved_as_asked = file.outcome == EncodeFileResult::Outcome::kEncoded &&
                                file.message == QLatin1String(kCompleted);
    if (file.outcome == EncodeFileResult::Outcome::kSkipped || moved_as_asked) continue;
    lines << file.job.display_text + QStringLiteral(": ") + file.message;
  }
  return lines;
}

EncodeRunReport EncodeWavFiles(const std::vector<EncodeJob>& jobs, const EncodeSettings& settings,
                               Desktop& desktop, ProgressDisplay& progress, EncoderLibrary& library,
                               const std::function<void(const EncodeFileResult&)>& on_file) {
  EncodeRunReport report;
  const EncoderLibrary::Progress on_progress = [&](int percent) {
    progress.SetBar(percent, 100);
    progress.SetPercent(QString::number(percent) + QStringLiteral("%"));
    desktop.LetEventsRun();
    return true;
  };
  for (const EncodeJob& job : jobs) {
    const QString wav_folder = FolderOf(job.wav);
    const QString name = Mp3NameOf(FileNameOf(job.wav));
    const QString folder = settings.output_folder.isEmpty() ? wav_folder : settings.output_folder;
    const QString out = folder + name;
    const QString src = wav_folder + name;
    const bool moving = !SameFolder(folder, wav_folder);
    progress.SetCaption(L(kEncoding) + job.display_text);

    // Bound before anything is asked or removed: without the library no old
    // MP3 should go for nothing.
    if (!library.Bind()) {
      desktop.Message(QString(), L(kCantLocateLibrary), Desktop::Buttons::kOk,
                      Desktop::Icon::kCritical);
      report.library_missing = true;
      break;
    }

    EncodeFileResult result;
    result.job = job;
    // The MP3 under the output name in the output folder and, when it is
    // another folder, the one the library is about to write beside the WAV.
    Clearance clearance = ClearName(out, desktop);
    if (clearance == Clearance::kClear && moving) clearance = ClearName(src, desktop);
    if (clearance != Clearance::kClear) {
      result.existing = Occupied(out) ? out : src;
      if (clearance == Clearance::kKept) {
        result.outcome = EncodeFileResult::Outcome::kSkipped;
      } else {
        result.outcome = EncodeFileResult::Outcome::kFailed;
        result.status = MEVRIT_STATUS_CANT_WRITE_MP3;
        result.message = L(kCantWriteMp3);
        report.last_message = result.message;
      }
      report.files.push_back(result);
      if (on_file) on_file(result);
      continue;
    }

    library.SetEncoder(settings.bitrate, settings.mode);
    result.status = library.EncodeMp3(job.wav, on_progress);
    result.message = StatusMessage(result.status);
    if (IsSuccessStatus(result.status)) {
      result.outcome = EncodeFileResult::Outcome::kEncoded;
      result.mp3 = src;
      if (moving) {
        const RenameResult moved = MoveNoReplace(src, out);
        if (moved.ok()) {
          result.mp3 = out;
        } else {
          result.message = StayedMessage(src, out, moved);
        }
      }
    } else {
      result.outcome = EncodeFileResult::Outcome::kFailed;
    }
    progress.SetBar(0, 0);
    report.last_message = result.message;
    report.files.push_back(result);
    if (on_file) on_file(result);
  }
  return report;
}

QString ClearListQuestion(const EncodeRunReport& report) {
  QString text = report.last_message + kCrLf + kCrLf;
  const QStringList problems = report.ProblemLines();
  if (!problems.isEmpty()) text += problems.join(kCrLf) + kCrLf + kCrLf;
  return text + L(kClearListQuestion);
}

WavEncoder::WavEncoder(const ToolContext& context, EncoderLibrary& library)
    : context_(context),
      library_(library),
      list_({L(kFileHeader), L(kSizeHeader)}, /*keep_sorted=*/true) {}

void WavEncoder::Show() {
  bitrate_ = kDefaultBitrate;
  mode_ = L(kStereo);
  SelectEncodeMode();
}

void WavEncoder::SelectEncodeMode() {
  encode_mode_ = true;
  emit stateChanged();
}

void WavEncoder::Decode() { context_.desktop.Inform(QString(), L(kDecoderNotReady)); }

void WavEncoder::Browse() {
  const QString chosen = context_.desktop.BrowseForFolder(L(kBrowseTitle), output_folder_);
  if (chosen.isEmpty()) return;
  output_folder_ = chosen;
  emit stateChanged();
}

int WavEncoder::AddDropped(const QStringList& paths) {
  const RowOptions options{context_.options.prefix_dir, context_.options.size_unit,
                           context_.options.main_folder};
  int added = 0;
  for (const QString& dropped : paths) {
    const QFileInfo info(dropped);
    const QString path = info.absoluteFilePath();
    const QString name = FileNameOf(path);
    if (!IsWavName(name) || !info.isFile()) continue;
    const int row = AddFileRow(list_, path, QString(), false, options, nullptr, info.size());
    list_.SetTooltip(row, name);
    ++added;
  }
  return added;
}

EncodeRunReport WavEncoder::Run() {
  if (list_.empty()) return {};
  ToolRun run(context_.status);
  EncodeSettings settings;
  settings.bitrate = bitrate_;
  settings.mode = ModeNumber(mode_);
  running_ = true;
  if (output_folder_.isEmpty()) {
    output_folder_ = FolderOf(list_.FullPath(0));
  } else if (!output_folder_.endsWith(u'/')) {
    output_folder_ += u'/';
  }
  settings.output_folder = output_folder_;
  emit stateChanged();

  std::vector<EncodeJob> jobs;
  jobs.reserve(list_.size());
  for (int i = 0; i < list_.size(); ++i) jobs.push_back({list_.FullPath(i), list_.row(i).text});
  const EncodeRunReport report =
      EncodeWavFiles(jobs, settings, context_.desktop, context_.status, library_);

  context_.status.ResetProgress();
  running_ = false;
  emit stateChanged();
  if (!report.library_missing && context_.desktop.AskYesNo(QString(), ClearListQuestion(report))) {
    list_.Clear();
  }
  return report;
}

}  // namespace orlavo

#include "tools/splitter/splitter.h"

#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cerrno>
#include <cstring>

#include "app/helpers.h"
#include "app/pellox_binding.h"
#include "app/settings.h"

namespace orlavo {

using namespace splitter_text;

namespace {

QString L(const char* text) { return QString::fromLatin1(text); }

const QString kCrLf = QStringLiteral("\r\n");

// Columns of the track list behind the number.
enum Column { kNameColumn = 1, kStartColumn = 2, kEndColumn = 3, kDurationColumn = 4 };

QString ThreeDigits(qint64 n) { return QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')); }

}  // namespace

Splitter::Splitter(const ToolContext& context)
    : context_(context),
      tracks_({QString(), L(kNameHeader), L(kStartHeader), L(kEndHeader), L(kDurationHeader)},
              // Track order is cut order: "100" must follow "99", which a
              // text sort would put between "10" and "11".
              /*keep_sorted=*/false) {}

QString Splitter::FilterTimeText(const QString& text) {
  if (text.isEmpty()) return text;
  const QChar last = text.back();
  if (last == u':' || last == u'.' || (last >= u'0' && last <= u'9')) return text;
  return text.left(text.size() - 1);
}

QString Splitter::duration_caption() const {
  if (source_.isEmpty()) return QStringLiteral("Source Duration: 00:00");
  return QStringLiteral("Source Duration: ") + FormatMinutesSeconds(duration_seconds());
}

QString Splitter::bitrate_caption() const {
  if (source_.isEmpty()) return QStringLiteral("Source BitRate: 0");
  return QStringLiteral("Source BitRate: %1 Kbps").arg(info_.Bitrate);
}

QString Splitter::frequency_caption() const {
  if (source_.isEmpty()) return QStringLiteral("Source Frequency: 0");
  return QStringLiteral("Source Frequency: %1Hz").arg(info_.Frequency);
}

QString Splitter::FullDurationText() const {
  return FormatMinutesSeconds(duration_seconds()) + QStringLiteral(":000");
}

void Splitter::Show(const Settings& settings) {
  // The keys are written only when the window unloads: read again on a later
  // show, they would put back the source of an earlier session under a track
  // list made for another one.
  if (!shown_) {
    source_ = settings.Read(L(settings_key::kSplitSFile));
    destination_ = settings.Read(L(settings_key::kSplitRDir));
    shown_ = true;
  }
  if (!source_.isEmpty() && !FileExists(source_)) source_.clear();
  if (!destination_.isEmpty() && !FolderExists(destination_)) destination_.clear();
  RefreshSource();
}

void Splitter::SaveKeys(ToolKeys& keys) const {
  keys.split_source = source_;
  keys.split_result_dir = destination_;
}

void Splitter::SelectSource() {
  QString path = context_.desktop.OpenFileDialog(L(kSourceFilter), L(kSelectSourceTitle),
                                                 L(kSourceDefaultExtension));
  path.remove(QChar(0));
  if (path.isEmpty()) return;
  source_ = path;
  RefreshSource();
}

void Splitter::RefreshSource() {
  info_ = StreamInfo{};
  if (source_.isEmpty()) {
    audio_ = SourceAudio{};
    analysed_ = {};
    return;
  }
  context_.pellox.ReadMP3(source_, &info_);
  // Add new time reads the source again for every track; a long variable-
  // bitrate source is walked only when it has changed.
  const QFileInfo file(source_);
  const AnalysedFile key{source_, file.exists() ? file.size() : -1,
                         file.exists() ? file.lastModified().toMSecsSinceEpoch() : 0, info_.Bitrate,
                         info_.Frequency};
  if (key == analysed_ && audio_.readable) return;
  audio_ = AnalyzeSourceAudio(source_, info_);
  analysed_ = key;
}

void Splitter::SelectDestination() {
  const QString folder = context_.desktop.BrowseForFolder(L(kSelectDestinationTitle), destination_);
  if (!folder.isEmpty()) destination_ = folder;
}

bool Splitter::AskYes(const QString& text) { return context_.desktop.AskYesNo(QString(), text); }

void Splitter::Inform(const QString& text, Desktop::Icon icon) {
  context_.desktop.Inform(QString(), text, icon);
}

AddResult Splitter::Refuse(const QString& text) {
  Inform(text);
  return {AddOutcome::kRefused, text};
}

AddResult Splitter::AddNewTime() {
  if (source_.isEmpty()) {
    if (AskYes(QStringLiteral(
            "No source file selected.  Would you like to select a source file right now?"))) {
      SelectSource();
    }
    return {};
  }
  RefreshSource();
  if (destination_.isEmpty()) {
    if (AskYes(QStringLiteral("No output folder selected.  Would you like to select one now?"))) {
      SelectDestination();
    }
    return {};
  }
  if (time_field_.isEmpty()) {
    time_field_red_ = true;
    return {};
  }

  SplitTime end = ParseTimeText(time_field_);
  const qint64 duration = duration_seconds();
  if (end.WholeSeconds() > duration) {
    Inform(QStringLiteral("Total track timing exceeds ") + duration_caption() + kCrLf + kCrLf +
           QStringLiteral("Analyzing tracks..."));
    time_field_ = FormatMinutesSeconds(duration);
    return AddNewTime();
  }
  if (end.seconds > 59) {
    if (!AskYes(QStringLiteral("Seconds can't be greater than 59. Would you like to convert the "
                               "value to minutes and seconds (") +
                TwoDigits(end.seconds) + QStringLiteral(" seconds to ") +
                TwoDigits(end.seconds / 60) + u':' + TwoDigits(end.seconds % 60) +
                QStringLiteral(":000)?"))) {
      return {};
    }
    end.minutes += end.seconds / 60;
    end.seconds %= 60;
  }
  if (end.milliseconds > 999) {
    if (!AskYes(QStringLiteral("Milli seconds can't be greater than 999.  Would you like to "
                               "convert the value to seconds and milli seconds (") +
                ThreeDigits(end.milliseconds) + QStringLiteral(" milli seconds to 00:") +
                TwoDigits(end.milliseconds / 1000) + u':' + ThreeDigits(end.milliseconds % 1000))) {
      return {};
    }
    end.seconds += end.milliseconds / 1000;
    end.milliseconds %= 1000;
    // The carried seconds may pass 59 again ("00:59:1500").
    end.minutes += end.seconds / 60;
    end.seconds %= 60;
  }

  const int n = tracks_.size() + 1;
  const QString start_text = n == 1 ? L(kZeroTime) : tracks_.row(n - 2).ColumnText(kEndColumn);
  const QString end_text = FormatTime(end);
  const SplitTime start = ParseTimeText(start_text);
  if (end.TotalMilliseconds() < start.TotalMilliseconds()) {
    return Refuse(QStringLiteral("You're trying to add end time for Track") + TwoDigits(n) +
                  QStringLiteral(" which is lower than previous track's end time."));
  }
  const QString duration_text = FormatTime(SubtractByParts(end, start));
  if (duration_text == L(kZeroTime)) {
    return Refuse(QStringLiteral("Duration of Track") + TwoDigits(n) +
                  QStringLiteral(" is 00:00:000.  Track is not added!"));
  }

  ReportRow row;
  row.text = TwoDigits(n);
  row.columns = {QStringLiteral("Track") + TwoDigits(n), start_text, end_text, duration_text};
  row.checked = true;
  tracks_.AddRow(std::move(row));
  RecountCaption();

  if (adding_from_cue_) {
    adding_from_cue_ = false;
    return {AddOutcome::kAdded, {}};
  }
  if (auto_create_ && !loading_cue_ && end_text == FullDurationText()) CreateTracks();
  return {AddOutcome::kAdded, {}};
}

void Splitter::RemoveSelected() {
  const int selected = tracks_.FirstSelected();
  if (selected < 0) return;
  if (selected != tracks_.size() - 1) {
    Inform(QStringLiteral(
        "You can only remove last track from the list.  If you would like to do selective "
        "split, tick which tracks you want to extract from the source file.  For more "
        "information, refer to the help file."));
    return;
  }
  tracks_.RemoveRow(selected);
  Renumber();
  RecountCaption();
  if (!tracks_.empty()) tracks_.SelectOnly(tracks_.size() - 1);
}

void Splitter::RenameRow(int row, const QString& name) {
  if (row >= 0 && row < tracks_.size()) tracks_.SetColumnText(row, kNameColumn, name);
}

void Splitter::SetTicked(int row, bool ticked) {
  if (row < 0 || row >= tracks_.size()) return;
  tracks_.SetChecked(row, ticked);
  RecountCaption();
}

void Splitter::MoveSelected(bool up) {
  const int from = tracks_.FirstSelected();
  if (from < 0) return;
  const int to = up ? from - 1 : from + 1;
  if (to < 0 || to >= tracks_.size()) return;
  const bool from_ticked = tracks_.IsChecked(from);
  ListMoveItem(tracks_, up, 0);
  // The tick belongs to the track, not to the place in the list.
  tracks_.SetChecked(from, tracks_.IsChecked(to));
  tracks_.SetChecked(to, from_ticked);
  Renumber();
}

void Splitter::Renumber() {
  for (int i = 0; i < tracks_.size(); ++i) tracks_.SetText(i, TwoDigits(i + 1));
}

void Splitter::RecountCaption() {
  int ticked = 0;
  for (int i = 0; i < tracks_.size(); ++i) ticked += tracks_.IsChecked(i) ? 1 : 0;
  create_caption_ = QStringLiteral("Create %1 Track(s)").arg(ticked);
}

QString Splitter::TrackFileName(const QString& name, int number) {
  if (name.isEmpty() || name == u"." || name == u"..") {
    return QStringLiteral("Track") + TwoDigits(number) + QStringLiteral(".mp3");
  }
  QString file = name;
  for (QChar& c : file) {
    if (c == QChar(0) || !IsValidFileName(QString(c))) c = u'_';
  }
  return file + QStringLiteral(".mp3");
}

Splitter::Plan Splitter::PlanTracks() const {
  Plan plan;
  if (!audio_.can_cut()) {
    plan.refusal = QStringLiteral(
                       "%1 can't be split: its bitrate or sample frequency reads 0 (it is not "
                       "MPEG audio, or it can't be read).")
                       .arg(source_);
    return plan;
  }
  QHash<QString, int> first_row_of_file;
  qint64 position_ms = 0;
  for (int i = 0; i < tracks_.size(); ++i) {
    const ReportRow& row = tracks_.row(i);
    TrackJob job;
    job.row = i;
    job.name = row.ColumnText(kNameColumn);
    job.file_name = TrackFileName(job.name, i + 1);
    job.ticked = row.checked;
    const qint64 length_ms = ParseTimeText(row.ColumnText(kDurationColumn)).TotalMilliseconds();
    job.begin = audio_.OffsetAt(position_ms);
    position_ms += length_ms;
    job.end = audio_.OffsetAt(position_ms);
    if (job.ticked && job.end <= job.begin) {
      // Nothing of the source lies in its time: it would be an empty file.
      plan.refusal = QStringLiteral(
                         "Track %1 (%2) holds no audio: it starts at %3 and lasts %4, and %5 "
                         "lasts %6.  Untick it or correct its times.")
                         .arg(row.text, job.name, row.ColumnText(kStartColumn),
                              row.ColumnText(kDurationColumn), source_, FullDurationText());
      plan.jobs.clear();
      return plan;
    }
    if (job.ticked) {
      auto seen = first_row_of_file.constFind(job.file_name);
      if (seen != first_row_of_file.cend()) {
        const ReportRow& other = tracks_.row(*seen);
        plan.refusal =
            QStringLiteral(
                "Tracks %1 (%2) and %3 (%4) would both be written to %5.  Give them "
                "different names.")
                .arg(other.text, other.ColumnText(kNameColumn), row.text, job.name, job.file_name);
        plan.jobs.clear();
        return plan;
      }
      first_row_of_file.insert(job.file_name, i);
    }
    plan.jobs.push_back(job);
  }
  return plan;
}

QStringList Splitter::CreateTracks() {
  if (tracks_.empty()) return {};
  ToolRun run(context_.status);
  if (source_.isEmpty()) {
    if (AskYes(QStringLiteral("No source MP3 selected.  Would you like to select one now?"))) {
      SelectSource();
    }
    return {};
  }
  if (destination_.isEmpty()) {
    if (AskYes(QStringLiteral("No output folder selected.  Would you like to select one now?"))) {
      SelectDestination();
    }
    return {};
  }
  if (!destination_.endsWith(u'/')) destination_ += u'/';
  RefreshSource();
  const Plan plan = PlanTracks();
  if (!plan.refusal.isEmpty()) {
    Inform(plan.refusal, Desktop::Icon::kCritical);
    return {};
  }

  QSet<QString> replace;
  for (const TrackJob& job : plan.jobs) {
    if (!job.ticked || !FileExists(destination_ + job.file_name)) continue;
    if (!AskYes(QStringLiteral("File ") + job.file_name + QStringLiteral(" already exists ") +
                QStringLiteral("in ") + destination_ + QStringLiteral(" directory.") + kCrLf +
                QStringLiteral("Would you like to continue, overwriting the file?"))) {
      return {};
    }
    replace.insert(job.file_name);
  }

  const QString last_end = tracks_.row(tracks_.size() - 1).ColumnText(kEndColumn);
  const QString full = FullDurationText();
  if (last_end != full) {
    Inform(source_ + QStringLiteral("'s duration (") + full +
           QStringLiteral(") doesn't equal tracks' total duration (") + last_end +
           QStringLiteral(").  For full MP3 split, these values must be equal."));
  }
  QString summary;
  for (int i = 0; i < tracks_.size(); ++i) {
    const ReportRow& row = tracks_.row(i);
    if (!row.checked) continue;
    summary += row.ColumnText(kNameColumn) + QStringLiteral(" (") +
               row.ColumnText(kDurationColumn) + u')' + kCrLf;
  }
  const SplitTime ignored =
      SubtractByParts(SplitTime::FromSeconds(duration_seconds()), ParseTimeText(last_end));
  summary += kCrLf + QStringLiteral("Source's duration: ") + full + kCrLf +
             QStringLiteral("Tracks' total duration: ") + last_end + kCrLf +
             QStringLiteral("Ignored time: ") + FormatTime(ignored) + kCrLf;
  if (!AskYes(QStringLiteral("Following tracks will be created: ") + kCrLf + kCrLf + summary +
              kCrLf + QStringLiteral("Would you like to continue?"))) {
    return {};
  }

  const int total = tracks_.size();
  const WriteTracksResult result = WriteTracks(
      source_, destination_, plan.jobs, replace, &context_.desktop,
      [&](int index) {
        ShowProgress(context_.status, index + 1, total, plan.jobs[index].name,
                     QStringLiteral("Creating"), context_.options.show_current_file);
        context_.desktop.LetEventsRun();
      },
      write_);
  context_.status.ResetProgress();
  if (!result.ok()) {
    Inform(result.error + (result.written.isEmpty()
                               ? QStringLiteral("  No track was created.")
                               : QStringLiteral("  The %1 track(s) created before it are complete.")
                                     .arg(result.written.size())),
           Desktop::Icon::kCritical);
  }
  return result.written;
}

std::vector<CueRow> Splitter::CueRows() const {
  std::vector<CueRow> rows;
  for (int i = 0; i < tracks_.size(); ++i) {
    const ReportRow& r = tracks_.row(i);
    rows.push_back({r.text, r.ColumnText(kNameColumn), r.ColumnText(kStartColumn),
                    r.ColumnText(kEndColumn), r.ColumnText(kDurationColumn)});
  }
  return rows;
}

std::optional<QString> Splitter::SaveCue(CueKind kind) {
  const std::vector<CueRow> rows = CueRows();
  const QString text = kind == CueKind::kOrv ? OrvCueText(source_, destination_, rows)
                                             : StandardCueText(source_, rows);
  QString error;
  std::optional<QString> path = SaveCueText(context_.program_folder, text, &error);
  if (!path) {
    Inform(L(cue_text::kCriticalError) + error, Desktop::Icon::kCritical);
  }
  return path;
}

void Splitter::LoadCueDialog() {
  QString path = context_.desktop.OpenFileDialog(
      L(cue_text::kCueFilter), L(cue_text::kSelectCueTitle), L(cue_text::kCueDefaultExtension));
  path.remove(QChar(0));
  if (path.isEmpty()) return;
  LoadCue(path);
}

bool Splitter::LoadCue(const QString& cue_path, const QString& source_override) {
  QString error;
  const std::optional<CueSheet> sheet = ReadCueSheet(cue_path, &error);
  if (!sheet) {
    Inform(L(cue_text::kCriticalError) + error, Desktop::Icon::kCritical);
    return false;
  }
  tracks_.Clear();
  load_refusals_.clear();
  bool complete = true;
  const QString sheet_source = source_override.isEmpty() ? sheet->source : source_override;
  if (sheet->kind == CueKind::kStandard) {
    destination_ = sheet->destination;
    source_ = sheet_source;
    if (!FileExists(source_)) {
      Inform(L(cue_text::kSourceMissing), Desktop::Icon::kCritical);
      return false;
    }
    RefreshSource();
    // Each track ends where the next one starts, typed as Add new time would
    // get it; the first starts at zero whatever its INDEX says (a hidden
    // pregap belongs to track 1). No end may start Create Tracks by itself
    // while the sheet is read.
    loading_cue_ = true;
    size_t open_block = 0;
    auto close_block = [&](const QString& end_text, size_t next_block) {
      time_field_ = end_text;
      const AddResult added = AddNewTime();
      if (added.outcome == AddOutcome::kRefused) load_refusals_ << added.message;
      if (added.outcome == AddOutcome::kAdded) {
        const QString title = sheet->tracks[open_block].title.trimmed();
        if (!title.isEmpty()) RenameRow(tracks_.size() - 1, title);
        open_block = next_block;
      }
    };
    for (size_t b = 1; b < sheet->tracks.size(); ++b) {
      if (!sheet->tracks[b].start_ms) continue;
      close_block(FormatTime(SplitTime::FromMilliseconds(*sheet->tracks[b].start_ms)), b);
    }
    loading_cue_ = false;
    RecountCaption();
    adding_from_cue_ = true;
    if (!sheet->tracks.empty()) {
      loading_cue_ = true;
      close_block(FormatMinutesSeconds(duration_seconds()), open_block);
      loading_cue_ = false;
    }
  } else {
    source_ = sheet_source;
    if (!FileExists(source_)) {
      Inform(L(cue_text::kSourceMissing), Desktop::Icon::kCritical);
      return false;
    }
    destination_ = sheet->destination;
    for (const CueRow& r : sheet->rows) {
      ReportRow row;
      row.text = r.number;
      row.columns = {r.name, r.start, r.end, r.duration};
      row.checked = true;
      tracks_.AddRow(std::move(row));
    }
    RefreshSource();
    adding_from_cue_ = true;
  }
  if (!sheet->error.isEmpty()) {
    Inform(L(cue_text::kCriticalError) + sheet->error, Desktop::Icon::kCritical);
    complete = false;
  }
  create_caption_ = QStringLiteral("Create %1 Track(s)").arg(tracks_.size());
  return complete;
}

QString Splitter::PreviewPath() const {
  return FilesFolder(context_.program_folder) + QStringLiteral("temp.mp3");
}

bool Splitter::Preview() {
  // Its loop lets events in: the window must not go while it runs.
  ToolRun holds_window(context_.status);
  auto fail = [this](const QString& description) {
    context_.status.ResetProgress();
    Inform(description, Desktop::Icon::kCritical);
    return false;
  };
  const int row = tracks_.FirstSelected();
  if (row < 0) return fail(QStringLiteral("No track is selected."));
  RefreshSource();
  if (!FileExists(source_)) return fail(QStringLiteral("%1 can't be found.").arg(source_));
  if (!audio_.can_cut()) {
    return fail(QStringLiteral("%1 can't be played: its bitrate or sample frequency reads 0.")
                    .arg(source_));
  }
  const qint64 start_ms =
      ParseTimeText(tracks_.row(row).ColumnText(kStartColumn)).TotalMilliseconds();
  const qint64 length_ms =
      ParseTimeText(tracks_.row(row).ColumnText(kDurationColumn)).TotalMilliseconds();
  const qint64 begin = audio_.OffsetAt(start_ms);
  const qint64 end = audio_.OffsetAt(start_ms + length_ms);

  const QString target = PreviewPath();
  QDir().mkpath(FolderOf(target));
  // The preview file is the program's own scratch file, overwritten by every
  // preview: it is removed, not put in the trash.
  if (::unlink(QFile::encodeName(target).constData()) != 0 && errno != ENOENT) {
    const int error = errno;
    QString description = QString::fromLocal8Bit(std::strerror(error));
    if (error == EBUSY || error == ETXTBSY || error == EACCES || error == EPERM) {
      description += QStringLiteral(". File is in use.");
    }
    return fail(description);
  }
  const QString name = tracks_.row(row).ColumnText(kNameColumn);
  ShowProgress(context_.status, 1, 1, name, QStringLiteral("(Preview) Reading data..."),
               context_.options.show_current_file);
  context_.desktop.LetEventsRun();
  ShowProgress(context_.status, 1, 1, name, QStringLiteral("(Preview) Writing data..."),
               context_.options.show_current_file);
  context_.desktop.LetEventsRun();
  QString error;
  if (!CopyRangeToNewFile(source_, begin, end, target, &error, write_)) return fail(error);
  context_.desktop.ShellOpen(target);
  context_.status.ResetProgress();
  return true;
}

}  // namespace orlavo

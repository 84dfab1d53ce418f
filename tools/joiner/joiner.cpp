#include "tools/joiner/joiner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "app/file_ops.h"
#include "app/helpers.h"
#include "app/tag_helpers.h"
#include "formats/frame_walk.h"
#include "formats/id3v1.h"

namespace orlavo {

using namespace joiner_text;

namespace {

// Large enough that copying costs what cat costs, small enough that a join's
// memory does not grow with its sources.
constexpr size_t kCopyBlock = 2 * 1024 * 1024;
// A copy in the kernel needs no memory of ours.
constexpr qint64 kKernelBlock = 64 * 1024 * 1024;

JoinWriteHook& WriteHook() {
  static JoinWriteHook hook;
  return hook;
}

QString L(const char* text) { return QString::fromLatin1(text); }

QString SystemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// The join's new file, removed again unless it was renamed into place.
class TempFile {
 public:
  static QByteArray TempPrefix(const QString& destination) {
    return "." + QFile::encodeName(FileNameOf(destination)) + ".joining-";
  }
  explicit TempFile(const QString& destination) {
    QByteArray name = QFile::encodeName(FolderOf(destination)) + TempPrefix(destination) +
                      QByteArray::number(::getpid()) + "-XXXXXX";
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) {
      error_ = errno;
      return;
    }
    path_ = name;
    // mkstemp makes the file private; a joined file gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
  }
  ~TempFile() {
    Close();
    if (!path_.isEmpty()) ::unlink(path_.constData());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  int error() const { return error_; }
  QString path() const { return QFile::decodeName(path_); }

  bool Write(const uint8_t* data, size_t size) {
    if (WriteHook() && !WriteHook()(written_ + static_cast<qint64>(size))) {
      error_ = ENOSPC;
      return false;
    }
    while (size > 0) {
      ssize_t n = ::write(fd_, data, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        error_ = n < 0 ? errno : ENOSPC;
        return false;
      }
      data += n;
      size -= static_cast<size_t>(n);
      written_ += n;
    }
    return true;
  }
  // Copies what it can of [from, to) of the file open as in straight from
  // file to file, in the kernel, as cat does; returns where it stopped. A
  // file system that cannot, or a fault, stops it: the copy through memory
  // goes on from there and tells which side failed.
  qint64 CopyInKernel(int in, qint64 from, qint64 to) {
    if (WriteHook()) return from;  // a test counts the bytes that go through Write
    while (from < to) {
      loff_t at = from;
      const ssize_t n = ::copy_file_range(
          in, &at, fd_, nullptr, static_cast<size_t>(std::min<qint64>(to - from, kKernelBlock)), 0);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      from += n;
      written_ += n;
    }
    return from;
  }
  // Some file systems report a failed write only here.
  bool Close() {
    if (fd_ < 0) return true;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
      error_ = errno;
      return false;
    }
    return true;
  }
  // The file now lives under its final name.
  void Keep() { path_.clear(); }

 private:
  int fd_ = -1;
  int error_ = 0;
  QByteArray path_;
  qint64 written_ = 0;
};

std::optional<SourceRanges> RangesOf(ByteSource& source) {
  if (!source.ok()) return std::nullopt;
  const uint64_t size = source.size();
  SourceRanges r;
  r.end = static_cast<qint64>(HasId3v1Tag(source) ? size - kId3v1Size : size);
  r.before_first = r.after_from = r.end;
  const AudioLayout layout = FindAudioLayout(source);
  if (layout.has_info_frame() && static_cast<qint64>(*layout.first_frame) < r.end) {
    r.before_first = static_cast<qint64>(*layout.first_frame);
    r.after_from = std::min<qint64>(
        r.end, static_cast<qint64>(*layout.first_frame + layout.info_frame_length));
  }
  return r;
}

bool CopyRange(FileSource& source, qint64 from, qint64 to, std::vector<uint8_t>& buffer,
               TempFile& out, QString* reason) {
  from = out.CopyInKernel(source.fd(), from, to);
  while (from < to) {
    const size_t want = static_cast<size_t>(std::min<qint64>(to - from, buffer.size()));
    const size_t got = source.ReadAt(static_cast<uint64_t>(from), std::span(buffer.data(), want));
    if (got != want) {
      *reason = QStringLiteral("cannot be read to its end");
      return false;
    }
    if (!out.Write(buffer.data(), got)) {
      *reason = SystemError(out.error());
      return false;
    }
    from += static_cast<qint64>(got);
  }
  return true;
}

}  // namespace

int JoinGenreNumber(const QString& name) {
  for (int i = 0; i < kGenreCount; ++i) {
    if (name == QLatin1String(kGenreNames[i])) return i;
  }
  return 0;
}

std::optional<SourceRanges> JoinRanges(const QString& path) {
  FileSource source(QFile::encodeName(path).constData());
  return RangesOf(source);
}

void SetJoinWriteHookForTesting(JoinWriteHook hook) { WriteHook() = std::move(hook); }

JoinOutcome JoinFiles(const QStringList& sources, const QString& destination,
                      const std::optional<JoinTag>& tag, const JoinProgress& progress,
                      const std::function<bool()>& replace) {
  JoinOutcome outcome;
  if (sources.isEmpty()) {
    outcome.reason = QStringLiteral("nothing to join");
    return outcome;
  }
  // What an earlier join to this file left when it was killed goes first.
  RemoveStaleTemporaries(FolderOf(destination), TempFile::TempPrefix(destination));
  TempFile out(destination);
  if (!out.ok()) {
    outcome.reason = SystemError(out.error());
    return outcome;
  }
  std::vector<uint8_t> buffer(kCopyBlock);
  for (int i = 0; i < sources.size(); ++i) {
    FileSource source(QFile::encodeName(sources[i]).constData());
    std::optional<SourceRanges> ranges = RangesOf(source);
    if (!ranges) {
      outcome.failed_source = sources[i];
      outcome.reason = QStringLiteral("cannot be opened as a file");
      return outcome;
    }
    if (ranges->bytes() <= 0) {
      outcome.failed_source = sources[i];
      outcome.reason = QStringLiteral("holds no audio to join");
      return outcome;
    }
    if (!CopyRange(source, 0, ranges->before_first, buffer, out, &outcome.reason) ||
        !CopyRange(source, ranges->after_from, ranges->end, buffer, out, &outcome.reason)) {
      if (out.error() == 0) outcome.failed_source = sources[i];
      return outcome;
    }
    outcome.sources_joined = i + 1;
    if (progress) progress(i + 1);
  }
  if (!out.Close()) {
    outcome.reason = SystemError(out.error());
    return outcome;
  }
  // The tag goes into the new file too, so that the final name never holds a
  // file without it.
  if (tag && !WriteID3v1(out.path(), tag->title, tag->artist, tag->album, tag->year, tag->comment,
                         tag->genre)) {
    outcome.reason = QStringLiteral("the ID3v1 tag cannot be written");
    return outcome;
  }
  // The old file goes only now, when its replacement is complete: a failed join
  // keeps it, and a destination that is also a source has been read already.
  if (replace && FileExists(destination) && !replace()) {
    outcome.reason = QStringLiteral("the existing file was kept");
    return outcome;
  }
  RenameResult renamed = RenameNoReplace(out.path(), destination);
  if (!renamed.ok()) {
    outcome.reason = renamed.status == RenameStatus::kTargetExists
                         ? QStringLiteral("the destination exists")
                         : renamed.error;
    return outcome;
  }
  out.Keep();
  outcome.ok = true;
  return outcome;
}

Joiner::Joiner(const ToolContext& context)
    : context_(context),
      settings_(context.program_folder),
      sources_({L(kPathHeader), L(kSizeHeader)}) {}

void Joiner::SetAddTag(bool on) {
  add_tag_ = on;
  settings_.WriteFlag(L(settings_key::kAddv1TAGOnJoin), on);
}

void Joiner::Show() {
  const QString stored = settings_.Read(L(settings_key::kAddv1TAGOnJoin));
  if (stored == QLatin1String("1")) add_tag_ = true;
  if (stored == QLatin1String("0")) add_tag_ = false;
  SetAddTag(add_tag_);
}

QStringList ParseJoinBatch(const QByteArray& bytes) {
  QStringList paths;
  for (QByteArrayView rest(bytes); !rest.isEmpty();) {
    const qsizetype end = rest.indexOf('\n');
    QByteArrayView line = end < 0 ? rest : rest.first(end);
    rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
    if (line.endsWith('\r')) line.chop(1);
    if (line.isEmpty() || line.startsWith("//")) continue;
    paths << QString::fromUtf8(line);
  }
  return paths;
}

void Joiner::AddSource(const QString& path) {
  RowOptions row_options{context_.options.prefix_dir, context_.options.size_unit,
                         context_.options.main_folder};
  AddFileRow(sources_, path, QString(), false, row_options);
}

void Joiner::AddFiles() {
  const QString chosen =
      context_.desktop.OpenFileDialog(L(kSourceFilter), L(kSelectSourceTitle), L(kSourceExtension));
  if (chosen.isEmpty()) return;
  if (chosen.right(3).toLower() == QLatin1String("mp3")) {
    AddSource(chosen);
  } else {
    QFile batch(chosen);
    if (batch.open(QIODevice::ReadOnly)) {
      for (const QString& path : ParseJoinBatch(batch.readAll())) AddSource(path);
    }
  }
  folder = FolderOf(chosen);
}

bool Joiner::Clear() {
  if (!context_.desktop.AskYesNo(L(kResetTitle), L(kAreYouSure))) return false;
  sources_.Clear();
  return true;
}

void Joiner::BrowseFolder() {
  QString chosen = context_.desktop.BrowseForFolder(L(kSelectFolderTitle), folder);
  if (chosen.isEmpty()) return;
  if (!chosen.endsWith(QLatin1Char('/'))) chosen += QLatin1Char('/');
  folder = chosen;
}

void Joiner::RandomName() {
  QString name;
  for (int i = 0; i < 8; ++i) {
    name += QChar(static_cast<char16_t>(
        97 + static_cast<int>(26 * QRandomGenerator::global()->generateDouble())));
  }
  file_name = name + QStringLiteral(".mp3");
}

void Joiner::NameFromTag() {
  if (sources_.empty()) {
    file_name = L(kNoSourceFiles);
    return;
  }
  const int row = sources_.FirstSelected();
  if (row < 0) return;
  ID3v1Tag tag{};
  PelloxID3v1Reader reader(context_.pellox);
  reader.ReadID3v1(sources_.FullPath(row), &tag);
  if (tag.Exists != 1) return;
  file_name = CleanTagText(RecordText(tag.Artist)) + QStringLiteral(" - ") +
              CleanTagText(RecordText(tag.Title)) + QStringLiteral(".mp3");
}

QString Joiner::SizeCaption() const {
  qint64 total = 0;
  for (int i = 0; i < sources_.size(); ++i) {
    QFileInfo info(sources_.FullPath(i));
    if (info.isFile()) total += info.size();
  }
  return L(kSizeCaption) + FormatFileSize(total, context_.options.size_unit);
}

void Joiner::OpenRow(int row) {
  if (row < 0 || row >= sources_.size()) return;
  OpenFileOrFolder(context_.desktop, context_.options, sources_.FullPath(row));
}

Joiner::RunResult Joiner::Join() {
  Desktop& desktop = context_.desktop;
  RunResult result;
  if (joining_) return result;
  ToolRun run(context_.status);
  if (sources_.empty()) {
    desktop.Inform(QString(), L(kNothingToJoin));
    return result;
  }
  if (sources_.size() == 1) {
    desktop.Inform(QString(), L(kOneTrack));
    return result;
  }
  if (folder.isEmpty() || !folder.startsWith(QLatin1Char('/'))) {
    desktop.Inform(QString(), L(kNoFolder), Desktop::Icon::kNone);
    result.focus = Focus::kFolder;
    return result;
  }
  auto no_name = [this] { return file_name.isEmpty() || file_name == QLatin1String(".mp3"); };
  if (no_name()) {
    desktop.Inform(QString(), L(kNoMp3), Desktop::Icon::kNone);
    result.focus = Focus::kFileName;
    return result;
  }
  if (!folder.endsWith(QLatin1Char('/'))) {
    if (!desktop.AskYesNo(QString(), L(kIncorrectFolder) + folder + QStringLiteral("/?"))) {
      return result;
    }
    folder += QLatin1Char('/');
  }
  if (file_name.contains(QLatin1Char('/'))) {
    const QString bare = FileNameOf(file_name);
    if (!desktop.AskYesNo(QString(), L(kIncorrectName) + bare + QStringLiteral("?"))) {
      return result;
    }
    file_name = bare;
    // "music/" would leave no name at all.
    if (no_name()) {
      desktop.Inform(QString(), L(kNoMp3), Desktop::Icon::kNone);
      result.focus = Focus::kFileName;
      return result;
    }
  }
  if (!file_name.endsWith(QLatin1String(".mp3"))) file_name += QStringLiteral(".mp3");
  const QString destination = folder + file_name;
  std::function<bool()> replace;
  bool kept_existing = false;
  if (FileExists(destination)) {
    if (!desktop.AskYesNo(QString(), L(kOverwrite))) return result;
    replace = [&] {
      const TrashResult trashed = DeleteToTrash(destination, &desktop);
      // Declining to remove it for good was the person's own answer.
      kept_existing = trashed.status == TrashStatus::kDeclined;
      return trashed.ok();
    };
  }

  // Events run between sources, so the list may change under the join.
  QStringList paths, texts;
  for (int i = 0; i < sources_.size(); ++i) {
    paths << sources_.FullPath(i);
    texts << sources_.row(i).text;
  }
  std::optional<JoinTag> tag;
  if (add_tag_) tag = JoinTag{title, artist, album, year, comment, JoinGenreNumber(genre)};
  ToolsStatus& status = context_.status;
  joining_ = true;
  const JoinOutcome outcome = JoinFiles(
      paths, destination, tag,
      [&](int position) {
        ShowProgress(status, position, static_cast<qint32>(paths.size()), texts[position - 1],
                     L(kJoining), context_.options.show_current_file);
        desktop.LetEventsRun();
      },
      replace);
  joining_ = false;
  if (!outcome.ok) {
    if (!kept_existing) desktop.Inform(QString(), L(kCannotJoin), Desktop::Icon::kCritical);
    return result;
  }
  status.SetBar(0, 0);
  status.SetPercent(QStringLiteral("0%"));
  status.SetCaption(QStringLiteral("Joined %1 files.").arg(paths.size()));
  result.joined = true;
  return result;
}

}  // namespace orlavo

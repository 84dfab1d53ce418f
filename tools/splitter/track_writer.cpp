#include "tools/splitter/track_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "app/file_ops.h"
#include "app/helpers.h"

namespace orlavo {
namespace {

// Big enough that the copy runs at disk speed, small enough to stay out of
// the way of a long source.
constexpr size_t kBlock = 4 << 20;

QString ErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now; false when close reports a failure (a deferred write error).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

constexpr char kTrackTempPrefix[] = ".orlavo-track-";

// A new, empty file beside target with a name nobody else uses.
int CreateTemporary(const QString& target, QByteArray* temp_path) {
  const QByteArray folder = QFile::encodeName(FolderOf(target));
  for (int attempt = 0; attempt < 100; ++attempt) {
    *temp_path = folder + kTrackTempPrefix + QByteArray::number(::getpid()) + '-' +
                 QByteArray::number(attempt) + ".part";
    const int fd = ::open(temp_path->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool WriteAll(int fd, const char* data, size_t size, const WriteFunction& write, int* error) {
  while (size > 0) {
    const ssize_t n = write ? write(fd, data, size) : ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      *error = n < 0 ? errno : ENOSPC;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Copies [begin, end) of the open source into the open target.
bool CopyRange(int in, qint64 begin, qint64 end, int out, std::vector<char>& buffer,
               const WriteFunction& write, int* error, bool* read_failed) {
  qint64 at = begin;
  while (at < end) {
    const size_t want = static_cast<size_t>(std::min<qint64>(end - at, buffer.size()));
    const ssize_t got = ::pread(in, buffer.data(), want, at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      // The source shrank below the planned range: the rest is not there.
      if (got == 0) return true;
      *error = errno;
      *read_failed = true;
      return false;
    }
    if (!WriteAll(out, buffer.data(), static_cast<size_t>(got), write, error)) return false;
    at += got;
  }
  return true;
}

// Writes one range to a temporary file and completes it; the temporary
// file's path is left in *temp for the caller to rename or remove.
bool WriteTemporary(int in, qint64 begin, qint64 end, const QString& target,
                    std::vector<char>& buffer, const WriteFunction& write, QByteArray* temp,
                    QString* error) {
  Fd out(CreateTemporary(target, temp));
  if (out.get() < 0) {
    *error = ErrorText(errno);
    temp->clear();
    return false;
  }
  int err = 0;
  bool read_failed = false;
  if (!CopyRange(in, begin, end, out.get(), buffer, write, &err, &read_failed)) {
    *error = read_failed ? QStringLiteral("the source can't be read (%1)").arg(ErrorText(err))
                         : ErrorText(err);
    return false;
  }
  // Network file systems may report a full disk only when the file closes.
  if (!out.Close()) {
    *error = ErrorText(errno);
    return false;
  }
  return true;
}

void RemoveTemporary(const QByteArray& temp) {
  if (!temp.isEmpty()) ::unlink(temp.constData());
}

}  // namespace

bool CopyRangeToNewFile(const QString& source, qint64 begin, qint64 end, const QString& target,
                        QString* error, const WriteFunction& write) {
  Fd in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) {
    *error = ErrorText(errno);
    return false;
  }
  std::vector<char> buffer(static_cast<size_t>(std::clamp<qint64>(end - begin, 1, kBlock)));
  QByteArray temp;
  if (!WriteTemporary(in.get(), begin, end, target, buffer, write, &temp, error)) {
    RemoveTemporary(temp);
    return false;
  }
  const RenameResult placed = RenameNoReplace(QFile::decodeName(temp), target);
  if (!placed.ok()) {
    RemoveTemporary(temp);
    *error = placed.status == RenameStatus::kTargetExists
                 ? QStringLiteral("%1 already exists").arg(target)
                 : placed.error;
    return false;
  }
  return true;
}

WriteTracksResult WriteTracks(const QString& source, const QString& folder,
                              const std::vector<TrackJob>& jobs, const QSet<QString>& replace,
                              Desktop* desktop, const std::function<void(int index)>& on_job,
                              const WriteFunction& write) {
  WriteTracksResult result;
  Fd in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) {
    result.error = QStringLiteral("%1 can't be read: %2.").arg(source, ErrorText(errno));
    return result;
  }
  // Tracks of an earlier run that was killed while writing them go first.
  RemoveStaleTemporaries(folder, kTrackTempPrefix);
  std::vector<char> buffer;
  for (size_t i = 0; i < jobs.size(); ++i) {
    const TrackJob& job = jobs[i];
    if (on_job) on_job(static_cast<int>(i));
    if (!job.ticked) continue;
    const QString target = folder + job.file_name;
    if (buffer.empty()) buffer.resize(kBlock);
    QByteArray temp;
    QString error;
    if (!WriteTemporary(in.get(), job.begin, std::max(job.begin, job.end), target, buffer, write,
                        &temp, &error)) {
      RemoveTemporary(temp);
      result.error = QStringLiteral("%1 could not be created: %2.").arg(target, error);
      return result;
    }
    if (replace.contains(job.file_name) && QFileInfo::exists(target)) {
      const TrashResult trashed = DeleteToTrash(target, desktop);
      if (!trashed.ok() && trashed.status != TrashStatus::kSourceMissing) {
        RemoveTemporary(temp);
        result.error = QStringLiteral("%1 could not be replaced: %2.")
                           .arg(target, trashed.error.isEmpty() ? QStringLiteral("it was kept")
                                                                : trashed.error);
        return result;
      }
    }
    const RenameResult placed = RenameNoReplace(QFile::decodeName(temp), target);
    if (!placed.ok()) {
      RemoveTemporary(temp);
      result.error = QStringLiteral("%1 could not be created: %2.")
                         .arg(target, placed.status == RenameStatus::kTargetExists
                                          ? QStringLiteral("a file of that name has appeared")
                                          : placed.error);
      return result;
    }
    result.written << target;
  }
  return result;
}

}  // namespace orlavo

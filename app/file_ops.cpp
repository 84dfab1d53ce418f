#include "app/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace orlavo {
namespace {

bool Exists(const QByteArray& path) {
  struct stat st;
  return ::lstat(path.constData(), &st) == 0;
}

RenameResult Failure(int error, const QByteArray& from) {
  RenameResult r;
  r.error = QString::fromLocal8Bit(std::strerror(error));
  if (error == EEXIST || error == ENOTEMPTY) {
    r.status = RenameStatus::kTargetExists;
  } else if (error == ENOENT && !Exists(from)) {
    r.status = RenameStatus::kSourceMissing;
  } else if ((error == EBUSY || error == ETXTBSY || error == EACCES || error == EPERM) &&
             Exists(from)) {
    r.status = RenameStatus::kInUse;
  } else {
    r.status = RenameStatus::kFailed;
  }
  return r;
}

}  // namespace

RenameResult RenameNoReplace(const QString& from, const QString& to) {
  const QByteArray src = QFile::encodeName(from);
  const QByteArray dst = QFile::encodeName(to);
  if (src == dst) return {RenameStatus::kRenamed, {}};
  if (::syscall(SYS_renameat2, AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(),
                RENAME_NOREPLACE) == 0) {
    return {RenameStatus::kRenamed, {}};
  }
  int error = errno;
  if (error != EINVAL && error != ENOSYS) return Failure(error, src);
  // File systems without RENAME_NOREPLACE: link() refuses an existing target
  // just as atomically; the old name is removed only once the new one exists.
  if (::link(src.constData(), dst.constData()) == 0) {
    if (::unlink(src.constData()) == 0) return {RenameStatus::kRenamed, {}};
    error = errno;
    ::unlink(dst.constData());
    return Failure(error, src);
  }
  error = errno;
  if (error != EPERM && error != EXDEV && error != ENOTSUP) return Failure(error, src);
  // No hard links either (FAT media): check, then rename. A target that
  // differs only in letter case may be the file itself on such media.
  if (Exists(dst) && QString::compare(from, to, Qt::CaseInsensitive) != 0) {
    return Failure(EEXIST, src);
  }
  if (::rename(src.constData(), dst.constData()) == 0) return {RenameStatus::kRenamed, {}};
  return Failure(errno, src);
}

}  // namespace orlavo

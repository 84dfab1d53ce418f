#include "app/file_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/desktop.h"

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
  r.errno_value = error;
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

QString CommitSynced(QSaveFile& file) {
  if (!file.isOpen()) return file.errorString();
  // EINVAL: a file system that cannot sync at all has nothing to report.
  if (::fdatasync(file.handle()) != 0 && errno != EINVAL) {
    const QString reason = QString::fromLocal8Bit(std::strerror(errno));
    file.cancelWriting();
    file.commit();  // ends the cancelled save: the temporary goes
    return reason;
  }
  if (!file.commit()) {
    return file.errorString().isEmpty() ? QStringLiteral("the file could not be saved")
                                        : file.errorString();
  }
  return {};
}

RenameResult RenameNoReplace(const QString& from, const QString& to) {
  return RenameNoReplaceBytes(QFile::encodeName(from), QFile::encodeName(to));
}

RenameResult RenameNoReplaceBytes(const QByteArray& src, const QByteArray& dst) {
  if (src == dst) return {RenameStatus::kRenamed, {}, 0};
  if (::syscall(SYS_renameat2, AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(),
                RENAME_NOREPLACE) == 0) {
    return {RenameStatus::kRenamed, {}, 0};
  }
  int error = errno;
  if (error != EINVAL && error != ENOSYS) return Failure(error, src);
  // File systems without RENAME_NOREPLACE: link() refuses an existing target
  // just as atomically; the old name is removed only once the new one exists.
  if (::link(src.constData(), dst.constData()) == 0) {
    if (::unlink(src.constData()) == 0) return {RenameStatus::kRenamed, {}, 0};
    error = errno;
    ::unlink(dst.constData());
    return Failure(error, src);
  }
  error = errno;
  if (error != EPERM && error != EXDEV && error != ENOTSUP) return Failure(error, src);
  // No hard links either (FAT media): check, then rename. A target that
  // differs only in letter case may be the file itself on such media.
  if (Exists(dst) &&
      QString::compare(QFile::decodeName(src), QFile::decodeName(dst), Qt::CaseInsensitive) != 0) {
    return Failure(EEXIST, src);
  }
  if (::rename(src.constData(), dst.constData()) == 0) {
    return {RenameStatus::kRenamed, {}, 0};
  }
  return Failure(errno, src);
}

}  // namespace orlavo

// ---------------------------------------------------------------------------
// Moves across file systems.

namespace orlavo {
namespace {

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Close(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int Close() {
    int rc = 0;
    if (fd_ >= 0) rc = ::close(fd_);
    fd_ = -1;
    return rc;
  }

 private:
  int fd_;
};

QByteArray FolderOfBytes(const QByteArray& path) {
  const int slash = path.lastIndexOf('/');
  if (slash < 0) return QByteArrayLiteral(".");
  if (slash == 0) return QByteArrayLiteral("/");
  return path.left(slash);
}

QByteArray NameOfBytes(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }

// Copies src_fd into a new temporary file in the target's folder; returns its
// path, or an errno value.
int CopyToTemporary(int src_fd, const struct stat& src_st, const QByteArray& dst,
                    QByteArray* temp_path) {
  // A copy that a killed move left in this folder goes first.
  RemoveStaleTemporaries(QFile::decodeName(FolderOfBytes(dst)), ".orlavo-move-");
  QByteArray templ =
      FolderOfBytes(dst) + "/.orlavo-move-" + QByteArray::number(::getpid()) + "-XXXXXX";
  int out = ::mkostemp(templ.data(), O_CLOEXEC);
  if (out < 0) return errno;
  Fd out_fd(out);
  *temp_path = templ;
  auto fail = [&](int error) {
    out_fd.Close();
    ::unlink(templ.constData());
    return error;
  };
  std::vector<char> buffer(1 << 20);
  for (;;) {
    const ssize_t got = ::read(src_fd, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    if (got == 0) break;
    ssize_t done = 0;
    while (done < got) {
      const ssize_t put = ::write(out, buffer.data() + done, static_cast<size_t>(got - done));
      if (put < 0) {
        if (errno == EINTR) continue;
        return fail(errno);
      }
      done += put;
    }
  }
  ::fchmod(out, src_st.st_mode & 07777);
  const struct timespec times[2] = {src_st.st_atim, src_st.st_mtim};
  ::futimens(out, times);
  if (::fsync(out) != 0) return fail(errno);
  struct stat out_st;
  if (::fstat(out, &out_st) != 0) return fail(errno);
  if (out_st.st_size != src_st.st_size) return fail(EIO);
  if (out_fd.Close() != 0) return fail(errno);
  return 0;
}

}  // namespace

RenameResult MoveNoReplace(const QString& from, const QString& to) {
  // A file that became a folder after it was listed (or anything else that
  // is not a file) stays where it is: a rename would carry a whole tree.
  struct stat from_st;
  if (::lstat(QFile::encodeName(from).constData(), &from_st) == 0 && !S_ISREG(from_st.st_mode) &&
      !S_ISLNK(from_st.st_mode)) {
    return Failure(S_ISDIR(from_st.st_mode) ? EISDIR : EINVAL, QFile::encodeName(from));
  }
  RenameResult result = RenameNoReplace(from, to);
  if (result.ok() || result.errno_value != EXDEV) return result;

  const QByteArray src = QFile::encodeName(from);
  const QByteArray dst = QFile::encodeName(to);
  Fd in(::open(src.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (in.get() < 0) return Failure(errno, src);
  struct stat src_st;
  if (::fstat(in.get(), &src_st) != 0) return Failure(errno, src);
  if (!S_ISREG(src_st.st_mode)) return Failure(EINVAL, src);
  if (Exists(dst)) return Failure(EEXIST, src);

  QByteArray temp;
  if (const int error = CopyToTemporary(in.get(), src_st, dst, &temp); error != 0) {
    return Failure(error, src);
  }
  const RenameResult placed = RenameNoReplace(QFile::decodeName(temp), to);
  if (!placed.ok()) {
    ::unlink(temp.constData());
    return placed;
  }
  // The copy is complete under its final name; only now may the source go.
  // When it cannot, the copy goes instead, so the file still exists once.
  if (::unlink(src.constData()) != 0) {
    const int error = errno;
    ::unlink(dst.constData());
    return Failure(error, src);
  }
  return {RenameStatus::kRenamed, {}, 0};
}

// ---------------------------------------------------------------------------
// The trash, laid out as desktops expect it: a trash folder holds files/ with
// the trashed files and info/ with one NAME.trashinfo record each.

namespace {

QString ErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Makes a folder with mode 0700 when it is missing; an existing one must be a
// real folder, not a link.
bool EnsurePrivateFolder(const QByteArray& path, int* error) {
  if (::mkdir(path.constData(), 0700) == 0) return true;
  if (errno != EEXIST) {
    *error = errno;
    return false;
  }
  struct stat st;
  if (::lstat(path.constData(), &st) != 0) {
    *error = errno;
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    *error = ENOTDIR;
    return false;
  }
  return true;
}

// Makes every missing folder of path (new ones with mode 0700).
bool EnsurePrivatePath(const QByteArray& path, int* error) {
  for (int slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1)) {
    if (!EnsurePrivateFolder(path.left(slash), error)) return false;
  }
  return EnsurePrivateFolder(path, error);
}

QByteArray HomeTrashPath() {
  QByteArray data = qgetenv("XDG_DATA_HOME");
  if (!data.startsWith('/')) {
    const QByteArray home = qgetenv("HOME");
    if (!home.startsWith('/')) return {};
    data = home + "/.local/share";
  }
  while (data.size() > 1 && data.endsWith('/')) data.chop(1);
  return data + "/Trash";
}

// The device of a path, or of its nearest existing folder.
bool DeviceOf(QByteArray path, dev_t* device) {
  struct stat st;
  while (!path.isEmpty()) {
    if (::stat(path.constData(), &st) == 0) {
      *device = st.st_dev;
      return true;
    }
    if (path == "/") break;
    path = FolderOfBytes(path);
  }
  return false;
}

// The top folder of the file system that holds folder.
QByteArray TopFolderOf(QByteArray folder, dev_t device) {
  while (folder != "/") {
    const QByteArray parent = FolderOfBytes(folder);
    struct stat st;
    if (::stat(parent.constData(), &st) != 0 || st.st_dev != device) break;
    folder = parent;
  }
  return folder;
}

struct TrashFolder {
  QByteArray path;  // holds files/ and info/
  QByteArray top;   // paths in records are relative to it; "" for absolute
};

bool EstablishTrash(const TrashFolder& trash, int* error) {
  return EnsurePrivatePath(trash.path, error) &&
         EnsurePrivateFolder(trash.path + "/files", error) &&
         EnsurePrivateFolder(trash.path + "/info", error);
}

// The trash of a file system other than the home one: $top/.Trash/UID when the
// administrator made $top/.Trash (a sticky folder, not a link), else
// $top/.Trash-UID.
TrashFolder TopTrashFor(const QByteArray& top) {
  const QByteArray uid = QByteArray::number(static_cast<qulonglong>(::getuid()));
  const QByteArray base = top == "/" ? QByteArray() : top;
  struct stat st;
  const QByteArray shared = base + "/.Trash";
  if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
    return {shared + "/" + uid, top};
  }
  return {base + "/.Trash-" + uid, top};
}

QByteArray TrashName(const QByteArray& name, int attempt) {
  if (attempt == 1) return name;
  const int dot = name.lastIndexOf('.');
  const QByteArray suffix = " (" + QByteArray::number(attempt) + ")";
  if (dot <= 0) return name + suffix;
  return name.left(dot) + suffix + name.mid(dot);
}

QByteArray RecordPath(const QByteArray& absolute, const QByteArray& top) {
  if (top.isEmpty()) return absolute;
  if (top == "/") return absolute.mid(1);
  return absolute.mid(top.size() + 1);
}

// Moves the file into one trash folder. Returns kTrashed, kFailed with error
// set, or kNoTrash when the trash is on another file system.
TrashResult MoveInto(const TrashFolder& trash, const QByteArray& absolute) {
  TrashResult result;
  const QByteArray name = NameOfBytes(absolute);
  const QByteArray record =
      "[Trash Info]\nPath=" + RecordPath(absolute, trash.top).toPercentEncoding("/") +
      "\nDeletionDate=" +
      QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toUtf8() + "\n";
  for (int attempt = 1; attempt < 10000; ++attempt) {
    const QByteArray trash_name = TrashName(name, attempt);
    const QByteArray info = trash.path + "/info/" + trash_name + ".trashinfo";
    const QByteArray target = trash.path + "/files/" + trash_name;
    // The record is made first and exclusively: it reserves the name.
    const int fd = ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      result.error = ErrorText(errno);
      return result;
    }
    const bool written = ::write(fd, record.constData(), record.size()) == record.size();
    const int write_error = errno;
    if (::close(fd) != 0 || !written) {
      ::unlink(info.constData());
      result.error = ErrorText(written ? errno : write_error);
      return result;
    }
    if (::syscall(SYS_renameat2, AT_FDCWD, absolute.constData(), AT_FDCWD, target.constData(),
                  RENAME_NOREPLACE) != 0) {
      int error = errno;
      if (error == EINVAL || error == ENOSYS) {
        // No RENAME_NOREPLACE here; the reserved name is ours.
        error = Exists(target)                                            ? EEXIST
                : ::rename(absolute.constData(), target.constData()) == 0 ? 0
                                                                          : errno;
      }
      if (error != 0) {
        ::unlink(info.constData());
        if (error == EEXIST) continue;  // a stray file without its record
        if (error == EXDEV) {
          result.status = TrashStatus::kNoTrash;
          result.error = ErrorText(error);
        } else if (error == ENOENT && !Exists(absolute)) {
          result.status = TrashStatus::kSourceMissing;
          result.error = ErrorText(error);
        } else {
          result.error = ErrorText(error);
        }
        return result;
      }
    }
    // Trust nothing: the file must be in the trash and gone from its place.
    if (!Exists(target) || Exists(absolute)) {
      result.error = QStringLiteral("the file did not arrive in the trash");
      return result;
    }
    result.status = TrashStatus::kTrashed;
    result.trashed_as = QFile::decodeName(target);
    return result;
  }
  result.error = QStringLiteral("no free name in the trash");
  return result;
}

}  // namespace

TrashResult MoveToTrash(const QString& path) {
  TrashResult result;
  QByteArray absolute = QFile::encodeName(path);
  if (!absolute.startsWith('/')) {
    char* cwd = ::getcwd(nullptr, 0);
    if (cwd == nullptr) {
      result.error = ErrorText(errno);
      return result;
    }
    absolute = QByteArray(cwd) + "/" + absolute;
    std::free(cwd);
  }
  struct stat st;
  if (::lstat(absolute.constData(), &st) != 0) {
    result.status = errno == ENOENT ? TrashStatus::kSourceMissing : TrashStatus::kFailed;
    result.error = ErrorText(errno);
    return result;
  }
  if (S_ISDIR(st.st_mode)) {
    result.error = ErrorText(EISDIR);
    return result;
  }

  const QByteArray home_trash = HomeTrashPath();
  dev_t home_device = 0;
  const bool home_known = !home_trash.isEmpty() && DeviceOf(home_trash, &home_device);
  int error = 0;
  if (home_known && home_device == st.st_dev) {
    const TrashFolder trash{home_trash, {}};
    if (!EstablishTrash(trash, &error)) {
      result.status = TrashStatus::kNoTrash;
      result.error = QStringLiteral("the trash folder %1 cannot be made: %2")
                         .arg(QFile::decodeName(home_trash), ErrorText(error));
      return result;
    }
    return MoveInto(trash, absolute);
  }
  const QByteArray top = TopFolderOf(FolderOfBytes(absolute), st.st_dev);
  const TrashFolder trash = TopTrashFor(top);
  if (!EstablishTrash(trash, &error)) {
    result.status = TrashStatus::kNoTrash;
    result.error = QStringLiteral("no trash on the file's drive (%1): %2")
                       .arg(QFile::decodeName(trash.path), ErrorText(error));
    return result;
  }
  return MoveInto(trash, absolute);
}

QString NoTrashQuestion(const QString& path, const QString& reason) {
  return QStringLiteral(
             "This file cannot be moved to the trash:\r\n%1\r\n(%2)\r\n\r\n"
             "Delete it for good? It cannot be restored.")
      .arg(path, reason);
}

TrashResult DeleteToTrash(const QString& path, Desktop* desktop) {
  TrashResult result = MoveToTrash(path);
  if (result.status != TrashStatus::kNoTrash || desktop == nullptr) return result;
  if (!desktop->AskYesNo(QString(), NoTrashQuestion(path, result.error), Desktop::Icon::kWarning)) {
    result.status = TrashStatus::kDeclined;
    return result;
  }
  if (::unlink(QFile::encodeName(path).constData()) != 0) {
    result.status = errno == ENOENT ? TrashStatus::kSourceMissing : TrashStatus::kFailed;
    result.error = ErrorText(errno);
    return result;
  }
  result.status = TrashStatus::kDeleted;
  return result;
}

int RemoveStaleTemporaries(const QString& folder, const QByteArray& prefix) {
  const QByteArray base = QFile::encodeName(folder.endsWith(u'/') ? folder : folder + u'/');
  DIR* dir = ::opendir(base.constData());
  if (dir == nullptr) return 0;
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const QByteArrayView name(entry->d_name);
    if (!name.startsWith(prefix)) continue;
    const QByteArrayView rest = name.sliced(prefix.size());
    const qsizetype dash = rest.indexOf('-');
    if (dash <= 0) continue;
    bool number = false;
    const qlonglong pid = rest.first(dash).toLongLong(&number);
    if (!number || pid <= 0 || pid > INT_MAX) continue;
    // kill(pid, 0) tests whether the writer still runs; EPERM means it does,
    // under another user.
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    if (::unlink((base + name.toByteArray()).constData()) == 0) ++removed;
  }
  ::closedir(dir);
  return removed;
}

}  // namespace orlavo

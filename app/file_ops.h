// File operations that must never lose a file: renames and moves that refuse to
// replace an existing file, the detection of a file in use, and the one way the
// program deletes a file (into the user's trash).
#ifndef ORLAVO_APP_FILE_OPS_H_
#define ORLAVO_APP_FILE_OPS_H_

#include <QByteArray>
#include <QString>

class QSaveFile;

namespace orlavo {

class Desktop;

enum class RenameStatus {
  kRenamed,
  kTargetExists,   // nothing was changed
  kSourceMissing,  // the file is gone
  kInUse,          // busy, or access refused on an existing file
  kFailed,         // any other failure; error text in RenameResult
};

struct RenameResult {
  RenameStatus status = RenameStatus::kFailed;
  QString error;  // the system's text for the failure
  int errno_value = 0;
  bool ok() const { return status == RenameStatus::kRenamed; }
};

// Renames (or moves within one file system) without ever replacing an existing
// file. A change of letter case only is an ordinary rename.
RenameResult RenameNoReplace(const QString& from, const QString& to);

// Commits a QSaveFile only once its bytes are on the disk: QSaveFile syncs
// as well but ignores a failed sync, and a write error that a disk reports
// only then would leave under the final name a file that is not what was
// written. Returns "" or why the save was abandoned (the old file stays).
QString CommitSynced(QSaveFile& file);
// The same for paths as the file system's bytes, which need not be UTF-8.
RenameResult RenameNoReplaceBytes(const QByteArray& from, const QByteArray& to);

// Writers name their temporaries prefix + process id + "-" + anything. A
// writer killed before it could clean up leaves its temporary behind; this
// unlinks those in folder whose process no longer runs. They never were a
// user's file, so they do not go to the trash. Returns how many went.
int RemoveStaleTemporaries(const QString& folder, const QByteArray& prefix);

// Only regular files (and symbolic links) are moved; a folder or a device
// standing under from is refused and left in place.
// Moves a regular file anywhere without ever replacing an existing file. Within
// one file system it is RenameNoReplace; across file systems the file is copied
// under a temporary name beside the target, flushed, checked to have the
// source's size, renamed into place without replacing, and only then is the
// source removed. On any failure the source stays and no partial target is left.
RenameResult MoveNoReplace(const QString& from, const QString& to);

enum class TrashStatus {
  kTrashed,        // the file is in the user's trash
  kDeleted,        // no trash could take it; removed for good after a Yes
  kDeclined,       // no trash could take it and the answer was No; file kept
  kNoTrash,        // no trash could take it; file kept (nobody to ask)
  kSourceMissing,  // the file is gone
  kFailed,         // the file is kept; error text in TrashResult
};

struct TrashResult {
  TrashStatus status = TrashStatus::kFailed;
  QString error;       // why it failed, or why no trash could take it
  QString trashed_as;  // the file's path inside the trash
  bool ok() const { return status == TrashStatus::kTrashed || status == TrashStatus::kDeleted; }
};

// Moves one file into the user's trash following the desktop trash layout:
// the home trash ($XDG_DATA_HOME/Trash, by default ~/.local/share/Trash, made
// with mode 0700 when missing) for files on its file system, otherwise the
// ".Trash-UID" folder at the top of the file's own file system. The file is
// never copied; the result is kTrashed only once the file is under the trash
// and gone from its place. Otherwise the file is untouched (kNoTrash,
// kSourceMissing or kFailed).
TrashResult MoveToTrash(const QString& path);

// The program's delete: MoveToTrash, and where no trash can take the file, a
// Yes/No question (default No) before removing it for good. A null desktop
// means nobody can be asked: the file is then kept (kNoTrash).
TrashResult DeleteToTrash(const QString& path, Desktop* desktop);

// The question asked before a file is removed for good.
QString NoTrashQuestion(const QString& path, const QString& reason);

}  // namespace orlavo

#endif  // ORLAVO_APP_FILE_OPS_H_

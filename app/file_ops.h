// File operations that must never lose a file: renames that refuse to replace
// an existing file, and the detection of a file in use.
#ifndef ORLAVO_APP_FILE_OPS_H_
#define ORLAVO_APP_FILE_OPS_H_

#include <QString>

namespace orlavo {

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
  bool ok() const { return status == RenameStatus::kRenamed; }
};

// Renames (or moves within one file system) without ever replacing an existing
// file. A change of letter case only is an ordinary rename.
RenameResult RenameNoReplace(const QString& from, const QString& to);

}  // namespace orlavo

#endif  // ORLAVO_APP_FILE_OPS_H_

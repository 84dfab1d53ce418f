// Names that are not valid UTF-8 (copied from old Windows disks, whose names
// are Windows-1252 bytes) are left out by every list of the program. This
// finds them and gives them their decoded spelling, never over another file.
#ifndef ORLAVO_APP_NAME_REPAIR_H_
#define ORLAVO_APP_NAME_REPAIR_H_

#include <QByteArray>
#include <QList>
#include <QString>

#include "app/file_ops.h"

namespace orlavo {

enum class LegacyEncoding { kWindows1252, kLatin1 };

// True when the bytes are valid UTF-8 (strict: no overlong forms, no
// surrogates).
bool IsValidUtf8(const QByteArray& bytes);
// The bytes read as one 8-bit encoding.
QString DecodeLegacyName(const QByteArray& bytes, LegacyEncoding encoding);

struct NameRepair {
  QByteArray folder;  // where the name lives, ending in "/"
  QByteArray name;    // the name as it is on disk
  QString fixed;      // its decoded spelling
  bool is_folder = false;
  // The decoded name is already taken (on disk, or by an earlier repair of
  // the same folder): the name is left as it is.
  bool taken = false;

  QByteArray path() const { return folder + name; }
  QByteArray fixed_path() const { return folder + fixed.toUtf8(); }
};

// Every file and folder name below folder (hidden ones aside) that is not
// valid UTF-8, folders before what they hold; with sub_folders the walk goes
// into every folder, those with broken names too (symbolic links to folders
// are not followed).
QList<NameRepair> FindBrokenNames(const QByteArray& folder, bool sub_folders,
                                  LegacyEncoding encoding);

// Renames each name that is not taken to its decoded spelling, the contents of
// a folder before the folder itself, with RenameNoReplaceBytes. Returns one result
// per repair, in the order of repairs.
QList<RenameResult> ApplyNameRepairs(const QList<NameRepair>& repairs);

// How a name that is not valid UTF-8 is shown: its valid parts as they are,
// every other byte as "\xNN".
QString ShownName(const QByteArray& bytes);

}  // namespace orlavo

#endif  // ORLAVO_APP_NAME_REPAIR_H_

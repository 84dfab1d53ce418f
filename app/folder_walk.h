// The folder walk: sub-folders (minus the folder ignore list) and the MP3
// files of a folder or of a whole tree.
#ifndef ORLAVO_APP_FOLDER_WALK_H_
#define ORLAVO_APP_FOLDER_WALK_H_

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace orlavo {

class Desktop;

// A file or folder the walk or a tool could not read, and the system's reason.
struct Refused {
  QString path;
  QString reason;
};

// Why the file cannot be opened for reading with this process's rights, or
// "" when it can. Asked only when a read found nothing: the question costs a
// system call that a walk over a large tree should not pay per file.
QString WhyUnreadable(const QString& path);

struct PathList {
  int Count = 0;
  // Folders end with "/"; files are their folder followed by the name.
  QStringList Items;
  // Files and folders left out because their names are not valid UTF-8 (shown
  // here with replacement characters). Such a name cannot be handed back to
  // the file system exactly, so no operation may be allowed to act on it.
  QStringList Unreadable;
  // Folders that could not be listed or searched (their paths end in "/").
  // Their files are left out; the caller tells the person.
  QList<Refused> Denied;
};

// Attribute masks of the walk.
inline constexpr int kFolderMask = 16;
inline constexpr int kFileMask = 32;

struct WalkSetup {
  // The folder holding Files/DirIgnoreList.txt; empty: no ignore list.
  QString program_folder;
  // Lets window events run during the walk; may be null.
  Desktop* desktop = nullptr;
};

// Files/DirIgnoreList.txt of the program folder.
QString DirIgnoreListPath(const QString& program_folder);
// The non-empty lines of the ignore list (CR LF or LF), each a folder ending
// in "/". Creates the file empty (and its folder) when it is missing.
QSet<QString> ReadDirIgnoreList(const QString& program_folder);

// The names of a folder come in list text order (case ignored), as the
// folders of the original file system listed them. Hidden entries (names
// beginning with ".") are left out, and symbolic links to folders are never
// followed.

// Appends the immediate sub-folders of folder that are not on the ignore list
// (a line matches a folder only when equal to it, letter case included).
void GetSubFolders(const QString& folder, int mask, PathList& list, const WalkSetup& setup);
// Appends every sub-folder at any depth, each directly before its own sub-folders.
void GetAllSubFolders(const QString& folder, int mask, PathList& list, const WalkSetup& setup);
// Appends the regular files of folder whose names end in ".mp3" (any case).
// Symbolic links to regular files count as files.
void GetFolderFiles(const QString& folder, int mask, PathList& list, const WalkSetup& setup);
// Appends the files of every sub-folder (any depth, in GetAllSubFolders
// order), then the files of folder itself.
void GetAllFiles(const QString& folder, int folder_mask, int file_mask, PathList& list,
                 const WalkSetup& setup);
// The MP3 files of folder (GetFolderFiles) or, with sub_folders, of its whole
// tree (GetAllFiles): what every scan of the main folder lists.
PathList ListMp3Files(const QString& folder, bool sub_folders, const WalkSetup& setup);

}  // namespace orlavo

#endif  // ORLAVO_APP_FOLDER_WALK_H_

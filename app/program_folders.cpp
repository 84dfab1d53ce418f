#include "app/program_folders.h"

#include <unistd.h>

#include <QFile>

namespace orlavo {
namespace {

QString WithTrailingSlash(const QString& folder) {
  if (folder.isEmpty() || folder.endsWith(u'/')) return folder;
  return folder + u'/';
}

// access(2) rather than QFileInfo: it also answers for read-only mounts.
bool Writable(const QString& folder) {
  return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

}  // namespace

ProgramFolders LocateProgramFolders(const QString& program_folder,
                                    const QString& user_data_folder) {
  ProgramFolders folders;
  folders.program = WithTrailingSlash(program_folder);
  folders.data = folders.program;
  const bool installed = QFile::exists(folders.program + QLatin1String(kInstalledMarker));
  if ((installed || !Writable(folders.program)) && !user_data_folder.isEmpty()) {
    folders.data = WithTrailingSlash(user_data_folder);
  }
  return folders;
}

}  // namespace orlavo

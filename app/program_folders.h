// Where the running program keeps what it writes. A program run from a folder
// it owns (its build folder) keeps Settings.ini, Files/ and the user's own
// skins and schemes beside itself. An installed program's folder belongs to
// the system: the same things live in the user's data folder, and the
// program folder only lends its libraries, help document and Visuals/.
#ifndef ORLAVO_APP_PROGRAM_FOLDERS_H_
#define ORLAVO_APP_PROGRAM_FOLDERS_H_

#include <QString>

namespace orlavo {

// The file that `cmake --install` puts into the program folder it fills.
inline constexpr char kInstalledMarker[] = "Installed.txt";

struct ProgramFolders {
  // The folder of the executable: libpellox.so, libmevrit.so, the help
  // document, the shipped Visuals/. Ends with "/".
  QString program;
  // Settings.ini, Files/ and the user's own Visuals/. Ends with "/".
  QString data;

  bool SeparateData() const { return program != data; }
};

// The data folder is the program folder, unless that folder is installed (it
// holds the marker) or cannot be written; then it is user_data_folder, which
// is not created here.
ProgramFolders LocateProgramFolders(const QString& program_folder, const QString& user_data_folder);

}  // namespace orlavo

#endif  // ORLAVO_APP_PROGRAM_FOLDERS_H_

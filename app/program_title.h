// The program's name as every window, message box and generated file shows it.
#ifndef ORLAVO_APP_PROGRAM_TITLE_H_
#define ORLAVO_APP_PROGRAM_TITLE_H_

#include <QString>

namespace orlavo {

// "Orlavo Professional": the title of a message box that names none.
QString ProgramTitle();

// The title, " v", the major and the minor version: "Orlavo Professional v1.0".
QString ProgramTitleWithVersion();

}  // namespace orlavo

#endif  // ORLAVO_APP_PROGRAM_TITLE_H_

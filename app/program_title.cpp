#include "app/program_title.h"

namespace orlavo {

QString ProgramTitle() { return QStringLiteral("Orlavo Professional"); }

QString ProgramTitleWithVersion() {
  return ProgramTitle() +
         QStringLiteral(" v%1.%2").arg(ORLAVO_VERSION_MAJOR).arg(ORLAVO_VERSION_MINOR);
}

}  // namespace orlavo

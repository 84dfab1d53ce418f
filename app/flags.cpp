#include "app/flags.h"

namespace orlavo {

bool StopRequested = false;
bool PathChanged = false;

}  // namespace orlavo

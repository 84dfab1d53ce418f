// The program's two global flags.
#ifndef ORLAVO_APP_FLAGS_H_
#define ORLAVO_APP_FLAGS_H_

namespace orlavo {

// Set by a stop button or the closing of the main window; every long loop tests
// it before each item and each long operation clears it when it starts.
extern bool StopRequested;
// Set when the main folder changes; cleared when the Advanced tools window opens.
extern bool PathChanged;

}  // namespace orlavo

#endif  // ORLAVO_APP_FLAGS_H_

// How the windowed program asks the C library to manage its memory.
#ifndef ORLAVO_APP_GUI_MEMORY_TUNING_H_
#define ORLAVO_APP_GUI_MEMORY_TUNING_H_

#include <malloc.h>

namespace orlavo {

// Freed small blocks are merged with their neighbours at once instead of
// being kept aside for reuse. Kept aside, the blocks of a million freed rows
// (a new "Show files" replacing the list) are merged all together by the
// first larger request after it, which holds the window still for a tenth of
// a second; merged as they are freed, that work is spread over the freeing,
// which lets the window's events run.
inline void MergeFreedMemoryAtOnce() { mallopt(M_MXFAST, 0); }

}  // namespace orlavo

#endif  // ORLAVO_APP_GUI_MEMORY_TUNING_H_

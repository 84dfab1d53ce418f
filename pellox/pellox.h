/* Pellox: MPEG stream information and ID3v1 tag of one file.
 * Each call opens and closes the file; the library keeps no state. */
#ifndef ORLAVO_PELLOX_PELLOX_H_
#define ORLAVO_PELLOX_PELLOX_H_

#include "formats/records.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Clears *info, then fills it from the file's first MPEG frame header. */
void ReadMP3(const char* fileName, StreamInfo* info);
/* Fills *tag from the file's last 128 bytes; an empty name leaves it as it was. */
void ReadID3v1(const char* fileName, ID3v1Tag* tag);

typedef void (*ReadMP3Function)(const char*, StreamInfo*);
typedef void (*ReadID3v1Function)(const char*, ID3v1Tag*);

#ifdef __cplusplus
}
#endif

#endif /* ORLAVO_PELLOX_PELLOX_H_ */

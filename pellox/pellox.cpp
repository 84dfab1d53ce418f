#include "pellox/pellox.h"

#include "formats/id3v1.h"
#include "formats/mpeg_header.h"

#define PELLOX_EXPORT __attribute__((visibility("default")))

extern "C" PELLOX_EXPORT void ReadMP3(const char* fileName, StreamInfo* info) {
  if (info == nullptr) return;
  orlavo::ReadStreamInfo(fileName, info);
}

extern "C" PELLOX_EXPORT void ReadID3v1(const char* fileName, ID3v1Tag* tag) {
  if (tag == nullptr) return;
  orlavo::ReadID3v1Record(fileName, tag);
}

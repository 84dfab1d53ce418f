// libFuzzer target: the stream information reader over arbitrary file bytes.
#include <cstring>

#include "formats/mpeg_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orlavo::MemorySource source(std::span<const uint8_t>(data, size));
  StreamInfo info;
  orlavo::ReadStreamInfo(source, &info);
  // The texts always stay terminated inside their fields.
  if (memchr(info.Version, 0, sizeof(info.Version)) == nullptr) __builtin_trap();
  if (info.Duration < 0 || info.Frames < 0 || info.Bitrate < 0) __builtin_trap();
  return 0;
}

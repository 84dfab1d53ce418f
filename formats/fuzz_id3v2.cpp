// libFuzzer target: the ID3v2 reader over arbitrary file bytes, and the frame
// parser over arbitrary tag bodies of every version it knows.
#include "formats/id3v2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  orlavo::MemorySource source(bytes);
  orlavo::ID3v2Tag tag = orlavo::ReadID3v2Tag(source);
  if (tag.Exists != (size >= 10 && data[0] == 'I' && data[1] == 'D' && data[2] == '3')) {
    __builtin_trap();
  }
  for (int16_t version : {2, 3, 4}) {
    orlavo::ID3v2Tag body_tag;
    body_tag.Version = version;
    orlavo::ParseID3v2Frames(bytes, &body_tag);
    if (body_tag.TrackNum < 0) __builtin_trap();
  }
  orlavo::DecodeId3v2Text(bytes);
  return 0;
}

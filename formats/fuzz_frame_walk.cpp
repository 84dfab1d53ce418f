// libFuzzer target: the frame walk over arbitrary file bytes.
#include "formats/frame_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orlavo::FrameWalk walk = orlavo::WalkFrames(std::span<const uint8_t>(data, size));
  const orlavo::AudioLayout& l = walk.layout;
  // The audio lies inside the file, after the tag, and frames follow each other
  // inside the audio without overlapping.
  if (l.file_size != size || l.id3v2_size > size) __builtin_trap();
  if (l.audio_start < l.id3v2_size || l.audio_start > l.audio_end || l.audio_end > size) {
    __builtin_trap();
  }
  if (l.first_frame && (*l.first_frame < l.id3v2_size || *l.first_frame > l.audio_start)) {
    __builtin_trap();
  }
  uint64_t at = l.audio_start;
  for (const orlavo::MpegFrame& f : walk.frames) {
    if (f.offset < at || f.length == 0 || f.offset + f.length > l.audio_end) __builtin_trap();
    if (f.sample_rate == 0 || f.samples == 0) __builtin_trap();
    at = f.offset + f.length;
  }
  return 0;
}

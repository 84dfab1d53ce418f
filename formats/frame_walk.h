// Where the audio of an MP3 file lies and how it divides into MPEG frames. This is
// the program's one frame walk: the joiner, the splitter, the preview and the cue
// sheets' durations all ask it, so they agree on every boundary.
#ifndef ORLAVO_FORMATS_FRAME_WALK_H_
#define ORLAVO_FORMATS_FRAME_WALK_H_

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "formats/byte_source.h"

namespace orlavo {

// A frame header that can be walked: its length and playing time are known.
struct FrameHeader {
  uint32_t length = 0;       // bytes, header and padding included
  uint32_t samples = 0;      // per channel: 384, 1152 or 576
  uint32_t sample_rate = 0;  // Hz
  int version_id = 0;        // as MpegHeader
  int layer_id = 0;
  int channel_mode = 0;
  bool has_crc = false;
};

// Decodes four header bytes; nullopt unless they carry the sync word, a known
// version, layer, bitrate (free format has no length) and sample rate.
std::optional<FrameHeader> ParseFrameHeader(std::span<const uint8_t> four);

// The marker of an encoder's information frame, which holds no audio.
// "Xing" and "VBRI" mark a variable-bitrate stream, "Info" a constant one.
enum class InfoFrameKind { kNone, kXing, kInfo, kVbri };

// Looks for the marker in one whole frame (or at least its first 40 bytes):
// "Xing" or "Info" right after the side information of the frame's version and
// mode, or two bytes later (encoders differ on frames with a CRC); "VBRI" 32
// bytes after the header. Only Layer III frames carry these markers.
InfoFrameKind DetectInfoFrame(std::span<const uint8_t> frame);

// One audio frame as it lies in the file.
struct MpegFrame {
  uint64_t offset = 0;
  uint32_t length = 0;  // cut short when the frame runs past the audio end
  uint32_t samples = 0;
  uint32_t sample_rate = 0;
  double Seconds() const { return static_cast<double>(samples) / sample_rate; }
};

// Where things lie in one file. Offsets are from byte 0.
struct AudioLayout {
  uint64_t file_size = 0;
  // Bytes of a leading ID3v2 tag (0 without one), clipped to the file size.
  uint64_t id3v2_size = 0;
  // The first frame header within 64 KiB after the tag; nullopt when none.
  std::optional<uint64_t> first_frame;
  // The first frame's marker, and its length when it is an information frame.
  InfoFrameKind info_frame = InfoFrameKind::kNone;
  uint32_t info_frame_length = 0;
  // The audio: from the first frame (past an information frame) to the file end
  // or the start of a trailing ID3v1 tag. Without a frame it starts after the tag.
  uint64_t audio_start = 0;
  uint64_t audio_end = 0;

  bool has_info_frame() const { return info_frame != InfoFrameKind::kNone; }
  // Byte arithmetic cannot place times in a variable-bitrate stream.
  bool variable_bitrate() const {
    return info_frame == InfoFrameKind::kXing || info_frame == InfoFrameKind::kVbri;
  }
};

// The layout alone: a few small reads, whatever the file's size.
AudioLayout FindAudioLayout(ByteSource& source);
AudioLayout FindAudioLayout(std::span<const uint8_t> bytes);

struct FrameWalk {
  AudioLayout layout;
  // Every frame from the audio start on. The walk follows each frame's length;
  // where no frame header lies there, the next one is searched for within
  // 64 KiB, and the walk ends when none is found or at the audio end.
  std::vector<MpegFrame> frames;
  double seconds = 0;  // the sum of the frames' playing times
};

// Reads the file in blocks, never whole.
FrameWalk WalkFrames(ByteSource& source);
FrameWalk WalkFrames(std::span<const uint8_t> bytes);
// A file that cannot be opened gives an empty walk with file_size 0.
FrameWalk WalkFrames(const char* path);

}  // namespace orlavo

#endif  // ORLAVO_FORMATS_FRAME_WALK_H_

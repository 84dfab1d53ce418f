#include "formats/frame_walk.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "formats/id3v1.h"
#include "formats/mpeg_header.h"

namespace orlavo {
namespace {

constexpr size_t kBlockSize = 256 * 1024;
// Enough of a frame to see any information-frame marker.
constexpr size_t kInfoProbeSize = 48;

// A window of the source that moves forward in blocks, so that a walk over a
// large file costs a few hundred reads and little memory.
class BlockReader {
 public:
  BlockReader(ByteSource& source, uint64_t end) : source_(source), end_(end) {}

  // Up to n bytes at offset, fewer where the readable range ends.
  std::span<const uint8_t> At(uint64_t offset, size_t n) {
    if (offset >= end_) return {};
    n = static_cast<size_t>(std::min<uint64_t>(n, end_ - offset));
    if (offset < block_at_ || offset + n > block_at_ + block_len_) {
      // A small source gets a small block.
      if (block_.empty()) block_.resize(static_cast<size_t>(std::min<uint64_t>(kBlockSize, end_)));
      size_t want = static_cast<size_t>(std::min<uint64_t>(block_.size(), end_ - offset));
      block_at_ = offset;
      block_len_ = source_.ReadAt(offset, std::span(block_.data(), want));
    }
    size_t from = static_cast<size_t>(offset - block_at_);
    if (from >= block_len_) return {};
    return std::span<const uint8_t>(block_.data() + from, std::min(n, block_len_ - from));
  }

 private:
  ByteSource& source_;
  uint64_t end_;
  std::vector<uint8_t> block_;
  uint64_t block_at_ = 0;
  size_t block_len_ = 0;
};

std::optional<FrameHeader> HeaderAt(BlockReader& reader, uint64_t offset) {
  std::span<const uint8_t> four = reader.At(offset, 4);
  if (four.size() < 4) return std::nullopt;
  return ParseFrameHeader(four);
}

// The first frame header in [from, from + 64 KiB), the reach of the reader's
// own search for a frame.
std::optional<uint64_t> SearchFrame(BlockReader& reader, uint64_t from) {
  for (uint64_t at = from; at - from < kSyncSearchLimit; ++at) {
    std::span<const uint8_t> four = reader.At(at, 4);
    if (four.size() < 4) return std::nullopt;
    if (four[0] == 0xFF && ParseFrameHeader(four)) return at;
  }
  return std::nullopt;
}

bool MarkerAt(std::span<const uint8_t> frame, size_t at, const char* marker) {
  return frame.size() >= at + 4 && std::memcmp(frame.data() + at, marker, 4) == 0;
}

}  // namespace

std::optional<FrameHeader> ParseFrameHeader(std::span<const uint8_t> four) {
  if (four.size() < 4 || four[0] != 0xFF || (four[1] & 0xE0) != 0xE0) return std::nullopt;
  uint32_t value = uint32_t{four[0]} << 24 | uint32_t{four[1]} << 16 | uint32_t{four[2]} << 8 |
                   uint32_t{four[3]};
  MpegHeader h = DecodeMpegHeader(value);
  if (h.version_id == 1 || h.layer_id == 0) return std::nullopt;
  const int bitrate = BitrateKbps(h);
  const int rate = SampleRateHz(h);
  if (bitrate == 0 || rate == 0) return std::nullopt;
  const bool padding = (value >> 9) & 1;
  const bool mpeg1 = h.version_id == 3;
  FrameHeader f;
  if (h.layer_id == 3) {
    // Layer I counts in 4-byte slots.
    f.length = static_cast<uint32_t>((12 * bitrate * 1000 / rate + padding) * 4);
    f.samples = 384;
  } else {
    const int factor = (h.layer_id == 1 && !mpeg1) ? 72 : 144;
    f.length = static_cast<uint32_t>(factor * bitrate * 1000 / rate + padding);
    f.samples = (h.layer_id == 1 && !mpeg1) ? 576 : 1152;
  }
  f.sample_rate = static_cast<uint32_t>(rate);
  f.version_id = h.version_id;
  f.layer_id = h.layer_id;
  f.channel_mode = h.channel_mode;
  f.has_crc = ((value >> 16) & 1) == 0;
  return f;
}

InfoFrameKind DetectInfoFrame(std::span<const uint8_t> frame) {
  std::optional<FrameHeader> h = ParseFrameHeader(frame);
  if (!h || h->layer_id != 1) return InfoFrameKind::kNone;
  const bool mono = h->channel_mode == 3;
  const size_t side_info = h->version_id == 3 ? (mono ? 17 : 32) : (mono ? 9 : 17);
  for (size_t at : {4 + side_info, 4 + side_info + 2}) {
    if (MarkerAt(frame, at, "Xing")) return InfoFrameKind::kXing;
    if (MarkerAt(frame, at, "Info")) return InfoFrameKind::kInfo;
  }
  if (MarkerAt(frame, 36, "VBRI")) return InfoFrameKind::kVbri;
  return InfoFrameKind::kNone;
}

AudioLayout FindAudioLayout(ByteSource& source) {
  AudioLayout layout;
  if (!source.ok()) return layout;
  layout.file_size = source.size();
  std::array<uint8_t, 10> head{};
  size_t got = source.ReadAt(0, head);
  layout.id3v2_size = std::min(LeadingId3v2Size(std::span(head.data(), got)), layout.file_size);
  layout.audio_end = layout.file_size;
  if (HasId3v1Tag(source) && layout.file_size - kId3v1Size >= layout.id3v2_size) {
    layout.audio_end = layout.file_size - kId3v1Size;
  }
  layout.audio_start = layout.id3v2_size;
  BlockReader reader(source, layout.audio_end);
  layout.first_frame = SearchFrame(reader, layout.id3v2_size);
  if (!layout.first_frame) return layout;
  layout.audio_start = *layout.first_frame;
  std::span<const uint8_t> probe = reader.At(*layout.first_frame, kInfoProbeSize);
  const uint32_t length = ParseFrameHeader(probe)->length;
  layout.info_frame = DetectInfoFrame(probe.first(std::min<size_t>(probe.size(), length)));
  if (layout.has_info_frame()) {
    layout.info_frame_length = length;
    layout.audio_start = std::min<uint64_t>(*layout.first_frame + length, layout.audio_end);
  }
  return layout;
}

AudioLayout FindAudioLayout(std::span<const uint8_t> bytes) {
  MemorySource source(bytes);
  return FindAudioLayout(source);
}

FrameWalk WalkFrames(ByteSource& source) {
  FrameWalk walk;
  walk.layout = FindAudioLayout(source);
  const AudioLayout& layout = walk.layout;
  if (!layout.first_frame) return walk;
  BlockReader reader(source, layout.audio_end);
  uint64_t at = layout.audio_start;
  while (at < layout.audio_end) {
    std::optional<FrameHeader> h = HeaderAt(reader, at);
    if (!h) {
      std::optional<uint64_t> next = SearchFrame(reader, at);
      if (!next) break;
      at = *next;
      h = HeaderAt(reader, at);
    }
    MpegFrame frame;
    frame.offset = at;
    frame.length = static_cast<uint32_t>(std::min<uint64_t>(h->length, layout.audio_end - at));
    frame.samples = h->samples;
    frame.sample_rate = h->sample_rate;
    walk.frames.push_back(frame);
    walk.seconds += frame.Seconds();
    at += h->length;
  }
  return walk;
}

FrameWalk WalkFrames(std::span<const uint8_t> bytes) {
  MemorySource source(bytes);
  return WalkFrames(source);
}

FrameWalk WalkFrames(const char* path) {
  FileSource source(path);
  return WalkFrames(source);
}

}  // namespace orlavo

#include "formats/mpeg_header.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <limits>

#include "formats/id3v1.h"

namespace orlavo {
namespace {

// kbit/s by bitrate index. MPEG 1: Layer I, II, III; lower sampling frequencies:
// Layer I, then Layers II and III.
constexpr std::array<std::array<int16_t, 16>, 3> kMpeg1Bitrates = {{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
}};
constexpr std::array<std::array<int16_t, 16>, 2> kLsfBitrates = {{
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
}};
// Hz by version ID (0 MPEG 2.5, 1 reserved, 2 MPEG 2, 3 MPEG 1) and index.
constexpr std::array<std::array<int32_t, 4>, 4> kSampleRates = {{
    {11025, 12000, 8000, 0},
    {0, 0, 0, 0},
    {22050, 24000, 16000, 0},
    {44100, 48000, 32000, 0},
}};
constexpr std::array<const char*, 4> kEmphasis = {"None", "50/15ms", "Unknown", "CCITT j.17"};
constexpr std::array<const char*, 4> kModes = {"Stereo", "Joint Stereo", "Dual Channel",
                                               "Single Channel"};
constexpr std::array<double, 4> kVersionNumbers = {2.5, 0.0, 2.0, 1.0};

void CopyText(char (&field)[30], const char* text) {
  std::memcpy(field, text, std::min(std::strlen(text), sizeof(field) - 1));
}

bool IsSync(const uint8_t* p) { return p[0] == 0xFF && (p[1] & 0xE0) == 0xE0; }

}  // namespace

MpegHeader DecodeMpegHeader(uint32_t v) {
  MpegHeader h;
  h.version_id = (v >> 19) & 3;
  h.layer_id = (v >> 17) & 3;
  h.bitrate_index = (v >> 12) & 15;
  h.sample_rate_index = (v >> 10) & 3;
  h.private_bit = (v >> 8) & 1;
  h.channel_mode = (v >> 6) & 3;
  h.copyright = (v >> 3) & 1;
  h.original = (v >> 2) & 1;
  h.emphasis = v & 3;
  return h;
}

int BitrateKbps(const MpegHeader& h) {
  if (h.layer_id == 0) return 0;
  int layer_row = 3 - h.layer_id;  // Layer I -> 0, II -> 1, III -> 2
  if (h.version_id & 1) return kMpeg1Bitrates[layer_row][h.bitrate_index];
  return kLsfBitrates[layer_row == 0 ? 0 : 1][h.bitrate_index];
}

int SampleRateHz(const MpegHeader& h) { return kSampleRates[h.version_id][h.sample_rate_index]; }

int FrameLengthFactor(const MpegHeader& h) {
  if (h.layer_id == 3) return 48;
  if (h.layer_id == 1 && h.version_id != 3) return 72;
  return 144;
}

uint64_t LeadingId3v2Size(std::span<const uint8_t> head) {
  if (head.size() < 10 || head[0] != 'I' || head[1] != 'D' || head[2] != '3') return 0;
  uint64_t body = (uint64_t{head[6] & 0x7Fu} << 21) | ((head[7] & 0x7Fu) << 14) |
                  ((head[8] & 0x7Fu) << 7) | (head[9] & 0x7Fu);
  bool footer = head[3] == 4 && (head[5] & 0x10) != 0;
  return 10 + body + (footer ? 10 : 0);
}

void FillStreamInfo(uint32_t header, uint64_t audio_bytes, StreamInfo* info) {
  MpegHeader h = DecodeMpegHeader(header);
  CopyText(info->Emphasis, kEmphasis[h.emphasis]);
  int bitrate = BitrateKbps(h);
  if (bitrate > 0) {
    uint64_t seconds = audio_bytes * 8 / 1000 / static_cast<uint64_t>(bitrate);
    info->Duration = static_cast<int16_t>(std::min<uint64_t>(seconds, 32767));
  }
  char version[64];
  std::snprintf(version, sizeof(version), "MPEG %f Layer %d", kVersionNumbers[h.version_id],
                4 - h.layer_id);
  CopyText(info->Version, version);
  info->Bitrate = static_cast<int16_t>(bitrate);
  int rate = SampleRateHz(h);
  if (bitrate > 0 && rate > 0) {
    double frame_length = static_cast<double>(bitrate) * 1000.0 / rate * FrameLengthFactor(h);
    double frames = static_cast<double>(audio_bytes) / frame_length;
    info->Frames =
        static_cast<int32_t>(std::min<double>(frames, std::numeric_limits<int32_t>::max()));
  }
  info->Private = static_cast<int16_t>(h.private_bit);
  info->Original = static_cast<int16_t>(h.original);
  info->Copyright = static_cast<int16_t>(h.copyright);
  CopyText(info->Mode, kModes[h.channel_mode]);
  info->Frequency = rate;
}

void ReadStreamInfo(ByteSource& source, StreamInfo* info) {
  std::memset(info->Emphasis, 0, sizeof(info->Emphasis));
  std::memset(info->Version, 0, sizeof(info->Version));
  std::memset(info->Mode, 0, sizeof(info->Mode));
  info->Duration = info->Bitrate = 0;
  info->Frames = 0;
  info->Private = info->Copyright = info->Original = 0;
  info->Frequency = 0;
  if (!source.ok()) return;

  const uint64_t size = source.size();
  // One small read covers the ID3v2 header and, for most files, the first frame.
  std::array<uint8_t, 4096> buf;
  size_t got = source.ReadAt(0, buf);
  uint64_t start = LeadingId3v2Size(std::span(buf.data(), got));
  if (start >= size) return;

  // Search the sync word chunk by chunk: chunks overlap by 3 bytes so a header
  // that straddles two chunks is still seen.
  uint64_t chunk_at = start;
  if (start != 0) got = source.ReadAt(chunk_at, buf);
  std::optional<uint64_t> frame_at;
  while (got >= 4) {
    for (size_t i = 0; i + 3 < got; ++i) {
      if (chunk_at + i - start >= kSyncSearchLimit) break;
      if (IsSync(&buf[i])) {
        frame_at = chunk_at + i;
        break;
      }
    }
    if (frame_at) break;
    uint64_t next = chunk_at + got - 3;
    if (next - start >= kSyncSearchLimit || chunk_at + got >= size) break;
    chunk_at = next;
    got = source.ReadAt(chunk_at, buf);
  }
  if (!frame_at) return;

  size_t in_buf = static_cast<size_t>(*frame_at - chunk_at);
  uint32_t header = (uint32_t{buf[in_buf]} << 24) | (uint32_t{buf[in_buf + 1]} << 16) |
                    (uint32_t{buf[in_buf + 2]} << 8) | buf[in_buf + 3];
  uint64_t audio_bytes = size - *frame_at;
  if (size - *frame_at >= 128 + 4 && HasId3v1Tag(source)) audio_bytes -= 128;
  FillStreamInfo(header, audio_bytes, info);
}

void ReadStreamInfo(const char* path, StreamInfo* info) {
  FileSource source(path);
  ReadStreamInfo(source, info);
}

}  // namespace orlavo

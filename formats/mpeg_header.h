// MPEG audio frame header decoding and the stream information derived from it.
#ifndef ORLAVO_FORMATS_MPEG_HEADER_H_
#define ORLAVO_FORMATS_MPEG_HEADER_H_

#include <cstdint>
#include <optional>

#include "formats/byte_source.h"
#include "formats/records.h"

namespace orlavo {

// The fields of a 4-byte frame header (bit 31 = top bit of the first byte).
struct MpegHeader {
  int version_id = 0;  // 0 MPEG 2.5, 1 reserved, 2 MPEG 2, 3 MPEG 1
  int layer_id = 0;    // 1 Layer III, 2 Layer II, 3 Layer I, 0 reserved
  int bitrate_index = 0;
  int sample_rate_index = 0;
  int private_bit = 0;
  int channel_mode = 0;
  int copyright = 0;
  int original = 0;
  int emphasis = 0;
};

MpegHeader DecodeMpegHeader(uint32_t header);
int BitrateKbps(const MpegHeader& h);   // 0 for free, bad and reserved entries
int SampleRateHz(const MpegHeader& h);  // 0 for reserved entries
// Bytes per frame times bitrate / sample rate: 48, 144 or 72.
int FrameLengthFactor(const MpegHeader& h);

// The size of a leading ID3v2 tag (header, body and footer), or 0 when the bytes
// do not begin with "ID3". `head` needs the first 10 bytes of the file.
uint64_t LeadingId3v2Size(std::span<const uint8_t> head);

// Fills `info` from one header and the number of audio bytes behind it.
void FillStreamInfo(uint32_t header, uint64_t audio_bytes, StreamInfo* info);

// The whole reader: clears `info`, skips a leading ID3v2 tag, finds the first
// frame sync within 64 KiB of the audio start and decodes it; the audio bytes
// exclude what stands before that frame and a trailing ID3v1 tag. A source with
// no sync word leaves the record cleared.
void ReadStreamInfo(ByteSource& source, StreamInfo* info);
void ReadStreamInfo(const char* path, StreamInfo* info);

constexpr uint64_t kSyncSearchLimit = 64 * 1024;

}  // namespace orlavo

#endif  // ORLAVO_FORMATS_MPEG_HEADER_H_

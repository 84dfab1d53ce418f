#include "tests/support/wav_fixture.h"

#include <cmath>
#include <cstring>

namespace orlavo::testing {
namespace {

void Put(Bytes& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void PutText(Bytes& out, const char* text) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(text[i]));
}

}  // namespace

Bytes WavBytes(const WavFormat& format) {
  const int sample_bytes = format.bits / 8;
  const int block = sample_bytes * format.channels;
  const uint64_t data_size = static_cast<uint64_t>(format.frames) * block;
  const int format_tag = format.extensible ? 0xFFFE : format.is_float ? 3 : 1;
  const int fmt_size = format.extensible ? 40 : 16;

  Bytes out;
  out.reserve(static_cast<size_t>(data_size) + 80);
  PutText(out, "RIFF");
  Put(out, 4 + 8 + fmt_size + 8 + data_size, 4);
  PutText(out, "WAVE");
  PutText(out, "fmt ");
  Put(out, fmt_size, 4);
  Put(out, format_tag, 2);
  Put(out, format.channels, 2);
  Put(out, format.sample_rate, 4);
  Put(out, static_cast<uint64_t>(format.sample_rate) * block, 4);
  Put(out, block, 2);
  Put(out, format.bits, 2);
  if (format.extensible) {
    Put(out, 22, 2);                                                              // extension size
    Put(out, format.bits, 2);                                                     // valid bits
    Put(out, format.channels == 1 ? 0x4 : format.channels == 2 ? 0x3 : 0x3F, 4);  // speakers
    // The sub-format GUID: PCM or IEEE float, then the fixed tail.
    static const uint8_t kTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                      0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    Put(out, format.is_float ? 3 : 1, 2);
    out.insert(out.end(), kTail, kTail + 14);
  }
  PutText(out, "data");
  Put(out, data_size, 4);
  for (int64_t i = 0; i < format.frames; ++i) {
    for (int c = 0; c < format.channels; ++c) {
      const double v = 0.5 * std::sin(2 * M_PI * (c == 0 ? 440.0 : 660.0) * i / format.sample_rate);
      if (format.is_float) {
        const float f = static_cast<float>(v);
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        Put(out, bits, 4);
      } else if (format.bits == 8) {
        out.push_back(static_cast<uint8_t>(128 + std::lround(v * 127)));
      } else {
        const int64_t scaled = std::llround(v * ((int64_t{1} << (format.bits - 1)) - 1));
        Put(out, static_cast<uint64_t>(scaled), sample_bytes);
      }
    }
  }
  return out;
}

void WriteWav(const QString& path, const WavFormat& format) {
  WriteFileBytes(path, WavBytes(format));
}

}  // namespace orlavo::testing

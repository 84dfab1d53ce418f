// WAV files for the encoder's tests, written byte by byte so that every
// container variant (plain, WAVE_FORMAT_EXTENSIBLE, float, 8 to 32 bits, any
// channel count, a cut header) can be made.
#ifndef ORLAVO_TESTS_SUPPORT_WAV_FIXTURE_H_
#define ORLAVO_TESTS_SUPPORT_WAV_FIXTURE_H_

#include <QString>
#include <cstdint>

#include "tests/support/lame_fixture.h"

namespace orlavo::testing {

struct WavFormat {
  int sample_rate = 44100;
  int channels = 2;
  int bits = 16;          // 8, 16, 24 or 32
  bool is_float = false;  // 32-bit IEEE float (bits must be 32)
  bool extensible = false;
  int64_t frames = 44100;
};

// A 440 Hz tone (660 Hz on the second channel and beyond) at half scale.
Bytes WavBytes(const WavFormat& format);
void WriteWav(const QString& path, const WavFormat& format);

}  // namespace orlavo::testing

#endif  // ORLAVO_TESTS_SUPPORT_WAV_FIXTURE_H_

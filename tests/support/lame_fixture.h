// Real MP3 data for tests, encoded with libmp3lame, and small file helpers.
#ifndef ORLAVO_TESTS_SUPPORT_LAME_FIXTURE_H_
#define ORLAVO_TESTS_SUPPORT_LAME_FIXTURE_H_

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace orlavo::testing {

using Bytes = std::vector<uint8_t>;

struct EncodeParams {
  int sample_rate = 44100;
  int channels = 2;
  int bitrate_kbps = 128;
  double seconds = 1.0;
  // lame's MPEG mode: 0 stereo, 1 joint stereo, 3 mono.
  int mode = 1;
  // Variable bitrate (lame's default VBR) instead of bitrate_kbps.
  bool vbr = false;
  // Lead with the encoder's information frame: "Xing" for VBR, "Info" for CBR.
  bool info_frame = false;
};

// A stream of a 440 Hz tone; without info_frame its first frame header is at
// offset 0.
Bytes EncodeMp3(const EncodeParams& params);

// An ID3v1 block: "TAG", fields padded with NULs, genre byte.
Bytes Id3v1Block(const std::string& title, const std::string& artist, const std::string& album,
                 const std::string& year, const std::string& comment, uint8_t genre);

Bytes Concat(std::initializer_list<Bytes> parts);

Bytes ReadFileBytes(const QString& path);
void WriteFileBytes(const QString& path, const Bytes& bytes);

}  // namespace orlavo::testing

#endif  // ORLAVO_TESTS_SUPPORT_LAME_FIXTURE_H_

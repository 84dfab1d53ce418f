// Checks of an MP3 file as real clients see it: mpg123 decodes it and
// mp3val inspects its frames and its Info frame.
#ifndef ORLAVO_TESTS_SUPPORT_MP3_CHECK_H_
#define ORLAVO_TESTS_SUPPORT_MP3_CHECK_H_

#include <QString>
#include <QStringList>
#include <cstdint>

namespace orlavo::testing {

struct DecodedAudio {
  bool ok = false;  // mpg123 ran and wrote a WAV file
  int channels = 0;
  int sample_rate = 0;
  int64_t frames = 0;  // sample frames decoded
  // mpg123's lines about errors, warnings or a stream that changes midway.
  QStringList complaints;
};
// Gapless decoding honours the Info frame's encoder delay and padding; without
// it every MPEG frame is decoded whole.
DecodedAudio DecodeWithMpg123(const QString& mp3, bool gapless = true);

struct Mp3valReport {
  int frames = -1;  // MPEG frames counted (-1 when not reported)
  // Warnings and errors, leaving out the one about a file without tags.
  QStringList problems;
};
Mp3valReport CheckWithMp3val(const QString& mp3);

// The rest of a command's output when it ran and exited with 0; null otherwise.
QString RunTool(const QString& program, const QStringList& args);

}  // namespace orlavo::testing

#endif  // ORLAVO_TESTS_SUPPORT_MP3_CHECK_H_

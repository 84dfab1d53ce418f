// Decoding with the mpg123 program, as a player would, to check written MP3s.
#ifndef ORLAVO_TESTS_SUPPORT_MPG123_CHECK_H_
#define ORLAVO_TESTS_SUPPORT_MPG123_CHECK_H_

#include <QString>

namespace orlavo::testing {

struct Decoded {
  bool clean = false;  // mpg123 -t ran, exited 0 and reported no error
  QString complaints;  // what it said on stderr when not clean
  qint64 samples = 0;  // per channel, from a decode to raw samples
};

// False when mpg123 is not installed (tests then fail with that reason).
bool Mpg123Available();
Decoded DecodeWithMpg123(const QString& path);

}  // namespace orlavo::testing

#endif  // ORLAVO_TESTS_SUPPORT_MPG123_CHECK_H_

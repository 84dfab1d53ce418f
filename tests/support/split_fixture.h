// Sources for the splitter's tests and benchmark: lame streams that begin
// with a Xing (variable bitrate) or Info (constant bitrate) frame, an
// independent list of a stream's frames to check cuts against, and mpg123 as
// the client that must decode every track.
#ifndef ORLAVO_TESTS_SUPPORT_SPLIT_FIXTURE_H_
#define ORLAVO_TESTS_SUPPORT_SPLIT_FIXTURE_H_

#include <QString>
#include <vector>

#include "tests/support/lame_fixture.h"

namespace orlavo::testing {

// A stream whose first frame is lame's tag frame: "Xing" when vbr, else
// "Info". The signal alternates between a quiet tone and loud noise every
// half second, so variable-bitrate frames differ widely in size.
Bytes EncodeTaggedMp3(const EncodeParams& params, bool vbr);

struct FrameSpan {
  size_t offset = 0;
  size_t length = 0;
  int samples = 0;
  int sample_rate = 0;
};
// The MPEG frames from `from` as long as valid headers follow each other.
std::vector<FrameSpan> ListFrames(const Bytes& bytes, size_t from);

// Runs "mpg123 -t" on the file: true when it exits 0 and reports no error.
// *output gets what it printed.
bool Mpg123Decodes(const QString& path, QString* output = nullptr);

}  // namespace orlavo::testing

#endif  // ORLAVO_TESTS_SUPPORT_SPLIT_FIXTURE_H_

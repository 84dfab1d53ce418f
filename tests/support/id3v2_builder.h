// Builds ID3v2 tags (versions 2.2, 2.3 and 2.4) for tests.
#ifndef ORLAVO_TESTS_SUPPORT_ID3V2_BUILDER_H_
#define ORLAVO_TESTS_SUPPORT_ID3V2_BUILDER_H_

#include <string>
#include <vector>

#include "tests/support/lame_fixture.h"

namespace orlavo::testing {

struct Id3v2Frame {
  std::string id;
  Bytes payload;
  uint8_t flags1 = 0;  // status flags (2.3/2.4)
  uint8_t flags2 = 0;  // format flags (2.3/2.4)
};

// A text payload: encoding byte (0 ISO-8859-1, 1 UTF-16 with BOM, 2 UTF-16BE,
// 3 UTF-8) and the UTF-8 text converted to it, with `nul` terminator(s) added.
Bytes TextPayload(int encoding, const std::string& utf8, bool nul = false);
Id3v2Frame TextFrame(const std::string& id, int encoding, const std::string& utf8);

// A whole tag: header, frames (sizes in the version's form) and zero padding.
Bytes Id3v2Tag(int major, const std::vector<Id3v2Frame>& frames, size_t padding = 0,
               uint8_t header_flags = 0);

}  // namespace orlavo::testing

#endif  // ORLAVO_TESTS_SUPPORT_ID3V2_BUILDER_H_

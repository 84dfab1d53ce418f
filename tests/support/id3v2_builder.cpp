#include "tests/support/id3v2_builder.h"

#include <QString>

namespace orlavo::testing {
namespace {

void PutSyncsafe(Bytes& out, uint32_t v) {
  out.push_back((v >> 21) & 0x7F);
  out.push_back((v >> 14) & 0x7F);
  out.push_back((v >> 7) & 0x7F);
  out.push_back(v & 0x7F);
}

}  // namespace

Bytes TextPayload(int encoding, const std::string& utf8, bool nul) {
  Bytes b{static_cast<uint8_t>(encoding)};
  QString text = QString::fromStdString(utf8);
  switch (encoding) {
    case 0: {
      QByteArray latin = text.toLatin1();
      b.insert(b.end(), latin.begin(), latin.end());
      if (nul) b.push_back(0);
      break;
    }
    case 1:
    case 2: {
      if (encoding == 1) b.insert(b.end(), {0xFF, 0xFE});
      for (QChar c : text) {
        uint16_t u = c.unicode();
        if (encoding == 1) {
          b.push_back(u & 0xFF);
          b.push_back(u >> 8);
        } else {
          b.push_back(u >> 8);
          b.push_back(u & 0xFF);
        }
      }
      if (nul) b.insert(b.end(), {0, 0});
      break;
    }
    default:
      b.insert(b.end(), utf8.begin(), utf8.end());
      if (nul) b.push_back(0);
  }
  return b;
}

Id3v2Frame TextFrame(const std::string& id, int encoding, const std::string& utf8) {
  return {id, TextPayload(encoding, utf8)};
}

Bytes Id3v2Tag(int major, const std::vector<Id3v2Frame>& frames, size_t padding,
               uint8_t header_flags) {
  Bytes body;
  for (const Id3v2Frame& f : frames) {
    body.insert(body.end(), f.id.begin(), f.id.end());
    uint32_t n = static_cast<uint32_t>(f.payload.size());
    if (major == 2) {
      body.insert(body.end(), {uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
    } else {
      if (major == 4) {
        PutSyncsafe(body, n);
      } else {
        body.insert(body.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
      }
      body.push_back(f.flags1);
      body.push_back(f.flags2);
    }
    body.insert(body.end(), f.payload.begin(), f.payload.end());
  }
  body.insert(body.end(), padding, 0);
  Bytes tag{'I', 'D', '3', static_cast<uint8_t>(major), 0, header_flags};
  PutSyncsafe(tag, static_cast<uint32_t>(body.size()));
  tag.insert(tag.end(), body.begin(), body.end());
  return tag;
}

}  // namespace orlavo::testing

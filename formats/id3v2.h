// Reader of the text frames of an ID3v2 tag at the start of a file.
#ifndef ORLAVO_FORMATS_ID3V2_H_
#define ORLAVO_FORMATS_ID3V2_H_

#include <cstdint>
#include <span>
#include <string>

#include "formats/byte_source.h"

namespace orlavo {

// Texts are UTF-8.
struct ID3v2Tag {
  std::string Title;
  std::string Artist;
  std::string Album;
  std::string Year;
  std::string Genre;
  int16_t TrackNum = 0;
  int16_t Version = 0;
  bool Exists = false;
};

// Fills the text fields and TrackNum of `tag` from a tag body, choosing frame
// identifiers and size rules by tag->Version (2, 3 or 4; any other: nothing).
void ParseID3v2Frames(std::span<const uint8_t> body, ID3v2Tag* tag);

// Decodes one text-frame payload: the encoding byte, then the text.
std::string DecodeId3v2Text(std::span<const uint8_t> payload);

// Leading digits of a track text ("3/12" gives 3); 0 when there are none.
int16_t ParseTrackNumber(std::string_view text);

ID3v2Tag ReadID3v2Tag(ByteSource& source);
ID3v2Tag ReadID3v2Tag(const char* path);
// Exactly ReadID3v2Tag(...).Exists, from the 10-byte header alone.
bool HasID3v2Tag(ByteSource& source);
bool HasID3v2Tag(const char* path);

}  // namespace orlavo

#endif  // ORLAVO_FORMATS_ID3V2_H_

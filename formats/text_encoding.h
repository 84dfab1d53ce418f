// Conversions between the 8-bit texts of tags and UTF-8.
#ifndef ORLAVO_FORMATS_TEXT_ENCODING_H_
#define ORLAVO_FORMATS_TEXT_ENCODING_H_

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orlavo {

// Windows-1252 bytes to UTF-8. The five bytes Windows-1252 leaves undefined map to
// the C1 controls of the same value, so every byte survives a round trip.
std::string Cp1252ToUtf8(std::string_view bytes);
// UTF-8 to Windows-1252; a character it cannot hold (or a broken UTF-8 sequence)
// becomes "?".
std::string Utf8ToCp1252(std::string_view utf8);
std::string Latin1ToUtf8(std::span<const uint8_t> bytes);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::span<const uint8_t> bytes, bool big_endian);

}  // namespace orlavo

#endif  // ORLAVO_FORMATS_TEXT_ENCODING_H_

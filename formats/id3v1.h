// The ID3v1 tag in the last 128 bytes of a file, and the program's genre table.
#ifndef ORLAVO_FORMATS_ID3V1_H_
#define ORLAVO_FORMATS_ID3V1_H_

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "formats/byte_source.h"
#include "formats/records.h"

namespace orlavo {

constexpr size_t kId3v1Size = 128;
constexpr int kGenreCount = 148;
constexpr int kBlankGenre = 147;

// Entry 147 is a single space: no genre.
extern const std::array<const char*, kGenreCount> kGenreNames;

void ClearID3v1Tag(ID3v1Tag* tag);
// Decodes a 128-byte block; a block that does not begin with "TAG" gives a
// cleared record with Exists 0.
void ParseID3v1(std::span<const uint8_t, kId3v1Size> block, ID3v1Tag* tag);
bool HasId3v1Tag(ByteSource& source);

// An empty name leaves the record untouched; a file that cannot be read, or is
// shorter than 128 bytes, gives a cleared record.
void ReadID3v1Record(ByteSource& source, ID3v1Tag* tag);
void ReadID3v1Record(const char* path, ID3v1Tag* tag);

// The new field texts (Windows-1252 bytes); nullopt keeps a field as it is.
struct ID3v1Update {
  std::optional<std::string_view> title, artist, album, year, comment;
  std::optional<uint8_t> genre;
};

// Builds the 128 bytes written over `old_block` (nullptr when the file has no
// tag: kept fields are then spaces and a kept genre is 255).
std::array<uint8_t, kId3v1Size> BuildID3v1Block(const ID3v1Update& update,
                                                const uint8_t* old_block);

enum class TagWriteResult { kWritten, kNoTag, kCannotOpen, kWriteFailed };

// Writes over the file's tag, or appends one when it has none. Only the tag's
// bytes are ever written.
TagWriteResult WriteID3v1File(const char* path, const ID3v1Update& update);
// Overwrites a present tag with 128 spaces; a file without a tag is untouched.
TagWriteResult BlankID3v1File(const char* path);

}  // namespace orlavo

#endif  // ORLAVO_FORMATS_ID3V1_H_

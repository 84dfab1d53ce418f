// libFuzzer target: the ID3v1 reader and the block builder over arbitrary bytes.
#include <cstring>
#include <string_view>

#include "formats/id3v1.h"
#include "formats/text_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orlavo::MemorySource source(std::span<const uint8_t>(data, size));
  ID3v1Tag tag;
  orlavo::ReadID3v1Record(source, &tag);
  if (tag.Exists != 0 && tag.Exists != 1) __builtin_trap();

  // Whatever the texts, a built block is 128 bytes that read back as a tag, and
  // Windows-1252 texts survive the trip through UTF-8.
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string cp = orlavo::Utf8ToCp1252(text);
  if (orlavo::Utf8ToCp1252(orlavo::Cp1252ToUtf8(cp)) != cp) __builtin_trap();
  orlavo::ID3v1Update update;
  update.title = text.substr(0, std::min<size_t>(text.size(), 40));
  update.year = text;
  const uint8_t* old = size >= orlavo::kId3v1Size ? data : nullptr;
  auto block = orlavo::BuildID3v1Block(update, old);
  ID3v1Tag back;
  orlavo::ParseID3v1(block, &back);
  if (back.Exists != 1) __builtin_trap();
  return 0;
}

#include "formats/id3v2.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "formats/text_encoding.h"

namespace orlavo {
namespace {

enum Item { kTitle, kAlbum, kArtist, kYear, kGenre, kTrack, kItemCount };

// Identifiers per item, in the order the items are read.
constexpr std::array<std::string_view, kItemCount> kIdsV3 = {"TIT2", "TALB", "TPE1",
                                                             "TYER", "TCON", "TRCK"};
constexpr std::array<std::string_view, kItemCount> kIdsV2 = {"TT2", "TAL", "TP1",
                                                             "TYE", "TCO", "TRK"};

struct FrameRules {
  size_t header_size;  // identifier, size and flags
  size_t size_bytes;
  bool syncsafe_size;
  // Flags byte offset from the identifier and the bits that make the text
  // unreadable (compression, encryption); 0 when not checked.
  size_t format_flags_at;
  uint8_t unreadable_bits;
};

constexpr FrameRules kRulesV2{6, 3, false, 0, 0};
constexpr FrameRules kRulesV3{10, 4, false, 9, 0xC0};
constexpr FrameRules kRulesV4{10, 4, true, 9, 0x0C};

std::string_view AsText(std::span<const uint8_t> b) {
  return {reinterpret_cast<const char*>(b.data()), b.size()};
}

std::optional<size_t> Find(std::span<const uint8_t> body, std::string_view id) {
  size_t at = AsText(body).find(id);
  if (at == std::string_view::npos) return std::nullopt;
  return at;
}

// The payload (encoding byte and text) of the first frame with this identifier,
// cut at the end of the body; nullopt when absent or unreadable.
std::optional<std::span<const uint8_t>> FramePayload(std::span<const uint8_t> body,
                                                     std::string_view id, const FrameRules& rules) {
  auto at = Find(body, id);
  if (!at) return std::nullopt;
  size_t size_at = *at + id.size();
  if (size_at + rules.size_bytes > body.size()) return std::nullopt;
  uint64_t size = 0;
  for (size_t k = 0; k < rules.size_bytes; ++k) {
    uint8_t b = body[size_at + k];
    size = rules.syncsafe_size ? (size << 7) | (b & 0x7F) : (size << 8) | b;
  }
  if (rules.unreadable_bits != 0) {
    size_t flags_at = *at + rules.format_flags_at;
    if (flags_at >= body.size() || (body[flags_at] & rules.unreadable_bits) != 0) {
      return std::nullopt;
    }
  }
  size_t payload_at = *at + rules.header_size;
  if (payload_at >= body.size() || size == 0) return std::span<const uint8_t>{};
  size_t n = static_cast<size_t>(std::min<uint64_t>(size, body.size() - payload_at));
  return body.subspan(payload_at, n);
}

std::string Trimmed(std::string_view s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(' ');
  return std::string(s.substr(b, e - b + 1));
}

std::string GenreFromText(const std::string& value) {
  if (value.empty() || value[0] != '(') return Trimmed(value);
  size_t close = value.find(')');
  return Trimmed(close == std::string::npos ? std::string_view(value)
                                            : std::string_view(value).substr(close + 1));
}

}  // namespace

std::string DecodeId3v2Text(std::span<const uint8_t> payload) {
  if (payload.empty()) return {};
  uint8_t encoding = payload[0];
  auto text = payload.subspan(1);
  std::string out;
  if (encoding == 1 || encoding == 2) {
    bool big_endian = encoding == 2;
    if (encoding == 1 && text.size() >= 2) {
      if (text[0] == 0xFF && text[1] == 0xFE) {
        text = text.subspan(2);
      } else if (text[0] == 0xFE && text[1] == 0xFF) {
        big_endian = true;
        text = text.subspan(2);
      }
    }
    // A text ends at its first 16-bit NUL.
    size_t n = 0;
    while (n + 1 < text.size() && (text[n] != 0 || text[n + 1] != 0)) n += 2;
    out = Utf16ToUtf8(text.first(std::min(n, text.size())), big_endian);
  } else {
    size_t n = 0;
    while (n < text.size() && text[n] != 0) ++n;
    out = encoding == 3 ? std::string(AsText(text.first(n))) : Latin1ToUtf8(text.first(n));
  }
  return out;
}

int16_t ParseTrackNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  int value = 0;
  bool any = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    any = true;
    value = std::min(value * 10 + (text[i] - '0'), int{std::numeric_limits<int16_t>::max()});
  }
  return any ? static_cast<int16_t>(value) : 0;
}

void ParseID3v2Frames(std::span<const uint8_t> body, ID3v2Tag* tag) {
  const FrameRules* rules = nullptr;
  const std::array<std::string_view, kItemCount>* ids = nullptr;
  switch (tag->Version) {
    case 2:
      rules = &kRulesV2;
      ids = &kIdsV2;
      break;
    case 3:
      rules = &kRulesV3;
      ids = &kIdsV3;
      break;
    case 4:
      rules = &kRulesV4;
      ids = &kIdsV3;
      break;
    default:
      return;
  }
  for (int item = 0; item < kItemCount; ++item) {
    auto payload = FramePayload(body, (*ids)[item], *rules);
    if (!payload && item == kYear && tag->Version == 4) {
      // Version 4 keeps the year as the start of the recording time.
      if (auto tdrc = FramePayload(body, "TDRC", *rules)) {
        tag->Year = DecodeId3v2Text(*tdrc).substr(0, 4);
      }
      continue;
    }
    if (!payload) continue;
    std::string value = DecodeId3v2Text(*payload);
    switch (item) {
      case kTitle:
        tag->Title = value;
        break;
      case kAlbum:
        tag->Album = value;
        break;
      case kArtist:
        tag->Artist = value;
        break;
      case kYear:
        tag->Year = value;
        break;
      case kGenre:
        tag->Genre = GenreFromText(value);
        break;
      case kTrack:
        tag->TrackNum = ParseTrackNumber(value);
        break;
    }
  }
}

namespace {

bool ReadId3v2Header(ByteSource& source, std::array<uint8_t, 10>& header) {
  if (!source.ok() || source.ReadAt(0, header) != header.size()) return false;
  return header[0] == 'I' && header[1] == 'D' && header[2] == '3';
}

}  // namespace

bool HasID3v2Tag(ByteSource& source) {
  std::array<uint8_t, 10> header;
  return ReadId3v2Header(source, header);
}

bool HasID3v2Tag(const char* path) {
  FileSource source(path);
  return HasID3v2Tag(source);
}

ID3v2Tag ReadID3v2Tag(ByteSource& source) {
  ID3v2Tag tag;
  std::array<uint8_t, 10> header;
  if (!ReadId3v2Header(source, header)) return tag;
  tag.Exists = true;
  tag.Version = static_cast<int16_t>(header[3] | (header[4] << 8));
  uint64_t size = (uint64_t{header[6] & 0x7Fu} << 21) | ((header[7] & 0x7Fu) << 14) |
                  ((header[8] & 0x7Fu) << 7) | (header[9] & 0x7Fu);
  if (size > source.size()) return tag;
  // The body is bounded by what the file really holds.
  size = std::min<uint64_t>(size, source.size() - header.size());
  if (size == 0) return tag;
  std::vector<uint8_t> body(static_cast<size_t>(size));
  body.resize(source.ReadAt(header.size(), body));
  if (!body.empty()) ParseID3v2Frames(body, &tag);
  return tag;
}

ID3v2Tag ReadID3v2Tag(const char* path) {
  FileSource source(path);
  return ReadID3v2Tag(source);
}

}  // namespace orlavo

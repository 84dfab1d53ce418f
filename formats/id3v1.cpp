#include "formats/id3v1.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace orlavo {

// Numbered as the program writes them: "Bebob" follows "Swing" at 84.
const std::array<const char*, kGenreCount> kGenreNames = {
    "Blues",
    "Classic Rock",
    "Country",
    "Dance",
    "Disco",
    "Funk",
    "Grunge",
    "Hip -Hop",
    "Jazz",
    "Metal",
    "New Age",
    "Oldies",
    "Other",
    "Pop",
    "R&b",
    "Rap",
    "Reggae",
    "Rock",
    "Techno",
    "Industrial",
    "Alternative",
    "Ska",
    "Death Metal",
    "Pranks",
    "Soundtrack",
    "Euro -Techno",
    "Ambient",
    "Trip -Hop",
    "Vocal",
    "Jazz Funk",
    "Fusion",
    "Trance",
    "Classical",
    "Instrumental",
    "Acid",
    "House",
    "Game",
    "Sound Clip",
    "Gospel",
    "Noise",
    "AlternRock",
    "Bass",
    "Soul",
    "Punk",
    "Space",
    "Meditative",
    "Instrumental Pop",
    "Instrumental Rock",
    "Ethnic",
    "Gothic",
    "Darkwave",
    "Techno -Industrial",
    "Electronic",
    "Pop -Folk",
    "Eurodance",
    "Dream",
    "Southern Rock",
    "Comedy",
    "Cult",
    "Gangsta",
    "Top 40",
    "Christian Rap",
    "Pop/Funk",
    "Jungle",
    "Native American",
    "Cabaret",
    "New Wave",
    "Psychadelic",
    "Rave",
    "Showtunes",
    "Trailer",
    "Lo -Fi",
    "Tribal",
    "Acid Punk",
    "Acid Jazz",
    "Polka",
    "Retro",
    "Musical",
    "Rock & Roll",
    "Hard Rock",
    "Folk",
    "Folk/Rock",
    "National Folk",
    "Swing",
    "Bebob",
    "Latin",
    "Revival",
    "Celtic",
    "Bluegrass",
    "Avantgarde",
    "Gothic Rock",
    "Progressive Rock",
    "Psychedelic Rock",
    "Symphonic Rock",
    "Slow Rock",
    "Big Band",
    "Chorus",
    "Easy Listening",
    "Acoustic",
    "Humour",
    "Speech",
    "Chanson",
    "Opera",
    "Chamber Music",
    "Sonata",
    "Symphony",
    "Booty Bass",
    "Primus",
    "Porn Groove",
    "Satire",
    "Slow Jam",
    "Club",
    "Tango",
    "Samba",
    "Folklore",
    "Ballad",
    "Power Ballad",
    "Rhythmic Soul",
    "Freestyle",
    "Duet",
    "Punk Rock",
    "Drum Solo",
    "A Cappella",
    "Euro - House",
    "Dance Hall",
    "Goa",
    "Drum & Bass",
    "Club - House",
    "Hardcore",
    "Terror",
    "Indie",
    "BritPop",
    "Negerpunk",
    "Polsk Punk",
    "Beat",
    "Christian Gangsta Rap",
    "Heavy Metal",
    "Black Metal",
    "Crossover",
    "Contemporary Christian",
    "Christian Rock",
    "Merengue",
    "Salsa",
    "Thrash Metal",
    "Anime",
    "JPop",
    "Synthpop",
    " ",
};

namespace {

constexpr size_t kTitleAt = 3, kArtistAt = 33, kAlbumAt = 63, kYearAt = 93, kCommentAt = 97,
                 kGenreAt = 127;

bool BeginsWithTag(const uint8_t* p) { return p[0] == 'T' && p[1] == 'A' && p[2] == 'G'; }

template <size_t N>
void CopyField(char (&field)[N], const uint8_t* src) {
  size_t n = 0;
  while (n < N && src[n] != 0) ++n;
  std::memcpy(field, src, n);
}

void PutField(uint8_t* dst, size_t width, const std::optional<std::string_view>& text,
              const uint8_t* old_field) {
  if (!text) {
    if (old_field != nullptr) {
      std::memcpy(dst, old_field, width);
    } else {
      std::memset(dst, ' ', width);
    }
    return;
  }
  size_t n = std::min(width, text->size());
  std::memcpy(dst, text->data(), n);
  std::memset(dst + n, ' ', width - n);
}

// Reads the last 128 bytes; false when the source has fewer.
bool ReadLastBlock(ByteSource& source, std::array<uint8_t, kId3v1Size>& block) {
  if (!source.ok() || source.size() < kId3v1Size) return false;
  return source.ReadAt(source.size() - kId3v1Size, block) == kId3v1Size;
}

}  // namespace

void ClearID3v1Tag(ID3v1Tag* tag) {
  std::memset(tag, 0, sizeof(*tag));
  tag->Genre = -1;
  tag->Exists = 0;
}

void ParseID3v1(std::span<const uint8_t, kId3v1Size> block, ID3v1Tag* tag) {
  ClearID3v1Tag(tag);
  const uint8_t* p = block.data();
  if (!BeginsWithTag(p)) return;
  tag->Exists = 1;
  CopyField(tag->Title, p + kTitleAt);
  CopyField(tag->Artist, p + kArtistAt);
  CopyField(tag->Album, p + kAlbumAt);
  CopyField(tag->Year, p + kYearAt);
  CopyField(tag->Comment, p + kCommentAt);
  tag->Genre = static_cast<int8_t>(p[kGenreAt]);
}

bool HasId3v1Tag(ByteSource& source) {
  if (!source.ok() || source.size() < kId3v1Size) return false;
  uint8_t marker[3];
  return source.ReadAt(source.size() - kId3v1Size, marker) == 3 && BeginsWithTag(marker);
}

void ReadID3v1Record(ByteSource& source, ID3v1Tag* tag) {
  std::array<uint8_t, kId3v1Size> block;
  if (!ReadLastBlock(source, block)) {
    ClearID3v1Tag(tag);
    return;
  }
  ParseID3v1(block, tag);
}

void ReadID3v1Record(const char* path, ID3v1Tag* tag) {
  if (path == nullptr || path[0] == '\0') return;
  FileSource source(path);
  ReadID3v1Record(source, tag);
}

std::array<uint8_t, kId3v1Size> BuildID3v1Block(const ID3v1Update& u, const uint8_t* old) {
  std::array<uint8_t, kId3v1Size> b;
  uint8_t* p = b.data();
  std::memcpy(p, "TAG", 3);
  auto old_at = [&](size_t at) { return old != nullptr ? old + at : nullptr; };
  PutField(p + kTitleAt, 30, u.title, old_at(kTitleAt));
  PutField(p + kArtistAt, 30, u.artist, old_at(kArtistAt));
  PutField(p + kAlbumAt, 30, u.album, old_at(kAlbumAt));
  PutField(p + kYearAt, 4, u.year, old_at(kYearAt));
  PutField(p + kCommentAt, 30, u.comment, old_at(kCommentAt));
  p[kGenreAt] = u.genre ? *u.genre : (old != nullptr ? old[kGenreAt] : 255);
  return b;
}

namespace {

// Opens for writing and reads the current last block; returns the descriptor
// or -1. *tagged tells whether the block is a tag.
int OpenForTagWrite(const char* path, std::array<uint8_t, kId3v1Size>& block, uint64_t* size,
                    bool* tagged) {
  int fd = OpenRegularFileForWrite(path, size);
  if (fd < 0) return -1;
  *tagged = false;
  if (*size >= kId3v1Size &&
      ::pread(fd, block.data(), kId3v1Size, static_cast<off_t>(*size - kId3v1Size)) ==
          static_cast<ssize_t>(kId3v1Size)) {
    *tagged = BeginsWithTag(block.data());
  }
  return fd;
}

TagWriteResult Finish(int fd, bool written) {
  bool closed = ::close(fd) == 0;
  return written && closed ? TagWriteResult::kWritten : TagWriteResult::kWriteFailed;
}

}  // namespace

TagWriteResult WriteID3v1File(const char* path, const ID3v1Update& update) {
  std::array<uint8_t, kId3v1Size> old;
  uint64_t size = 0;
  bool tagged = false;
  int fd = OpenForTagWrite(path, old, &size, &tagged);
  if (fd < 0) return TagWriteResult::kCannotOpen;
  auto block = BuildID3v1Block(update, tagged ? old.data() : nullptr);
  uint64_t at = tagged ? size - kId3v1Size : size;
  return Finish(fd, WriteAllAt(fd, at, block));
}

TagWriteResult BlankID3v1File(const char* path) {
  std::array<uint8_t, kId3v1Size> old;
  uint64_t size = 0;
  bool tagged = false;
  int fd = OpenForTagWrite(path, old, &size, &tagged);
  if (fd < 0) return TagWriteResult::kCannotOpen;
  if (!tagged) {
    ::close(fd);
    return TagWriteResult::kNoTag;
  }
  std::array<uint8_t, kId3v1Size> spaces;
  spaces.fill(' ');
  return Finish(fd, WriteAllAt(fd, size - kId3v1Size, spaces));
}

}  // namespace orlavo

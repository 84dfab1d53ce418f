#include "formats/id3v2.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/tag_helpers.h"
#include "tests/support/id3v2_builder.h"
#include "tests/support/lame_fixture.h"

namespace orlavo {
namespace {

using testing::Bytes;
using testing::Id3v2Frame;
using testing::TextFrame;

ID3v2Tag ReadBytes(const Bytes& b) {
  MemorySource source(b);
  return ReadID3v2Tag(source);
}

Bytes WithAudio(const Bytes& tag) {
  Bytes frame = {0xFF, 0xFB, 0x90, 0x44};
  frame.resize(1000, 0);
  return testing::Concat({tag, frame});
}

TEST(Id3v2Test, PresenceIsTheLeadingMarker) {
  EXPECT_FALSE(ReadBytes(WithAudio({})).Exists);  // MPEG 1 Layer III
  EXPECT_FALSE(ReadBytes(Bytes{0xFF, 0xF3, 0x80, 0xC0, 0, 0, 0, 0, 0, 0, 0}).Exists);  // MPEG 2
  EXPECT_FALSE(ReadBytes(Bytes{0xFF, 0xFD, 0x84, 0x01, 0, 0, 0, 0, 0, 0, 0}).Exists);  // Layer II
  EXPECT_FALSE(ReadBytes(Bytes(100, 'x')).Exists);
  EXPECT_FALSE(ReadBytes(Bytes{'I', 'D', '3'}).Exists);  // too short for a header
  ID3v2Tag bare = ReadBytes(WithAudio(testing::Id3v2Tag(3, {}, 20)));
  EXPECT_TRUE(bare.Exists);
  EXPECT_EQ(bare.Version, 3);
  EXPECT_EQ(bare.Title, "");
}

TEST(Id3v2Test, AllVersionsAndEncodingsReadBack) {
  struct Case {
    int version;
    int encoding;
  };
  const Case cases[] = {{2, 0}, {2, 1}, {3, 0}, {3, 1}, {4, 0}, {4, 1}, {4, 2}, {4, 3}};
  const std::string title = "Caf\xC3\xA9 del Mar";  // Café del Mar
  const std::string artist = "Bj\xC3\xB6rk";        // Björk
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.version) + "/" + ::testing::PrintToString(c.encoding));
    const bool v2 = c.version == 2;
    std::vector<Id3v2Frame> frames = {
        TextFrame(v2 ? "TT2" : "TIT2", c.encoding, title),
        TextFrame(v2 ? "TP1" : "TPE1", c.encoding, artist),
        TextFrame(v2 ? "TAL" : "TALB", c.encoding, "Post"),
        TextFrame(v2 ? "TYE" : "TYER", c.encoding, "1995"),
        TextFrame(v2 ? "TCO" : "TCON", c.encoding, "(17)Rock"),
        TextFrame(v2 ? "TRK" : "TRCK", c.encoding, "3/12"),
    };
    if (c.version == 4) frames[3] = TextFrame("TDRC", c.encoding, "1995-06-13");
    ID3v2Tag tag = ReadBytes(WithAudio(testing::Id3v2Tag(c.version, frames, 64)));
    EXPECT_TRUE(tag.Exists);
    EXPECT_EQ(tag.Version, c.version);
    EXPECT_EQ(tag.Title, title);
    EXPECT_EQ(tag.Artist, artist);
    EXPECT_EQ(tag.Album, "Post");
    EXPECT_EQ(tag.Year, "1995");
    EXPECT_EQ(tag.Genre, "Rock");
    EXPECT_EQ(tag.TrackNum, 3);
  }
}

TEST(Id3v2Test, TitleFrameOfTheWorkedExample) {
  // "TIT2", size 00 00 00 06, flags 00 00, encoding 00, five letters.
  Bytes body = {'T', 'I', 'T', '2', 0, 0, 0, 6, 0, 0, 0, 'H', 'e', 'l', 'l', 'o'};
  Bytes tag = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, static_cast<uint8_t>(body.size())};
  EXPECT_EQ(ReadBytes(WithAudio(testing::Concat({tag, body}))).Title, "Hello");
}

TEST(Id3v2Test, CompressedOrEncryptedFramesAreSkipped) {
  Id3v2Frame artist = TextFrame("TPE1", 0, "Hidden");
  artist.flags2 = 0x80;
  Id3v2Frame album = TextFrame("TALB", 0, "Secret");
  album.flags2 = 0x40;
  ID3v2Tag tag = ReadBytes(testing::Id3v2Tag(3, {TextFrame("TIT2", 0, "Shown"), artist, album}));
  EXPECT_EQ(tag.Title, "Shown");
  EXPECT_EQ(tag.Artist, "");
  EXPECT_EQ(tag.Album, "");

  // Version 4 keeps those bits elsewhere: compression bit 3, encryption bit 2.
  Id3v2Frame v4 = TextFrame("TPE1", 0, "Hidden");
  v4.flags2 = 0x08;
  Id3v2Frame v4_plain = TextFrame("TALB", 0, "Seen");
  v4_plain.flags2 = 0x40;  // grouping identity in 2.4: harmless
  tag = ReadBytes(testing::Id3v2Tag(4, {v4, v4_plain}));
  EXPECT_EQ(tag.Artist, "");
  EXPECT_EQ(tag.Album, "Seen");
}

TEST(Id3v2Test, GenreRules) {
  struct Case {
    const char* stored;
    const char* shown;
  };
  const Case cases[] = {{"(17)Rock", "Rock"},        {"(17)", ""},   {"Rock", "Rock"},
                        {"  Trip Hop ", "Trip Hop"}, {"(17", "(17"}, {"(4) Disco ", "Disco"}};
  for (const Case& c : cases) {
    ID3v2Tag tag = ReadBytes(testing::Id3v2Tag(3, {TextFrame("TCON", 0, c.stored)}));
    EXPECT_EQ(tag.Genre, c.shown) << c.stored;
  }
}

TEST(Id3v2Test, TrackTexts) {
  EXPECT_EQ(ParseTrackNumber("7"), 7);
  EXPECT_EQ(ParseTrackNumber("3/12"), 3);
  EXPECT_EQ(ParseTrackNumber(" 12"), 12);
  EXPECT_EQ(ParseTrackNumber("A1"), 0);
  EXPECT_EQ(ParseTrackNumber(""), 0);
  EXPECT_EQ(ParseTrackNumber("99999999999"), 32767);
}

TEST(Id3v2Test, FirstOccurrenceOfAnIdentifierWins) {
  // "TALB" inside the comment text before the real album frame.
  ID3v2Tag tag = ReadBytes(testing::Id3v2Tag(
      3, {{"COMM", Bytes{0, 'e', 'n', 'g', 0, 'T', 'A', 'L', 'B', 0, 0, 0, 3, 0, 0, 0, 'X', 'Y'}},
          TextFrame("TALB", 0, "Real")}));
  EXPECT_EQ(tag.Album, "XY");
}

TEST(Id3v2Test, SizesAreReadWholeAndCutAtTheBodyEnd) {
  std::string long_title(300, 'L');
  ID3v2Tag tag = ReadBytes(testing::Id3v2Tag(3, {TextFrame("TIT2", 0, long_title)}));
  EXPECT_EQ(tag.Title, long_title);

  // A frame whose size runs past the body is cut at the body's end.
  Bytes body = {'T', 'I', 'T', '2', 0, 0, 0x7F, 0, 0, 0, 0, 'S', 'h', 'o', 'r', 't'};
  Bytes header = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, static_cast<uint8_t>(body.size())};
  EXPECT_EQ(ReadBytes(testing::Concat({header, body, Bytes(50, 0xFF)})).Title, "Short");

  // A tag that claims more than the file holds keeps Exists and no fields.
  Bytes huge = {'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F};
  ID3v2Tag big = ReadBytes(testing::Concat({huge, body}));
  EXPECT_TRUE(big.Exists);
  EXPECT_EQ(big.Title, "");
}

TEST(Id3v2Test, OtherVersionsGiveNoFields) {
  ID3v2Tag tag = ReadBytes(testing::Id3v2Tag(5, {TextFrame("TIT2", 0, "x")}));
  EXPECT_TRUE(tag.Exists);
  EXPECT_EQ(tag.Version, 5);
  EXPECT_EQ(tag.Title, "");
}

TEST(Id3v2Test, TextDecodingDropsTerminatorsAndByteOrderMarks) {
  EXPECT_EQ(DecodeId3v2Text(testing::TextPayload(0, "abc", true)), "abc");
  EXPECT_EQ(DecodeId3v2Text(testing::TextPayload(1, "abc", true)), "abc");
  EXPECT_EQ(DecodeId3v2Text(testing::TextPayload(3, "abc", true)), "abc");
  const uint8_t be_bom[] = {1, 0xFE, 0xFF, 0, 'o', 0, 'k'};
  EXPECT_EQ(DecodeId3v2Text(be_bom), "ok");
  const uint8_t latin[] = {0, 0xE9, 't', 0xE9};
  EXPECT_EQ(DecodeId3v2Text(latin), "\xC3\xA9t\xC3\xA9");
  const uint8_t odd_utf16[] = {1, 0xFF, 0xFE, 'a', 0, 'b'};
  EXPECT_EQ(DecodeId3v2Text(odd_utf16), "a");
  EXPECT_EQ(DecodeId3v2Text({}), "");
}

TEST(Id3v2Test, ReadsFromFilesThroughTheMainProgramHelper) {
  QTemporaryDir dir;
  QString path = dir.filePath(QStringLiteral(u"\u00e9t\u00e9.mp3"));
  testing::WriteFileBytes(path,
                          WithAudio(testing::Id3v2Tag(3, {TextFrame("TIT2", 1, "Summer")}, 10)));
  ID3v2Tag tag = ReadID3v2(path);
  EXPECT_TRUE(tag.Exists);
  EXPECT_EQ(tag.Title, "Summer");
  EXPECT_FALSE(ReadID3v2(dir.filePath("missing.mp3")).Exists);
  EXPECT_FALSE(ReadID3v2(dir.path()).Exists);
}

}  // namespace
}  // namespace orlavo

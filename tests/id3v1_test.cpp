#include "formats/id3v1.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <string>

#include "app/tag_helpers.h"
#include "tests/support/lame_fixture.h"

namespace orlavo {
namespace {

using testing::Bytes;

std::string Field(const char* p, size_t n) { return std::string(p, strnlen(p, n)); }

ID3v1Tag ReadBytes(const Bytes& b) {
  MemorySource source(b);
  ID3v1Tag tag;
  std::memset(&tag, 0x55, sizeof(tag));
  ReadID3v1Record(source, &tag);
  return tag;
}

class Id3v1FileTest : public ::testing::Test {
 protected:
  QString Make(const QString& name, const Bytes& bytes) {
    QString path = dir_.filePath(name);
    testing::WriteFileBytes(path, bytes);
    return path;
  }
  QTemporaryDir dir_;
  Bytes audio_ = testing::EncodeMp3({.seconds = 0.3});
};

TEST(Id3v1ParseTest, ReadsEveryFieldUpToItsFirstNul) {
  ID3v1Tag tag = ReadBytes(testing::Concat(
      {Bytes(50, 1), testing::Id3v1Block("Title", "Artist", "Album", "1999", "Comment", 17)}));
  EXPECT_EQ(tag.Exists, 1);
  EXPECT_EQ(Field(tag.Title, 30), "Title");
  EXPECT_EQ(Field(tag.Artist, 30), "Artist");
  EXPECT_EQ(Field(tag.Album, 30), "Album");
  EXPECT_EQ(Field(tag.Year, 4), "1999");
  EXPECT_EQ(Field(tag.Comment, 30), "Comment");
  EXPECT_EQ(tag.Genre, 17);
  // The rest of each field is NUL.
  EXPECT_EQ(tag.Title[5], 0);
  EXPECT_EQ(tag.Title[29], 0);
}

TEST(Id3v1ParseTest, FullFieldsFillTheirRecordFieldsWithoutSpillingOver) {
  std::string thirty(30, 'c');
  ID3v1Tag tag = ReadBytes(testing::Id3v1Block(thirty, "", "", "2024", thirty, 0));
  EXPECT_EQ(std::string(tag.Comment, 30), thirty);
  EXPECT_EQ(std::string(tag.Title, 30), thirty);
  EXPECT_EQ(std::string(tag.Year, 4), "2024");
}

TEST(Id3v1ParseTest, MarkerAndGenreEdgeCases) {
  Bytes lower = testing::Id3v1Block("Title", "", "", "", "", 1);
  std::memcpy(lower.data(), "tag", 3);
  ID3v1Tag none = ReadBytes(lower);
  EXPECT_EQ(none.Exists, 0);
  EXPECT_EQ(none.Genre, -1);
  EXPECT_EQ(Field(none.Title, 30), "");

  EXPECT_EQ(ReadBytes(testing::Id3v1Block("", "", "", "", "", 255)).Genre, -1);
  EXPECT_EQ(ReadBytes(testing::Id3v1Block("", "", "", "", "", 128)).Genre, -128);
  EXPECT_EQ(ReadBytes(testing::Id3v1Block("", "", "", "", "", 127)).Genre, 127);

  // Shorter than a tag: cleared, not read before the start.
  ID3v1Tag tiny = ReadBytes(Bytes{'T', 'A', 'G', 'x'});
  EXPECT_EQ(tiny.Exists, 0);
  EXPECT_EQ(tiny.Genre, -1);
}

TEST(Id3v1HelpersTest, GenreNamesAndCleanText) {
  int genre = -1;
  EXPECT_EQ(GenreName(genre), " ");
  EXPECT_EQ(genre, 147);
  genre = 84;
  EXPECT_EQ(GenreName(genre), "Bebob");
  genre = 83;
  EXPECT_EQ(GenreName(genre), "Swing");
  genre = 0;
  EXPECT_EQ(GenreName(genre), "Blues");
  genre = 146;
  EXPECT_EQ(GenreName(genre), "Synthpop");
  genre = 200;
  EXPECT_EQ(GenreName(genre), " ");
  int16_t small = -128;
  EXPECT_EQ(GenreName(small), " ");
  EXPECT_EQ(small, 147);

  char field[30] = {'B', 'o', 'b'};
  EXPECT_EQ(CleanTagText(RecordText(field)), "Bob");
  EXPECT_EQ(CleanTagText(QStringLiteral("  a b  ")), "a b");
  EXPECT_EQ(CleanTagText(QString(3, QChar(0))), "");
  // Windows-1252 bytes decode to their characters.
  char accented[30] = {'\xC9', 't', '\xE9', ' ', '\x80'};
  EXPECT_EQ(CleanTagText(RecordText(accented)), QStringLiteral(u"\u00C9t\u00E9 \u20AC"));
}

TEST(Id3v1HelpersTest, DurationText) {
  EXPECT_EQ(DurationText(245), "4:05");
  EXPECT_EQ(DurationText(59), "0:59");
  EXPECT_EQ(DurationText(3600), "60:00");
  EXPECT_EQ(DurationText(0), "0:00");
  EXPECT_EQ(DurationText(61), "1:01");
}

TEST_F(Id3v1FileTest, ReadingAnEmptyNameLeavesTheRecordAlone) {
  ID3v1Tag tag;
  std::memset(&tag, 0x55, sizeof(tag));
  ReadID3v1Record("", &tag);
  EXPECT_EQ(tag.Exists, 0x5555);
  ReadID3v1Record(QFile::encodeName(dir_.filePath("missing.mp3")).constData(), &tag);
  EXPECT_EQ(tag.Exists, 0);
  EXPECT_EQ(tag.Genre, -1);
}

TEST_F(Id3v1FileTest, WritingOneFieldChangesOnlyItsBytes) {
  Bytes tag = testing::Id3v1Block("Title", "Artist", "Album", "1999", "Comment", 17);
  QString path = Make("a.mp3", testing::Concat({audio_, tag}));
  ASSERT_TRUE(WriteID3v1(path, "Null", "Q", "Null", "Null", "Null", kKeepGenre));
  Bytes after = testing::ReadFileBytes(path);
  ASSERT_EQ(after.size(), audio_.size() + 128);
  Bytes expected = testing::Concat({audio_, tag});
  std::memcpy(&expected[audio_.size() + 33], "Q", 1);
  std::memset(&expected[audio_.size() + 34], ' ', 29);
  EXPECT_EQ(after, expected);
}

TEST_F(Id3v1FileTest, WritingAllFieldsPadsWithSpacesAndCutsLongTexts) {
  QString path =
      Make("a.mp3", testing::Concat({audio_, testing::Id3v1Block("", "", "", "", "", 1)}));
  ASSERT_TRUE(WriteID3v1(path, QString(40, 'T'), "Artist", "Album", "19999", "Com", 84));
  Bytes after = testing::ReadFileBytes(path);
  ASSERT_EQ(after.size(), audio_.size() + 128);
  const uint8_t* t = &after[audio_.size()];
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(t), 128),
            "TAG" + std::string(30, 'T') + "Artist" + std::string(24, ' ') + "Album" +
                std::string(25, ' ') + "1999" + "Com" + std::string(27, ' ') + "\x54");
  EXPECT_TRUE(std::equal(audio_.begin(), audio_.end(), after.begin()));
}

TEST_F(Id3v1FileTest, WritingToAnUntaggedFileAppendsATag) {
  QString path = Make("a.mp3", audio_);
  ASSERT_TRUE(WriteID3v1(path, QStringLiteral(u"Caf\u00e9 \u20ac \u4e2d"), "Null", "Null", "Null",
                         "Null", kKeepGenre));
  Bytes after = testing::ReadFileBytes(path);
  ASSERT_EQ(after.size(), audio_.size() + 128);
  EXPECT_TRUE(std::equal(audio_.begin(), audio_.end(), after.begin()));
  const uint8_t* t = &after[audio_.size()];
  // Kept fields of a new tag are spaces; the kept genre is "none" (255). A
  // character Windows-1252 cannot hold is written as "?".
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(t), 127),
            "TAG" + std::string("Caf\xE9 \x80 ?") + std::string(22, ' ') + std::string(94, ' '));
  EXPECT_EQ(t[127], 255);
  ID3v1Tag tag;
  ReadID3v1Record(QFile::encodeName(path).constData(), &tag);
  EXPECT_EQ(tag.Exists, 1);
  EXPECT_EQ(tag.Genre, -1);
}

TEST_F(Id3v1FileTest, BlankingRemovesTheTagAndKeepsTheLength) {
  Bytes tagged = testing::Concat({audio_, testing::Id3v1Block("T", "A", "", "", "", 3)});
  QString path = Make("a.mp3", tagged);
  ASSERT_TRUE(BlankID3v1(path));
  Bytes after = testing::ReadFileBytes(path);
  ASSERT_EQ(after.size(), tagged.size());
  EXPECT_TRUE(std::equal(audio_.begin(), audio_.end(), after.begin()));
  EXPECT_TRUE(std::all_of(after.end() - 128, after.end(), [](uint8_t b) { return b == ' '; }));
  ID3v1Tag tag;
  ReadID3v1Record(QFile::encodeName(path).constData(), &tag);
  EXPECT_EQ(tag.Exists, 0);
}

TEST_F(Id3v1FileTest, BlankingNeverTouchesAFileWithoutTag) {
  QString path = Make("a.mp3", audio_);
  struct stat before;
  ASSERT_EQ(stat(QFile::encodeName(path).constData(), &before), 0);
  EXPECT_EQ(BlankID3v1File(QFile::encodeName(path).constData()), TagWriteResult::kNoTag);
  EXPECT_EQ(testing::ReadFileBytes(path), audio_);
  QString small = Make("small.mp3", Bytes{1, 2, 3});
  EXPECT_EQ(BlankID3v1File(QFile::encodeName(small).constData()), TagWriteResult::kNoTag);
  EXPECT_EQ(testing::ReadFileBytes(small), (Bytes{1, 2, 3}));
}

TEST_F(Id3v1FileTest, WritesFailCleanlyOnWhatIsNotAWritableFile) {
  QString fifo = dir_.filePath("pipe.mp3");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  EXPECT_FALSE(WriteID3v1(fifo, "a", "b", "c", "d", "e", 1));
  EXPECT_FALSE(BlankID3v1(fifo));
  EXPECT_FALSE(WriteID3v1(dir_.path(), "a", "b", "c", "d", "e", 1));
  EXPECT_FALSE(WriteID3v1(dir_.filePath("missing.mp3"), "a", "b", "c", "d", "e", 1));
  EXPECT_FALSE(QFile::exists(dir_.filePath("missing.mp3")));
  if (geteuid() != 0) {
    QString ro = Make("ro.mp3", audio_);
    QFile::setPermissions(ro, QFile::ReadOwner);
    EXPECT_FALSE(WriteID3v1(ro, "a", "b", "c", "d", "e", 1));
  }
}

}  // namespace
}  // namespace orlavo

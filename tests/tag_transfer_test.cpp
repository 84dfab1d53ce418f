#include "app/tag_transfer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "app/syntax_checker.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/lame_fixture.h"

namespace orlavo {
namespace {

TEST(TagTransferTest, ApplyPatternReplacesKeywordsWithoutRegardToCase) {
  struct Case {
    const char* pattern;
    const char* name;
  };
  const Case cases[] = {
      {"%Artist - %Title", "Queen - Bohemian Rhapsody"},
      {"%artist-%TITLE", "Queen-Bohemian Rhapsody"},
      {"%Year %Album (%Genre) %Title %title",
       "1975 Opera (Rock) Bohemian Rhapsody Bohemian Rhapsody"},
      {"No keywords", "No keywords"},
      {"100% %ARTISTS", "100% QueenS"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ApplyPattern(c.pattern, "Queen", "Bohemian Rhapsody", "Opera", "1975", "Rock"),
              c.name)
        << c.pattern;
  }
  // Keywords are replaced one after the other: a value holding a later keyword
  // has it replaced too.
  EXPECT_EQ(ApplyPattern("%Artist %Title", "%Title", "x", "", "", ""), "x x");
}

TEST(TagTransferTest, SplitsANameIntoArtistAndTitle) {
  QTemporaryDir dir;
  ASSERT_TRUE(WriteSyntaxIgnoreTemplate(dir.path() + "/", "Orlavo Professional v1.0"));
  SyntaxChecker checker(dir.path() + "/");
  struct Case {
    const char* name;
    const char* artist;
    const char* title;
  };
  const Case cases[] = {
      {"pink floyd - wish you were here.mp3", "Pink Floyd", "Wish You Were Here"},
      {"A - B - C.mp3", "A", "B C"},
      {"/music/x/Only Words.mp3", "Only Words", ""},
      {"queen - live in wembley.MP3", "Queen", "Live in Wembley"},
      {"- Title Only.mp3", "", "Title Only"},
  };
  for (const Case& c : cases) {
    NameParts parts = SplitNameIntoTag(c.name, checker);
    EXPECT_EQ(parts.artist, c.artist) << c.name;
    EXPECT_EQ(parts.title, c.title) << c.name;
  }
}

class RenameFromTagTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = dir_.path() + "/";
    QDir(main_).mkpath("sub");
    source_ = main_ + "sub/track01.mp3";
    testing::WriteFileBytes(source_, source_bytes_);
  }
  QTemporaryDir dir_;
  QString main_, source_;
  testing::Bytes source_bytes_ = testing::Bytes(300, 0x11);
  testing::FakeDesktop desktop_;
  TagFields fields_{"Queen", "Bohemian Rhapsody", "Opera", "1975", "Rock"};
};

TEST_F(RenameFromTagTest, MovesTheFileIntoTheMainFolderUnderItsNewName) {
  TagRename r = RenameFromTag(source_, " " + main_ + " ", "%Artist - %Title", fields_, desktop_);
  EXPECT_TRUE(r.result.ok());
  EXPECT_EQ(r.target, main_ + "Queen - Bohemian Rhapsody.mp3");
  EXPECT_FALSE(QFile::exists(source_));
  EXPECT_EQ(testing::ReadFileBytes(r.target), source_bytes_);
  EXPECT_TRUE(desktop_.messages.empty());
}

TEST_F(RenameFromTagTest, NeverReplacesAnExistingFile) {
  const QString existing = main_ + "Queen - Bohemian Rhapsody.mp3";
  const testing::Bytes other(77, 0x22);
  testing::WriteFileBytes(existing, other);
  TagRename r = RenameFromTag(source_, main_, "%Artist - %Title", fields_, desktop_);
  EXPECT_EQ(r.result.status, RenameStatus::kTargetExists);
  EXPECT_EQ(testing::ReadFileBytes(existing), other);
  EXPECT_EQ(testing::ReadFileBytes(source_), source_bytes_);
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_EQ(desktop_.messages[0].title, "Renaming...");
  EXPECT_TRUE(desktop_.messages[0].text.contains("already exists"));
}

TEST_F(RenameFromTagTest, RefusesNamesWithForbiddenCharacters) {
  for (const char* title : {"What?", "AC/DC", "a:b", ""}) {
    desktop_.messages.clear();
    TagFields f = fields_;
    f.title = title;
    f.artist = QString();
    TagRename r = RenameFromTag(source_, main_, "%Artist%Title", f, desktop_);
    EXPECT_FALSE(r.result.ok()) << title;
    EXPECT_EQ(testing::ReadFileBytes(source_), source_bytes_);
    ASSERT_EQ(desktop_.messages.size(), 1u);
    EXPECT_EQ(desktop_.messages[0].title, "Renaming...");
  }
  EXPECT_EQ(QDir(main_).entryList(QDir::Files).size(), 0);
}

TEST_F(RenameFromTagTest, AVanishedFileIsReported) {
  QFile::remove(source_);
  TagRename r = RenameFromTag(source_, main_, "%Artist - %Title", fields_, desktop_);
  EXPECT_EQ(r.result.status, RenameStatus::kSourceMissing);
  ASSERT_EQ(desktop_.messages.size(), 1u);
  EXPECT_FALSE(QFile::exists(r.target));
}

TEST(FileOpsTest, RenameNoReplaceKeepsBothFilesAndAllowsCaseChanges) {
  QTemporaryDir dir;
  const QString a = dir.filePath("a.mp3"), b = dir.filePath("b.mp3");
  testing::WriteFileBytes(a, testing::Bytes(5, 1));
  testing::WriteFileBytes(b, testing::Bytes(6, 2));
  EXPECT_EQ(RenameNoReplace(a, b).status, RenameStatus::kTargetExists);
  EXPECT_EQ(testing::ReadFileBytes(a), testing::Bytes(5, 1));
  EXPECT_EQ(testing::ReadFileBytes(b), testing::Bytes(6, 2));
  EXPECT_TRUE(RenameNoReplace(a, dir.filePath("A.mp3")).ok());
  EXPECT_EQ(testing::ReadFileBytes(dir.filePath("A.mp3")), testing::Bytes(5, 1));
  EXPECT_EQ(RenameNoReplace(dir.filePath("gone.mp3"), dir.filePath("x.mp3")).status,
            RenameStatus::kSourceMissing);
  EXPECT_EQ(RenameNoReplace(dir.filePath("A.mp3"), dir.filePath("nofolder/x.mp3")).status,
            RenameStatus::kFailed);
}

TEST(TagTransferTest, InfoText) {
  EXPECT_TRUE(PatternInfoText().startsWith(
      "Following commands can be used when renaming file with ID3v1 of the file:\r\n%Title\t - "
      "Title\r\n"));
  EXPECT_TRUE(PatternInfoText().endsWith("\r\ntry Advanced Tools -> File name Editor."));
}

}  // namespace
}  // namespace orlavo

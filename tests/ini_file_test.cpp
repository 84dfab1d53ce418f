#include "app/ini_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace orlavo {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  QString Path() const { return dir_.filePath("Settings.ini"); }

  void Put(const QByteArray& bytes) {
    QFile file(Path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }

  QByteArray Bytes() const {
    QFile file(Path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
};

TEST_F(IniFileTest, MissingFileSectionOrKeyReadsEmpty) {
  EXPECT_EQ(IniRead("Options", "DirPath", Path()), "");
  Put("[Other]\r\nDirPath=/x/\r\n[Options]\r\nSyntax=%Title\r\n");
  EXPECT_EQ(IniRead("Options", "DirPath", Path()), "");
  EXPECT_EQ(IniRead("Missing", "Syntax", Path()), "");
}

TEST_F(IniFileTest, NamesMatchWithoutCaseAndFirstMatchWins) {
  Put("[options]\nDIRPATH = /music/ \nDirPath=/second/\n[OPTIONS]\nSkinName=Late\n");
  EXPECT_EQ(IniRead("Options", "DirPath", Path()), "/music/");
  EXPECT_EQ(IniRead("OPTIONS", "dirpath", Path()), "/music/");
  // Only the first section of a name is consulted.
  EXPECT_EQ(IniRead("Options", "SkinName", Path()), "");
}

TEST_F(IniFileTest, AcceptsCrLfLfAndALeadingBom) {
  Put("\xEF\xBB\xBF[Options]\r\nA=1\nB=2\r\n");
  EXPECT_EQ(IniRead("Options", "A", Path()), "1");
  EXPECT_EQ(IniRead("Options", "B", Path()), "2");
}

TEST_F(IniFileTest, LongValueIsCutTo254Characters) {
  QString value(300, u'x');
  value[253] = u'y';
  ASSERT_TRUE(IniWrite("Options", "DirPath", value, Path()));
  QString read = IniRead("Options", "DirPath", Path());
  EXPECT_EQ(read.size(), 254);
  EXPECT_EQ(read, value.left(254));
  // The file itself keeps the whole value.
  EXPECT_TRUE(Bytes().contains(value.toUtf8()));
}

TEST_F(IniFileTest, CutNeverSplitsASurrogatePair) {
  QString value = QString(253, u'a') + QString::fromUtf8("\xF0\x9F\x8E\xB5") + "b";
  ASSERT_TRUE(IniWrite("Options", "K", value, Path()));
  EXPECT_EQ(IniRead("Options", "K", Path()), QString(253, u'a'));
}

TEST_F(IniFileTest, WriteCreatesFileAndSectionWithCrLf) {
  ASSERT_TRUE(IniWrite("Options", "DirPath", "/music/", Path()));
  EXPECT_EQ(Bytes(), "[Options]\r\nDirPath=/music/\r\n");
  ASSERT_TRUE(IniWrite("Settings", "DrawBG", "1", Path()));
  EXPECT_EQ(Bytes(), "[Options]\r\nDirPath=/music/\r\n[Settings]\r\nDrawBG=1\r\n");
}

TEST_F(IniFileTest, WriteUpdatesInPlaceAndKeepsEveryOtherLine) {
  Put("; made by hand\n"
      "[Skin]\n"
      "DirPath=/skin/\n"
      "\n"
      "[Options]\n"
      "// keep me\n"
      "EXE/SHOW=play MP3\n"
      "dirpath=/old/\n"
      "PrefixDir=0\n"
      "\n"
      "[Last]\n"
      "X=1\n");
  ASSERT_TRUE(IniWrite("OPTIONS", "DirPath", "/new/", Path()));
  EXPECT_EQ(Bytes(),
            "; made by hand\r\n"
            "[Skin]\r\n"
            "DirPath=/skin/\r\n"
            "\r\n"
            "[Options]\r\n"
            "// keep me\r\n"
            "EXE/SHOW=play MP3\r\n"
            "dirpath=/new/\r\n"
            "PrefixDir=0\r\n"
            "\r\n"
            "[Last]\r\n"
            "X=1\r\n");
}

TEST_F(IniFileTest, NewKeyGoesAfterTheLastLineOfItsSection) {
  Put("[Options]\r\nA=1\r\n\r\n[Other]\r\nB=2");
  ASSERT_TRUE(IniWrite("Options", "C", "3", Path()));
  EXPECT_EQ(Bytes(), "[Options]\r\nA=1\r\nC=3\r\n\r\n[Other]\r\nB=2\r\n");
  ASSERT_TRUE(IniWrite("Other", "D", "4", Path()));
  EXPECT_EQ(Bytes(), "[Options]\r\nA=1\r\nC=3\r\n\r\n[Other]\r\nB=2\r\nD=4\r\n");
}

TEST_F(IniFileTest, UntouchedLinesKeepBytesThatAreNotUtf8) {
  Put("[Options]\r\nName=caf\xE9\r\nA=1\r\n");
  ASSERT_TRUE(IniWrite("Options", "A", "2", Path()));
  EXPECT_EQ(Bytes(), "[Options]\r\nName=caf\xE9\r\nA=2\r\n");
}

TEST_F(IniFileTest, ValuesAreUtf8WithoutBom) {
  ASSERT_TRUE(IniWrite("Options", "DirPath", QString::fromUtf8("/müsik/"), Path()));
  EXPECT_EQ(Bytes(), "[Options]\r\nDirPath=/m\xC3\xBCsik/\r\n");
  EXPECT_EQ(IniRead("Options", "DirPath", Path()), QString::fromUtf8("/müsik/"));
}

TEST_F(IniFileTest, RefusesWhatCannotStandOnOneLine) {
  Put("[Options]\r\nA=1\r\n");
  EXPECT_FALSE(IniWrite("Options", "A", "two\nlines", Path()));
  EXPECT_FALSE(IniWrite("Options", "A", "cr\rhere", Path()));
  EXPECT_FALSE(IniWrite("Options", "A", QString("nul") + QChar(u'\0'), Path()));
  EXPECT_FALSE(IniWrite("Options", "A=B", "1", Path()));
  EXPECT_FALSE(IniWrite("Options", "", "1", Path()));
  EXPECT_FALSE(IniWrite("Opt]ions", "A", "1", Path()));
  EXPECT_FALSE(IniWrite("", "A", "1", Path()));
  EXPECT_EQ(Bytes(), "[Options]\r\nA=1\r\n");
}

TEST_F(IniFileTest, WriteFailureIsReportedAndLeavesNoFile) {
  QString missing_folder = dir_.filePath("no/such/folder/Settings.ini");
  EXPECT_FALSE(IniWrite("Options", "A", "1", missing_folder));
  EXPECT_FALSE(QFile::exists(missing_folder));
}

TEST_F(IniFileTest, WriteLeavesNoTemporaryFileBehind) {
  ASSERT_TRUE(IniWrite("Options", "A", "1", Path()));
  ASSERT_TRUE(IniWrite("Options", "B", "2", Path()));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Settings.ini"});
}

}  // namespace
}  // namespace orlavo

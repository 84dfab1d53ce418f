#include "app/dir_ignore_list.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/folder_walk.h"

namespace orlavo {
namespace {

class DirIgnoreListTest : public ::testing::Test {
 protected:
  void Write(const QByteArray& bytes) {
    QDir().mkpath(dir_.filePath("Files"));
    QFile file(DirIgnoreListPath(dir_.path()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray Bytes() const {
    QFile file(DirIgnoreListPath(dir_.path()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }

  QTemporaryDir dir_;
};

TEST_F(DirIgnoreListTest, LoadKeepsEveryLineInOrder) {
  struct Case {
    QByteArray bytes;
    QStringList lines;
  };
  const Case cases[] = {
      {"", {}},
      {"\r\n", {""}},
      {"/b/\r\n/a/\r\n", {"/b/", "/a/"}},
      {"/b/\n/a/", {"/b/", "/a/"}},
      {"/b/\r\n\r\n/a/\r\n", {"/b/", "", "/a/"}},
      {"\xEF\xBB\xBF/Mus\xC3\xAFk/\r\n", {QStringLiteral("/Mus\u00efk/")}},
  };
  for (const Case& c : cases) {
    Write(c.bytes);
    EXPECT_EQ(LoadDirIgnoreListLines(dir_.path()), c.lines) << c.bytes.toStdString();
  }
}

TEST_F(DirIgnoreListTest, MissingListIsCreatedEmpty) {
  EXPECT_TRUE(LoadDirIgnoreListLines(dir_.path()).isEmpty());
  EXPECT_EQ(Bytes(), QByteArray());
}

TEST_F(DirIgnoreListTest, SaveWritesUtf8WithCrLfAndReplacesTheList) {
  Write("/old/\r\n/older/\r\n/oldest/\r\n");
  ASSERT_TRUE(SaveDirIgnoreList(dir_.path(), {QStringLiteral("/M\u00fcsik/"), "/b/"}));
  EXPECT_EQ(Bytes(), QByteArray("/M\xC3\xBCsik/\r\n/b/\r\n"));
  ASSERT_TRUE(SaveDirIgnoreList(dir_.path(), {}));
  EXPECT_EQ(Bytes(), QByteArray());
}

TEST_F(DirIgnoreListTest, SaveCreatesTheFilesFolder) {
  ASSERT_TRUE(SaveDirIgnoreList(dir_.path(), {"/a/"}));
  EXPECT_EQ(Bytes(), QByteArray("/a/\r\n"));
}

TEST(DirIgnoreListEntryTest, FoldersEndWithASlash) {
  EXPECT_EQ(IgnoreListEntry("/m/a"), "/m/a/");
  EXPECT_EQ(IgnoreListEntry("/m/a/"), "/m/a/");
  EXPECT_EQ(IgnoreListEntry(""), "");
}

TEST(RowAfterRemovalTest, SelectsTheNextRowOrTheNewLast) {
  EXPECT_EQ(RowAfterRemoval(0, 3), 0);
  EXPECT_EQ(RowAfterRemoval(2, 3), 2);
  EXPECT_EQ(RowAfterRemoval(3, 3), 2);
  EXPECT_EQ(RowAfterRemoval(0, 0), -1);
}

}  // namespace
}  // namespace orlavo

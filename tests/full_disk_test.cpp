// The program's own files on a full disk: Settings.ini, the folder ignore
// list and the syntax exception list. Each save fails and leaves the file
// it would have replaced as it was. Needs root for the size-limited tmpfs.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "app/dir_ignore_list.h"
#include "app/folder_walk.h"
#include "app/ini_file.h"
#include "app/syntax_checker.h"

namespace orlavo {
namespace {

class FullDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = dir_.filePath("disk");
    QDir().mkpath(root_);
    if (::mount("tmpfs", QFile::encodeName(root_).constData(), "tmpfs", 0, "size=256k") != 0) {
      GTEST_SKIP() << "a size-limited tmpfs cannot be mounted here (needs root)";
    }
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_) ::umount(QFile::encodeName(root_).constData());
  }
  QString Put(const QString& name, const QByteArray& bytes) {
    const QString path = root_ + u'/' + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  static QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  // Fills the disk to the last byte (tmpfs counts whole pages).
  void Fill() {
    QFile fill(root_ + QStringLiteral("/.fill"));
    ASSERT_TRUE(fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'x');
    while (fill.write(block) == block.size()) {
    }
  }

  QTemporaryDir dir_;
  QString root_;
  bool mounted_ = false;
};

TEST_F(FullDiskTest, SavesFailAndKeepTheOldFile) {
  const QByteArray settings = "[Options]\r\nSkinName=Dark\r\n" + QByteArray(6000, ';') + "\r\n";
  const QString ini = Put("Settings.ini", settings);
  const QByteArray ignore = "/music/a/\r\n/music/b/\r\n";
  Put("Files/DirIgnoreList.txt", ignore);
  Fill();

  struct Case {
    const char* what;
    std::function<bool()> save;
    QString path;
    QByteArray before;
  } cases[] = {
      {"settings", [&] { return IniWrite("Options", "NoWarning", "1", ini); }, ini, settings},
      {"ignore list",
       [&] {
         return SaveDirIgnoreList(root_, {"/music/a/", "/music/b/", "/music/c/"});
       },
       DirIgnoreListPath(root_), ignore},
      {"syntax list", [&] { return WriteSyntaxIgnoreTemplate(root_, "Orlavo"); },
       SyntaxIgnoreListPath(root_), "<missing>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(c.save());
    EXPECT_EQ(Read(c.path), c.before);
  }
  // Nothing else was left on the disk: no temporaries.
  QStringList left;
  for (const QString& folder : {root_, root_ + QStringLiteral("/Files")}) {
    left += QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
  }
  left.sort();
  EXPECT_EQ(left, (QStringList{".fill", "DirIgnoreList.txt", "Settings.ini"}));
}

}  // namespace
}  // namespace orlavo

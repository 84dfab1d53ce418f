#include "app/folder_walk.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/flags.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/mp3_bytes.h"

namespace orlavo {
namespace {

using testing::FakeDesktop;
using testing::RawNamedEntry;
using testing::WriteBytes;
using testing::WriteMp3File;

class FolderWalkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.isValid());
    ASSERT_TRUE(music_.isValid());
    root_ = music_.path() + "/";
    setup_.program_folder = program_.path();
    setup_.desktop = &desktop_;
    StopRequested = false;
  }
  void TearDown() override { StopRequested = false; }

  void Make(const QStringList& relative_files) {
    for (const QString& f : relative_files) ASSERT_TRUE(WriteMp3File(root_ + f)) << f.toStdString();
  }
  void MakeFolder(const QString& relative) { ASSERT_TRUE(QDir().mkpath(root_ + relative)); }
  void WriteIgnoreList(const QByteArray& text) {
    ASSERT_TRUE(WriteBytes(DirIgnoreListPath(program_.path()), text));
  }
  // Items with the root cut off, for readable expectations.
  QStringList Relative(const PathList& list) const {
    QStringList out;
    for (const QString& item : list.Items) out << item.mid(root_.size());
    return out;
  }

  QTemporaryDir program_, music_;
  QString root_;
  FakeDesktop desktop_;
  WalkSetup setup_;
};

TEST_F(FolderWalkTest, AllFilesListsSubFoldersDepthFirstThenTheRootsFiles) {
  Make({"root.mp3", "A/a.mp3", "A/B/b1.mp3", "A/B/b2.mp3", "A/C/c.mp3", "D/d.mp3"});
  MakeFolder("A/B/Empty");
  PathList list;
  GetAllFiles(root_, kFolderMask, kFileMask, list, setup_);
  EXPECT_EQ(Relative(list), QStringList({"A/a.mp3", "A/B/b1.mp3", "A/B/b2.mp3", "A/C/c.mp3",
                                         "D/d.mp3", "root.mp3"}));
  EXPECT_EQ(list.Count, 6);

  PathList folders;
  GetAllSubFolders(music_.path(), kFolderMask, folders, setup_);  // no trailing "/"
  EXPECT_EQ(Relative(folders), QStringList({"A/", "A/B/", "A/B/Empty/", "A/C/", "D/"}));
  EXPECT_EQ(folders.Count, 5);
}

TEST_F(FolderWalkTest, NoSubFoldersGivesTheRootFilesOnly) {
  Make({"b.mp3", "a.mp3"});
  PathList list;
  GetAllFiles(root_, kFolderMask, kFileMask, list, setup_);
  EXPECT_EQ(Relative(list), QStringList({"a.mp3", "b.mp3"}));
}

TEST_F(FolderWalkTest, ListsVisibleRegularMp3FilesWhateverTheExtensionCase) {
  Make({"one.mp3", "TWO.MP3", "three.Mp3", ".hidden.mp3", "notes.mp3.txt", "mp3", "x.mp4"});
  ASSERT_TRUE(WriteBytes(root_ + "readme.txt", "text"));
  MakeFolder("folder.mp3");
  ASSERT_EQ(mkfifo(QFile::encodeName(root_ + "pipe.mp3").constData(), 0600), 0);
  ASSERT_EQ(symlink("one.mp3", QFile::encodeName(root_ + "link.mp3").constData()), 0);
  ASSERT_EQ(symlink("missing.mp3", QFile::encodeName(root_ + "dangling.mp3").constData()), 0);
  PathList list;
  GetFolderFiles(root_, kFileMask, list, setup_);
  EXPECT_EQ(Relative(list), QStringList({"link.mp3", "one.mp3", "three.Mp3", "TWO.MP3"}));
  EXPECT_EQ(list.Count, 4);
}

TEST_F(FolderWalkTest, HiddenFoldersAndLinksToFoldersAreNotWalked) {
  Make({"A/a.mp3", ".cache/c.mp3"});
  // A link back to the root would loop forever if it were followed.
  ASSERT_EQ(symlink(QFile::encodeName(music_.path()).constData(),
                    QFile::encodeName(root_ + "A/loop").constData()),
            0);
  PathList list;
  GetAllFiles(root_, kFolderMask, kFileMask, list, setup_);
  EXPECT_EQ(Relative(list), QStringList({"A/a.mp3"}));
  PathList folders;
  GetAllSubFolders(root_, kFolderMask, folders, setup_);
  EXPECT_EQ(Relative(folders), QStringList({"A/"}));
}

TEST_F(FolderWalkTest, IgnoreListLinesMatchWholeFolderPathsWithCase) {
  Make({"Live/l.mp3", "Live/Deep/d.mp3", "Studio/s.mp3", "LiveX/x.mp3"});
  struct Case {
    const char* name;
    QByteArray lines;
    QStringList expected;
  } cases[] = {
      {"exact line skips the folder and everything below",
       (root_ + "Live/\r\n").toUtf8(),
       {"LiveX/x.mp3", "Studio/s.mp3"}},
      {"other letter case matches nothing",
       (root_ + "live/\n").toUtf8(),
       {"Live/l.mp3", "Live/Deep/d.mp3", "LiveX/x.mp3", "Studio/s.mp3"}},
      {"a line without the trailing slash matches nothing",
       (root_ + "Live\n").toUtf8(),
       {"Live/l.mp3", "Live/Deep/d.mp3", "LiveX/x.mp3", "Studio/s.mp3"}},
      {"three lines that match nothing, with empty lines between",
       ("/elsewhere/\n\n" + root_ + "Studio\n\r\n" + root_ + "live/deep/\n").toUtf8(),
       {"Live/l.mp3", "Live/Deep/d.mp3", "LiveX/x.mp3", "Studio/s.mp3"}},
      {"a nested folder alone",
       (root_ + "Live/Deep/").toUtf8(),
       {"Live/l.mp3", "LiveX/x.mp3", "Studio/s.mp3"}},
  };
  for (const Case& c : cases) {
    WriteIgnoreList(c.lines);
    PathList list;
    GetAllFiles(root_, kFolderMask, kFileMask, list, setup_);
    EXPECT_EQ(Relative(list), c.expected) << c.name;
  }
}

TEST_F(FolderWalkTest, MissingIgnoreListIsCreatedEmpty) {
  Make({"A/a.mp3"});
  const QString path = DirIgnoreListPath(program_.path());
  EXPECT_EQ(path, program_.path() + "/Files/DirIgnoreList.txt");
  ASSERT_FALSE(QFile::exists(path));
  PathList list;
  GetSubFolders(root_, kFolderMask, list, setup_);
  EXPECT_EQ(Relative(list), QStringList({"A/"}));
  ASSERT_TRUE(QFile::exists(path));
  EXPECT_EQ(QFileInfo(path).size(), 0);
}

TEST_F(FolderWalkTest, NamesThatAreNotUtf8AreLeftOutAndReported) {
  Make({"ok.mp3"});
  const QByteArray root = QFile::encodeName(root_);
  RawNamedEntry file(root + "caf\xe9.mp3", false);
  RawNamedEntry folder(root + "dir\xff", true);
  ASSERT_TRUE(file.ok());
  ASSERT_TRUE(folder.ok());
  PathList list;
  GetAllFiles(root_, kFolderMask, kFileMask, list, setup_);
  EXPECT_EQ(Relative(list), QStringList({"ok.mp3"}));
  EXPECT_EQ(list.Unreadable.size(), 2);
  EXPECT_TRUE(list.Unreadable.contains(root_ + QString::fromUtf16(u"caf\uFFFD.mp3")));
  EXPECT_TRUE(list.Unreadable.contains(root_ + QString::fromUtf16(u"dir\uFFFD")));
}

TEST_F(FolderWalkTest, StopDuringTheWalkEndsItAndStaysSet) {
  for (int i = 0; i < 6; ++i) Make({QStringLiteral("F%1/G/x.mp3").arg(i)});
  int events = 0;
  desktop_.on_events = [&] {
    if (++events == 3) StopRequested = true;
  };
  PathList list;
  GetAllFiles(root_, kFolderMask, kFileMask, list, setup_);
  EXPECT_TRUE(StopRequested);
  EXPECT_TRUE(list.Items.isEmpty());

  // A new walk starts by clearing the flag.
  desktop_.on_events = nullptr;
  PathList again;
  GetAllFiles(root_, kFolderMask, kFileMask, again, setup_);
  EXPECT_FALSE(StopRequested);
  EXPECT_EQ(again.Count, 6);
}

TEST_F(FolderWalkTest, FolderFilesAppendsToWhatTheListHolds) {
  Make({"A/a.mp3", "b.mp3"});
  PathList list;
  list.Items << "/kept/x.mp3";
  GetFolderFiles(root_ + "A", kFileMask, list, setup_);
  GetFolderFiles(root_, kFileMask, list, setup_);
  EXPECT_EQ(list.Items, QStringList({"/kept/x.mp3", root_ + "A/a.mp3", root_ + "b.mp3"}));
  EXPECT_EQ(list.Count, 3);
}

}  // namespace
}  // namespace orlavo

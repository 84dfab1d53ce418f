#include "app/file_ops.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/support/fake_desktop.h"

namespace orlavo {
namespace {

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

int ModeOf(const QString& path) {
  struct stat st;
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

class TrashAndMoveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    old_data_home_ = qgetenv("XDG_DATA_HOME");
    // A data home that does not exist yet: the trash must be made.
    qputenv("XDG_DATA_HOME", QFile::encodeName(Path("home/share")));
  }
  void TearDown() override { qputenv("XDG_DATA_HOME", old_data_home_); }
  QString Path(const QString& name) const { return dir_.path() + "/" + name; }
  QString Trash() const { return Path("home/share/Trash"); }

  QTemporaryDir dir_;
  QByteArray old_data_home_;
};

TEST_F(TrashAndMoveTest, TrashMakesPrivateFoldersRecordsAndKeepsEveryName) {
  // Three files of one name, and one whose name is not UTF-8.
  QDir().mkpath(Path("a"));
  QDir().mkpath(Path("b"));
  Write(Path("a/Song.mp3"), "first");
  Write(Path("b/Song.mp3"), "second");
  Write(Path("Song.mp3"), "third");
  const QString odd = QFile::decodeName(QFile::encodeName(Path("")) + "caf\xe9 50%.mp3");
  Write(odd, "odd");

  const struct {
    QString path, trashed_name;
    QByteArray bytes;
  } cases[] = {{Path("a/Song.mp3"), "Song.mp3", "first"},
               {Path("b/Song.mp3"), "Song (2).mp3", "second"},
               {Path("Song.mp3"), "Song (3).mp3", "third"},
               {odd, QString(), "odd"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString());
    const TrashResult r = MoveToTrash(c.path);
    ASSERT_EQ(r.status, TrashStatus::kTrashed) << r.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(c.path));
    EXPECT_EQ(Read(r.trashed_as), c.bytes);
    if (!c.trashed_name.isEmpty()) {
      EXPECT_EQ(r.trashed_as, Trash() + "/files/" + c.trashed_name);
    }
    const QByteArray info =
        Read(Trash() + "/info/" + QFileInfo(r.trashed_as).fileName() + ".trashinfo");
    EXPECT_TRUE(info.startsWith("[Trash Info]\nPath=")) << info.toStdString();
    const QByteArray recorded = info.split('\n')[1].mid(5);
    EXPECT_EQ(QByteArray::fromPercentEncoding(recorded), QFile::encodeName(c.path));
    EXPECT_TRUE(info.contains("\nDeletionDate=20"));
  }
  for (const QString& folder :
       {Path("home"), Path("home/share"), Trash(), Trash() + "/files", Trash() + "/info"}) {
    EXPECT_EQ(ModeOf(folder), 0700) << folder.toStdString();
  }
}

TEST_F(TrashAndMoveTest, TrashRefusalsKeepTheFile) {
  Write(Path("keep.mp3"), "keep");
  EXPECT_EQ(MoveToTrash(Path("gone.mp3")).status, TrashStatus::kSourceMissing);
  EXPECT_EQ(MoveToTrash(Path("")).status, TrashStatus::kFailed);  // a folder

  // A data home that cannot hold a trash: nothing is trashed, and the file is
  // removed only after a Yes.
  Write(Path("blocker"), "");
  qputenv("XDG_DATA_HOME", QFile::encodeName(Path("blocker/share")));
  EXPECT_EQ(MoveToTrash(Path("keep.mp3")).status, TrashStatus::kNoTrash);
  EXPECT_EQ(DeleteToTrash(Path("keep.mp3"), nullptr).status, TrashStatus::kNoTrash);

  testing::FakeDesktop desktop;
  EXPECT_EQ(DeleteToTrash(Path("keep.mp3"), &desktop).status, TrashStatus::kDeclined);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_TRUE(desktop.messages[0].text.contains(Path("keep.mp3")));
  EXPECT_EQ(Read(Path("keep.mp3")), "keep");

  desktop.answers.push_back(Desktop::Answer::kYes);
  EXPECT_EQ(DeleteToTrash(Path("keep.mp3"), &desktop).status, TrashStatus::kDeleted);
  EXPECT_FALSE(QFileInfo::exists(Path("keep.mp3")));
}

TEST_F(TrashAndMoveTest, TrashOnAnotherFileSystemUsesItsTopFolder) {
  // /dev/shm is a separate tmpfs on most Linux systems.
  struct stat shm, tmp;
  if (::stat("/dev/shm", &shm) != 0 || ::stat(QFile::encodeName(dir_.path()), &tmp) != 0 ||
      shm.st_dev == tmp.st_dev || ::access("/dev/shm", W_OK) != 0) {
    GTEST_SKIP() << "no second writable file system";
  }
  QTemporaryDir other(QStringLiteral("/dev/shm/orlavo-XXXXXX"));
  Write(other.path() + "/x.mp3", "x");
  const TrashResult r = MoveToTrash(other.path() + "/x.mp3");
  ASSERT_EQ(r.status, TrashStatus::kTrashed) << r.error.toStdString();
  EXPECT_TRUE(r.trashed_as.startsWith(QStringLiteral("/dev/shm/.Trash")));
  EXPECT_EQ(Read(r.trashed_as), "x");
  QFile::remove(r.trashed_as);

  // A move from there is a checked copy that keeps the time and never replaces.
  Write(other.path() + "/m.mp3", QByteArray(3 << 20, 'm'));
  Write(Path("taken.mp3"), "taken");
  RenameResult refused = MoveNoReplace(other.path() + "/m.mp3", Path("taken.mp3"));
  EXPECT_EQ(refused.status, RenameStatus::kTargetExists);
  EXPECT_EQ(Read(Path("taken.mp3")), "taken");
  const QDateTime mtime = QFileInfo(other.path() + "/m.mp3").lastModified();
  ASSERT_TRUE(MoveNoReplace(other.path() + "/m.mp3", Path("m.mp3")).ok());
  EXPECT_FALSE(QFileInfo::exists(other.path() + "/m.mp3"));
  EXPECT_EQ(Read(Path("m.mp3")), QByteArray(3 << 20, 'm'));
  EXPECT_EQ(QFileInfo(Path("m.mp3")).lastModified(), mtime);
  EXPECT_EQ(QDir(dir_.path()).entryList({".orlavo-move-*"}, QDir::Hidden | QDir::Files).size(), 0);
}

TEST_F(TrashAndMoveTest, MoveWithinOneFileSystemIsARenameThatNeverReplaces) {
  Write(Path("a.mp3"), "a");
  Write(Path("b.mp3"), "b");
  EXPECT_EQ(MoveNoReplace(Path("a.mp3"), Path("b.mp3")).status, RenameStatus::kTargetExists);
  EXPECT_EQ(MoveNoReplace(Path("none.mp3"), Path("c.mp3")).status, RenameStatus::kSourceMissing);
  QDir().mkpath(Path("sub"));
  ASSERT_TRUE(MoveNoReplace(Path("a.mp3"), Path("sub/a.mp3")).ok());
  EXPECT_EQ(Read(Path("sub/a.mp3")), "a");
  EXPECT_EQ(Read(Path("b.mp3")), "b");

  // A listed file that became a folder before the move stays where it is.
  QDir().mkpath(Path("c.mp3/inner"));
  const RenameResult folder = MoveNoReplace(Path("c.mp3"), Path("sub/c.mp3"));
  EXPECT_EQ(folder.status, RenameStatus::kFailed);
  EXPECT_TRUE(QFileInfo(Path("c.mp3/inner")).isDir());
  EXPECT_FALSE(QFileInfo::exists(Path("sub/c.mp3")));
}

// A writer killed mid-write leaves its temporary; the next writer to the same
// folder removes those whose process is gone, and only those.
TEST(StaleTemporariesTest, OnlyTemporariesOfEndedProcessesGo) {
  QTemporaryDir dir;
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  const QString dead = QString::number(child), alive = QString::number(::getpid());
  const QStringList names = {".a.mp3.joining-" + dead + "-x1",
                             ".a.mp3.joining-" + alive + "-x2",
                             ".a.mp3.joining-x3",
                             ".a.mp3.joining-" + dead,
                             "a.mp3.joining-" + dead + "-x4",
                             ".b.mp3.joining-" + dead + "-x5"};
  for (const QString& name : names) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  EXPECT_EQ(RemoveStaleTemporaries(dir.path(), ".a.mp3.joining-"), 1);
  QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  EXPECT_EQ(left.size(), names.size() - 1);
  EXPECT_FALSE(left.contains(names[0]));
  EXPECT_EQ(RemoveStaleTemporaries(dir.filePath("missing"), ".a"), 0);
}

}  // namespace
}  // namespace orlavo

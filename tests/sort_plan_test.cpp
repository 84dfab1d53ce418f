#include "tools/sorter/sort_plan.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>

#include "tests/support/mp3_bytes.h"
#include "tests/support/qstring_print.h"

namespace orlavo {
namespace {

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(ParsePlanTest, LinesThatStopThePlanBeforeAnythingMoves) {
  struct Case {
    const char* text;
    int error_line;  // 0: the plan is fine
  };
  const Case cases[] = {
      {"// c\r\n\r\n[/r/A/]\r\n/m/a.mp3\r\n   \r\n[/r/B]\n/m/b.mp3\n// End of the data.\n", 0},
      {"[/r/A/\r\n/m/a.mp3\r\n", 1},                              // no closing bracket
      {"[/r/A/]\r\n/m/a.mp3\r\n[/r/B/ \r\n", 3},                  // blank after it
      {"/m/a.mp3\r\n[/r/A/]\r\n", 1},                             // a file before any folder
      {"[]\r\n/m/a.mp3\r\n", 1},                                  // no folder
      {"[A/]\r\n/m/a.mp3\r\n", 1},                                // not a full path
      {"[/r/A/]\r\nm/a.mp3\r\n", 2},                              // nor this
      {"[/r/A/]\r\n// End of the data.\r\n[/r/B/\r\nxx\r\n", 0},  // after the end: ignored
  };
  for (const Case& c : cases) {
    const ParsedPlan plan = ParsePlan(c.text);
    EXPECT_EQ(plan.error_line, c.error_line) << c.text;
    if (c.error_line != 0) {
      EXPECT_TRUE(plan.blocks.isEmpty());
      EXPECT_FALSE(plan.error_reason.isEmpty());
    }
  }
  const ParsedPlan plan = ParsePlan(cases[0].text);
  ASSERT_EQ(plan.blocks.size(), 2);
  EXPECT_EQ(plan.blocks[0].folder, "/r/A/");
  EXPECT_EQ(plan.blocks[1].folder, "/r/B/");  // the closing "/" is added
  EXPECT_EQ(plan.blocks[1].files[0].path, "/m/b.mp3");
  EXPECT_EQ(plan.blocks[1].files[0].line, 7);
  EXPECT_EQ(plan.lines, 8);
}

class ExecutePlanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    music_ = dir_.filePath("music") + u'/';
    root_ = dir_.filePath("sorted") + u'/';
    QDir().mkpath(music_);
    QDir().mkpath(root_);
  }

  QString Song(const QString& name, const QByteArray& bytes = "mp3") {
    EXPECT_TRUE(testing::WriteBytes(music_ + name, bytes + name.toUtf8()));
    return music_ + name;
  }

  PlanRun Run(const QString& plan_text, bool each = true, bool global = true,
              QString root = QString()) {
    const QString plan = dir_.filePath("plan.txt");
    testing::WriteBytes(plan, plan_text.toUtf8());
    PlanExecution execution;
    execution.root = root.isEmpty() ? root_ : root;
    execution.m3u_each = each;
    execution.m3u_global = global;
    execution.move = move_;
    return RunPlanFile(plan, execution);
  }

  QTemporaryDir dir_;
  QString music_, root_;
  std::function<RenameResult(const QString&, const QString&)> move_;
};

TEST_F(ExecutePlanTest, MovesFilesWritesBothPlaylistsAndHonoursHandEdits) {
  const QString a = Song("a.mp3"), b = Song("b.mp3"), c = Song("c.mp3"), d = Song("Ünï d.mp3");
  // b was moved by hand into the second block; Queen appears twice; the
  // second folder's parent does not exist yet.
  const QString plan = "// header\r\n\r\n[" + root_ + "Queen/]\r\n" + a + "\r\n\r\n[" + root_ +
                       "deep/er/Abba/]\r\n" + b + "\r\n" + c + "\r\n[" + root_ + "Queen/]\r\n" + d +
                       "\r\n\r\n// " + music_ + "x.mp3\r\n\r\n// End of the data.\r\n";
  const PlanRun run = Run(plan);
  ASSERT_EQ(run.outcome, PlanRun::Outcome::kDone) << run.message.toStdString();
  EXPECT_TRUE(run.message.isEmpty()) << run.message.toStdString();
  EXPECT_EQ(run.report.moved.size(), 4);
  EXPECT_EQ(Read(root_ + "Queen/a.mp3"), "mp3a.mp3");
  EXPECT_EQ(Read(root_ + "deep/er/Abba/b.mp3"), "mp3b.mp3");
  EXPECT_EQ(Read(root_ + "Queen/Ünï d.mp3"), "mp3Ünï d.mp3");
  EXPECT_FALSE(QFile::exists(a));

  // One playlist per folder, the second Queen block appended to the first.
  EXPECT_EQ(Read(root_ + "Queen/Queen.m3u"),
            ("#EXTM3U\r\n#EXTINF:000,a.mp3\r\n" + root_ + "Queen/a.mp3\r\n" +
             "#EXTINF:000,Ünï d.mp3\r\n" + root_ + "Queen/Ünï d.mp3\r\n")
                .toUtf8());
  EXPECT_EQ(Read(root_ + "deep/er/Abba/Abba.m3u"),
            ("#EXTM3U\r\n#EXTINF:000,b.mp3\r\n" + root_ + "deep/er/Abba/b.mp3\r\n" +
             "#EXTINF:000,c.mp3\r\n" + root_ + "deep/er/Abba/c.mp3\r\n")
                .toUtf8());
  EXPECT_EQ(
      Read(root_ + "Playlist.m3u"),
      ("#EXTM3U\r\n#EXTINF:000,a.mp3\r\n" + root_ + "Queen/a.mp3\r\n" + "#EXTINF:000,b.mp3\r\n" +
       root_ + "deep/er/Abba/b.mp3\r\n" + "#EXTINF:000,c.mp3\r\n" + root_ +
       "deep/er/Abba/c.mp3\r\n" + "#EXTINF:000,Ünï d.mp3\r\n" + root_ + "Queen/Ünï d.mp3\r\n")
          .toUtf8());
}

TEST_F(ExecutePlanTest, FailuresAreListedAndKeepTheirPlaylistLinesOut) {
  const QString a = Song("a.mp3"), b = Song("b.mp3");
  QDir().mkpath(root_ + "Queen");
  testing::WriteBytes(root_ + "Queen/b.mp3", "already here");
  testing::WriteBytes(root_ + "Queen/Queen.m3u", "#EXTM3U\r\n#EXTINF:000,old.mp3\r\nold.mp3");
  // A file where a folder must go.
  testing::WriteBytes(root_ + "blocked", "file");
  const QString plan = "[" + root_ + "Queen/]\r\n" + a + "\r\n" + b + "\r\n" + music_ +
                       "gone.mp3\r\n[" + root_ + "blocked/sub/]\r\n" + Song("c.mp3") + "\r\n";
  const PlanRun run = Run(plan, true, false);
  ASSERT_EQ(run.outcome, PlanRun::Outcome::kDone);
  ASSERT_EQ(run.report.not_moved.size(), 3);
  EXPECT_EQ(run.report.not_moved[0].path, b);
  EXPECT_EQ(run.report.not_moved[1].path, music_ + "gone.mp3");
  EXPECT_EQ(run.report.not_moved[2].path, music_ + "c.mp3");
  for (const auto& f : run.report.not_moved) EXPECT_TRUE(run.message.contains(f.path));
  EXPECT_TRUE(run.message.contains("already in the folder"));
  // Nothing was replaced, and the old playlist keeps its lines.
  EXPECT_EQ(Read(root_ + "Queen/b.mp3"), "already here");
  EXPECT_EQ(Read(b), "mp3b.mp3");
  EXPECT_EQ(Read(root_ + "Queen/Queen.m3u"),
            ("#EXTM3U\r\n#EXTINF:000,old.mp3\r\nold.mp3\r\n#EXTINF:000,a.mp3\r\n" + root_ +
             "Queen/a.mp3\r\n")
                .toUtf8());

  // A playlist that cannot be written is reported; the moves still happen.
  const QString e = Song("e.mp3");
  QDir().mkpath(root_ + "Lists/Lists.m3u");  // a folder in the playlist's place
  const PlanRun second = Run("[" + root_ + "Lists/]\r\n" + e + "\r\n", true, false);
  EXPECT_EQ(Read(root_ + "Lists/e.mp3"), "mp3e.mp3");
  ASSERT_EQ(second.report.playlists_not_written.size(), 1);
  EXPECT_TRUE(second.message.contains(root_ + "Lists/Lists.m3u"));
}

TEST_F(ExecutePlanTest, SyntaxErrorsAndAMissingRootMoveNothing) {
  const QString a = Song("a.mp3");
  struct Case {
    QString plan;
    QString root;
    PlanRun::Outcome outcome;
    QString named;
  };
  const Case cases[] = {
      {"[" + root_ + "A/]\r\n" + a + "\r\n[" + root_ + "B/\r\n", root_,
       PlanRun::Outcome::kSyntaxError, "Line 3"},
      {a + "\r\n[" + root_ + "A/]\r\n", root_, PlanRun::Outcome::kSyntaxError, "Line 1"},
      {"[" + root_ + "A/]\r\n" + a + "\r\n", dir_.filePath("nowhere/"), PlanRun::Outcome::kNoRoot,
       dir_.filePath("nowhere/")},
  };
  for (const Case& c : cases) {
    const PlanRun run = Run(c.plan, true, true, c.root);
    EXPECT_EQ(run.outcome, c.outcome);
    EXPECT_TRUE(run.message.contains(c.named)) << run.message.toStdString();
    EXPECT_TRUE(QFile::exists(a));
    EXPECT_FALSE(QFileInfo::exists(root_ + "A"));
    EXPECT_FALSE(QFileInfo::exists(root_ + "Playlist.m3u"));
  }
}

// Every file exists exactly once with its bytes after a sort, whatever fails.
class NothingLostTest : public ExecutePlanTest {
 protected:
  // checksum -> where the file is expected
  QMap<QByteArray, QString> MakeTree(int files) {
    QMap<QByteArray, QString> sums;
    for (int i = 0; i < files; ++i) {
      const QString path = music_ + QStringLiteral("sub%1/song %2.mp3").arg(i % 3).arg(i);
      QByteArray bytes(1000 + i * 37, char('a' + i % 26));
      testing::WriteBytes(path, bytes);
      sums.insert(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1), path);
    }
    return sums;
  }

  // Every file under the folders, by checksum (a checksum seen twice fails).
  void ExpectEachOnce(const QMap<QByteArray, QString>& sums, const QStringList& folders) {
    QMap<QByteArray, int> seen;
    for (const QString& folder : folders) {
      QDirIterator it(folder, {"*.mp3"}, QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) {
        const QByteArray sum = QCryptographicHash::hash(Read(it.next()), QCryptographicHash::Sha1);
        if (sums.contains(sum)) ++seen[sum];
      }
    }
    for (auto it = sums.begin(); it != sums.end(); ++it) {
      EXPECT_EQ(seen.value(it.key()), 1) << it.value().toStdString();
    }
  }

  QString PlanFor(const QMap<QByteArray, QString>& sums, const QString& root) {
    QString plan;
    int i = 0;
    for (const QString& path : sums) {
      if (i++ % 4 == 0) plan += "[" + root + QStringLiteral("F%1/]\r\n").arg(i % 3);
      plan += path + "\r\n";
    }
    return plan;
  }

  // Puts a file of other bytes at the target of every k-th file of the plan.
  void OccupyTargets(const QString& plan, int k) {
    int n = 0;
    for (const ParsedPlan::Block& block : ParsePlan(plan.toUtf8()).blocks) {
      for (const ParsedPlan::File& file : block.files) {
        if (n++ % k == 0)
          testing::WriteBytes(block.folder + QFileInfo(file.path).fileName(), "taken");
      }
    }
  }
};

TEST_F(NothingLostTest, TargetsThatExistAndFailingMovesLoseNothing) {
  const auto sums = MakeTree(30);
  const QString plan = PlanFor(sums, root_);
  OccupyTargets(plan, 5);
  // Every seventh move fails the way a full or vanished disk makes it fail.
  int calls = 0;
  move_ = [&](const QString& from, const QString& to) {
    if (++calls % 7 == 0) return RenameResult{RenameStatus::kFailed, "No space left on device", 28};
    return MoveNoReplace(from, to);
  };
  const PlanRun run = Run(plan);
  EXPECT_EQ(run.outcome, PlanRun::Outcome::kDone);
  EXPECT_GE(run.report.not_moved.size(), 6 + 3);
  EXPECT_EQ(run.report.moved.size() + run.report.not_moved.size(), 30);
  ExpectEachOnce(sums, {music_, root_});
  for (const auto& f : run.report.not_moved) EXPECT_TRUE(QFile::exists(f.path));
}

TEST_F(NothingLostTest, RootOnAnotherFileSystem) {
  struct stat shm, tmp;
  if (::stat("/dev/shm", &shm) != 0 || ::stat(QFile::encodeName(dir_.path()), &tmp) != 0 ||
      shm.st_dev == tmp.st_dev || ::access("/dev/shm", W_OK) != 0) {
    GTEST_SKIP() << "no second writable file system";
  }
  QTemporaryDir other(QStringLiteral("/dev/shm/orlavo-sort-XXXXXX"));
  const QString root = other.path() + u'/';
  const auto sums = MakeTree(12);
  const QString plan = PlanFor(sums, root);
  OccupyTargets(plan, 6);
  const PlanRun run = Run(plan, true, true, root);
  EXPECT_EQ(run.outcome, PlanRun::Outcome::kDone);
  EXPECT_EQ(run.report.not_moved.size(), 2);
  EXPECT_EQ(run.report.moved.size(), 10);
  ExpectEachOnce(sums, {music_, root});
  for (const QString& folder : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    EXPECT_EQ(QDir(root + folder).entryList({".orlavo-move-*"}, QDir::Hidden | QDir::Files).size(),
              0);
  }
}

}  // namespace
}  // namespace orlavo

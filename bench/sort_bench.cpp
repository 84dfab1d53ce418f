// The MP3 sorter: "Sort" writing the plan over 25,000 and 50,000 files (the
// growth from one to the other, and the time at 50,000 against the sorter's
// own headless scan of the same tree), and "Continue..." moving 10,000 files
// within one file system against mv of the same files in the same run.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "app/desktop.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "tests/support/bench_floor.h"
#include "tests/support/mp3_bytes.h"
#include "tools/advanced_tools.h"
#include "tools/sorter/mp3_sorter.h"
#include "tools/sorter/sort_plan.h"

using namespace orlavo;

namespace {

constexpr int kHalf = 25000;
constexpr int kMoved = 10000;
constexpr int kFolders = 100;

// Tagged files of 500 artists; every tenth has no artist (an unsorted line)
// and every hundredth an artist with "/" (an error row).
void MakeTree(const QString& folder, int first, int count) {
  for (int n = first; n < first + count; ++n) {
    testing::Mp3Layout layout;
    layout.id3v1 = true;
    layout.title = "Title " + QByteArray::number(n);
    if (n % 10 != 0) layout.artist = "Artist " + QByteArray::number(n % 500);
    if (n % 100 == 1) layout.artist = "AC/DC";
    testing::WriteMp3File(folder + QStringLiteral("%1/Track %2.mp3").arg(n / 1000).arg(n), layout);
  }
}

struct PlanFigures {
  double scan = 1e9;
  double sort = 1e9;
};

PlanFigures MeasurePlan(Mp3Sorter& sorter) {
  PlanFigures f;
  for (int round = 0; round < 3; ++round) {
    f.scan = std::min(f.scan, testing::TimeSeconds([&] { sorter.Scan(); }));
  }
  for (int round = 0; round < 5; ++round) {
    f.sort = std::min(f.sort, testing::TimeSeconds([&] { sorter.Sort(); }));
  }
  return f;
}

// The files of one tree for the move: kMoved files in 10 folders, the plan
// that sends them to kFolders folders under root, and the same as shell lines.
QString MakeMoveTree(const QString& music, const QString& root, QStringList* blocks) {
  QString plan;
  blocks->clear();
  for (int f = 0; f < kFolders; ++f) {
    QStringList files;
    for (int k = 0; k < kMoved / kFolders; ++k) {
      const int n = f * (kMoved / kFolders) + k;
      const QString path = music + QStringLiteral("%1/Song %2.mp3").arg(n % 10).arg(n);
      testing::WriteBytes(path, testing::MpegFrameBytes(200));
      files << path;
    }
    const QString folder = root + QStringLiteral("Artist %1/").arg(f);
    plan += "\r\n[" + folder + "]\r\n" + files.join("\r\n") + "\r\n";
    // For mv: make the folder, then move its files into it.
    QStringList quoted;
    for (const QString& file : files) quoted << "'" + file + "'";
    blocks->append("mkdir -p '" + folder + "' && mv -n -t '" + folder + "' " + quoted.join(' '));
  }
  return plan;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QTemporaryDir dir;
  const QString program = dir.filePath("program") + u'/';
  const QString music = dir.filePath("music") + u'/';
  QDir().mkpath(program + "Files");
  MakeTree(music + "a/", 0, kHalf);
  MakeTree(music + "b/", kHalf, kHalf);

  PelloxBinding pellox(QStringLiteral(ORLAVO_BIN_DIR));
  if (!testing::BindPelloxOrSay(pellox)) return 1;
  Options small_options;
  small_options.include_sub_directories = true;
  small_options.no_warning = true;
  small_options.show_current_file = false;
  small_options.render_list_invisible = false;
  small_options.main_folder = music + "a/";
  Options large_options = small_options;
  large_options.main_folder = music;
  SilentDesktop desktop;
  ToolsStatus status;
  Mp3Sorter small(ToolContext{desktop, status, pellox, small_options, program});
  Mp3Sorter large(ToolContext{desktop, status, pellox, large_options, program});
  small.SetRootPath(dir.filePath("sorted/"));
  large.SetRootPath(dir.filePath("sorted/"));
  const PlanFigures fs = MeasurePlan(small);
  const PlanFigures fl = MeasurePlan(large);
  const qint64 plan_bytes = QFileInfo(large.PlanPath()).size();

  // Moves: the same files made twice, one tree for the plan, one for mv.
  QStringList blocks, mv_blocks;
  const QString plan_text =
      MakeMoveTree(dir.filePath("move1") + u'/', dir.filePath("root1") + u'/', &blocks);
  MakeMoveTree(dir.filePath("move2") + u'/', dir.filePath("root2") + u'/', &mv_blocks);
  QDir().mkpath(dir.filePath("root1"));
  QDir().mkpath(dir.filePath("root2"));
  const QString plan_path = dir.filePath("plan.txt");
  testing::WriteBytes(plan_path, plan_text.toUtf8());
  QString script;
  for (const QString& block : mv_blocks) script += block + "\n";
  testing::WriteBytes(dir.filePath("mv.sh"), script.toUtf8());

  PlanExecution execution;
  execution.root = dir.filePath("root1") + u'/';
  PlanRun run;
  const double apply = testing::TimeSeconds([&] { run = RunPlanFile(plan_path, execution); });
  const double mv = testing::TimeSeconds([&] {
    QProcess sh;
    sh.start(QStringLiteral("/bin/sh"), {dir.filePath("mv.sh")});
    sh.waitForFinished(-1);
  });
  const int moved_by_mv = static_cast<int>(
      QDir(dir.filePath("root2/Artist 0")).entryList(QDir::Files).size() * kFolders);

  std::printf("scan: 25,000 files %.1f ms, 50,000 files %.1f ms\n", fs.scan * 1e3, fl.scan * 1e3);
  std::printf("Sort (plan of %lld bytes at 50,000): 25,000 files %.1f ms, 50,000 files %.1f ms\n",
              static_cast<long long>(plan_bytes), fs.sort * 1e3, fl.sort * 1e3);
  std::printf("Continue... moved %d files (%d not moved) in %.1f ms; mv moved %d in %.1f ms\n",
              static_cast<int>(run.report.moved.size()),
              static_cast<int>(run.report.not_moved.size()), apply * 1e3, moved_by_mv, mv * 1e3);
  std::printf("sort-plan-scaling: %.2fx from 25,000 to 50,000 files (target <= 2.5)\n",
              fl.sort / fs.sort);
  std::printf("sort-plan-vs-scan: %.2fx of the scan at 50,000 files (target <= 2x)\n",
              fl.sort / fl.scan);
  std::printf("sort-apply: %.2fx of mv (target <= 1.5x)\n", apply / mv);
  return run.report.moved.size() == kMoved ? 0 : 1;
}

// The duplicates locator's "Start" under each criterion over 25,000 and 50,000
// files: the growth from one to the other (linear is 2x), and the time at
// 50,000 files against the locator's own headless scan of the same tree.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "app/desktop.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "tests/support/bench_floor.h"
#include "tests/support/mp3_bytes.h"
#include "tools/advanced_tools.h"
#include "tools/dupes/duplicates_locator.h"

using namespace orlavo;

namespace {

constexpr int kHalf = 25000;

// Two halves of the tree, alike in shape: in each, 40% of the files share
// their name (in another folder), their artist and title, and their size
// with one other file of the same half. Files are sparse (a frame, a hole,
// the tag), so that 50,000 different sizes take little disk.
void MakeHalf(const QString& folder, int offset) {
  for (int i = 0; i < kHalf; ++i) {
    const int key = offset + (i < 20000 ? i : i - 5000);
    const QString path = folder + QStringLiteral("%1/Track %2.mp3").arg(i / 1000).arg(key);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) continue;
    file.write(testing::MpegFrameBytes());
    file.seek(1000 + key);
    file.write(testing::Id3v1TagBytes("Title " + QByteArray::number(key),
                                      "Artist " + QByteArray::number(key % 211)));
  }
}

struct Figures {
  double load = 1e9;
  double start[3] = {1e9, 1e9, 1e9};
  int marked[3] = {};
};

constexpr DupeCriterion kCriteria[] = {DupeCriterion::kName, DupeCriterion::kTag,
                                       DupeCriterion::kSize};

// Rounds of the two sizes alternate, so that both see the same machine; the
// best round of each counts. Every round starts from the list as loaded.
void Measure(DuplicatesLocator& small, DuplicatesLocator& large, Figures& fs, Figures& fl) {
  for (int c = 0; c < 3; ++c) {
    small.SetCriterionChecked(kCriteria[c], true);
    large.SetCriterionChecked(kCriteria[c], true);
    for (int round = 0; round < 15; ++round) {
      for (auto [locator, f] : {std::pair{&small, &fs}, std::pair{&large, &fl}}) {
        locator->files().SortByColumn(0);
        f->start[c] =
            std::min(f->start[c], testing::TimeSeconds([&] { f->marked[c] = locator->Start(); }));
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QTemporaryDir dir;
  const QString program = dir.filePath("program") + u'/';
  const QString music = dir.filePath("music") + u'/';
  QDir().mkpath(program + "Files");
  MakeHalf(music + "a/", 0);
  MakeHalf(music + "b/", kHalf);

  PelloxBinding pellox(QStringLiteral(ORLAVO_BIN_DIR));
  if (!testing::BindPelloxOrSay(pellox)) return 1;
  Options options;
  options.include_sub_directories = true;
  options.no_warning = true;
  options.show_current_file = false;
  options.render_list_invisible = false;
  SilentDesktop desktop;
  ToolsStatus status;
  const ToolContext context{desktop, status, pellox, options, program};

  Options large_options = options;
  options.main_folder = music + "a/";
  large_options.main_folder = music;
  DuplicatesLocator small_locator(context);
  DuplicatesLocator large_locator(ToolContext{desktop, status, pellox, large_options, program});
  Figures small, large;
  for (int round = 0; round < 3; ++round) {
    small.load = std::min(small.load, testing::TimeSeconds([&] { small_locator.Load(); }));
    large.load = std::min(large.load, testing::TimeSeconds([&] { large_locator.Load(); }));
  }
  Measure(small_locator, large_locator, small, large);

  const char* names[] = {"name", "tag", "size"};
  std::printf("load (scan with tags): 25,000 files %.1f ms, 50,000 files %.1f ms\n",
              small.load * 1e3, large.load * 1e3);
  for (int c = 0; c < 3; ++c) {
    std::printf(
        "Start by %-4s: 25,000 files %.1f ms (%d marked), 50,000 files %.1f ms (%d marked)\n",
        names[c], small.start[c] * 1e3, small.marked[c], large.start[c] * 1e3, large.marked[c]);
  }
  for (int c = 0; c < 3; ++c) {
    std::printf("dupes-scaling-%s: %.2fx from 25,000 to 50,000 files (target <= 2.5)\n", names[c],
                large.start[c] / small.start[c]);
  }
  for (int c = 0; c < 3; ++c) {
    std::printf("dupes-start-%s: %.2fx of the scan at 50,000 files (target <= 2x)\n", names[c],
                large.start[c] / large.load);
  }
  return 0;
}

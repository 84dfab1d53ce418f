// The list generator's "Create" with the default pattern over 50,000 preview
// rows, against the floor of opening each file, reading its first 4 and last
// 128 bytes and closing it, measured in the same run on the same (cached) files.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/desktop.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "tests/support/bench_floor.h"
#include "tests/support/mp3_bytes.h"
#include "tools/advanced_tools.h"
#include "tools/listgen/list_generator.h"

using namespace orlavo;

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  constexpr int kFiles = 50000;
  QTemporaryDir dir;  // under /tmp, removed with everything in it
  const QString program = dir.filePath("program") + u'/';
  const QString music = dir.filePath("music") + u'/';
  QDir().mkpath(program + "Files");
  std::vector<QByteArray> paths;
  paths.reserve(kFiles);
  for (int i = 0; i < kFiles; ++i) {
    testing::Mp3Layout layout;
    layout.id3v2 = i % 3 == 0;
    layout.id3v1 = i % 3 != 2;
    layout.title = "Title";
    layout.artist = "Artist";
    layout.padding = i % 500;
    const QString path = music + QStringLiteral("%1/Track %2.mp3").arg(i / 1000).arg(i);
    testing::WriteMp3File(path, layout);
    paths.push_back(QFile::encodeName(path));
  }

  PelloxBinding pellox(QStringLiteral(ORLAVO_BIN_DIR));
  if (!testing::BindPelloxOrSay(pellox)) return 1;
  Options options;
  options.main_folder = music;
  options.include_sub_directories = true;
  options.show_current_file = false;
  SilentDesktop desktop;
  ToolsStatus status;
  ListGenerator generator(ToolContext{desktop, status, pellox, options, program});
  generator.Default();
  generator.ShowFiles();
  if (generator.preview().size() != kFiles) {
    std::fprintf(stderr, "preview holds %d rows\n", generator.preview().size());
    return 1;
  }

  long checksum = 0;
  auto create = [&] {
    generator.ResetVariable();
    ListFileReport report = generator.Create();
    checksum += report.lines;
  };
  auto floor = [&] { checksum += testing::ReadHeadAndTail(paths, 4); };
  auto time = [](auto&& f) { return testing::TimeSeconds(f); };
  time(create);  // warm the cache
  double best_create = 1e9, best_floor = 1e9;
  for (int round = 0; round < 5; ++round) {
    best_floor = std::min(best_floor, time(floor));
    best_create = std::min(best_create, time(create));
  }
  QFile list(generator.OutputPath());
  const qint64 bytes = list.size();
  std::printf("files: %d, list file %lld bytes, checksum %ld\n", kFiles,
              static_cast<long long>(bytes), checksum);
  std::printf("floor (open, read 4 + last 128, close): %.1f ms\n", best_floor * 1e3);
  std::printf("Create, default pattern:                %.1f ms\n", best_create * 1e3);
  std::printf("listgen-create: %.2fx of floor (target <= 2x)\n", best_create / best_floor);
  return 0;
}

// "Show files" over 50,000 tiny MP3 files in 1,000 folders (a 20-line folder
// ignore list, sub-folders included): the walk and the rows of the report
// list, against `find ROOT -iname '*.mp3'` on the same tree in the same run.
// Then the filter loop of "Apply Filter(s)" with "ID3v1 tag is present",
// "ID3v2 tag present" and "Incorrect File Syntax" over the same files, against
// the floor the Pellox contract allows for what the loop reads: the stateless
// ID3v1 read (open, length, last 128 bytes, close) and one open for the ID3v2
// header (open, first 10 bytes, close); and for information against the floor
// of opening each file once, reading its first 10 and last 128 bytes. Figures
// are medians: the machine is shared.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/desktop.h"
#include "app/folder_walk.h"
#include "app/pellox_binding.h"
#include "app/report_list.h"
#include "app/scan.h"
#include "app/syntax_checker.h"
#include "tests/support/bench_floor.h"
#include "tests/support/mp3_bytes.h"

extern char** environ;

namespace orlavo {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTopFolders = 40;
constexpr int kSubFolders = 25;  // per top folder: 1,000 folders with files
constexpr int kFilesPerFolder = 50;

// Lets window events run for real, as the program does.
class EventsDesktop : public SilentDesktop {
 public:
  void LetEventsRun() override { QCoreApplication::processEvents(); }
};

// Keeps what a window would show.
class LabelProgress : public ProgressDisplay {
 public:
  void SetCaption(const QString& text) override { caption = text; }
  void SetBar(qint64 current, qint64 total) override {
    bar = total > 0 ? current * 100 / total : 0;
  }
  void SetPercent(const QString& text) override { percent = text; }
  QString caption, percent;
  qint64 bar = 0;
};

double Seconds(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Builds the tree; returns the number of MP3 files.
int MakeTree(const QString& root) {
  static const char* kWords[] = {"Love", "night", "Blue", "dance", "Rain", "fire", "Road", "home"};
  int count = 0;
  for (int t = 0; t < kTopFolders; ++t) {
    for (int s = 0; s < kSubFolders; ++s) {
      const QString folder = QStringLiteral("%1/Artist %2/Album %3/").arg(root).arg(t).arg(s);
      QDir().mkpath(folder);
      testing::WriteBytes(folder + "cover.jpg", QByteArray(64, 'j'));
      for (int f = 0; f < kFilesPerFolder; ++f, ++count) {
        testing::Mp3Layout layout;
        layout.id3v2 = count % 3 == 0;
        layout.id3v1 = count % 2 == 0;
        layout.title = "Title";
        layout.artist = "Artist";
        layout.padding = count % 997;
        // Some names break the title-case rule, a few end in upper case.
        const QString name = QStringLiteral("%1 - %2 %3 %4.%5")
                                 .arg(f + 1, 2, 10, QChar(u'0'))
                                 .arg(QString::fromLatin1(kWords[count % 8]))
                                 .arg(QString::fromLatin1(kWords[(count / 8) % 8]))
                                 .arg(count)
                                 .arg(count % 10 == 0 ? "MP3" : "mp3");
        testing::WriteMp3File(folder + name, layout);
      }
    }
  }
  return count;
}

void WriteIgnoreList(const QString& program_folder, const QString& root) {
  QByteArray lines;
  for (int i = 0; i < 20; ++i) {
    // Near misses: other letter case, no closing "/", folders that do not exist.
    const QString line = i % 3 == 0   ? QStringLiteral("%1/artist %2/").arg(root).arg(i)
                         : i % 3 == 1 ? QStringLiteral("%1/Artist %2").arg(root).arg(i)
                                      : QStringLiteral("%1/Live %2/").arg(root).arg(i);
    lines += line.toUtf8() + "\r\n";
  }
  testing::WriteBytes(DirIgnoreListPath(program_folder), lines);
}

double TimeFind(const QString& root) {
  const QByteArray root_bytes = QFile::encodeName(root);
  char find[] = "find", iname[] = "-iname", pattern[] = "*.mp3";
  char* argv[] = {find, const_cast<char*>(root_bytes.constData()), iname, pattern, nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const auto t0 = Clock::now();
  pid_t pid;
  if (posix_spawnp(&pid, "find", &actions, nullptr, argv, environ) != 0) return 1e9;
  int status = 0;
  waitpid(pid, &status, 0);
  const double seconds = Seconds(t0);
  posix_spawn_file_actions_destroy(&actions);
  return seconds;
}

double TimeFloor(const QStringList& paths, long* checksum) {
  const auto t0 = Clock::now();
  for (const QString& path : paths) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    unsigned char head[10], tail[128];
    *checksum += ::pread(fd, head, sizeof(head), 0);
    const off_t end = ::lseek(fd, 0, SEEK_END);
    if (end >= 128) *checksum += ::pread(fd, tail, sizeof(tail), end - 128);
    ::close(fd);
  }
  return Seconds(t0);
}

int Run() {
  QTemporaryDir music(QDir::tempPath() + "/orlavo-walk-bench-XXXXXX");
  QTemporaryDir program(QDir::tempPath() + "/orlavo-walk-bench-program-XXXXXX");
  if (!music.isValid() || !program.isValid()) return 1;
  const QString root = music.path();
  const int files = MakeTree(root);
  WriteIgnoreList(program.path(), root);

  EventsDesktop desktop;
  ScanSetup setup;
  setup.program_folder = program.path();
  setup.main_folder = root + "/";
  setup.include_sub_directories = true;
  setup.no_warning = true;
  ReportList list(MainListHeaders());

  auto scan = [&] {
    const auto t0 = Clock::now();
    ShowFiles(list, setup, desktop);
    return Seconds(t0);
  };
  scan();  // warms the cache
  TimeFind(root);
  std::vector<double> t_find, t_scan;
  for (int round = 0; round < 9; ++round) {
    t_find.push_back(TimeFind(root));
    t_scan.push_back(scan());
  }
  const double best_find = testing::Median(t_find), best_scan = testing::Median(t_scan);
  if (list.size() != files) {
    std::fprintf(stderr, "scan listed %d of %d files\n", list.size(), files);
    return 1;
  }

  QStringList paths;
  for (int i = 0; i < list.size(); ++i) paths << list.FullPath(i);
  PelloxBinding pellox(QStringLiteral(ORLAVO_BIN_DIR));
  if (!testing::BindPelloxOrSay(pellox)) return 1;
  PelloxID3v1Reader reader(pellox);
  SyntaxChecker checker(program.path());
  LabelProgress progress;
  FilterTools tools{desktop, progress, reader, checker, true};
  FilterChoice choice;
  choice.incorrect_file_syntax = true;
  choice.v1_present = true;
  choice.v2_present = true;
  ReportList filtered(MainListHeaders());
  auto filter = [&] {
    filtered.Clear();
    const auto t0 = Clock::now();
    RunFilters(filtered, paths, choice, setup.row_options(), tools);
    return Seconds(t0);
  };
  long checksum = 0;
  std::vector<QByteArray> native;
  for (const QString& path : paths) native.push_back(QFile::encodeName(path));
  auto contract = [&] {
    return testing::TimeSeconds(
        [&] { checksum += testing::ReadTail(native) + testing::ReadHead(native, 10); });
  };
  filter();
  std::vector<double> t_floor, t_contract, t_filter;
  for (int round = 0; round < 7; ++round) {
    t_floor.push_back(TimeFloor(paths, &checksum));
    t_contract.push_back(contract());
    t_filter.push_back(filter());
  }
  const double best_floor = testing::Median(t_floor), best_filter = testing::Median(t_filter),
               best_contract = testing::Median(t_contract);

  std::printf("files: %d in %d folders, 20-line ignore list (checksum %ld; medians)\n", files,
              kTopFolders * kSubFolders, checksum);
  std::printf("find -iname '*.mp3':                 %.1f ms\n", best_find * 1e3);
  std::printf("Show files (walk + report rows):     %.1f ms\n", best_scan * 1e3);
  std::printf("one-open floor (open, read 10 + last 128, close): %.1f ms\n", best_floor * 1e3);
  std::printf("contract floor (ID3v1 read, then open, read 10, close): %.1f ms\n",
              best_contract * 1e3);
  std::printf("filter loop (3 filters, %d rows):    %.1f ms\n", filtered.size(), best_filter * 1e3);
  std::printf("filter-run: %.2fx of contract floor (target <= 1.3x)\n",
              best_filter / best_contract);
  std::printf("filter-run-one-open: %.2fx of one-open floor (information)\n",
              best_filter / best_floor);
  std::printf("walk-rows: %.2fx of find (target <= 1.5x)\n", best_scan / best_find);
  return 0;
}

}  // namespace
}  // namespace orlavo

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  return orlavo::Run();
}

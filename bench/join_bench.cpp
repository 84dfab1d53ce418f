// `orlavo-cli join` of tagged sources against `cat` of the same files to the
// same disk in the same run, and the join's peak memory against its 64 MiB
// budget. Usage: join_bench [TOTAL_MIB] [FOLDER]; TOTAL_MIB defaults to
// $ORLAVO_JOIN_BENCH_MIB, else 1024; FOLDER to the temporary folder.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern char** environ;

namespace {

constexpr int kSources = 8;
constexpr double kMemoryBudgetMb = 64.0;

struct Run {
  double seconds = 0;
  double peak_mb = 0;
  bool ok = false;
};

// Runs a program with its output into out_path (or /dev/null), timing it and
// reading its peak resident size.
Run Spawn(const std::vector<QByteArray>& args, const QByteArray& out_path) {
  std::vector<char*> argv;
  for (const QByteArray& a : args) argv.push_back(const_cast<char*>(a.constData()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1,
                                   out_path.isEmpty() ? "/dev/null" : out_path.constData(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  Run run;
  const auto t0 = std::chrono::steady_clock::now();
  pid_t pid;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    std::perror("posix_spawn");
    return run;
  }
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  run.peak_mb = usage.ru_maxrss / 1024.0;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  posix_spawn_file_actions_destroy(&actions);
  return run;
}

// A source of about `bytes`: an ID3v2 tag, MPEG frames, an ID3v1 tag.
bool WriteSource(const QString& path, qint64 bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return false;
  QByteArray tag2("ID3\x03\x00\x00\x00\x00\x08\x00", 10);
  tag2.append(QByteArray(1024, '\0'));
  QByteArray frame(417, '\x55');
  frame[0] = '\xFF', frame[1] = '\xFB', frame[2] = '\x90', frame[3] = '\x44';
  QByteArray block;
  while (block.size() < 4 * 1024 * 1024) block += frame;
  f.write(tag2);
  for (qint64 left = bytes; left > 0; left -= block.size()) {
    if (f.write(block.constData(), std::min<qint64>(left, block.size())) < 0) return false;
  }
  QByteArray tag1("TAG");
  tag1.append(QByteArray(125, ' '));
  return f.write(tag1) == 128 && f.flush();
}

}  // namespace

int main(int argc, char** argv) {
  const char* size_env = std::getenv("ORLAVO_JOIN_BENCH_MIB");
  const long total_mib = argc > 1   ? std::strtol(argv[1], nullptr, 10)
                         : size_env ? std::strtol(size_env, nullptr, 10)
                                    : 1024;
  QTemporaryDir dir(argc > 2 ? QString::fromLocal8Bit(argv[2]) + "/join_bench-XXXXXX" : QString());
  if (total_mib <= 0 || !dir.isValid()) {
    std::fprintf(stderr, "usage: join_bench [TOTAL_MIB] [FOLDER]\n");
    return 2;
  }
  const qint64 each = total_mib * 1024 * 1024 / kSources;
  std::vector<QByteArray> cat{"cat"};
  std::vector<QByteArray> join{ORLAVO_BIN_DIR "/orlavo-cli", "join"};
  for (int i = 0; i < kSources; ++i) {
    const QString path = dir.filePath(QStringLiteral("source %1.mp3").arg(i));
    if (!WriteSource(path, each)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return 1;
    }
    cat.push_back(QFile::encodeName(path));
    join.push_back(QFile::encodeName(path));
  }
  const QByteArray cat_out = QFile::encodeName(dir.filePath("cat.mp3"));
  const QByteArray join_out = QFile::encodeName(dir.filePath("joined.mp3"));
  join.push_back("--out");
  join.push_back(join_out);

  // Rounds in turn, best of each: both meet the same page cache and disk.
  // Which goes first alternates, as the second meets the first one's
  // gigabyte still being written out.
  double best_cat = 1e9, best_join = 1e9, peak_mb = 0;
  bool ok = true;
  for (int round = 0; round < 4; ++round) {
    QFile::remove(QFile::decodeName(cat_out));
    QFile::remove(QFile::decodeName(join_out));
    Run c, j;
    if (round % 2 == 0) {
      c = Spawn(cat, cat_out);
      j = Spawn(join, {});
    } else {
      j = Spawn(join, {});
      c = Spawn(cat, cat_out);
    }
    ok = ok && c.ok && j.ok;
    best_cat = std::min(best_cat, c.seconds);
    best_join = std::min(best_join, j.seconds);
    peak_mb = std::max(peak_mb, j.peak_mb);
  }
  // The join leaves out one ID3v1 tag per source; the rest is the same bytes.
  const qint64 expected = QFileInfo(QFile::decodeName(cat_out)).size() - 128 * kSources;
  if (QFileInfo(QFile::decodeName(join_out)).size() != expected) {
    std::fprintf(stderr, "the joined file has the wrong size\n");
    ok = false;
  }
  std::printf(
      "join of %d sources, %ld MiB in all: cat %.3f s, orlavo-cli join %.3f s, "
      "peak resident %.1f MiB\n",
      kSources, total_mib, best_cat, best_join, peak_mb);
  std::printf("join-1gib: %.2fx of cat (target <= 1.2x)%s\n", best_join / best_cat,
              total_mib == 1024 ? "" : " [run at a smaller size]");
  std::printf("join-memory: %.2fx of the 64 MiB budget (target <= 1x)\n",
              peak_mb / kMemoryBudgetMb);
  return ok ? 0 : 1;
}

#include "tests/support/bench_floor.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "app/pellox_binding.h"

extern char** environ;

namespace orlavo::testing {

bool BindPelloxOrSay(PelloxBinding& pellox) {
  if (pellox.Bind()) return true;
  std::fprintf(stderr, "%s\n", qPrintable(pellox.error()));
  return false;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

long ReadHeadAndTail(const std::vector<QByteArray>& paths, size_t head_bytes) {
  long bytes = 0;
  unsigned char head[64], tail[128];
  if (head_bytes > sizeof(head)) head_bytes = sizeof(head);
  for (const QByteArray& p : paths) {
    const int fd = ::open(p.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    bytes += ::read(fd, head, head_bytes);
    if (::lseek(fd, -128, SEEK_END) >= 0) bytes += ::read(fd, tail, sizeof(tail));
    ::close(fd);
  }
  return bytes;
}

long ReadHead(const std::vector<QByteArray>& paths, size_t head_bytes) {
  long bytes = 0;
  unsigned char head[64];
  if (head_bytes > sizeof(head)) head_bytes = sizeof(head);
  for (const QByteArray& p : paths) {
    const int fd = ::open(p.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    bytes += ::read(fd, head, head_bytes);
    ::close(fd);
  }
  return bytes;
}

long ReadTail(const std::vector<QByteArray>& paths) {
  long bytes = 0;
  unsigned char tail[128];
  for (const QByteArray& p : paths) {
    const int fd = ::open(p.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_size >= 128) {
      bytes += ::pread(fd, tail, sizeof(tail), st.st_size - 128);
    }
    ::close(fd);
  }
  return bytes;
}

long PelloxContractFloor(const std::vector<QByteArray>& paths, size_t head_bytes) {
  return ReadHeadAndTail(paths, head_bytes) + ReadTail(paths);
}

ChildRun RunChild(const QList<QByteArray>& argv, bool quiet) {
  std::vector<char*> args;
  for (const QByteArray& a : argv) args.push_back(const_cast<char*>(a.constData()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (quiet) posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  ChildRun run;
  const auto t0 = std::chrono::steady_clock::now();
  pid_t pid;
  const int started = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) return run;
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  run.peak_mb = usage.ru_maxrss / 1024.0;  // KiB on Linux
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

}  // namespace orlavo::testing

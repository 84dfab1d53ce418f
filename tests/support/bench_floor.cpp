#include "tests/support/bench_floor.h"

#include <fcntl.h>
#include <unistd.h>

namespace orlavo::testing {

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

}  // namespace orlavo::testing

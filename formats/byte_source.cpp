#include "formats/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace orlavo {

size_t MemorySource::ReadAt(uint64_t offset, std::span<uint8_t> out) {
  if (offset >= bytes_.size()) return 0;
  size_t n = std::min<uint64_t>(out.size(), bytes_.size() - offset);
  std::memcpy(out.data(), bytes_.data() + offset, n);
  return n;
}

namespace {

// O_NONBLOCK keeps open() from waiting on a FIFO with no writer; the file type is
// checked right after, so the flag never matters for a regular file.
int OpenRegular(const char* path, int flags, uint64_t* size) {
  if (path == nullptr || path[0] == '\0') return -1;
  int fd = ::open(path, flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return -1;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  *size = static_cast<uint64_t>(st.st_size);
  return fd;
}

}  // namespace

FileSource::FileSource(const char* path) { fd_ = OpenRegular(path, O_RDONLY, &size_); }

FileSource::~FileSource() {
  if (fd_ >= 0) ::close(fd_);
}

size_t FileSource::ReadAt(uint64_t offset, std::span<uint8_t> out) {
  if (fd_ < 0 || offset >= size_) return 0;
  size_t want = std::min<uint64_t>(out.size(), size_ - offset);
  size_t done = 0;
  while (done < want) {
    ssize_t n = ::pread(fd_, out.data() + done, want - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

int OpenRegularFileForWrite(const char* path, uint64_t* size) {
  return OpenRegular(path, O_RDWR, size);
}

bool WriteAllAt(int fd, uint64_t offset, std::span<const uint8_t> data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n =
        ::pwrite(fd, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace orlavo

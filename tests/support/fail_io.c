// An LD_PRELOAD shim for the I/O-error harness: makes the calls that put
// bytes or names on disk fail with EIO, so that every writer's failure path
// runs without a broken disk.
//
//   ORLAVO_FAIL_CALL   write (write, pwrite, writev, copy_file_range into the
//                      file), sync (fsync, fdatasync)
//                      or rename (rename, renameat, renameat2 also through
//                      syscall(), linkat, which publishes an O_TMPFILE file)
//   ORLAVO_FAIL_PATH   only calls on paths containing this text (required:
//                      without it nothing fails, so that the event loop's own
//                      pipes and the terminal keep working)
//   ORLAVO_FAIL_AFTER  how many matching calls succeed first (default 0);
//                      every matching call after them fails
//   ORLAVO_FAIL_LOG    a file that gets one line per failure made, so that a
//                      harness can tell a run that met no failure
//
// Descriptors 0 to 2 never fail: the messages must get out.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

static atomic_long matched;

static int Chosen(const char* group) {
  const char* call = getenv("ORLAVO_FAIL_CALL");
  return call != NULL && strcmp(call, group) == 0;
}

// True when this call is to fail: it is of the chosen group, on a path that
// contains the chosen text, and the successes allowed are used up.
static int Fails(const char* group, const char* path) {
  const char* part = getenv("ORLAVO_FAIL_PATH");
  if (!Chosen(group) || part == NULL || *part == '\0' || path == NULL) return 0;
  if (strstr(path, part) == NULL) return 0;
  const char* after = getenv("ORLAVO_FAIL_AFTER");
  const long allowed = after != NULL ? atol(after) : 0;
  if (atomic_fetch_add(&matched, 1) < allowed) return 0;
  const char* log = getenv("ORLAVO_FAIL_LOG");
  if (log != NULL) {
    // The real calls: the shim's own would count, and might fail, themselves.
    const int fd = open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
      char line[4200];
      const int n = snprintf(line, sizeof line, "%s %s\n", group, path);
      ((ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write"))(fd, line, (size_t)n);
      close(fd);
    }
  }
  return 1;
}

static int FdFails(const char* group, int fd) {
  if (fd < 3 || !Chosen(group)) return 0;
  char link[64];
  char path[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = readlink(link, path, sizeof path - 1);
  if (n <= 0 || path[0] != '/') return 0;
  path[n] = '\0';
  return Fails(group, path);
}

#define REAL(name, type) ((type)dlsym(RTLD_NEXT, name))
#define FAIL_WITH_EIO \
  do {                \
    errno = EIO;      \
    return -1;        \
  } while (0)

ssize_t write(int fd, const void* data, size_t size) {
  if (FdFails("write", fd)) FAIL_WITH_EIO;
  return REAL("write", ssize_t(*)(int, const void*, size_t))(fd, data, size);
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
  if (FdFails("write", fd)) FAIL_WITH_EIO;
  return REAL("pwrite", ssize_t(*)(int, const void*, size_t, off_t))(fd, data, size, offset);
}

ssize_t pwrite64(int fd, const void* data, size_t size, off_t offset) {
  if (FdFails("write", fd)) FAIL_WITH_EIO;
  return REAL("pwrite64", ssize_t(*)(int, const void*, size_t, off_t))(fd, data, size, offset);
}

ssize_t copy_file_range(int in, off_t* in_at, int out, off_t* out_at, size_t size,
                        unsigned flags) {
  if (FdFails("write", out)) FAIL_WITH_EIO;
  return REAL("copy_file_range", ssize_t(*)(int, off_t*, int, off_t*, size_t, unsigned))(
      in, in_at, out, out_at, size, flags);
}

ssize_t writev(int fd, const struct iovec* iov, int count) {
  if (FdFails("write", fd)) FAIL_WITH_EIO;
  return REAL("writev", ssize_t(*)(int, const struct iovec*, int))(fd, iov, count);
}

int fsync(int fd) {
  if (FdFails("sync", fd)) FAIL_WITH_EIO;
  return REAL("fsync", int (*)(int))(fd);
}

int fdatasync(int fd) {
  if (FdFails("sync", fd)) FAIL_WITH_EIO;
  return REAL("fdatasync", int (*)(int))(fd);
}

int rename(const char* from, const char* to) {
  if (Fails("rename", to)) FAIL_WITH_EIO;
  return REAL("rename", int (*)(const char*, const char*))(from, to);
}

int renameat(int from_dir, const char* from, int to_dir, const char* to) {
  if (Fails("rename", to)) FAIL_WITH_EIO;
  return REAL("renameat", int (*)(int, const char*, int, const char*))(from_dir, from, to_dir, to);
}

int renameat2(int from_dir, const char* from, int to_dir, const char* to, unsigned flags) {
  if (Fails("rename", to)) FAIL_WITH_EIO;
  return REAL("renameat2", int (*)(int, const char*, int, const char*, unsigned))(
      from_dir, from, to_dir, to, flags);
}

int linkat(int from_dir, const char* from, int to_dir, const char* to, int flags) {
  if (Fails("rename", to)) FAIL_WITH_EIO;
  return REAL("linkat", int (*)(int, const char*, int, const char*, int))(from_dir, from, to_dir,
                                                                          to, flags);
}

// renameat2 with RENAME_NOREPLACE is reached through syscall() where the C
// library has no wrapper for it.
long syscall(long number, ...) {
  va_list args;
  va_start(args, number);
  long a[6];
  for (int i = 0; i < 6; ++i) a[i] = va_arg(args, long);
  va_end(args);
  if (number == SYS_renameat2 && Fails("rename", (const char*)a[3])) FAIL_WITH_EIO;
  return REAL("syscall", long (*)(long, ...))(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}

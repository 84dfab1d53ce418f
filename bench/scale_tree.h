// The tree of the scale benchmarks: 1,000,000 empty ".mp3" files in 10,000
// folders (100 artists of 100 albums of 100 tracks). It takes minutes and a
// million inodes to make, so it is made once, outside the repository, and
// reused; "bench/scale --clean" removes it.
#ifndef ORLAVO_BENCH_SCALE_TREE_H_
#define ORLAVO_BENCH_SCALE_TREE_H_

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace orlavo::bench {

inline constexpr int kScaleArtists = 100, kScaleAlbums = 100, kScaleTracks = 100;
inline constexpr int kScaleFiles = kScaleArtists * kScaleAlbums * kScaleTracks;

// ORLAVO_SCALE_TREE, or a folder under /var/tmp.
inline std::string ScaleTreeRoot() {
  const char* env = std::getenv("ORLAVO_SCALE_TREE");
  return env != nullptr && env[0] != '\0' ? std::string(env) : "/var/tmp/orlavo-scale-tree";
}

// Written last, so a tree cut short by an interruption is made again.
inline std::string ScaleTreeMarker(const std::string& root) { return root + "/.complete"; }

// Makes the tree unless a complete one is there. False on a failure.
inline bool EnsureScaleTree(const std::string& root) {
  if (::access(ScaleTreeMarker(root).c_str(), F_OK) == 0) return true;
  std::printf("making %d files in %d folders under %s (once)\n", kScaleFiles,
              kScaleArtists * kScaleAlbums, root.c_str());
  std::fflush(stdout);
  ::mkdir(root.c_str(), 0755);
  char path[512];
  for (int a = 0; a < kScaleArtists; ++a) {
    std::snprintf(path, sizeof(path), "%s/Artist %03d", root.c_str(), a);
    ::mkdir(path, 0755);
    for (int b = 0; b < kScaleAlbums; ++b) {
      std::snprintf(path, sizeof(path), "%s/Artist %03d/Album %03d", root.c_str(), a, b);
      ::mkdir(path, 0755);
      for (int t = 0; t < kScaleTracks; ++t) {
        std::snprintf(path, sizeof(path),
                      "%s/Artist %03d/Album %03d/%02d - Some Track Title %d.mp3", root.c_str(), a,
                      b, t + 1, (a * kScaleAlbums + b) * kScaleTracks + t);
        const int fd = ::open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
          std::perror(path);
          return false;
        }
        ::close(fd);
      }
    }
  }
  const int fd = ::open(ScaleTreeMarker(root).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

}  // namespace orlavo::bench

#endif  // ORLAVO_BENCH_SCALE_TREE_H_

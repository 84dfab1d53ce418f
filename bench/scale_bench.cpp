// `orlavo-cli scan --subdirs` over 1,000,000 empty files in 10,000 folders,
// against `find -printf '%f\t%s\n'` (which, like the scan, lists every name
// with its size) in the same run, and the scan's peak memory. With --clean it
// removes the tree instead.
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/scale_tree.h"
#include "tests/support/bench_floor.h"

using namespace orlavo;

int main(int argc, char** argv) {
  const std::string root = bench::ScaleTreeRoot();
  if (argc > 1 && std::strcmp(argv[1], "--clean") == 0) {
    const testing::ChildRun rm = testing::RunChild({"rm", "-rf", "--", root.c_str()});
    std::printf("removed %s: %s\n", root.c_str(), rm.ok ? "yes" : "no");
    return rm.ok ? 0 : 1;
  }
  if (!bench::EnsureScaleTree(root)) return 1;

  const QByteArray folder = QByteArray::fromStdString(root + "/");
  constexpr int kRounds = 3;
  std::vector<double> scan, find, memory;
  testing::RunChild({"find", folder, "-printf", "%f\t%s\n"});  // warms the cache
  for (int round = 0; round < kRounds; ++round) {
    const testing::ChildRun f = testing::RunChild({"find", folder, "-printf", "%f\t%s\n"});
    const testing::ChildRun s =
        testing::RunChild({ORLAVO_BIN_DIR "/orlavo-cli", "scan", "--subdirs", folder});
    if (!f.ok || !s.ok) {
      std::fprintf(stderr, "find or orlavo-cli scan failed\n");
      return 1;
    }
    find.push_back(f.seconds);
    scan.push_back(s.seconds);
    memory.push_back(s.peak_mb);
  }
  const double scan_s = testing::Median(scan), find_s = testing::Median(find);
  const double peak = testing::Median(memory);
  std::printf("files: %d in %d folders (medians of %d runs)\n", bench::kScaleFiles,
              bench::kScaleArtists * bench::kScaleAlbums, kRounds);
  std::printf("find -printf '%%f\\t%%s\\n':      %.2f s\n", find_s);
  std::printf("orlavo-cli scan --subdirs:  %.2f s, peak %.0f MB (%.0f bytes per row)\n", scan_s,
              peak, peak * 1024 * 1024 / bench::kScaleFiles);
  std::printf("scale-scan: %.2fx of find (target <= 1.5x)\n", scan_s / find_s);
  std::printf("scale-scan-memory: %.2fx of 400 MB (target <= 1x)\n", peak / 400.0);
  return 0;
}

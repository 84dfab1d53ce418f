// What the benchmarks measure against: wall time of a piece of work, the
// floor of touching each file once, the floor the Pellox contract allows, and
// other programs run on the same files.
#ifndef ORLAVO_TESTS_SUPPORT_BENCH_FLOOR_H_
#define ORLAVO_TESTS_SUPPORT_BENCH_FLOOR_H_

#include <QByteArray>
#include <QList>
#include <chrono>
#include <vector>

namespace orlavo {
class PelloxBinding;
}

namespace orlavo::testing {

// Binds the Pellox library of the build folder; false with the reason on
// stderr, where a benchmark then ends.
bool BindPelloxOrSay(PelloxBinding& pellox);

template <typename F>
double TimeSeconds(F&& work) {
  const auto t0 = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// The machine is shared, so single timings are noisy: figures are medians.
double Median(std::vector<double> values);

// Opens each file (native path bytes), reads its first head_bytes and its last
// 128 bytes and closes it. Returns the bytes read, so the work is not elided.
long ReadHeadAndTail(const std::vector<QByteArray>& paths, size_t head_bytes);

// Opens each file, reads its first head_bytes and closes it.
long ReadHead(const std::vector<QByteArray>& paths, size_t head_bytes);

// Opens each file, asks its length, reads its last 128 bytes and closes it:
// the least one stateless ID3v1 read can do.
long ReadTail(const std::vector<QByteArray>& paths);

// The least the two Pellox exports can do under their contract (each opens,
// reads and closes the file itself): ReadHeadAndTail for the stream
// information, then ReadTail for the ID3v1 tag.
long PelloxContractFloor(const std::vector<QByteArray>& paths, size_t head_bytes);

// A program run to its end with its standard output thrown away.
struct ChildRun {
  bool ok = false;  // started and exited with status 0
  double seconds = 0;
  double peak_mb = 0;  // peak resident memory
};
// quiet also throws away its error output (for probes).
ChildRun RunChild(const QList<QByteArray>& argv, bool quiet = false);

}  // namespace orlavo::testing

#endif  // ORLAVO_TESTS_SUPPORT_BENCH_FLOOR_H_

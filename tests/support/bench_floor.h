// What the benchmarks measure against: wall time of a piece of work, and the
// floor of touching each file once.
#ifndef ORLAVO_TESTS_SUPPORT_BENCH_FLOOR_H_
#define ORLAVO_TESTS_SUPPORT_BENCH_FLOOR_H_

#include <QByteArray>
#include <chrono>
#include <vector>

namespace orlavo::testing {

template <typename F>
double TimeSeconds(F&& work) {
  const auto t0 = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Opens each file (native path bytes), reads its first head_bytes and its last
// 128 bytes and closes it. Returns the bytes read, so the work is not elided.
long ReadHeadAndTail(const std::vector<QByteArray>& paths, size_t head_bytes);

}  // namespace orlavo::testing

#endif  // ORLAVO_TESTS_SUPPORT_BENCH_FLOOR_H_

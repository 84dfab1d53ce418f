// libFuzzer target: the splitter's time texts. Whatever is typed reads as a
// time that writes and reads back unchanged, and sums never overflow.
// Fuzzed sources: tools/splitter/split_time.cpp
#include <QString>
#include <cstdint>

#include "tools/splitter/split_time.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const orlavo::SplitTime time = orlavo::ParseTimeText(text);
  const qint64 total = time.TotalMilliseconds();
  if (total < 0) __builtin_trap();
  const orlavo::SplitTime back = orlavo::ParseTimeText(orlavo::FormatTime(time));
  if (back.TotalMilliseconds() != total) __builtin_trap();
  const orlavo::SplitTime split = orlavo::SplitTime::FromMilliseconds(total);
  if (split.TotalMilliseconds() != total) __builtin_trap();
  orlavo::SubtractByParts(time, orlavo::ParseTimeText(text.mid(text.size() / 2)));
  orlavo::FormatMinutesSeconds(time.WholeSeconds());
  return 0;
}

// libFuzzer target: the joiner's batch file of source paths.
// Fuzzed sources: tools/joiner/joiner.cpp
#include <QByteArray>
#include <cstdint>

#include "tools/joiner/joiner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QStringList paths = orlavo::ParseJoinBatch(bytes);
  if (paths.size() > bytes.count('\n') + 1) __builtin_trap();
  for (const QString& path : paths) {
    if (path.isEmpty() || path.startsWith(QLatin1String("//")) || path.contains(u'\n')) {
      __builtin_trap();
    }
  }
  return 0;
}

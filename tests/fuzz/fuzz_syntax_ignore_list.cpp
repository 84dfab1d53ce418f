// libFuzzer target: the syntax checker's exception list.
// Fuzzed sources: app/syntax_checker.cpp
#include <QString>
#include <cstdint>

#include "app/syntax_checker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  for (const QString& entry : orlavo::ParseSyntaxIgnoreList(text)) {
    if (entry.isEmpty() || entry.contains(u'\n')) __builtin_trap();
  }
  return 0;
}

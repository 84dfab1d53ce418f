// libFuzzer target: the sort plan reader over an edited plan file.
// Fuzzed sources: tools/sorter/sort_plan.cpp
#include <QByteArray>
#include <cstdint>

#include "tools/sorter/sort_plan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const orlavo::ParsedPlan plan = orlavo::ParsePlan(bytes);
  if (!plan.ok()) {
    if (plan.error_line <= 0 || plan.error_reason.isEmpty()) __builtin_trap();
    return 0;
  }
  // Everything a readable plan moves is a full path, into a full-path folder,
  // and comes from a line that exists.
  for (const orlavo::ParsedPlan::Block& block : plan.blocks) {
    if (!block.folder.startsWith(u'/') || !block.folder.endsWith(u'/')) __builtin_trap();
    if (block.line <= 0 || block.line > plan.lines) __builtin_trap();
    for (const orlavo::ParsedPlan::File& file : block.files) {
      if (!file.path.startsWith(u'/') || file.line <= block.line) __builtin_trap();
    }
  }
  return 0;
}

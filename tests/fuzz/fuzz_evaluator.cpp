// libFuzzer target: the running-number arithmetic. The direct evaluation and
// the library parser must agree wherever the direct one gives a value.
// Fuzzed sources: app/evaluator.cpp
#include <QString>
#include <cstdint>

#include "app/evaluator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QString error;
  std::optional<qint64> value = orlavo::EvaluateInteger(text, &error);
  if (!value && error.isEmpty()) __builtin_trap();
  if (std::optional<qint64> quick = orlavo::evaluator_internal::EvaluateSimple(text)) {
    std::optional<qint64> full = orlavo::evaluator_internal::EvaluateWithLibrary(text, nullptr);
    if (!full || *full != *quick) __builtin_trap();
  }
  return 0;
}

#include "tools/running_number.h"

#include "app/evaluator.h"

namespace orlavo {
std::optional<QString> NextRunningNumber(const QString& expression, const QString& placeholder,
                                         const QString& value, QString* error) {
  QString filled = expression;
  if (!placeholder.isEmpty()) filled.replace(placeholder, value, Qt::CaseSensitive);
  return EvaluateToText(filled, error);
}

}  // namespace orlavo

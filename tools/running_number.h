// The step of a running number (the file name editor's varX, the list
// generator's VarX): the placeholder in the increment expression is replaced
// by the current value and the result is evaluated.
#ifndef ORLAVO_TOOLS_RUNNING_NUMBER_H_
#define ORLAVO_TOOLS_RUNNING_NUMBER_H_

#include <QString>
#include <optional>

namespace orlavo {

// The next value as plain decimal digits, or nullopt when the expression
// cannot be evaluated (error, when given, says why). The placeholder is
// replaced exactly (letter case counts).
std::optional<QString> NextRunningNumber(const QString& expression, const QString& placeholder,
                                         const QString& value, QString* error = nullptr);

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_RUNNING_NUMBER_H_

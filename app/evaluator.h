// The arithmetic behind the running numbers of the file name editor and the
// list generator: whole numbers, + - * / and parentheses.
#ifndef ORLAVO_APP_EVALUATOR_H_
#define ORLAVO_APP_EVALUATOR_H_

#include <QString>
#include <optional>

namespace orlavo {

// The value of an expression such as "4+1" or "(12 - 2) / 5". Division is exact
// arithmetic: a result that is not a whole number (7/2) cannot serve as a
// running number and gives nullopt, as do syntax errors, division by zero,
// names or any character other than digits, blanks, + - * / ( ), and results
// beyond +-2^53 (where whole numbers stop being exact). When error is given it
// receives a short reason on failure.
std::optional<qint64> EvaluateInteger(const QString& expression, QString* error = nullptr);

// The value as plain decimal digits (with "-" when negative).
std::optional<QString> EvaluateToText(const QString& expression, QString* error = nullptr);

// The two stages of EvaluateInteger, for tests: the direct form (whole
// numbers, blanks, binary + - * / and parentheses; nullopt for anything else)
// and the library parser that judges everything.
namespace evaluator_internal {
std::optional<qint64> EvaluateSimple(QStringView expression);
std::optional<qint64> EvaluateWithLibrary(const QString& expression, QString* error);
}  // namespace evaluator_internal

}  // namespace orlavo

#endif  // ORLAVO_APP_EVALUATOR_H_

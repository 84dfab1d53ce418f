#include "app/evaluator.h"

#include <muParser.h>

#include <cmath>
#include <string>

namespace orlavo {
namespace {

// Whole numbers up to 2^53 are exact in the parser's doubles.
constexpr double kLargestExact = 9007199254740992.0;
// Literals of more digits could already be beyond that.
constexpr int kMaxLiteralDigits = 15;

void SetError(QString* error, const QString& reason) {
  if (error) *error = reason;
}

// Only the four operations, parentheses and whole-number literals reach the
// parser, so none of its functions, constants or other operators can be used.
bool IsPlainArithmetic(const QString& expression, QString* error) {
  int digits_in_a_row = 0;
  for (QChar c : expression) {
    if (c >= u'0' && c <= u'9') {
      if (++digits_in_a_row > kMaxLiteralDigits) {
        SetError(error, QStringLiteral("number too large"));
        return false;
      }
      continue;
    }
    digits_in_a_row = 0;
    if (c == u' ' || c == u'\t' || c == u'+' || c == u'-' || c == u'*' || c == u'/' || c == u'(' ||
        c == u')') {
      continue;
    }
    SetError(error, QStringLiteral("unexpected \"%1\"").arg(c));
    return false;
  }
  return true;
}

}  // namespace

std::optional<qint64> EvaluateInteger(const QString& expression, QString* error) {
  if (expression.trimmed().isEmpty()) {
    SetError(error, QStringLiteral("empty expression"));
    return std::nullopt;
  }
  if (!IsPlainArithmetic(expression, error)) return std::nullopt;
  double value = 0;
  try {
    mu::Parser parser;
    parser.SetExpr(expression.toStdString());
    value = parser.Eval();
  } catch (const mu::Parser::exception_type& e) {
    SetError(error, QString::fromStdString(e.GetMsg()));
    return std::nullopt;
  } catch (const std::exception& e) {
    SetError(error, QString::fromUtf8(e.what()));
    return std::nullopt;
  } catch (...) {
    SetError(error, QStringLiteral("cannot be evaluated"));
    return std::nullopt;
  }
  if (!std::isfinite(value)) {
    SetError(error, QStringLiteral("division by zero"));
    return std::nullopt;
  }
  if (std::fabs(value) > kLargestExact) {
    SetError(error, QStringLiteral("number too large"));
    return std::nullopt;
  }
  if (value != std::trunc(value)) {
    SetError(error, QStringLiteral("not a whole number"));
    return std::nullopt;
  }
  // -0 (from "0*-1") prints as 0.
  return static_cast<qint64>(value) + 0;
}

std::optional<QString> EvaluateToText(const QString& expression, QString* error) {
  std::optional<qint64> value = EvaluateInteger(expression, error);
  if (!value) return std::nullopt;
  return QString::number(*value);
}

}  // namespace orlavo

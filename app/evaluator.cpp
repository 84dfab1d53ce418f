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

// Anything longer or deeper is left to the library's parser.
constexpr qsizetype kMaxSimpleLength = 256;
constexpr int kMaxDepth = 32;

// Recursive descent over doubles, in the order and with the operations the
// full parser uses, so both give the same value wherever this one gives one.
class SimpleParser {
 public:
  explicit SimpleParser(QStringView text) : text_(text) {}

  std::optional<double> Parse() {
    std::optional<double> value = Sum(0);
    SkipBlanks();
    if (!value || pos_ != text_.size()) return std::nullopt;
    return value;
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == u' ') ++pos_;
  }

  QChar Peek() {
    SkipBlanks();
    return pos_ < text_.size() ? text_[pos_] : QChar();
  }

  std::optional<double> Sum(int depth) {
    std::optional<double> left = Product(depth);
    while (left) {
      const QChar op = Peek();
      if (op != u'+' && op != u'-') break;
      ++pos_;
      std::optional<double> right = Product(depth);
      if (!right) return std::nullopt;
      left = op == u'+' ? *left + *right : *left - *right;
    }
    return left;
  }

  std::optional<double> Product(int depth) {
    std::optional<double> left = Factor(depth);
    while (left) {
      const QChar op = Peek();
      if (op != u'*' && op != u'/') break;
      ++pos_;
      std::optional<double> right = Factor(depth);
      if (!right) return std::nullopt;
      left = op == u'*' ? *left * *right : *left / *right;
    }
    return left;
  }

  std::optional<double> Factor(int depth) {
    const QChar c = Peek();
    if (c == u'(') {
      if (depth >= kMaxDepth) return std::nullopt;
      ++pos_;
      std::optional<double> inner = Sum(depth + 1);
      if (!inner || Peek() != u')') return std::nullopt;
      ++pos_;
      return inner;
    }
    // Signs are not part of this form: the full parser judges them.
    double value = 0;
    int digits = 0;
    while (pos_ < text_.size() && text_[pos_] >= u'0' && text_[pos_] <= u'9') {
      if (++digits > kMaxLiteralDigits) return std::nullopt;
      value = value * 10 + (text_[pos_].unicode() - u'0');
      ++pos_;
    }
    if (digits == 0) return std::nullopt;
    return value;
  }

  QStringView text_;
  qsizetype pos_ = 0;
};

// Building a library parser sets up its operator and function tables; one per
// thread is kept and given each new expression.
mu::Parser& SharedParser() {
  thread_local mu::Parser parser;
  return parser;
}

}  // namespace

namespace evaluator_internal {

std::optional<qint64> EvaluateSimple(QStringView expression) {
  if (expression.size() > kMaxSimpleLength) return std::nullopt;
  std::optional<double> value = SimpleParser(expression).Parse();
  if (!value || !std::isfinite(*value) || std::fabs(*value) > kLargestExact ||
      *value != std::trunc(*value)) {
    return std::nullopt;
  }
  return static_cast<qint64>(*value) + 0;
}

std::optional<qint64> EvaluateWithLibrary(const QString& expression, QString* error) {
  double value = 0;
  try {
    mu::Parser& parser = SharedParser();
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

}  // namespace evaluator_internal

std::optional<qint64> EvaluateInteger(const QString& expression, QString* error) {
  if (expression.trimmed().isEmpty()) {
    SetError(error, QStringLiteral("empty expression"));
    return std::nullopt;
  }
  if (!IsPlainArithmetic(expression, error)) return std::nullopt;
  // A running number is evaluated once per file, and its usual form
  // ("41 + 1") is computed directly at a fraction of a full parse.
  if (std::optional<qint64> quick = evaluator_internal::EvaluateSimple(expression)) return quick;
  return evaluator_internal::EvaluateWithLibrary(expression, error);
}

std::optional<QString> EvaluateToText(const QString& expression, QString* error) {
  std::optional<qint64> value = EvaluateInteger(expression, error);
  if (!value) return std::nullopt;
  return QString::number(*value);
}

}  // namespace orlavo

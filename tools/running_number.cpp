#include "tools/running_number.h"

#include <cmath>

#include "app/evaluator.h"

namespace orlavo {
namespace {

// The limits EvaluateInteger applies: whole numbers are exact up to 2^53, and
// literals of more than 15 digits may already be beyond that.
constexpr double kLargestExact = 9007199254740992.0;
constexpr int kMaxLiteralDigits = 15;
// Anything longer or deeper is left to the full parser.
constexpr qsizetype kMaxLength = 256;
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

}  // namespace

std::optional<qint64> EvaluateSimpleArithmetic(QStringView expression) {
  if (expression.size() > kMaxLength) return std::nullopt;
  std::optional<double> value = SimpleParser(expression).Parse();
  if (!value || !std::isfinite(*value) || std::fabs(*value) > kLargestExact ||
      *value != std::trunc(*value)) {
    return std::nullopt;
  }
  return static_cast<qint64>(*value) + 0;
}

std::optional<QString> NextRunningNumber(const QString& expression, const QString& placeholder,
                                         const QString& value, QString* error) {
  QString filled = expression;
  if (!placeholder.isEmpty()) filled.replace(placeholder, value, Qt::CaseSensitive);
  if (std::optional<qint64> quick = EvaluateSimpleArithmetic(filled)) {
    return QString::number(*quick);
  }
  return EvaluateToText(filled, error);
}

}  // namespace orlavo

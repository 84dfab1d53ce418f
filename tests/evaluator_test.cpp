#include "app/evaluator.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace orlavo {
namespace {

TEST(EvaluatorTest, GoodExpressions) {
  const std::pair<const char*, qint64> good[] = {
      {"1+1", 2},
      {"41 + 1", 42},
      {"10-12", -2},
      {"-1+1", 0},
      {"-5 - -5", 0},
      {"2*3+4", 10},
      {"2*(3+4)", 14},
      {"((2))", 2},
      {"12/4", 3},
      {"7/2*2", 7},  // only the result has to be whole
      {"100 / 10 / 5", 2},
      {"0*-1", 0},
      {" 5 ", 5},
      {"1\t+ 1", 2},
      {"2*-3", -6},
      {"-(2+3)", -5},
      {"999999999999999+1", 1000000000000000},
  };
  for (const auto& [expression, value] : good) {
    QString error;
    std::optional<qint64> got = EvaluateInteger(expression, &error);
    ASSERT_TRUE(got.has_value()) << expression << ": " << error.toStdString();
    EXPECT_EQ(*got, value) << expression;
  }
}

TEST(EvaluatorTest, TextIsPlainDigits) {
  EXPECT_EQ(EvaluateToText("1+1"), "2");
  EXPECT_EQ(EvaluateToText("3-10"), "-7");
  EXPECT_EQ(EvaluateToText("0*-1"), "0");
  EXPECT_EQ(EvaluateToText("123456*1000"), "123456000");
}

TEST(EvaluatorTest, BadExpressionsAreErrors) {
  const char* bad[] = {
      "",
      "   ",
      "1+",
      "(1+2",
      "1+2)",
      "()",
      "1 2",
      "*3",
      "7/2",
      "1/3*2",
      "5/0",
      "0/0",
      "(1/0)*0",
      "varX+1",
      "sin(1)",
      "_pi",
      "2^3",
      "1.5+1",
      "1,2",
      "1;2",
      "1e3",
      "0x10",
      "3 % 2",
      "1==1",
      "1<2",
      "1?2:3",
      "x",
      "1 + 2 = 3",
      "１+1",
      "9999999999999999",
      "99999999*99999999",
      "\xE2\x88\x92"
      "1",
  };
  for (const char* expression : bad) {
    QString error;
    EXPECT_FALSE(EvaluateInteger(QString::fromUtf8(expression), &error).has_value()) << expression;
    EXPECT_FALSE(error.isEmpty()) << expression;
    EXPECT_FALSE(EvaluateToText(QString::fromUtf8(expression)).has_value()) << expression;
  }
}

// The direct form must never disagree with the library's parser.
TEST(EvaluatorTest, DirectFormAgreesWithTheLibraryOnRandomExpressions) {
  std::mt19937 random(20240607);
  auto number = [&] { return QString::number(random() % 1000); };
  std::function<QString(int)> expression = [&](int depth) -> QString {
    QString text = depth > 2 || random() % 3 == 0 ? number() : u'(' + expression(depth + 1) + u')';
    const int terms = static_cast<int>(random() % 4);
    for (int i = 0; i < terms; ++i) {
      const char* ops[] = {"+", " - ", "*", " / "};
      text += QLatin1String(ops[random() % 4]);
      text += depth > 2 || random() % 2 == 0 ? number() : u'(' + expression(depth + 1) + u')';
    }
    return text;
  };
  int quick_answers = 0;
  for (int i = 0; i < 3000; ++i) {
    const QString e = expression(0);
    std::optional<qint64> quick = evaluator_internal::EvaluateSimple(e);
    std::optional<qint64> full = evaluator_internal::EvaluateWithLibrary(e, nullptr);
    if (quick) {
      ++quick_answers;
      ASSERT_TRUE(full.has_value()) << e.toStdString();
      EXPECT_EQ(*quick, *full) << e.toStdString();
    }
  }
  EXPECT_GT(quick_answers, 500);
  // Forms the quick path leaves to the evaluator.
  for (const char* e : {"-1+2", "2*-3", "1\t+1", "1.5*2", "", "1+", "(1", "2(3)", "1 2"}) {
    EXPECT_FALSE(evaluator_internal::EvaluateSimple(QString::fromLatin1(e)).has_value()) << e;
  }
}

}  // namespace
}  // namespace orlavo

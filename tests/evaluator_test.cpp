#include "app/evaluator.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orlavo

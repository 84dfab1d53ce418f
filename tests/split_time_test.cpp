#include "tools/splitter/split_time.h"

#include <gtest/gtest.h>

namespace orlavo {
namespace {

TEST(SplitTimeTest, ParsesTypedTimesAsTheFieldReadsThem) {
  struct Case {
    const char* text;
    qint64 minutes, seconds, ms;
  } cases[] = {
      {"3", 3, 0, 0},       {"3.20", 3, 20, 0},        {"3:20", 3, 20, 0},
      {"1:75", 1, 75, 0},   {"03:20:500", 3, 20, 500}, {"3:20.5", 3, 20, 5},
      {"3.20.5", 3, 20, 5}, {"3.20:5", 3, 5, 0},       {"", 0, 0, 0},
      {":", 0, 0, 0},       {"0:0:1500", 0, 0, 1500},  {"99999999999:1", 999999999, 1, 0},
  };
  for (const Case& c : cases) {
    const SplitTime t = ParseTimeText(c.text);
    EXPECT_EQ(t.minutes, c.minutes) << c.text;
    EXPECT_EQ(t.seconds, c.seconds) << c.text;
    EXPECT_EQ(t.milliseconds, c.ms) << c.text;
  }
}

TEST(SplitTimeTest, FormatsAndSubtractsByParts) {
  EXPECT_EQ(FormatTime({3, 5, 7}), "03:05:007");
  EXPECT_EQ(FormatTime({123, 0, 0}), "123:00:000");
  EXPECT_EQ(FormatMinutesSeconds(200), "03:20");
  EXPECT_EQ(FormatMinutesSeconds(6000), "100:00");
  EXPECT_EQ(FormatTime(SubtractByParts({3, 20, 100}, {1, 40, 600})), "01:39:500");
  EXPECT_EQ(FormatTime(SubtractByParts({3, 20, 0}, {3, 20, 0})), "00:00:000");
  EXPECT_EQ(SplitTime::FromMilliseconds(3723004).minutes, 62);
}

}  // namespace
}  // namespace orlavo

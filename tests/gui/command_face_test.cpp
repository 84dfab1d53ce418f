#include "ui/command_face.h"

#include <gtest/gtest.h>

#include "tests/gui/qt_print.h"
#include "ui/shade.h"

namespace orlavo {
namespace {

TEST(ShadeTest, RedAndGreenMoveByTheAmountBlueByItsShareOf192) {
  // &HB47347: red 71, green 115, blue 180.
  EXPECT_EQ(Shade(QColor(71, 115, 180), 48), QColor(119, 163, 225));
}

TEST(ShadeTest, ClampsAndTruncatesTheBlueShareTowardZero) {
  struct Case {
    QColor color;
    int amount;
    QColor expected;
  };
  const Case cases[] = {
      {QColor(250, 5, 255), 10, QColor(255, 15, 255)},
      {QColor(10, 60, 0), -48, QColor(0, 12, 0)},
      // 101 * -48 / 192 = -25.25: toward zero gives -25, not -26.
      {QColor(100, 100, 101), -48, QColor(52, 52, 76)},
      // 101 * 48 / 192 = 25.25.
      {QColor(100, 100, 101), 48, QColor(148, 148, 126)},
      {QColor(0, 0, 0), 48, QColor(48, 48, 0)},
      {QColor(192, 192, 192), 0, QColor(192, 192, 192)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Shade(c.color, c.amount), c.expected)
        << c.color.name().toStdString() << " " << c.amount;
  }
}

TEST(ShadeTest, RoundsHalvesToEven) {
  const std::pair<double, int> cases[] = {{0.5, 0},   {1.5, 2},     {2.5, 2},   {3.5, 4},
                                          {-0.5, 0},  {-1.5, -2},   {-2.5, -2}, {2.4999, 2},
                                          {-2.6, -3}, {-25.0, -25}, {7.2, 7}};
  for (auto [value, expected] : cases) EXPECT_EQ(RoundHalfEven(value), expected) << value;
}

TEST(AccessKeyTest, LetterAfterTheFirstSingleAmpersand) {
  const std::pair<const char*, QChar> cases[] = {
      {"", QChar()},
      {"x", QChar()},
      {"&", QChar()},
      {"&&", QChar()},
      {"Rock && Roll", QChar()},
      {"Go&", QChar()},
      {"&&&&", QChar()},
      {"E&xit", u'x'},
      {"&Open", u'o'},
      {"Save && E&xit", u'x'},
      {"&&&Go", u'g'},
      {"&&x&Y", u'y'},
      {"A&b&c", u'b'},
  };
  for (auto [caption, expected] : cases) {
    EXPECT_EQ(AccessKeyOf(QString::fromUtf8(caption)), expected) << caption;
  }
}

TEST(AccessKeyTest, PlainTextDropsTheMarkers) {
  EXPECT_EQ(CaptionPlainText(QStringLiteral("E&xit")), QStringLiteral("Exit"));
  EXPECT_EQ(CaptionPlainText(QStringLiteral("Rock && &Roll")), QStringLiteral("Rock & Roll"));
  EXPECT_EQ(CaptionPlainText(QStringLiteral("Go&")), QStringLiteral("Go"));
}

TEST(CaptionLayoutTest, MeasuresOnePixelInFromTheLeftAndTwoFromRightAndBottom) {
  EXPECT_EQ(CaptionMeasureRect(100, 30), QRect(1, 0, 97, 28));
  EXPECT_EQ(CaptionMeasureRect(2, 0), QRect(1, 0, 0, 0));
}

TEST(CaptionLayoutTest, CentresByWholeNumberDivisionAndSinksWhenPressed) {
  struct Case {
    int w, h;
    QSize text;
    QRect normal;
  };
  const Case cases[] = {
      {100, 30, QSize(40, 14), QRect(30, 8, 40, 14)},
      {75, 23, QSize(20, 13), QRect(28, 5, 20, 13)},
      // Wider than the button: (10 - 31) / 2 is -10 toward zero.
      {10, 23, QSize(30, 13), QRect(-9, 5, 30, 13)},
      {80, 0, QSize(20, 13), QRect(30, -6, 20, 13)},
  };
  for (const Case& c : cases) {
    const CaptionRects rects = LayOutCaption(c.w, c.h, c.text);
    EXPECT_EQ(rects.normal, c.normal) << c.w << "x" << c.h;
    EXPECT_EQ(rects.pressed, c.normal.translated(1, 1));
  }
}

const QColor kBack(71, 115, 180);  // &HB47347
const QColor kFore(255, 255, 255);
const QColor kBorder(0, 0, 0);

TEST(FacePlanTest, NothingToDrawWithoutHeightOrWidth) {
  for (FaceState state : {FaceState::kUp, FaceState::kPressed, FaceState::kDisabled}) {
    const FacePlan zero_height = PlanFace(state, 80, 0, kBack, kFore, kBorder);
    EXPECT_TRUE(zero_height.under_caption.empty());
    EXPECT_TRUE(zero_height.over_caption.empty());
    const FacePlan zero_width = PlanFace(state, 0, 24, kBack, kFore, kBorder);
    EXPECT_TRUE(zero_width.under_caption.empty());
    EXPECT_TRUE(zero_width.over_caption.empty());
  }
}

TEST(FacePlanTest, UpFaceDarkensDownwardFromTheBase) {
  const QColor base(119, 163, 225);
  const FacePlan plan = PlanFace(FaceState::kUp, 60, 20, kBack, kFore, kBorder);
  ASSERT_EQ(plan.under_caption.size(), 21u);  // rows 0..H
  EXPECT_EQ(plan.under_caption[0].rect, QRect(0, 0, 60, 1));
  EXPECT_EQ(plan.under_caption[0].color, base);
  // step 2.5: row 1 is -2.5 -> -2, row 3 is -7.5 -> -8 (halves to even).
  EXPECT_EQ(plan.under_caption[1].color, Shade(base, -2));
  EXPECT_EQ(plan.under_caption[3].color, Shade(base, -8));
  EXPECT_EQ(plan.under_caption[20].color, Shade(base, -50));
  EXPECT_EQ(plan.caption_color, kFore);
  EXPECT_FALSE(plan.pressed_caption);

  // Bevel lines leave out their end points; then the border frames the whole area.
  const std::vector<FaceStroke> expected = {
      {QRect(2, 18, 56, 1), Shade(base, -48)}, {QRect(1, 17, 57, 1), Shade(base, -32)},
      {QRect(58, 2, 1, 16), Shade(base, -36)}, {QRect(57, 3, 1, 14), Shade(base, -24)},
      {QRect(2, 1, 56, 1), Shade(base, 16)},   {QRect(1, 2, 57, 1), Shade(base, 10)},
      {QRect(1, 2, 1, 16), Shade(base, -5)},   {QRect(2, 3, 1, 14), Shade(base, -10)},
      {QRect(0, 0, 60, 1), kBorder},           {QRect(0, 19, 60, 1), kBorder},
      {QRect(0, 0, 1, 20), kBorder},           {QRect(59, 0, 1, 20), kBorder},
  };
  ASSERT_EQ(plan.over_caption.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(plan.over_caption[i].rect, expected[i].rect) << i;
    EXPECT_EQ(plan.over_caption[i].color, expected[i].color) << i;
  }
}

TEST(FacePlanTest, PressedFaceDarkensTowardTheTopAndSinksTheCaption) {
  const QColor base2 = Shade(QColor(119, 163, 225), -32);
  const FacePlan plan = PlanFace(FaceState::kPressed, 60, 20, kBack, kFore, kBorder);
  ASSERT_EQ(plan.under_caption.size(), 21u);
  // Laid from the bottom row up: i = 0 is row H, i = 20 is row 0.
  EXPECT_EQ(plan.under_caption[0].rect, QRect(0, 20, 60, 1));
  EXPECT_EQ(plan.under_caption[0].color, base2);
  // step 1.25: i = 2 is -2.5 -> -2.
  EXPECT_EQ(plan.under_caption[2].rect, QRect(0, 18, 60, 1));
  EXPECT_EQ(plan.under_caption[2].color, Shade(base2, -2));
  EXPECT_EQ(plan.under_caption[20].rect, QRect(0, 0, 60, 1));
  EXPECT_EQ(plan.under_caption[20].color, Shade(base2, -25));
  EXPECT_TRUE(plan.pressed_caption);
  ASSERT_EQ(plan.over_caption.size(), 12u);
  EXPECT_EQ(plan.over_caption[0].rect, QRect(2, 18, 56, 1));
  EXPECT_EQ(plan.over_caption[0].color, Shade(base2, 16));
  EXPECT_EQ(plan.over_caption[3].rect, QRect(57, 3, 1, 14));
  EXPECT_EQ(plan.over_caption[3].color, base2);
  EXPECT_EQ(plan.over_caption[7].rect, QRect(2, 2, 1, 16));
  EXPECT_EQ(plan.over_caption[7].color, Shade(base2, -22));
  EXPECT_EQ(plan.over_caption[8].color, kBorder);
}

TEST(FacePlanTest, DisabledFaceIsFlatWithGreyedCaptionAndFrame) {
  const QColor base(119, 163, 225);
  const FacePlan plan = PlanFace(FaceState::kDisabled, 60, 20, kBack, kFore, kBorder);
  ASSERT_EQ(plan.under_caption.size(), 1u);
  EXPECT_EQ(plan.under_caption[0].rect, QRect(0, 0, 60, 20));
  EXPECT_EQ(plan.under_caption[0].color, Shade(base, -24));
  EXPECT_EQ(plan.caption_color, Shade(base, -104));
  EXPECT_FALSE(plan.pressed_caption);
  ASSERT_EQ(plan.over_caption.size(), 4u);
  for (const FaceStroke& stroke : plan.over_caption) EXPECT_EQ(stroke.color, Shade(base, -84));
}

}  // namespace
}  // namespace orlavo

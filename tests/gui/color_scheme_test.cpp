#include "ui/color_scheme.h"

#include <gtest/gtest.h>

#include "tests/gui/qt_print.h"

namespace orlavo {
namespace {

using Role = ColorScheme::Role;

TEST(ColorTextTest, ReadsBlueGreenRedHexadecimal) {
  struct Case {
    const char* text;
    QColor expected;
  };
  const Case cases[] = {
      {"&HB47347", QColor(0x47, 0x73, 0xB4)},
      {"&H0", QColor(0, 0, 0)},
      {"&HFFFFFF", QColor(255, 255, 255)},
      {"&hc0c0c0", QColor(192, 192, 192)},
      {"&HFF", QColor(255, 0, 0)},
      {"&HFF00", QColor(0, 255, 0)},
      {"&HFF0000", QColor(0, 0, 255)},
      {"  &H102030  ", QColor(0x30, 0x20, 0x10)},
      // Not checked, as the files were never checked: reading stops at the first
      // character that is not a digit.
      {"&H12XY", QColor(0x12, 0, 0)},
      {"&HZZ", QColor(0, 0, 0)},
      {"&H", QColor(0, 0, 0)},
      {"blue", QColor(0, 0, 0)},
      {"255", QColor(255, 0, 0)},
      {"65280", QColor(0, 255, 0)},
      // A value with a high byte keeps its three colour bytes.
      {"&H8000000F", QColor(0x0F, 0, 0)},
      {"&H123456789", QColor(0x89, 0x67, 0x45)},
  };
  for (const Case& c : cases) {
    const std::optional<QColor> color = ParseColorText(QString::fromLatin1(c.text));
    ASSERT_TRUE(color.has_value()) << c.text;
    EXPECT_EQ(*color, c.expected) << c.text;
  }
}

TEST(ColorTextTest, EmptyTextHasNoColour) {
  EXPECT_FALSE(ParseColorText(QString()).has_value());
  EXPECT_FALSE(ParseColorText(QStringLiteral("   ")).has_value());
}

TEST(ColorTextTest, WritesUpperCaseWithoutLeadingZeros) {
  const std::pair<QColor, const char*> cases[] = {
      {QColor(0, 0, 0), "&H0"},
      {QColor(255, 0, 0), "&HFF"},
      {QColor(0x47, 0x73, 0xB4), "&HB47347"},
      {QColor(1, 2, 3), "&H30201"},
      {QColor(255, 255, 255), "&HFFFFFF"},
  };
  for (const auto& [color, text] : cases) {
    EXPECT_EQ(FormatColorText(color), QString::fromLatin1(text)) << text;
  }
}

TEST(ColorTextTest, RoundTripKeepsEveryColour) {
  for (int r : {0, 1, 15, 16, 128, 254, 255}) {
    for (int g : {0, 7, 160, 255}) {
      for (int b : {0, 9, 180, 255}) {
        const QColor color(r, g, b);
        EXPECT_EQ(ParseColorText(FormatColorText(color)), color)
            << FormatColorText(color).toStdString();
      }
    }
  }
  for (const char* text : {"&HB47347", "&HFFFFFF", "&HC0C0C0", "&H0", "&H30201"}) {
    EXPECT_EQ(FormatColorText(*ParseColorText(QString::fromLatin1(text))),
              QString::fromLatin1(text));
  }
}

TEST(ColorSchemeTest, DefaultSchemeIsBlueWithWhiteTextAndSilverButtons) {
  const ColorScheme scheme;
  EXPECT_EQ(scheme.BGColor(), QColor(71, 115, 180));
  EXPECT_EQ(scheme.FGColor(), QColor(255, 255, 255));
  EXPECT_EQ(scheme.ButtonColor(), QColor(192, 192, 192));
  EXPECT_EQ(scheme.BorderColor(), QColor(0, 0, 0));
  EXPECT_EQ(scheme.ColorText(Role::kBackground), QStringLiteral("&HB47347"));
  EXPECT_EQ(scheme.ColorText(Role::kText), QStringLiteral("&HFFFFFF"));
  EXPECT_EQ(scheme.ColorText(Role::kButton), QStringLiteral("&HC0C0C0"));
  EXPECT_EQ(scheme.ColorText(Role::kBorder), QStringLiteral("&H0"));
  EXPECT_EQ(ColorScheme::HighlightColor(), QColor(255, 0, 0));
}

TEST(ColorSchemeTest, KeysOfTheSchemeFile) {
  EXPECT_EQ(ColorScheme::KeyName(Role::kBackground), QStringLiteral("BGColor"));
  EXPECT_EQ(ColorScheme::KeyName(Role::kText), QStringLiteral("FGColor"));
  EXPECT_EQ(ColorScheme::KeyName(Role::kButton), QStringLiteral("ButtonColor"));
  EXPECT_EQ(ColorScheme::KeyName(Role::kBorder), QStringLiteral("BorderColor"));
}

TEST(ColorSchemeTest, EmptyTextsTakeTheirDefaults) {
  // A scheme file with only BGColor set.
  const ColorScheme scheme = ColorScheme::FromTexts(QStringLiteral("&H102030"), {}, {}, {});
  EXPECT_EQ(scheme.BGColor(), QColor(0x30, 0x20, 0x10));
  EXPECT_EQ(scheme.FGColor(), QColor(255, 255, 255));
  EXPECT_EQ(scheme.ButtonColor(), QColor(192, 192, 192));
  EXPECT_EQ(scheme.BorderColor(), QColor(0, 0, 0));
  EXPECT_EQ(ColorScheme::FromTexts({}, {}, {}, {}), ColorScheme());

  ColorScheme edited = scheme;
  edited.SetColorText(Role::kBorder, QStringLiteral("&HFF"));
  EXPECT_EQ(edited.BorderColor(), QColor(255, 0, 0));
  edited.SetColorText(Role::kBorder, QString());
  EXPECT_EQ(edited.BorderColor(), QColor(0, 0, 0));
}

TEST(ColorSchemeTest, CurrentSchemeIsOneSharedObject) {
  ColorScheme& current = CurrentColorScheme();
  const ColorScheme saved = current;
  current.SetColor(Role::kText, QColor(1, 2, 3));
  EXPECT_EQ(CurrentColorScheme().FGColor(), QColor(1, 2, 3));
  current = saved;
  EXPECT_EQ(CurrentColorScheme(), ColorScheme());
}

}  // namespace
}  // namespace orlavo

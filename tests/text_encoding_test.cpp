#include "formats/text_encoding.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringDecoder>

namespace orlavo {
namespace {

TEST(TextEncodingTest, EveryWindows1252ByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::string utf8 = Cp1252ToUtf8(all);
  EXPECT_EQ(Utf8ToCp1252(utf8), all);
  // Agrees with Qt's own Windows-1252 codec on every defined byte.
  QStringDecoder decoder("windows-1252");
  ASSERT_TRUE(decoder.isValid());
  for (int b = 0; b < 256; ++b) {
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) continue;
    QByteArray one(1, static_cast<char>(b));
    EXPECT_EQ(QString::fromStdString(Cp1252ToUtf8(one.toStdString())), decoder.decode(one)) << b;
  }
}

TEST(TextEncodingTest, UnmappableAndBrokenInputBecomesQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");        // a CJK character
  EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");              // cut sequence
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x8E\xB5x"), "?x");  // outside the BMP
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC"), "\x80");     // euro sign
}

TEST(TextEncodingTest, Utf16WithSurrogates) {
  const uint8_t le[] = {'A', 0, 0x3C, 0xD8, 0xB5, 0xDF, 0x00, 0xD8};
  EXPECT_EQ(Utf16ToUtf8(le, false), "A\xF0\x9F\x8E\xB5\xEF\xBF\xBD");
  const uint8_t be[] = {0, 'h', 0, 'i', 0x20};
  EXPECT_EQ(Utf16ToUtf8(be, true), "hi");
}

}  // namespace
}  // namespace orlavo

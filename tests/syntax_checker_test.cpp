#include "app/syntax_checker.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace orlavo {
namespace {

constexpr char kCaption[] = "Orlavo Professional v1.0";

class SyntaxCheckerTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(WriteSyntaxIgnoreTemplate(dir_.path(), kCaption)); }

  QString ListPath() const { return SyntaxIgnoreListPath(dir_.path()); }

  void WriteList(const QByteArray& bytes) {
    QFile file(ListPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
  }

  QTemporaryDir dir_;
  SyntaxChecker checker_{dir_.path()};
};

TEST_F(SyntaxCheckerTest, TemplateIsWrittenWithItsExactLines) {
  EXPECT_EQ(ListPath(), dir_.path() + "/Files/SyntaxIgnoreList.txt");
  QFile file(ListPath());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(),
            "// SyntaxIgnoreList.txt (template) was created with Orlavo Professional v1.0\r\n"
            "// Everything between ' ' is scanned.\r\n"
            "// Lines starting with \"//\" are ignored.\r\n"
            "// Everything is case sensitive.\r\n"
            "\r\n"
            "'in'\r\n'of'\r\n'the'\r\n'and'\r\n'on'\r\n'or'\r\n'DJ'\r\n'vs'\r\n");
}

TEST_F(SyntaxCheckerTest, TemplateNeverReplacesAnExistingList) {
  WriteList("'ABBA'\r\n");
  EXPECT_TRUE(WriteSyntaxIgnoreTemplate(dir_.path(), kCaption));
  QFile file(ListPath());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "'ABBA'\r\n");
}

TEST(SyntaxIgnoreListTest, Parse) {
  const std::pair<const char*, QStringList> cases[] = {
      {"'DJ'\r\n'vs'\r\n", {"DJ", "vs"}},
      {"'DJ'\n'vs'", {"DJ", "vs"}},
      {"// 'DJ'\n  // 'x'\n\n   \n''\n  ''  \n'AC'", {"AC"}},
      {"  'DJ'  \r\n", {"DJ"}},  // blanks around the quotes do not count
      {"ABBA\n", {"BB"}},        // the first and last character go, whatever they are
      {"'\n''x\n", {"'"}},
      {"x\n'\n", {}},  // a single character holds no entry
      {"'Mc Donald'", {"Mc Donald"}},
  };
  for (const auto& [text, entries] : cases) {
    EXPECT_EQ(ParseSyntaxIgnoreList(text), entries) << text;
  }
}

TEST_F(SyntaxCheckerTest, LookupExceptionIgnoresCaseAndReturnsTheEntry) {
  EXPECT_EQ(checker_.LookupException("IN"), "in");
  EXPECT_EQ(checker_.LookupException("dj"), "DJ");
  EXPECT_EQ(checker_.LookupException("Vs"), "vs");
  EXPECT_EQ(checker_.LookupException("Queen"), "");
  EXPECT_EQ(checker_.LookupException(""), "");
}

TEST_F(SyntaxCheckerTest, FirstMatchingEntryWins) {
  WriteList("'Dj'\r\n'DJ'\r\n");
  EXPECT_EQ(checker_.LookupException("dj"), "Dj");
}

TEST_F(SyntaxCheckerTest, AChangedListIsSeenByTheNextCheck) {
  EXPECT_TRUE(checker_.FileNameSyntaxFails("ABBA - SOS.mp3"));
  WriteList("'ABBA'\r\n'SOS'\r\n");
  EXPECT_FALSE(checker_.FileNameSyntaxFails("ABBA - SOS.mp3"));
  // An edit of the same size.
  WriteList("'ABBA'\r\n'Sos'\r\n");
  EXPECT_TRUE(checker_.FileNameSyntaxFails("ABBA - SOS.mp3"));
  // A list replaced by another file, as editors save.
  QString replacement = dir_.filePath("Files/new.txt");
  {
    QFile file(replacement);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("'ABBA'\r\n'SOS'\r\n");
  }
  ASSERT_TRUE(QFile::remove(ListPath()));
  ASSERT_TRUE(QFile::rename(replacement, ListPath()));
  EXPECT_FALSE(checker_.FileNameSyntaxFails("ABBA - SOS.mp3"));
  // And removed.
  ASSERT_TRUE(QFile::remove(ListPath()));
  EXPECT_TRUE(checker_.FileNameSyntaxFails("ABBA - SOS.mp3"));
}

TEST_F(SyntaxCheckerTest, AMissingListMeansTheBuiltInWords) {
  ASSERT_TRUE(QFile::remove(ListPath()));
  EXPECT_EQ(checker_.LookupException("dj"), "DJ");
  EXPECT_EQ(checker_.CorrectSyntax("queen - live in wembley", true), "Queen - Live in Wembley.mp3");
  // An empty list is the person's choice: no exceptions at all.
  WriteList("");
  EXPECT_EQ(checker_.CorrectSyntax("queen - live in wembley", true), "Queen - Live In Wembley.mp3");
}

TEST_F(SyntaxCheckerTest, CorrectSyntax) {
  struct Case {
    const char* text;
    bool add_extension;
    const char* corrected;
  };
  const Case cases[] = {
      {"Pink floyd - Wish You Were Here.mp3", true, "Pink Floyd - Wish You Were Here.mp3"},
      {"Queen - Live In Wembley.mp3", true, "Queen - Live in Wembley.mp3"},
      {"in the mood.mp3", true, "In the Mood.mp3"},
      {"artist - the end.mp3", true, "Artist - The End.mp3"},
      {"Dj Tiesto - Song.mp3", true, "DJ Tiesto - Song.mp3"},
      {"dj tiesto - dj song.mp3", true, "DJ Tiesto - DJ Song.mp3"},
      {"Rock-n-roll Song.mp3", true, "Rock-N-Roll Song.mp3"},
      {"(live)", false, "(Live)"},
      {"Song [remix] {edit} a.b.c", false, "Song [Remix] {Edit} A.B.C"},
      {"TRACK 01.mp3", true, "Track 01.mp3"},
      {"Rocky iI", false, "Rocky iI"},  // Roman numerals are kept as written
      {"iiI iv", false, "iiI Iv"},
      {"the_band - song.mp3", true, "The_band - Song.mp3"},
      {"the_band.mp3", true, "The Band.mp3"},
      {"Song.MP3", true, "Song.mp3"},
      {"ABBA - SOS.mp3", true, "Abba - Sos.mp3"},
      {"a  b", false, "A  B"},
      {"", false, ""},
      {"", true, ".mp3"},
      {"some song", false, "Some Song"},
      {"2-pac", false, "2-Pac"},
      {"ÉCOLE élan", false, "École Élan"},
      {"NEW-YORK", false, "New-York"},
      {"Song.wav", true, "Song.Wav.mp3"},  // the point capitalises too
  };
  for (const Case& c : cases) {
    EXPECT_EQ(checker_.CorrectSyntax(QString::fromUtf8(c.text), c.add_extension),
              QString::fromUtf8(c.corrected))
        << c.text;
  }
}

TEST_F(SyntaxCheckerTest, FileNameSyntaxFails) {
  const std::pair<const char*, bool> cases[] = {
      {"Pink Floyd - Wish You Were Here.mp3", false},
      {"Pink floyd - Wish You Were Here.mp3", true},
      {"Queen - Live in Wembley.mp3", false},
      {"Queen - Live In Wembley.mp3", true},
      {"In the Mood.mp3", false},
      {"Artist - The End.mp3", false},
      {"DJ Tiesto - Song.mp3", false},
      {"Dj Tiesto - Song.mp3", true},
      {"Rock-n-roll Song.mp3", true},
      {"Rock-N-Roll Song.mp3", false},
      {"Track 01.mp3", false},
      {"Rocky II.mp3", false},
      {"Rocky III.mp3", false},
      {"The_Band.mp3", true},
      {"the_band - song.mp3", true},
      {"The_band - Song.mp3", false},
      {"Song.MP3", true},
      {"ABBA - SOS.mp3", true},
      {"Song (Live).mp3", false},
      {"Song (live).mp3", true},
      {"Song  Two.mp3", false},
  };
  for (const auto& [name, fails] : cases) {
    EXPECT_EQ(checker_.FileNameSyntaxFails(name), fails) << name;
  }
}

// The verdict for a name is always that of comparing it with its corrected
// form, whatever shortcut the check takes: names built from awkward pieces.
TEST_F(SyntaxCheckerTest, FileNameVerdictAgreesWithTheCorrectedName) {
  WriteList(
      QString::fromUtf8("'DJ'\r\n'the'\r\n'vs'\r\n'ABBA'\r\n'-'\r\n'\u212a'\r\n'Mc'\r\n").toUtf8());
  const char* pieces[] = {"Song", "song", "SONG", "-",   "II",  "iI", "the",        "The",
                          "THE",  "DJ",   "Dj",   "dj",  "vs",  "Vs", "abba",       "ABBA",
                          "01",   "1st",  "k",    "K",   "mc",  "Mc", "don't",      "'em",
                          "a-b",  "A-B",  "x_y",  "(x)", "R&B", "",   "Ol\xc3\xa9", "oL\xc3\xa9"};
  const char* endings[] = {".mp3", ".MP3", ".Mp3", "", "_x.mp3", " .mp3"};
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  constexpr uint32_t kPieces = sizeof(pieces) / sizeof(pieces[0]);
  for (int round = 0; round < 4000; ++round) {
    QString name;
    const uint32_t words = 1 + next(5);
    for (uint32_t w = 0; w < words; ++w) {
      if (w > 0) name += next(8) == 0 ? QStringLiteral("_") : QStringLiteral(" ");
      name += QString::fromUtf8(pieces[next(kPieces)]);
    }
    name += QString::fromLatin1(endings[next(6)]);
    ASSERT_EQ(checker_.FileNameSyntaxFails(name), checker_.CorrectSyntax(name, true) != name)
        << name.toStdString();
  }
}

TEST_F(SyntaxCheckerTest, ExceptionInTheListMakesAllCapitalsPass) {
  WriteList("'ABBA'\r\n'SOS'\r\n");
  EXPECT_FALSE(checker_.FileNameSyntaxFails("ABBA - SOS.mp3"));
  EXPECT_TRUE(checker_.FileNameSyntaxFails("Abba - SOS.mp3"));
}

TEST_F(SyntaxCheckerTest, TagSyntaxFails) {
  struct Case {
    QString title, artist;
    bool fails;
  };
  const QChar nul(u'\0');
  const Case cases[] = {
      {"Some song", "Someone", true},
      {"Some Song", "someone", true},
      {"Some Song", "Someone", false},
      {"", "", false},
      {QString(30, nul), QString(30, nul), false},  // a file without tag
      {QString("Song") + QString(26, nul), QString("  DJ Tiesto") + nul, false},
      {"Live in Wembley", "Queen", false},
      {"Live In Wembley", "Queen", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(checker_.TagSyntaxFails(c.title, c.artist), c.fails) << c.title.toStdString();
  }
}

TEST(SyntaxCheckerMarkersTest, MarkersAndLegend) {
  EXPECT_STREQ(kFileNameSyntaxMarker, "ECII");
  EXPECT_STREQ(kTagSyntaxMarker, "v1 ECII");
  EXPECT_EQ(ErrorLegendText(),
            "Following short names are used to describe the nature of the error:\r\n"
            "\r\n"
            "SWLC = Starts with lower case. (One of the words starts with lowercase, should be "
            "uppercase).\r\n"
            "ICITW = Incorrect case in the word. (Syntax should be first uppercase, rest "
            "lowercase).\r\n"
            "ECII = Exception case is incorrect. (One of the words is an exception and has "
            "incorrect pattern described in SyntaxIgnoreList.txt)\r\n"
            "\r\n"
            "v1 + ERROR = The error was found in the ID tag of the file, not the filename "
            "itself.");
}

TEST(SyntaxCheckerTemplateTest, CreatesTheFilesFolder) {
  QTemporaryDir dir;
  EXPECT_FALSE(QDir(dir.filePath("Files")).exists());
  EXPECT_TRUE(WriteSyntaxIgnoreTemplate(dir.path() + "/", kCaption));
  EXPECT_TRUE(QFile::exists(dir.filePath("Files/SyntaxIgnoreList.txt")));
}

}  // namespace
}  // namespace orlavo

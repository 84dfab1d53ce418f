#include "app/helpers.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>

#include "app/desktop.h"
#include "app/settings.h"
#include "tests/support/fake_desktop.h"

namespace orlavo {
namespace {

// Restores the live options a test changes.
class LiveOptionsGuard {
 public:
  LiveOptionsGuard() : saved_(LiveOptions()) {}
  ~LiveOptionsGuard() { LiveOptions() = saved_; }

 private:
  Options saved_;
};

TEST(HelpersTest, FileAndFolderExist) {
  QTemporaryDir dir;
  QString empty_file = dir.filePath("empty.mp3");
  QFile(empty_file).open(QIODevice::WriteOnly);
  QString folder = dir.path() + "/";

  EXPECT_TRUE(FileExists(empty_file));  // size 0 still exists
  EXPECT_FALSE(FileExists(folder));
  EXPECT_FALSE(FileExists(dir.filePath("missing.mp3")));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists(empty_file + "/"));

  EXPECT_TRUE(FolderExists(folder));
  EXPECT_TRUE(FolderExists(dir.path()));
  EXPECT_FALSE(FolderExists(empty_file));
  EXPECT_FALSE(FolderExists(dir.filePath("missing/")));
  EXPECT_FALSE(FolderExists(""));
}

TEST(HelpersTest, IsValidFileName) {
  const std::pair<const char*, bool> cases[] = {
      {"Queen - Bohemian Rhapsody.mp3", true},
      {"Some name with-hyphens", true},
      {"", true},
      {"What?.mp3", false},
      {"a\\b", false},
      {"a/b", false},
      {"a:b", false},
      {"a*b", false},
      {"say \"hi\"", false},
      {"a<b", false},
      {"a>b", false},
      {"a|b", false},
      {"semi;colon, comma & (brackets) [ok] {ok}", true},
  };
  for (const auto& [text, valid] : cases) EXPECT_EQ(IsValidFileName(text), valid) << text;
}

TEST(HelpersTest, FormatFileSizeExamples) {
  EXPECT_EQ(FormatFileSize(1536, "KB"), "2 KB");
  EXPECT_EQ(FormatFileSize(1048576, "MB"), "1.00 MB");
  // "##0.00" has no thousands separator, unlike the other two patterns.
  EXPECT_EQ(FormatFileSize(1200LL * 1024 * 1024, "MB"), "1200.00 MB");
  EXPECT_EQ(FormatFileSize(1200LL * 1024 * 1024, "KB"), "1,228,800 KB");
  EXPECT_EQ(FormatFileSize(0, "Bytes"), "0 bytes");
  EXPECT_EQ(FormatFileSize(1234567, "Bytes"), "1,234,567 bytes");
  EXPECT_EQ(FormatFileSize(1234567, "GB"), "");
}

// Whatever the locale, the size texts are the locale's own number texts:
// its digits, its grouping, its decimal sign, and halves rounded up.
TEST(HelpersTest, FormatFileSizeFollowsEveryLocale) {
  const QLocale saved;
  const qint64 sizes[] = {0,      1,       999,     1000,       1536,           131072,
                          393216, 1234567, 1048575, 1258291200, qint64{1} << 40};
  for (const char* name : {"en_US", "de_DE", "fr_FR", "de_CH", "en_IN", "hi_IN", "ar_EG", "C"}) {
    QLocale locale(QString::fromLatin1(name));
    QLocale::setDefault(locale);
    // Whole numbers are always grouped, even where the locale would not.
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    QLocale no_groups = locale;
    no_groups.setNumberOptions(no_groups.numberOptions() | QLocale::OmitGroupSeparator);
    for (const qint64 size : sizes) {
      EXPECT_EQ(FormatFileSize(size, "Bytes"), locale.toString(size) + " bytes") << name;
      EXPECT_EQ(FormatFileSize(size, "KB"),
                locale.toString(std::llround(static_cast<double>(size) / 1024.0)) + " KB")
          << name;
      EXPECT_EQ(FormatFileSize(size, "MB"),
                no_groups.toString(static_cast<double>(size) / 1024.0 / 1024.0, 'f', 2) + " MB")
          << name << " " << size;
    }
  }
  QLocale::setDefault(saved);
}

TEST(HelpersTest, FormatFileSizeWithoutUnitUsesTheLiveOption) {
  LiveOptionsGuard guard;
  LiveOptions().size_unit = "KB";
  EXPECT_EQ(FormatFileSize(1536, ""), "2 KB");
  EXPECT_EQ(FormatFileSize(1536), "2 KB");
  LiveOptions().size_unit = "MB";
  EXPECT_EQ(FormatFileSize(3 * 1024 * 1024), "3.00 MB");
  EXPECT_EQ(FormatFileSize(1536, "Bytes"), "1,536 bytes");  // a given unit wins
  LiveOptions().size_unit = "";
  EXPECT_EQ(FormatFileSize(1536), "");
}

class RecordingDisplay : public ProgressDisplay {
 public:
  void SetCaption(const QString& text) override { caption = text; }
  void SetBar(qint64 bar_current, qint64 bar_total) override {
    current = bar_current;
    total = bar_total;
  }
  void SetPercent(const QString& text) override { percent = text; }

  QString caption, percent;
  qint64 current = -1, total = -1;
};

TEST(HelpersTest, ProgressTexts) {
  struct Case {
    qint32 current, total;
    const char* verb;
    bool show_file;
    const char* caption;
    const char* percent;
  };
  const Case cases[] = {
      {3, 120, "", false, "Scanning #3 of 120", "2%"},
      {3, 120, "", true, "Scanning /music/a.mp3", "2%"},
      {1, 3, "Renaming", false, "Renaming #1 of 3", "33%"},
      {2, 3, "Joining", true, "Joining /music/a.mp3", "66%"},
      {120, 120, "", false, "Scanning #120 of 120", "100%"},
      {0, 0, "", false, "Scanning #0 of 0", "0%"},
      {1, 7, "", false, "Scanning #1 of 7", "14%"},
      {2147483647, 2147483647, "", false, "Scanning #2147483647 of 2147483647", "100%"},
      {-1, 3, "", false, "Scanning #-1 of 3", "-34%"},
  };
  for (const Case& c : cases) {
    RecordingDisplay display;
    ShowProgress(display, c.current, c.total, "/music/a.mp3", c.verb, c.show_file);
    EXPECT_EQ(display.caption, c.caption);
    EXPECT_EQ(display.percent, c.percent) << c.current << "/" << c.total;
    EXPECT_EQ(display.current, c.current);
    EXPECT_EQ(display.total, c.total);
  }
}

TEST(HelpersTest, ShowProgressFollowsTheLiveOption) {
  LiveOptionsGuard guard;
  RecordingDisplay display;
  LiveOptions().show_current_file = false;
  ShowProgress(display, 5, 10, "b.mp3");
  EXPECT_EQ(display.caption, "Scanning #5 of 10");
  EXPECT_EQ(display.percent, "50%");
  LiveOptions().show_current_file = true;
  ShowProgress(display, 5, 10, "b.mp3", "Creating");
  EXPECT_EQ(display.caption, "Creating b.mp3");
}

TEST(HelpersTest, SplitWords) {
  const std::pair<const char*, QStringList> cases[] = {
      {"The_Band - Some Song.mp3", {"The_Band", "-", "Some", "Song"}},
      {"a_b_c.mp3", {"a", "b", "c"}},
      {"Intro", {"Intro"}},
      {"Song.MP3", {"Song"}},
      {"", {""}},
      {"a  b", {"a", "", "b"}},
      {"a__b", {"a", "", "b"}},
      {"x_y z_w.mp3", {"x_y", "z", "w"}},
      {"Song.wav", {"Song.wav"}},
      {" lead", {"", "lead"}},
      {"trail ", {"trail", ""}},
      {".mp3", {""}},
      // Only a closing ".mp3" is an extension: nothing else is cut from a word.
      {"Best of mp3", {"Best", "of", "mp3"}},
      {"Trump3", {"Trump3"}},
      {"a b_mp3", {"a", "b", "mp3"}},
  };
  for (const auto& [name, words] : cases) EXPECT_EQ(SplitWords(name), words) << name;
}

TEST(HelpersTest, SplitWordsAppends) {
  QStringList words = {"kept"};
  SplitWords("a b.mp3", words);
  EXPECT_EQ(words, QStringList({"kept", "a", "b"}));
}

StreamInfo Stream(int bitrate, int frequency) {
  StreamInfo info;
  std::memset(&info, 0, sizeof info);
  info.Bitrate = static_cast<int16_t>(bitrate);
  info.Frequency = frequency;
  return info;
}

TEST(HelpersTest, TimeToByteOffsetIsBitrateTimesTime) {
  struct Case {
    int bitrate, frequency;
    const char* time;
    double bytes;
  };
  const Case cases[] = {
      {128, 44100, "0:00:000", 0},
      {128, 44100, "1:00:000", 960000},
      {128, 44100, "0:01:500", 24000},
      {128, 48000, "1:00:000", 960000},  // the sample rate does not matter
      {320, 48000, "2:30:250", 6010000},
      {192, 32000, "0:10:000", 240000},
      {64, 22050, "0:10:125", 81000},  // MPEG 2
      {32, 24000, "1:2:3", 248012},
      {8, 16000, "10:00:000", 600000},
      {24, 11025, "0:00:001", 3},  // MPEG 2.5
      {128, 44100, " 1 : 2 : 3 ", 992048},
      {128, 44100, "546:07:000", 32767.0 * 16000},
      {0, 44100, "1:00:000", 0},
  };
  for (const Case& c : cases) {
    std::optional<double> got = TimeToByteOffset(c.time, Stream(c.bitrate, c.frequency));
    ASSERT_TRUE(got.has_value()) << c.time;
    EXPECT_DOUBLE_EQ(*got, c.bytes) << c.bitrate << " kbit/s " << c.frequency << " Hz " << c.time;
  }
}

TEST(HelpersTest, TimeToByteOffsetRejectsBadTimes) {
  const char* bad[] = {
      "",        "1:00",   "100",        "a:b:c",     "1::0",
      ":1:0",    "1:0:",   "-1:00:000",  "1:-5:0",    "1:2:3:4",
      "1.5:0:0", "1:0:0x", "546:08:000", "0:32768:0", "99999999999:0:0",
  };
  for (const char* time : bad) {
    EXPECT_FALSE(TimeToByteOffset(time, Stream(128, 44100)).has_value()) << time;
  }
}

TEST(HelpersTest, TimeToByteOffsetOfAStreamWithoutFrequencyIsZero) {
  EXPECT_EQ(TimeToByteOffset("1:00:000", Stream(128, 0)), 0.0);
  EXPECT_EQ(TimeToByteOffset("bad", Stream(128, 0)), 0.0);
}

TEST(HelpersTest, ClearList) {
  QStringList list = {"a", "b", "c"};
  ClearList(list);
  EXPECT_TRUE(list.isEmpty());
}

TEST(HelpersTest, PauseLetsEventsRunUntilTheTimeHasPassed) {
  testing::FakeDesktop desktop;
  QElapsedTimer timer;
  timer.start();
  Pause(desktop, 0.05);
  EXPECT_GE(timer.elapsed(), 50);
  EXPECT_GE(desktop.events_run, 2);

  testing::FakeDesktop quick;
  Pause(quick, 0);
  EXPECT_EQ(quick.events_run, 1);
  Pause(quick, -1);
  EXPECT_EQ(quick.events_run, 2);
}

TEST(HelpersTest, OccursTwice) {
  struct Case {
    const char* text;
    const char* search;
    bool twice;
  };
  const Case cases[] = {
      {"abab abab", "ab", false},                                   // two characters never count
      {"The The.mp3", "The", true}, {"The the.mp3", "The", false},  // letter case counts
      {"aaaa", "aaa", true},                                        // overlapping hits count
      {"aaa", "aaa", false},        {"x - y - z", " - ", true},
      {"x - y", " - ", false},      {"", "abc", false},
      {"abc", "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OccursTwice(c.text, c.search), c.twice) << c.text << " / " << c.search;
  }
}

TEST(HelpersTest, ReplaceAll) {
  struct Case {
    QString text, search, replacement, result;
  };
  const Case cases[] = {
      {"MP3 Files|*.mp3|All|*.*", "|", QString(QChar(u'\0')),
       QString("MP3 Files") + QChar(u'\0') + "*.mp3" + QChar(u'\0') + "All" + QChar(u'\0') + "*.*"},
      {"a-b-c", "-", " - ", "a - b - c"},  // the replacement holds the search text
      {"aaa", "a", "aa", "aaaaaa"},
      {"none", "x", "y", "none"},
      {"abc", "", "x", "abc"},
      {"abcabc", "abc", "", ""},
      {"Aa", "a", "b", "Ab"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReplaceAll(c.text, c.search, c.replacement), c.result) << c.text.toStdString();
  }
}

}  // namespace
}  // namespace orlavo

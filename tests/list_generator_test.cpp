#include "tools/listgen/list_generator.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/flags.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/mp3_bytes.h"
#include "tests/support/qstring_print.h"

namespace orlavo {
namespace {

using testing::FakeDesktop;

const QByteArray kHeader0 = "// Generated with Orlavo Professional v1.0 software\r\n";

// An MPEG-2 Layer III frame header at 8 kbit/s: the playing time is the audio
// byte count / 1000.
QByteArray Slow8kbpsFile(int seconds) {
  QByteArray bytes(seconds * 1000, '\0');
  bytes[0] = static_cast<char>(0xFF);
  bytes[1] = static_cast<char>(0xF3);
  bytes[2] = static_cast<char>(0x10);
  bytes[3] = static_cast<char>(0xC4);
  return bytes;
}

class ListGeneratorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StopRequested = false;
    program_ = dir_.filePath("program") + u'/';
    music_ = dir_.filePath("music") + u'/';
    QDir().mkpath(program_ + "Files");
    QDir().mkpath(music_);
    options_.main_folder = music_;
    options_.show_current_file = false;
    options_.size_unit = "Bytes";
  }

  ListGenerator& Gen() {
    if (!gen_) {
      gen_ = std::make_unique<ListGenerator>(
          ToolContext{desktop_, status_, pellox_, options_, program_});
    }
    return *gen_;
  }

  QString Write(const QString& name, const QByteArray& bytes) {
    EXPECT_TRUE(testing::WriteBytes(music_ + name, bytes));
    return music_ + name;
  }

  QString WriteTagged(const QString& name, const QByteArray& title, const QByteArray& artist,
                      const QByteArray& album = {}, const QByteArray& year = {},
                      unsigned char genre = 255) {
    return Write(name, testing::MpegFrameBytes() +
                           testing::Id3v1TagBytes(title, artist, album, year, {}, genre));
  }

  QByteArray Output() {
    QFile file(Gen().OutputPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }

  // The lines after the header.
  QStringList Lines() {
    QStringList lines = QString::fromUtf8(Output()).split("\r\n");
    EXPECT_EQ(lines.takeLast(), "");
    return lines.mid(3);
  }

  QStringList Texts() {
    QStringList texts;
    for (int i = 0; i < Gen().preview().size(); ++i) texts << Gen().preview().row(i).text;
    return texts;
  }

  QTemporaryDir dir_;
  QString program_, music_;
  Options options_;
  FakeDesktop desktop_;
  ToolsStatus status_;
  PelloxBinding pellox_{QStringLiteral(ORLAVO_BIN_DIR)};
  std::unique_ptr<ListGenerator> gen_;
};

TEST(ListDurationTextTest, PaddedWhileItIsATimeOfDay) {
  const std::pair<int, const char*> cases[] = {
      {245, "04:05"},    {0, "00:00"},          {59, "00:59"},  {23 * 60 + 59, "23:59"},
      {24 * 60, "24:0"}, {25 * 60 + 7, "25:7"}, {600, "10:00"}, {32767, "546:7"},
  };
  for (const auto& [seconds, text] : cases) EXPECT_EQ(ListDurationText(seconds), text) << seconds;
}

TEST_F(ListGeneratorTest, TheDefaultPatternLine) {
  // 200,000 bytes of ID3v2 tag, then 96 kbit/s audio up to exactly 3 MB: 245 s.
  QByteArray bytes = testing::Id3v2HeaderBytes(200000 - 10);
  QByteArray frame = testing::MpegFrameBytes(4);
  frame[2] = static_cast<char>(0x70);  // 96 kbit/s, 44.1 kHz
  bytes += frame;
  bytes += QByteArray(3 * 1024 * 1024 - bytes.size(), '\0');
  Write("a.mp3", bytes);

  ListGenerator& gen = Gen();
  gen.Open();  // nothing stored: the default
  EXPECT_EQ(gen.pattern(), "%VarX. %Path%Filename%Tab%Duration%Tab%SizeMB");
  EXPECT_EQ(Settings(program_).Read(settings_key::kMP3ListGenSyntax), gen.pattern());
  EXPECT_EQ(gen.preview().headers(), QStringList({"MP3s", "Size", "Duration", "Path", "Filename"}));
  EXPECT_TRUE(gen.unit_marked("MB"));
  EXPECT_TRUE(gen.variable_options_visible());

  gen.ShowFiles();
  ASSERT_EQ(gen.preview().size(), 1);
  const ReportRow& row = gen.preview().row(0);
  EXPECT_EQ(row.text, "a.mp3");
  EXPECT_EQ(row.columns, QStringList({"3.00 MB", "4:05", music_, "a.mp3"}));

  const ListFileReport report = gen.Create();
  EXPECT_TRUE(report.written);
  EXPECT_EQ(Output(), kHeader0 + "// Total number of files: 1\r\n\r\n1. " + music_.toUtf8() +
                          "a.mp3\t04:05\t3.00 MB\r\n");
  EXPECT_EQ(desktop_.opened, QStringList({program_ + "Files/MP3List.txt"}));
  EXPECT_EQ(gen.var_value(), "1");
  EXPECT_EQ(status_.exit_caption(), "Close");
  EXPECT_EQ(status_.percent_text(), "0%");
}

TEST_F(ListGeneratorTest, TwentyFiveMinutesSevenSecondsIsNotPadded) {
  Write("long.mp3", Slow8kbpsFile(25 * 60 + 7));
  Write("short.mp3", Slow8kbpsFile(4 * 60 + 5));
  Gen().SetPattern("%Filename=%Duration");
  Gen().ShowFiles();
  Gen().Create();
  EXPECT_EQ(Lines(), QStringList({"long.mp3=25:7", "short.mp3=04:05"}));
}

TEST_F(ListGeneratorTest, AnEmptyListGivesTheHeaderOnly) {
  Gen().SetPattern("%Filename");
  Gen().ShowFiles();
  const ListFileReport report = Gen().Create();
  EXPECT_EQ(report.lines, 0);
  EXPECT_EQ(Output(), kHeader0 + "// Total number of files: 0\r\n\r\n");
  EXPECT_EQ(desktop_.opened.size(), 1);
}

TEST_F(ListGeneratorTest, RunningNumber) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) WriteTagged(name, "t", "a");
  ListGenerator& gen = Gen();
  gen.ShowFiles();

  gen.SetPattern("%VarX %Filename");
  gen.Create();
  EXPECT_EQ(Lines(), QStringList({"1 a.mp3", "2 b.mp3", "3 c.mp3"}));
  EXPECT_EQ(gen.var_value(), "3");

  // Without %VarX the value only goes down by one.
  gen.SetPattern("%Filename");
  gen.Create();
  EXPECT_EQ(gen.var_value(), "2");
  gen.var_value() = "abc";
  gen.Create();
  EXPECT_EQ(gen.var_value(), "abc");

  // A failing expression keeps the value.
  gen.SetPattern("%VarX");
  gen.var_value() = "7";
  gen.increment_expression() = "VarX / 0";
  gen.Create();
  EXPECT_EQ(Lines(), QStringList({"6", "6", "6"}));
  gen.increment_expression() = "VarX * 10";
  gen.ResetVariable();
  gen.Create();
  EXPECT_EQ(Lines(), QStringList({"0", "0", "0"}));
  gen.var_value() = "2";
  gen.Create();
  EXPECT_EQ(Lines(), QStringList({"10", "100", "1000"}));
}

TEST_F(ListGeneratorTest, VariablesAreReplacedOnceAndExactly) {
  Write("100%Tab %Title.mp3",
        testing::MpegFrameBytes(2048) +
            testing::Id3v1TagBytes("My Title", "Artist", "Album", "1999", {}, 17));
  Write("untagged.mp3", testing::MpegFrameBytes(2048));
  ListGenerator& gen = Gen();
  gen.ShowFiles();
  gen.SetPattern("%Size|%size|%Title|%Artist|%Album|%Year|%Genre|%SizeB|%SizeKB|%Filename|%Tab|");
  gen.Create();
  EXPECT_EQ(Lines(),
            QStringList(
                {"%Size|%size|My Title|Artist|Album|1999|Rock|2,176 bytes|2 KB|100%Tab "
                 "%Title.mp3|\t|",
                 "%Size|%size|||||" + QStringLiteral(" ") + "|2,048 bytes|2 KB|untagged.mp3|\t|"}));
}

TEST_F(ListGeneratorTest, PathAndFilenameWithAndWithoutPrefixDirAndTextIsUtf8) {
  options_.include_sub_directories = true;
  Write("sub/Café.mp3", testing::MpegFrameBytes());
  Gen().SetPattern("%Path|%Filename");
  Gen().ShowFiles();
  Gen().Create();
  EXPECT_EQ(Lines(), QStringList({music_ + "sub/|Café.mp3"}));
  EXPECT_TRUE(Output().contains("Caf\xC3\xA9.mp3\r\n"));

  options_.prefix_dir = true;
  Gen().ShowFiles();
  ASSERT_EQ(Texts(), QStringList({music_ + "sub/Café.mp3"}));
  Gen().Create();
  EXPECT_EQ(Lines(), QStringList({music_ + "sub/|Café.mp3"}));
}

TEST_F(ListGeneratorTest, TheSizeMenuRewritesEverySizeVariable) {
  ListGenerator& gen = Gen();
  gen.SetPattern("x %SizeKB y %Size z ");
  gen.ChooseSizeUnit("Bytes");
  EXPECT_EQ(gen.pattern(), "x %SizeB y %SizeB z ");
  EXPECT_TRUE(gen.unit_marked("Bytes"));
  EXPECT_FALSE(gen.unit_marked("KB"));

  int menus = 0;
  gen.set_size_menu([&]() -> std::optional<QString> {
    ++menus;
    return QString("KB");
  });
  gen.SetPattern("%Filename ");
  gen.SetBoxChecked(kSizeBox, true);
  EXPECT_EQ(menus, 1);
  EXPECT_EQ(gen.pattern(), "%Filename %SizeKB");
  EXPECT_EQ(gen.marked_unit(), "KB");
  EXPECT_EQ(gen.preview().headers(), QStringList({"MP3s", "Size"}));
  gen.SetPattern(gen.pattern() + " %SizeMB");
  gen.SetBoxChecked(kSizeBox, false);
  EXPECT_EQ(gen.pattern(), "%Filename  %SizeMB");
  EXPECT_EQ(gen.preview().headers(), QStringList({"MP3s"}));

  // A dismissed menu leaves "%Size", which the output keeps as it is.
  gen.set_size_menu([]() -> std::optional<QString> { return std::nullopt; });
  gen.SetPattern("");
  gen.SetBoxChecked(kSizeBox, true);
  EXPECT_EQ(gen.pattern(), "%Size");
}

TEST_F(ListGeneratorTest, BoxesAddAndRemoveTheirVariablesAndColumns) {
  ListGenerator& gen = Gen();
  gen.SetBoxChecked(kTitleBox, true);
  gen.SetBoxChecked(kArtistBox, true);
  gen.SetBoxChecked(kVariableBox, true);
  gen.AddTab();
  EXPECT_EQ(gen.pattern(), "%Title%Artist%VarX%Tab");
  EXPECT_EQ(gen.preview().headers(), QStringList({"MP3s", "Title", "Artist"}));
  EXPECT_TRUE(gen.variable_options_visible());
  gen.SetPattern("%Title - %Title %Artist%VarX");
  gen.SetBoxChecked(kTitleBox, false);
  EXPECT_EQ(gen.pattern(), " -  %Artist%VarX");
  EXPECT_EQ(gen.preview().headers(), QStringList({"MP3s", "Artist"}));
  gen.SetBoxChecked(kVariableBox, false);
  gen.SetBoxChecked(kArtistBox, false);
  EXPECT_EQ(gen.pattern(), " -  ");
  EXPECT_EQ(gen.preview().headers(), QStringList({"MP3s"}));
  EXPECT_FALSE(gen.variable_options_visible());
}

TEST_F(ListGeneratorTest, OpeningChecksTheBoxesOfTheStoredPatternWithoutTheMenu) {
  Settings(program_).Write(settings_key::kMP3ListGenSyntax, "%artist - %Title%Tab%SizeKB");
  ListGenerator& gen = Gen();
  int menus = 0;
  gen.set_size_menu([&]() -> std::optional<QString> {
    ++menus;
    return QString("MB");
  });
  gen.Open();
  EXPECT_EQ(menus, 0);
  EXPECT_EQ(gen.pattern(), "%artist - %Title%Tab%SizeKB");
  EXPECT_TRUE(gen.box_checked(kArtistBox));
  EXPECT_TRUE(gen.box_checked(kTitleBox));
  EXPECT_TRUE(gen.box_checked(kSizeBox));
  EXPECT_FALSE(gen.box_checked(kVariableBox));
  EXPECT_EQ(gen.marked_unit(), "KB");
  EXPECT_EQ(gen.preview().headers(), QStringList({"MP3s", "Title", "Artist", "Size"}));

  gen.Default();
  EXPECT_EQ(gen.pattern(), "%VarX. %Path%Filename%Tab%Duration%Tab%SizeMB");
  EXPECT_FALSE(gen.box_checked(kArtistBox));
  EXPECT_EQ(gen.marked_unit(), "MB");
  EXPECT_EQ(gen.preview().headers(), QStringList({"MP3s", "Size", "Duration", "Path", "Filename"}));
  EXPECT_EQ(Settings(program_).Read(settings_key::kMP3ListGenSyntax), gen.pattern());
}

TEST_F(ListGeneratorTest, ShowFilesFillsTheCheckedColumnsInTextOrder) {
  WriteTagged("b.mp3", "Title B", "Artist B", "Album", "2001", 0);
  WriteTagged("A.mp3", "Title A", "Artist A", "", "", 255);
  Write("c.mp3", testing::MpegFrameBytes(1024));
  ListGenerator& gen = Gen();
  for (int box : {kGenreBox, kTitleBox, kYearBox, kSizeBox}) gen.SetBoxChecked(box, true);
  EXPECT_EQ(gen.preview().headers(), QStringList({"MP3s", "Genre", "Title", "Year", "Size"}));
  gen.ShowFiles();
  EXPECT_EQ(Texts(), QStringList({"A.mp3", "b.mp3", "c.mp3"}));
  EXPECT_EQ(gen.preview().row(1).columns, QStringList({"Blues", "Title B", "2001", "545 bytes"}));
  EXPECT_EQ(gen.preview().row(2).columns, QStringList({" ", "", "", "1,024 bytes"}));
  EXPECT_EQ(gen.preview().row(0).tag, music_);
  EXPECT_EQ(gen.preview().row(0).tooltip, music_);

  gen.SortDescending();
  EXPECT_EQ(Texts(), QStringList({"c.mp3", "b.mp3", "A.mp3"}));
  EXPECT_EQ(gen.preview().row(1).columns[1], "Title B");
  gen.ShowFiles();
  EXPECT_EQ(Texts(), QStringList({"c.mp3", "b.mp3", "A.mp3"}));
  gen.SortAscending();
  EXPECT_EQ(Texts(), QStringList({"A.mp3", "b.mp3", "c.mp3"}));

  // "Create" writes the list as it stands, in its current order.
  gen.preview().SetSelected(0, true);
  gen.MoveSelectedRow(/*up=*/false);
  gen.SetPattern("%Filename");
  gen.Create();
  EXPECT_EQ(Lines(), QStringList({"b.mp3", "A.mp3", "c.mp3"}));
}

TEST_F(ListGeneratorTest, StopDuringCreateWritesAndOpensThePartialFile) {
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) Write(name, testing::MpegFrameBytes());
  ListGenerator& gen = Gen();
  gen.ShowFiles();
  gen.SetPattern("%Filename");
  bool was_stop = false;
  desktop_.on_events = [&] {
    was_stop = status_.exit_caption() == "Stop";
    status_.PressExit();
  };
  const ListFileReport report = gen.Create();
  EXPECT_TRUE(was_stop);
  EXPECT_TRUE(report.stopped);
  EXPECT_FALSE(StopRequested);
  EXPECT_EQ(Lines(), QStringList({"a.mp3"}));
  EXPECT_EQ(gen.preview().size(), 3);  // "Create" fills no list: nothing to empty
  EXPECT_EQ(desktop_.opened.size(), 1);
  EXPECT_EQ(status_.exit_caption(), "Close");
}

TEST_F(ListGeneratorTest, ARowWhoseFileHasGoneStillGetsALine) {
  const QString gone = Write("gone.mp3", testing::MpegFrameBytes());
  Gen().ShowFiles();
  QFile::remove(gone);
  Gen().SetPattern("%Filename|%Duration|%SizeMB|%Title|");
  Gen().Create();
  EXPECT_EQ(Lines(), QStringList({"gone.mp3||||"}));
}

TEST_F(ListGeneratorTest, LabelsFollowTheOptions) {
  EXPECT_EQ(Gen().folder_label(), "Current Folder: " + music_);
  EXPECT_EQ(Gen().subfolders_label(), "Sub-folders are DISABLED");
  options_.include_sub_directories = true;
  EXPECT_EQ(Gen().subfolders_label(), "Sub-folders are ENABLED");
}

}  // namespace
}  // namespace orlavo

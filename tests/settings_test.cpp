#include "app/settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/flags.h"
#include "app/ini_file.h"
#include "tests/support/fake_desktop.h"

namespace orlavo {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { PathChanged = false; }

  QByteArray FileBytes() const {
    QFile file(settings_.FilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
  Settings settings_{dir_.path()};
};

TEST_F(SettingsTest, FileLivesInTheProgramFolder) {
  EXPECT_EQ(settings_.FilePath(), dir_.path() + "/Settings.ini");
  EXPECT_EQ(Settings(dir_.path() + "/").FilePath(), dir_.path() + "/Settings.ini");
}

TEST_F(SettingsTest, FreshFolderGivesTheDefaults) {
  EXPECT_EQ(settings_.DoubleClickAction(), "play MP3");
  EXPECT_EQ(settings_.SizeUnit(), "Bytes");
  EXPECT_FALSE(settings_.IncludeSubDirectories());
  EXPECT_TRUE(settings_.RenderList1Invisible());
  EXPECT_TRUE(settings_.ShowCurrentFile());
  EXPECT_FALSE(settings_.NoWarning());
  EXPECT_FALSE(settings_.PrefixDir());
  EXPECT_EQ(settings_.DirPathOption(), FolderChoice::kRememberLastUsed);
  EXPECT_EQ(settings_.DirPath(), "");
  EXPECT_EQ(settings_.LastUsed(), ToolCode::kNone);
  EXPECT_EQ(settings_.Syntax(), "%Artist - %Title");
  EXPECT_EQ(settings_.SkinName(), "Standard");
  EXPECT_FALSE(QFile::exists(settings_.FilePath()));

  Options options;
  options.Load(settings_);
  EXPECT_EQ(options.double_click_action, "play MP3");
  EXPECT_EQ(options.size_unit, "Bytes");
  EXPECT_FALSE(options.include_sub_directories);
  EXPECT_TRUE(options.render_list_invisible);
  EXPECT_TRUE(options.show_current_file);
  EXPECT_FALSE(options.no_warning);
  EXPECT_FALSE(options.prefix_dir);
  EXPECT_EQ(options.folder_choice, FolderChoice::kRememberLastUsed);
  EXPECT_FALSE(options.SpecifiedFolderEnabled());
  EXPECT_FALSE(options.FolderIgnoreListEnabled());
}

struct FlagCase {
  const char* value;
  bool only_one_is_on;    // IncludeSubDirectories, NoWarning, PrefixDir
  bool empty_is_also_on;  // RenderList1Invisible, ShowCurrentFile
};

TEST_F(SettingsTest, FlagValues) {
  const FlagCase cases[] = {
      {"1", true, true},     {"0", false, false}, {"", false, true},
      {"yes", false, false}, {"2", false, false}, {"-1", false, false},
  };
  namespace key = settings_key;
  for (const FlagCase& c : cases) {
    for (const char* k : {key::kIncludeSubDirectories, key::kNoWarning, key::kPrefixDir,
                          key::kRenderList1Invisible, key::kShowCurrentFile}) {
      ASSERT_TRUE(settings_.Write(k, c.value));
    }
    SCOPED_TRACE(c.value);
    EXPECT_EQ(settings_.IncludeSubDirectories(), c.only_one_is_on);
    EXPECT_EQ(settings_.NoWarning(), c.only_one_is_on);
    EXPECT_EQ(settings_.PrefixDir(), c.only_one_is_on);
    EXPECT_EQ(settings_.RenderList1Invisible(), c.empty_is_also_on);
    EXPECT_EQ(settings_.ShowCurrentFile(), c.empty_is_also_on);
  }
}

TEST_F(SettingsTest, TextKeysFallBackToTheirDefaults) {
  struct Case {
    const char* key;
    const char* stored;
    const char* expected;
  };
  const Case cases[] = {
      {settings_key::kExeShow, "open MP3 folder!", "open MP3 folder!"},
      {settings_key::kExeShow, "play MP3", "play MP3"},
      {settings_key::kExeShow, "launch", "play MP3"},
      {settings_key::kFSizeFormat, "MB", "MB"},
      {settings_key::kFSizeFormat, "KB", "KB"},
      {settings_key::kFSizeFormat, "GB", "Bytes"},
      {settings_key::kFSizeFormat, "", "Bytes"},
      {settings_key::kSyntax, "%Title", "%Title"},
      {settings_key::kSyntax, "", "%Artist - %Title"},
      {settings_key::kSkinName, "Dark", "Dark"},
      {settings_key::kSkinName, "", "Standard"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(settings_.Write(c.key, c.stored));
    SCOPED_TRACE(QString("%1=%2").arg(c.key, c.stored).toStdString());
    QString key = c.key;
    QString got = key == settings_key::kExeShow       ? settings_.DoubleClickAction()
                  : key == settings_key::kFSizeFormat ? settings_.SizeUnit()
                  : key == settings_key::kSyntax      ? settings_.Syntax()
                                                      : settings_.SkinName();
    EXPECT_EQ(got, c.expected);
  }
}

TEST_F(SettingsTest, DirPathOptionOtherThanTwoIsRememberLastUsed) {
  for (const char* value : {"1", "", "3", "02", "x"}) {
    ASSERT_TRUE(settings_.Write(settings_key::kDirPathOption, value));
    EXPECT_EQ(settings_.DirPathOption(), FolderChoice::kRememberLastUsed) << value;
  }
  ASSERT_TRUE(settings_.Write(settings_key::kDirPathOption, "2"));
  EXPECT_EQ(settings_.DirPathOption(), FolderChoice::kUseSpecifiedPath);
}

TEST_F(SettingsTest, LastUsedCodes) {
  const std::pair<const char*, ToolCode> cases[] = {
      {"1", ToolCode::kSorter}, {"4", ToolCode::kJoiner}, {"7", ToolCode::kEncoder},
      {"0", ToolCode::kNone},   {"8", ToolCode::kNone},   {"", ToolCode::kNone},
      {"x", ToolCode::kNone},   {"-1", ToolCode::kNone},
  };
  for (const auto& [value, code] : cases) {
    ASSERT_TRUE(settings_.Write(settings_key::kLastUsed, value));
    EXPECT_EQ(settings_.LastUsed(), code) << value;
  }
}

TEST_F(SettingsTest, LoadReadsTheFileIntoTheLiveValues) {
  namespace key = settings_key;
  settings_.Write(key::kExeShow, "open MP3 folder!");
  settings_.Write(key::kFSizeFormat, "KB");
  settings_.Write(key::kIncludeSubDirectories, "1");
  settings_.Write(key::kRenderList1Invisible, "0");
  settings_.Write(key::kShowCurrentFile, "0");
  settings_.Write(key::kNoWarning, "1");
  settings_.Write(key::kPrefixDir, "1");
  settings_.Write(key::kDirPathOption, "1");
  settings_.Write(key::kDirPath, "/music/");

  Options options;
  options.specified_folder = "/typed/";
  options.Load(settings_);
  EXPECT_EQ(options.double_click_action, "open MP3 folder!");
  EXPECT_EQ(options.size_unit, "KB");
  EXPECT_TRUE(options.include_sub_directories);
  EXPECT_FALSE(options.render_list_invisible);
  EXPECT_FALSE(options.show_current_file);
  EXPECT_TRUE(options.no_warning);
  EXPECT_TRUE(options.prefix_dir);
  EXPECT_TRUE(options.FolderIgnoreListEnabled());
  EXPECT_TRUE(options.NoWarningEnabled());
  EXPECT_EQ(options.main_folder, "/music/");
  EXPECT_TRUE(PathChanged);
  EXPECT_EQ(options.folder_choice, FolderChoice::kRememberLastUsed);
  EXPECT_EQ(options.specified_folder, "/typed/");
}

TEST_F(SettingsTest, SaveWritesEveryOptionInOrder) {
  Options options;
  options.double_click_action = "open MP3 folder!";
  options.size_unit = "MB";
  options.include_sub_directories = true;
  options.render_list_invisible = false;
  options.show_current_file = true;
  options.no_warning = false;
  options.prefix_dir = true;
  options.main_folder = "/music/";
  ASSERT_TRUE(options.Save(settings_));
  EXPECT_EQ(FileBytes(),
            "[Options]\r\n"
            "EXE/SHOW=open MP3 folder!\r\n"
            "FSizeFormat=MB\r\n"
            "IncludeSubDirectories=1\r\n"
            "RenderList1Invisible=0\r\n"
            "ShowCurrentFile=1\r\n"
            "NoWarning=0\r\n"
            "PrefixDir=1\r\n"
            "DirPathOption=1\r\n"
            "DirPath=/music/\r\n");
}

TEST_F(SettingsTest, SpecifiedPathBecomesTheMainFolderOnSave) {
  settings_.Write(settings_key::kDirPath, "/old/");
  Options options;
  options.Load(settings_);
  options.ChooseUseSpecifiedPath(settings_);
  EXPECT_TRUE(options.SpecifiedFolderEnabled());
  EXPECT_EQ(options.specified_folder, "/old/");
  options.specified_folder = "/chosen/";
  PathChanged = false;
  ASSERT_TRUE(options.Save(settings_));
  EXPECT_EQ(options.main_folder, "/chosen/");
  EXPECT_TRUE(PathChanged);
  EXPECT_EQ(settings_.DirPath(), "/chosen/");
  EXPECT_EQ(settings_.DirPathOption(), FolderChoice::kUseSpecifiedPath);
}

// A start with "Use specified path" followed by the save at exit must not blank
// the stored folder.
TEST_F(SettingsTest, SpecifiedPathSurvivesLoadAndSave) {
  settings_.Write(settings_key::kDirPathOption, "2");
  settings_.Write(settings_key::kDirPath, "/music/");
  Options options;
  options.Load(settings_);
  EXPECT_EQ(options.specified_folder, "/music/");
  ASSERT_TRUE(options.Save(settings_));
  EXPECT_EQ(settings_.DirPath(), "/music/");
  EXPECT_EQ(options.main_folder, "/music/");
}

TEST_F(SettingsTest, RememberLastUsedSavesTheMainFolder) {
  settings_.Write(settings_key::kDirPathOption, "2");
  settings_.Write(settings_key::kDirPath, "/specified/");
  Options options;
  options.Load(settings_);
  options.ChooseRememberLastUsed();
  options.SetMainFolder("/picked/");
  ASSERT_TRUE(options.Save(settings_));
  EXPECT_EQ(settings_.DirPathOption(), FolderChoice::kRememberLastUsed);
  EXPECT_EQ(settings_.DirPath(), "/picked/");
}

TEST_F(SettingsTest, SetMainFolderSetsPathChangedOnlyOnChange) {
  Options options;
  options.SetMainFolder("");
  EXPECT_FALSE(PathChanged);
  options.SetMainFolder("/a/");
  EXPECT_TRUE(PathChanged);
  PathChanged = false;
  options.SetMainFolder("/a/");
  EXPECT_FALSE(PathChanged);
}

TEST_F(SettingsTest, BrowseSpecifiedFolder) {
  testing::FakeDesktop desktop;
  Options options;
  options.specified_folder = "/start/";
  desktop.folders = {"/music/rock", "/music/pop/", ""};
  options.BrowseSpecifiedFolder(desktop);
  EXPECT_EQ(options.specified_folder, "/music/rock/");
  options.BrowseSpecifiedFolder(desktop);
  EXPECT_EQ(options.specified_folder, "/music/pop/");
  options.BrowseSpecifiedFolder(desktop);  // cancelled
  EXPECT_EQ(options.specified_folder, "/music/pop/");
  EXPECT_EQ(desktop.browse_titles,
            QStringList({"Select MP3 Folder...", "Select MP3 Folder...", "Select MP3 Folder..."}));
  EXPECT_EQ(desktop.browse_initials, QStringList({"/start/", "/music/rock/", "/music/pop/"}));
}

TEST_F(SettingsTest, SaveReportsAFailedWrite) {
  Options options;
  options.main_folder = "/bad\nfolder/";
  EXPECT_FALSE(options.Save(settings_));
  EXPECT_EQ(settings_.DirPath(), "");
  EXPECT_EQ(settings_.DoubleClickAction(), "play MP3");
}

// A damaged Settings.ini: unusable values give the defaults, and a write of
// one key keeps every other line of the file as it stood.
TEST_F(SettingsTest, DamagedFilesGiveDefaultsAndKeepTheirOtherLines) {
  QByteArray binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) % 256);
  QByteArray huge = "[Options]\r\nSkinName=Dark\r\n";
  while (huge.size() < 10 * 1024 * 1024) huge += "; padding line that nobody reads\r\n";
  huge += "FSizeFormat=KB\r\n";
  struct Case {
    const char* name;
    QByteArray bytes;
    const char* size_unit;  // what SizeUnit() gives
  } cases[] = {
      {"empty", "", "Bytes"},
      {"binary", binary, "Bytes"},
      {"binary inside the section",
       "[Options]\r\nFSizeFormat=\x01\xff"
       "MB\r\n" +
           binary,
       "Bytes"},
      {"truncated in a line", "[Options]\r\nFSizeFormat=K", "Bytes"},
      {"truncated in a section name", "[Options]\r\nSkinName=Blue\r\n[Wind", "Bytes"},
      {"10 MB long", huge, "KB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    {
      QFile file(settings_.FilePath());
      ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write(c.bytes);
    }
    EXPECT_EQ(settings_.SizeUnit(), c.size_unit);
    EXPECT_EQ(settings_.DoubleClickAction(), "play MP3");
    EXPECT_EQ(settings_.LastUsed(), ToolCode::kNone);
    ASSERT_TRUE(settings_.Write(settings_key::kNoWarning, "1"));
    EXPECT_TRUE(settings_.NoWarning());
    // Every line of the old file is still there, in order.
    QList<QByteArray> old_lines = c.bytes.split('\n');
    QList<QByteArray> new_lines = FileBytes().split('\n');
    qsizetype at = 0;
    for (QByteArray line : old_lines) {
      if (line.endsWith('\r')) line.chop(1);
      while (at < new_lines.size() && new_lines[at].chopped(new_lines[at].endsWith('\r')) != line) {
        ++at;
      }
      ASSERT_LT(at, new_lines.size()) << "lost line: " << line.left(60).toStdString();
      ++at;
    }
  }
}

}  // namespace
}  // namespace orlavo

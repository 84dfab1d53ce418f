#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <vector>

namespace orlavo {
namespace {

// The Help button opens the copy beside the program, so that is the one read.
QString HelpText() {
  QFile help(QStringLiteral(ORLAVO_BIN_DIR "/Orlavo Professional.html"));
  if (!help.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  return QString::fromUtf8(help.readAll());
}

// From the section's heading up to the next heading; empty when it is missing.
QString Section(const QString& text, const char* id) {
  const int start = text.indexOf(QStringLiteral("<h2 id=\"%1\">").arg(QLatin1String(id)));
  if (start < 0) return {};
  const int end = text.indexOf(QStringLiteral("<h2"), start + 1);
  return text.mid(start, end < 0 ? -1 : end - start);
}

struct SectionTopics {
  const char* id;
  std::vector<const char*> phrases;  // as written in the HTML (&gt; for >)
};

TEST(HelpDocumentTest, EachSectionNamesWhatTheUserSees) {
  const QString text = HelpText();
  ASSERT_FALSE(text.isEmpty());
  const std::vector<SectionTopics> kSections = {
      {"folder", {"Select MP3 Folder...", "No MP3s were found"}},
      {"show", {"Show files", "Suppress warning (sub-dirs)", "Total MP3s:"}},
      {"filters",
       {"Apply Filter(s)", "Incorrect File Syntax", "ID3v1 tag is not present", "ID3v2 tag present",
        "Incorrect ID3v1 Syntax", "Render report list invisible"}},
      {"syntax", {"Error Legend", "syntax ignore list"}},
      {"panel", {"Save ID3v1 Tag", "Remove ID3v1 Tag"}},
      {"rename",
       {"ID3v1 TAG -&gt; Filename", "%Artist", "%Title", "%Album", "%Year", "%Genre", "Default"}},
      {"fromname", {"Filename -&gt; ID3v1 TAG"}},
      {"info", {"Show full info"}},
      {"keyboard", {"<kbd>Tab</kbd>", "<kbd>Space</kbd>"}},
      {"options",
       {"Include sub-directories", "Show file names during execution",
        "Prefix folderpath to filenames", "Remember last used", "Use specified path",
        "Folder ignore list", "Syntax ignore list", "Visuals"}},
      {"ignore", {"Folder ignore list", "Syntax ignore list", "SyntaxIgnoreList.txt"}},
      {"files",
       {"Settings.ini", "Files/MP3List.txt", "Files/Sort by Artist.txt", "id=\"installed\"",
        "~/.local/share/Orlavo Professional/", "cp -rn build/bin/Settings.ini", "id=\"openwith\"",
        "orlavo-professional /path/to/music"}},
      {"tools",
       {"Advanced Tools", "MP3 Sorter", "Duplicates Loc", "MP3 Splitter", "MP3 Joiner",
        "File name Editor", "MP3 list Gen", "Encode/Decode", "Select a tool to the left",
        "Hide main window", "Show main window", "Open Files folder", "Status", "Stop",
        "Path has been changed, update?"}},
      {"sorter",
       {"Root path", "Re-Scan", "Sort by Artist", "Continue...", "View Errors",
        "Create M3U in each folder", "Create a global M3U", "orlavo-cli sort"}},
      {"dupes",
       {"Duplicates Loc", "Check for filename duplication", "Check for ID3v1 Duplication",
        "Check for filesize duplication", "Start", "Show Duplicates", "Delete from HD",
        "orlavo-cli dupes"}},
      {"splitter",
       {"Source File:", "Destination Folder:", "Track timing:", "Create N Track(s)",
        "Save to ORV cue sheet", "Save to standard cue sheet", "Load", "orlavo-cli split"}},
      {"joiner",
       {"MP3 Joiner", "Add file(s)", "Add ID3v1 tag", "randomly", "id3v1 tag", "Join",
        "File already exists.  Overwrite?", "orlavo-cli join"}},
      {"editor",
       {"Select MP3 files to edit:",
        "Modified Name",
        "Original Name",
        "Add Characters",
        "Remove Characters",
        "Replace Characters",
        "Front",
        "End",
        "Middle",
        "After which character(s):",
        "Find What:",
        "Replace With:",
        "Case sensitive",
        "Use a variable",
        "Remove var",
        "varX =",
        "&lt;- Reset",
        "Do it!",
        "Select All",
        "Correct Syntax",
        "Restore original name",
        "Rename Files",
        "Are you sure you want to permanently rename the files?",
        "There's 1 or more duplicates of this file",
        "&lt;&lt; Import From ID3 v1 Tag(s)",
        "&gt;&gt; Export To ID3 v1 Tag(s)",
        "Edit ID3v1 Tag",
        "Remove ID3v1 Tag(s)",
        "Delete from the Hard Drive",
        "orlavo-cli names"}},
      {"listgen",
       {"MP3 list Gen",
        "Syntax:",
        "%Title",
        "%SizeMB",
        "%Duration",
        "%Path",
        "%Filename",
        "%VarX",
        "%Tab",
        "Add Tab",
        "Default",
        "Show files",
        "Create",
        "Files/MP3List.txt",
        "ascending",
        "descending",
        "Sub-folders are ENABLED",
        "VarX =",
        "&lt;- Reset",
        "%VarX. %Path%Filename%Tab%Duration%Tab%SizeMB",
        "orlavo-cli listgen"}},
      {"encoder",
       {"Encode/Decode", "Wav files to encode", "Bitrate:", "Mode:", "DualChannel",
        "Output folder:", "File already exists, overwrite?", "Clear the list?",
        "Can't open WAV file", "Can't write the MP3 file", "Can't locate required DLL",
        "orlavo-cli encode", "skipped: already exists"}},
      {"names", {"orlavo-cli fix-names", "--apply"}},
      {"cli", {"--help",  "--version", "<b>0</b>",        "<b>1</b>",      "<b>2</b>",
               "tabs",    "--dry-run", "--overwrite",     "orlavo-cli: ",  "scan",
               "filter",  "correct",   "rename-from-tag", "tag-from-name", "info",
               "sort",    "dupes",     "split",           "join",          "names",
               "listgen", "encode",    "fix-names"}},
      {"twcheck", {"twcheck", "libQt6Widgets.so.6"}},
      {"visuals",
       {"Available Skins:", "Load Selected Skin", "Render Background",
        "Available Color Schemes:", "Load Selected Color Scheme", "Custom Color RGB",
        "No Color Scheme selected.", "Visit Website", "Restore", "Standard", "Graphite",
        "Visuals/Color Schemes/", "On a Wayland desktop"}},
  };
  for (const SectionTopics& s : kSections) {
    const QString section = Section(text, s.id);
    EXPECT_FALSE(section.isEmpty()) << "no section " << s.id;
    for (const char* phrase : s.phrases) {
      EXPECT_TRUE(section.contains(QString::fromUtf8(phrase))) << s.id << ": " << phrase;
    }
  }
}

TEST(HelpDocumentTest, ContentsListTheNumberedSectionsAndEveryLinkHasItsTarget) {
  const QString text = HelpText();
  ASSERT_TRUE(text.startsWith(QStringLiteral("<!DOCTYPE html>")));
  EXPECT_TRUE(text.contains(QStringLiteral("<meta charset=\"utf-8\">")));

  QStringList heading_ids;
  QStringList heading_titles;
  static const QRegularExpression kHeading(
      QStringLiteral("<h2 id=\"([^\"]+)\">(\\d+)\\. ([^<]+)</h2>"));
  for (const QRegularExpressionMatch& m : kHeading.globalMatch(text)) {
    EXPECT_EQ(m.captured(2).toInt(), heading_ids.size() + 1) << m.captured(0).toStdString();
    heading_ids << m.captured(1);
    heading_titles << m.captured(3);
  }
  const int nav_start = text.indexOf(QStringLiteral("<nav>"));
  const int nav_end = text.indexOf(QStringLiteral("</nav>"));
  ASSERT_TRUE(nav_start >= 0 && nav_end > nav_start);
  QStringList nav_ids;
  QStringList nav_titles;
  static const QRegularExpression kEntry(
      QStringLiteral("<li><a href=\"#([^\"]+)\">([^<]+)</a></li>"));
  for (const QRegularExpressionMatch& m :
       kEntry.globalMatch(text.mid(nav_start, nav_end - nav_start))) {
    nav_ids << m.captured(1);
    nav_titles << m.captured(2);
  }
  EXPECT_EQ(nav_ids, heading_ids);
  EXPECT_EQ(nav_titles, heading_titles);

  static const QRegularExpression kLink(QStringLiteral("href=\"#([^\"]+)\""));
  for (const QRegularExpressionMatch& m : kLink.globalMatch(text)) {
    EXPECT_TRUE(text.contains(QStringLiteral("id=\"%1\"").arg(m.captured(1))))
        << "no target for #" << m.captured(1).toStdString();
  }
  EXPECT_EQ(text.count(QStringLiteral("<table>")), text.count(QStringLiteral("</table>")));
}

}  // namespace
}  // namespace orlavo

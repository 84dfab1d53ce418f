#include <gtest/gtest.h>

#include <QFile>
#include <QString>

namespace orlavo {
namespace {

// The Help button opens this file from the program folder.
TEST(HelpDocumentTest, ShipsInTheProgramFolderAndCoversTheMainWindow) {
  QFile help(QStringLiteral(ORLAVO_BIN_DIR "/Orlavo Professional.html"));
  ASSERT_TRUE(help.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString text = QString::fromUtf8(help.readAll());
  EXPECT_TRUE(text.startsWith(QStringLiteral("<!DOCTYPE html>")));
  EXPECT_TRUE(text.contains(QStringLiteral("<meta charset=\"utf-8\">")));
  for (const char* topic :
       {"%Artist", "%Title", "%Album", "%Year", "%Genre", "Show files", "Apply Filter(s)",
        "Filename -&gt; ID3v1 TAG", "ID3v1 TAG -&gt; Filename", "Show full info",
        "Include sub-directories", "Render report list invisible",
        "Show file names during execution", "Suppress warning (sub-dirs)",
        "Prefix folderpath to filenames", "Remember last used", "Use specified path",
        "Folder ignore list", "Syntax ignore list"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;
  }
  EXPECT_EQ(text.count(QStringLiteral("<table>")), text.count(QStringLiteral("</table>")));
}

TEST(HelpDocumentTest, CoversTheEncoderAndItsCommand) {
  QFile help(QStringLiteral(ORLAVO_BIN_DIR "/Orlavo Professional.html"));
  ASSERT_TRUE(help.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString text = QString::fromUtf8(help.readAll());
  for (const char* topic :
       {"href=\"#encoder\"", "Encode/Decode", "Wav files to encode", "Bitrate:", "Mode:",
        "DualChannel", "Output folder:", "File already exists, overwrite?", "Clear the list?",
        "Can't open WAV file", "Can't write the MP3 file", "Can't locate required DLL",
        "orlavo-cli encode", "--overwrite", "skipped: already exists"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;
  }
}

TEST(HelpDocumentTest, CoversTheJoiner) {
  QFile help(QStringLiteral(ORLAVO_BIN_DIR "/Orlavo Professional.html"));
  ASSERT_TRUE(help.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString text = QString::fromUtf8(help.readAll());
  for (const char* topic : {"href=\"#joiner\"", "id=\"joiner\"", "Add file(s)", "Add ID3v1 tag",
                            "randomly", "id3v1 tag", "orlavo-cli join"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;
  }
}

TEST(HelpDocumentTest, CoversTheInstalledProgram) {
  QFile help(QStringLiteral(ORLAVO_BIN_DIR "/Orlavo Professional.html"));
  ASSERT_TRUE(help.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString text = QString::fromUtf8(help.readAll());
  for (const char* topic :
       {"id=\"installed\"", "id=\"openwith\"", "~/.local/share/Orlavo Professional/",
        "cp -rn build/bin/Settings.ini", "orlavo-professional /path/to/music"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;
  }
}

TEST(HelpDocumentTest, CoversSkinsSchemesAndTheWindowFrame) {
  QFile help(QStringLiteral(ORLAVO_BIN_DIR "/Orlavo Professional.html"));
  ASSERT_TRUE(help.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString text = QString::fromUtf8(help.readAll());
  for (const char* topic :
       {"href=\"#visuals\"", "Available Skins:", "Load Selected Skin", "Render Background",
        "Available Color Schemes:", "Load Selected Color Scheme", "Custom Color RGB",
        "No Color Scheme selected.", "Visit Website", "Restore", "Standard", "Graphite"}) {
    EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;
  }
}

}  // namespace
}  // namespace orlavo

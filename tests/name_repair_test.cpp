// Names that are not valid UTF-8: finding them, their decoded spelling, the
// no-replace repair, and orlavo-cli fix-names and info as a user runs them.
#include "app/name_repair.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/support/mp3_bytes.h"

namespace orlavo {
namespace {

struct ShellRun {
  int code = -1;
  QString out, err;
};

// orlavo-cli through the shell, so that arguments can be bytes that are not
// UTF-8 (printf expands the octal escapes of script).
ShellRun CliInShell(const QString& script) {
  QProcess p;
  p.start("/bin/sh", {"-c", script, ORLAVO_BIN_DIR "/orlavo-cli"});
  if (!p.waitForFinished(30000)) return {};
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
}

class NameRepairTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = QFile::encodeName(dir_.path()) + "/";
    ASSERT_TRUE(testing::WriteBytes(dir_.path() + "/ok.mp3", "ok"));
  }
  bool Exists(const QByteArray& relative) const {
    return QFileInfo::exists(dir_.path() + "/" + QString::fromUtf8(relative));
  }

  QTemporaryDir dir_;
  QByteArray root_;
};

TEST_F(NameRepairTest, DecodingAndShowing) {
  EXPECT_TRUE(IsValidUtf8("caf\xc3\xa9"));
  EXPECT_FALSE(IsValidUtf8("caf\xe9"));
  EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));  // a surrogate
  EXPECT_EQ(DecodeLegacyName("caf\xe9 \x96 \x80", LegacyEncoding::kWindows1252),
            QString::fromUtf8("café – €"));
  EXPECT_EQ(DecodeLegacyName("\x96", LegacyEncoding::kLatin1), QString(QChar(0x96)));
  EXPECT_EQ(ShownName("d\xc3\xa9j\xe0 vu"), QString::fromUtf8("déj\\xE0 vu"));
}

TEST_F(NameRepairTest, FoldersComeBeforeTheirContentsAndRepairsNeverReplace) {
  // "Bj\xf6rk/" holds a broken file; "caf\xe9.mp3" is broken beside "café.mp3",
  // which takes its decoded name.
  testing::RawNamedEntry folder(root_ + "Bj\xf6rk", true);
  ASSERT_TRUE(folder.ok());
  testing::RawNamedEntry inner(root_ + "Bj\xf6rk/J\xf3ga.mp3", false);
  testing::RawNamedEntry taken(root_ + "caf\xe9.mp3", false);
  ASSERT_TRUE(inner.ok() && taken.ok());
  ASSERT_TRUE(testing::WriteBytes(QString::fromUtf8(root_ + "caf\xc3\xa9.mp3"), "keep"));

  const QList<NameRepair> top = FindBrokenNames(root_, false, LegacyEncoding::kWindows1252);
  ASSERT_EQ(top.size(), 2);
  const QList<NameRepair> all = FindBrokenNames(root_, true, LegacyEncoding::kWindows1252);
  ASSERT_EQ(all.size(), 3);
  EXPECT_EQ(all[0].path(), root_ + "Bj\xf6rk");
  EXPECT_TRUE(all[0].is_folder);
  EXPECT_EQ(all[1].path(), root_ + "Bj\xf6rk/J\xf3ga.mp3");
  EXPECT_EQ(all[1].fixed, QString::fromUtf8("Jóga.mp3"));
  EXPECT_EQ(all[2].name, QByteArray("caf\xe9.mp3"));
  EXPECT_TRUE(all[2].taken);
  EXPECT_FALSE(all[0].taken || all[1].taken);

  const QList<RenameResult> results = ApplyNameRepairs(all);
  EXPECT_TRUE(results[0].ok() && results[1].ok());
  EXPECT_EQ(results[2].status, RenameStatus::kTargetExists);
  EXPECT_TRUE(Exists("Bj\xc3\xb6rk/J\xc3\xb3ga.mp3"));
  QFile kept(QString::fromUtf8(root_ + "caf\xc3\xa9.mp3"));
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), "keep");
  EXPECT_TRUE(FindBrokenNames(root_, true, LegacyEncoding::kWindows1252).size() == 1);
  QDir(QString::fromUtf8(root_ + "Bj\xc3\xb6rk")).removeRecursively();
}

TEST_F(NameRepairTest, FixNamesListsThenRenamesWithApply) {
  testing::RawNamedEntry bad(root_ + "caf\xe9.mp3", false);
  ASSERT_TRUE(bad.ok());
  const QString root = QString::fromUtf8(root_);
  const QString fixed = root + QString::fromUtf8("café.mp3");

  ShellRun r = CliInShell("\"$0\" fix-names '" + root + "'");
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  // The row's fields double every backslash, the one of \xE9 included.
  EXPECT_EQ(r.out, root + "caf\\\\xE9.mp3\t" + fixed + "\n");
  EXPECT_FALSE(QFileInfo::exists(fixed));

  // info names the command instead of saying the file is missing.
  r = CliInShell("\"$0\" info \"$(printf '" + root + "caf\\351.mp3')\"");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("the name is not valid UTF-8; see orlavo-cli fix-names"))
      << r.err.toStdString();
  r = CliInShell("\"$0\" info '" + root + "gone.mp3'");
  EXPECT_TRUE(r.err.contains("no such file"));

  EXPECT_EQ(CliInShell("\"$0\" fix-names --from ebcdic '" + root + "'").code, 2);
  EXPECT_EQ(CliInShell("\"$0\" fix-names --apply --dry-run '" + root + "'").code, 2);
  r = CliInShell("\"$0\" fix-names --apply '" + root + "'");
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.endsWith("1 name fixed\n")) << r.out.toStdString();
  EXPECT_TRUE(QFileInfo::exists(fixed));
}

}  // namespace
}  // namespace orlavo

#include "app/program_folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>

namespace orlavo {
namespace {

class ProgramFoldersTest : public ::testing::Test {
 protected:
  QString Program() const { return program_dir_.path() + "/"; }
  QString User() const { return user_dir_.path() + "/data"; }
  void MarkInstalled() {
    QFile marker(Program() + kInstalledMarker);
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
  }

  QTemporaryDir program_dir_, user_dir_;
};

TEST_F(ProgramFoldersTest, BuildFolderKeepsEverythingBesideTheProgram) {
  for (const QString& given : {program_dir_.path(), Program()}) {
    const ProgramFolders folders = LocateProgramFolders(given, User());
    EXPECT_EQ(folders.program, Program());
    EXPECT_EQ(folders.data, Program());
    EXPECT_FALSE(folders.SeparateData());
  }
}

TEST_F(ProgramFoldersTest, InstalledProgramWritesIntoTheUserDataFolder) {
  MarkInstalled();
  // Even where the folder could be written (root), the marker decides.
  const ProgramFolders folders = LocateProgramFolders(program_dir_.path(), User());
  EXPECT_EQ(folders.program, Program());
  EXPECT_EQ(folders.data, User() + "/");
  EXPECT_TRUE(folders.SeparateData());
  // Nowhere else to go: the program folder, as before.
  EXPECT_EQ(LocateProgramFolders(program_dir_.path(), QString()).data, Program());
}

TEST_F(ProgramFoldersTest, ReadOnlyProgramFolderWritesIntoTheUserDataFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  ASSERT_TRUE(QFile::setPermissions(
      program_dir_.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser));
  const ProgramFolders folders = LocateProgramFolders(program_dir_.path(), User());
  QFile::setPermissions(program_dir_.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ExeOwner | QFile::ReadUser |
                                                 QFile::WriteUser | QFile::ExeUser);
  EXPECT_EQ(folders.data, User() + "/");
}

}  // namespace
}  // namespace orlavo

// An installed program: the user's own Visuals/ in the data folder first (new
// schemes are saved there), the shipped, read-only Visuals/ after it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/gui/qt_print.h"
#include "ui/visuals_files.h"

namespace orlavo {
namespace {

class ShippedVisualsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = data_dir_.path() + "/";
    shipped_ = shipped_dir_.path() + "/Visuals";
    for (const char* skin : {"Standard", "Graphite"}) {
      QDir().mkpath(shipped_ + "/Skins/" + skin);
    }
    QDir().mkpath(data_ + "Visuals/Skins/Mine");
    Touch(shipped_ + "/Color Schemes/Ocean.ovc");
    Touch(shipped_ + "/Color Schemes/Night.ovc");
    Touch(data_ + "Visuals/Color Schemes/Night.ovc");
    Touch(shipped_ + "/Menu/Close.bmp");
    SetShippedVisualsFolder(shipped_);
  }
  void TearDown() override { SetShippedVisualsFolder(QString()); }

  static void Touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }

  QTemporaryDir data_dir_, shipped_dir_;
  QString data_, shipped_;
};

TEST_F(ShippedVisualsTest, UserFolderFirstThenTheShippedOne) {
  EXPECT_EQ(VisualsFolders(data_), QStringList({data_ + "Visuals", shipped_}));
  EXPECT_EQ(SkinNames(data_), QStringList({"Graphite", "Mine", "Standard"}));
  EXPECT_EQ(SkinFolder(data_, "Standard"), shipped_ + "/Skins/Standard");
  EXPECT_EQ(SkinFolder(data_, "Mine"), data_ + "Visuals/Skins/Mine");
  EXPECT_EQ(ColorSchemeNames(data_), QStringList({"Night", "Ocean"}));
  // The user's own scheme hides the shipped one of the same name.
  EXPECT_EQ(ColorSchemeFile(data_, "Night"), data_ + "Visuals/Color Schemes/Night.ovc");
  EXPECT_EQ(ColorSchemeFile(data_, "Ocean"), shipped_ + "/Color Schemes/Ocean.ovc");
  EXPECT_EQ(VisualsPicture(data_, "Menu/Close.bmp"), shipped_ + "/Menu/Close.bmp");
  // A new or changed scheme never goes into the read-only folder.
  EXPECT_EQ(NewColorSchemeFolder(data_), data_ + "Visuals/Color Schemes");
  EXPECT_EQ(ColorSchemeFile(data_, "Fresh"), data_ + "Visuals/Color Schemes/Fresh.ovc");
}

TEST_F(ShippedVisualsTest, BuildFolderRunListsItsFolderOnce) {
  // The program folder is the data folder: the shipped folder is its own Visuals/.
  SetShippedVisualsFolder(data_ + "Visuals/");
  EXPECT_EQ(VisualsFolders(data_), QStringList({data_ + "Visuals"}));
  SetShippedVisualsFolder(QString());
  EXPECT_EQ(VisualsFolders(data_), QStringList({data_ + "Visuals"}));
}

}  // namespace
}  // namespace orlavo

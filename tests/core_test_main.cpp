#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  // Deleted files go to a trash of the run's own, never the user's.
  QTemporaryDir data_home;
  qputenv("XDG_DATA_HOME", QFile::encodeName(data_home.path() + "/share"));
  QCoreApplication app(argc, argv);
  // Number texts are pinned to one locale so expected texts are exact.
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

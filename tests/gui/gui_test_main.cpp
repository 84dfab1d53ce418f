#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  // Windows are tested without a display unless a platform is asked for
  // (the window-manager cases run on xcb); the runtime folder silences Qt's
  // warning about a missing or shared one.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir runtime_dir;
  if (runtime_dir.isValid()) {
    QFile::setPermissions(runtime_dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_dir.path()));
  }
  // Deleted files go to a trash of the run's own, never the user's.
  QTemporaryDir data_home;
  qputenv("XDG_DATA_HOME", QFile::encodeName(data_home.path() + "/share"));
  QApplication app(argc, argv);
  // Number texts are pinned to one locale so expected texts are exact.
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

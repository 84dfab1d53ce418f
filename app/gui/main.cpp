// Orlavo Professional: the windowed main program.
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#include "app/gui/main_window.h"
#include "app/gui/qt_desktop.h"
#include "app/pellox_binding.h"
#include "app/program_title.h"
#include "tools/gui/tools_launcher.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(orlavo::ProgramTitle());
  // The program folder is the folder of the running executable.
  const QString program_folder = QCoreApplication::applicationDirPath() + u'/';

  // One instance per user.
  QString lock_folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (lock_folder.isEmpty()) lock_folder = QDir::tempPath();
  QLockFile lock(
      QDir(lock_folder).filePath(QStringLiteral("orlavo-professional-%1.lock").arg(::getuid())));
  lock.setStaleLockTime(0);

  orlavo::QtDesktop desktop;
  orlavo::PelloxBinding pellox(program_folder);
  orlavo::MainWindow window(program_folder, desktop, pellox);
  desktop.SetOwner(&window);
  orlavo::InstallAdvancedTools(window, pellox);
  if (!window.Start([&lock] { return !lock.tryLock(0); })) return 0;
  return app.exec();
}

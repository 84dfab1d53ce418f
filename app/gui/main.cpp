// Orlavo Professional: the windowed main program.
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include "app/gui/end_on_signal.h"
#include "app/gui/main_window.h"
#include "app/gui/memory_tuning.h"
#include "app/gui/qt_desktop.h"
#include "app/pellox_binding.h"
#include "app/program_folders.h"
#include "app/program_title.h"
#include "tools/gui/tools_launcher.h"
#include "ui/control_style.h"
#include "ui/visuals_files.h"

int main(int argc, char** argv) {
  orlavo::MergeFreedMemoryAtOnce();
  QApplication app(argc, argv);
  orlavo::InstallControlStyle();
  QApplication::setApplicationName(orlavo::ProgramTitle());
  QApplication::setDesktopFileName(QStringLiteral("orlavo-professional"));
  // The program folder is the folder of the running executable; what the
  // program writes lives there too unless it is installed.
  const orlavo::ProgramFolders folders = orlavo::LocateProgramFolders(
      QCoreApplication::applicationDirPath(),
      QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
  QDir().mkpath(folders.data);
  // New schemes are saved among the user's own; the shipped ones stay offered.
  if (folders.SeparateData()) orlavo::SetShippedVisualsFolder(folders.program + "Visuals");

  // One instance per user.
  QString lock_folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (lock_folder.isEmpty()) lock_folder = QDir::tempPath();
  QLockFile lock(
      QDir(lock_folder).filePath(QStringLiteral("orlavo-professional-%1.lock").arg(::getuid())));
  lock.setStaleLockTime(0);

  orlavo::EndOnSignal end_on_signal;
  orlavo::QtDesktop desktop;
  orlavo::PelloxBinding pellox(folders.program);
  orlavo::MainWindow window(folders.data, desktop, pellox);
  window.SetInstallFolder(folders.program);
  desktop.SetOwner(&window);
  // A file manager hands over a folder, or an MP3 file to be shown in its folder.
  if (argc > 1) {
    const QFileInfo item(QString::fromLocal8Bit(argv[1]));
    if (item.isDir()) {
      window.OpenAtStart(item.absoluteFilePath());
    } else if (item.isFile()) {
      window.OpenAtStart(item.absolutePath(), item.absoluteFilePath());
    }
  }
  orlavo::InstallAdvancedTools(window, pellox);
  if (!window.Start([&lock] { return !lock.tryLock(0); })) return 0;
  if (end_on_signal.requested()) {
    window.close();
    return 0;
  }
  return app.exec();
}

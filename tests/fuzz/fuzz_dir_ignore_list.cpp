// libFuzzer target: the folder ignore list as the walk and the Options dialog
// read it, and the dialog's write back.
// Fuzzed sources: app/dir_ignore_list.cpp app/folder_walk.cpp
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

#include "app/dir_ignore_list.h"
#include "app/folder_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QTemporaryDir dir;
  const QString program_folder = dir.path() + QLatin1Char('/');
  const QString path = orlavo::DirIgnoreListPath(program_folder);
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile::remove(path);
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) __builtin_trap();
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  const QSet<QString> walk = orlavo::ReadDirIgnoreList(program_folder);
  // Lines are compared with folders exactly: none may hold a line feed.
  for (const QString& line : walk) {
    if (line.contains(u'\n')) __builtin_trap();
  }
  // What the dialog writes back, it reads back as it wrote it.
  QStringList lines = orlavo::LoadDirIgnoreListLines(program_folder);
  QStringList clean;
  for (const QString& line : lines) {
    // A byte-order mark at the start of a line is dropped by the UTF-8
    // reading, so such lines do not come back as they were.
    if (!line.contains(u'\n') && !line.contains(u'\r') && !line.startsWith(QChar(0xFEFF))) {
      clean << line;
    }
  }
  if (!orlavo::SaveDirIgnoreList(program_folder, clean)) __builtin_trap();
  QStringList back = orlavo::LoadDirIgnoreListLines(program_folder);
  // A list of nothing but empty lines may read back shorter at its end.
  while (!clean.isEmpty() && clean.last().isEmpty()) clean.removeLast();
  while (!back.isEmpty() && back.last().isEmpty()) back.removeLast();
  if (back != clean) __builtin_trap();
  return 0;
}

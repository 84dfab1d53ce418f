// libFuzzer target: the INI reader and writer over arbitrary file contents.
// Fuzzed sources: app/ini_file.cpp
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

#include "app/ini_file.h"

namespace {

QString WriteInput(const uint8_t* data, size_t size) {
  static QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Settings.ini"));
  QFile::remove(path);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) __builtin_trap();
  file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString path = WriteInput(data, size);
  // A few names the program uses, and one taken from the input itself.
  const QString section = QStringLiteral("Options");
  const QString other = orlavo::IniRead(QStringLiteral("Window"), QStringLiteral("Left"), path);
  const QString typed = QString::fromUtf8(reinterpret_cast<const char*>(data),
                                          static_cast<qsizetype>(std::min<size_t>(size, 12)));
  orlavo::IniRead(typed, typed, path);
  if (orlavo::IniRead(section, QStringLiteral("Skin"), path).size() > orlavo::kIniValueMaxLength) {
    __builtin_trap();
  }

  // A write reads back, and leaves the other keys as they were.
  if (orlavo::IniWrite(section, QStringLiteral("Skin"), QStringLiteral("Blue"), path)) {
    if (orlavo::IniRead(section, QStringLiteral("skin"), path) != QLatin1String("Blue")) {
      __builtin_trap();
    }
    if (orlavo::IniRead(QStringLiteral("Window"), QStringLiteral("Left"), path) != other) {
      __builtin_trap();
    }
  }
  return 0;
}

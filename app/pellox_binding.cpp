#include "app/pellox_binding.h"

#include <dlfcn.h>

#include <QDir>
#include <QFile>
#include <cstring>

#include "app/helpers.h"
#include "formats/id3v1.h"

namespace orlavo {

PelloxBinding::PelloxBinding(QString program_folder) : program_folder_(std::move(program_folder)) {}

PelloxBinding::~PelloxBinding() {
  if (handle_ != nullptr) dlclose(handle_);
}

QString PelloxBinding::library_path() const {
  return QDir(program_folder_).filePath(QStringLiteral("libpellox.so"));
}

void* PelloxBinding::Symbol(const char* name) {
  if (handle_ == nullptr) {
    handle_ = dlopen(QFile::encodeName(library_path()).constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
      error_ = QStringLiteral("Cannot load %1: %2")
                   .arg(library_path(), QString::fromLocal8Bit(dlerror()));
      return nullptr;
    }
  }
  void* symbol = dlsym(handle_, name);
  if (symbol == nullptr) {
    error_ = QStringLiteral("%1 does not export %2").arg(library_path(), QString::fromLatin1(name));
  }
  return symbol;
}

bool PelloxBinding::Bind() {
  if (read_mp3_ == nullptr) read_mp3_ = reinterpret_cast<ReadMP3Function>(Symbol("ReadMP3"));
  if (read_id3v1_ == nullptr) {
    read_id3v1_ = reinterpret_cast<ReadID3v1Function>(Symbol("ReadID3v1"));
  }
  return read_mp3_ != nullptr && read_id3v1_ != nullptr;
}

bool PelloxBinding::ReadMP3(const QString& path, StreamInfo* info) {
  std::memset(info, 0, sizeof(*info));
  if (read_mp3_ == nullptr) {
    read_mp3_ = reinterpret_cast<ReadMP3Function>(Symbol("ReadMP3"));
    if (read_mp3_ == nullptr) return false;
  }
  read_mp3_(NativeName(path).constData(), info);
  return true;
}

bool PelloxBinding::ReadID3v1(const QString& path, ID3v1Tag* tag) {
  ClearID3v1Tag(tag);
  if (read_id3v1_ == nullptr) {
    read_id3v1_ = reinterpret_cast<ReadID3v1Function>(Symbol("ReadID3v1"));
    if (read_id3v1_ == nullptr) return false;
  }
  read_id3v1_(NativeName(path).constData(), tag);
  return true;
}

}  // namespace orlavo

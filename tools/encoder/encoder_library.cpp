#include "tools/encoder/encoder_library.h"

#include <dlfcn.h>

#include <QDir>
#include <QFile>

namespace orlavo {
namespace {

// The library's callback carries no context of its own: the progress of the
// call in flight is reached through this pointer, saved and restored around
// each call so that a call made from inside a callback finds its own.
thread_local const EncoderLibrary::Progress* current_progress = nullptr;

int16_t ProgressTrampoline(int32_t percent) {
  if (current_progress == nullptr || !*current_progress) return -1;
  return (*current_progress)(static_cast<int16_t>(percent & 0xFFFF)) ? -1 : 0;
}

}  // namespace

MevritBinding::MevritBinding(QString program_folder) : program_folder_(std::move(program_folder)) {}

MevritBinding::~MevritBinding() {
  if (handle_ != nullptr) dlclose(handle_);
}

QString MevritBinding::library_path() const {
  return QDir(program_folder_).filePath(QStringLiteral("libmevrit.so"));
}

bool MevritBinding::Bind() {
  if (set_encoder_ != nullptr && encode_mp3_ != nullptr) return true;
  if (handle_ == nullptr) {
    handle_ = dlopen(QFile::encodeName(library_path()).constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
      error_ = QStringLiteral("Cannot load %1: %2")
                   .arg(library_path(), QString::fromLocal8Bit(dlerror()));
      return false;
    }
  }
  set_encoder_ = reinterpret_cast<SetEncoderFunction>(dlsym(handle_, "SetEncoder"));
  encode_mp3_ = reinterpret_cast<EncodeMp3Function>(dlsym(handle_, "EncodeMp3"));
  if (set_encoder_ == nullptr || encode_mp3_ == nullptr) {
    error_ = QStringLiteral("%1 does not export %2")
                 .arg(library_path(), set_encoder_ == nullptr ? QStringLiteral("SetEncoder")
                                                              : QStringLiteral("EncodeMp3"));
    set_encoder_ = nullptr;
    encode_mp3_ = nullptr;
    return false;
  }
  error_.clear();
  return true;
}

void MevritBinding::SetEncoder(int32_t bitrate, int32_t mode) {
  if (Bind()) set_encoder_(bitrate, mode);
}

int32_t MevritBinding::EncodeMp3(const QString& wav_path, const Progress& progress) {
  if (!Bind()) return MEVRIT_STATUS_LAME_FAILED;
  MevritProgressFunction callback = &ProgressTrampoline;
  void* cell = reinterpret_cast<void*>(callback);
  const Progress* saved = current_progress;
  current_progress = &progress;
  const int32_t status = encode_mp3_(QFile::encodeName(wav_path).constData(), &cell);
  current_progress = saved;
  return status;
}

}  // namespace orlavo

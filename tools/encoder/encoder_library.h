// The encoder library as the encoder tool sees it: SetEncoder and EncodeMp3,
// bound by name at their first call. Tests put a fake in its place.
#ifndef ORLAVO_TOOLS_ENCODER_ENCODER_LIBRARY_H_
#define ORLAVO_TOOLS_ENCODER_ENCODER_LIBRARY_H_

#include <QString>
#include <cstdint>
#include <functional>

#include "encoder/mevrit.h"

namespace orlavo {

class EncoderLibrary {
 public:
  // Called with the whole percentage done; false interrupts the encoding.
  using Progress = std::function<bool(int percent)>;

  virtual ~EncoderLibrary() = default;
  // Binds both exports; false (error() says why) when either cannot be bound.
  // Cheap once bound.
  virtual bool Bind() = 0;
  virtual QString error() const = 0;
  // Both need a successful Bind().
  virtual void SetEncoder(int32_t bitrate, int32_t mode) = 0;
  virtual int32_t EncodeMp3(const QString& wav_path, const Progress& progress) = 0;
};

// libmevrit.so in the program folder.
class MevritBinding : public EncoderLibrary {
 public:
  explicit MevritBinding(QString program_folder);
  ~MevritBinding() override;
  MevritBinding(const MevritBinding&) = delete;
  MevritBinding& operator=(const MevritBinding&) = delete;

  bool Bind() override;
  QString error() const override { return error_; }
  void SetEncoder(int32_t bitrate, int32_t mode) override;
  int32_t EncodeMp3(const QString& wav_path, const Progress& progress) override;

  QString library_path() const;

 private:
  QString program_folder_;
  void* handle_ = nullptr;
  SetEncoderFunction set_encoder_ = nullptr;
  EncodeMp3Function encode_mp3_ = nullptr;
  QString error_;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_ENCODER_ENCODER_LIBRARY_H_

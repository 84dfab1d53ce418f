// The main program's binding to the Pellox library: both exports are looked up
// by name in the program folder at their first call.
#ifndef ORLAVO_APP_PELLOX_BINDING_H_
#define ORLAVO_APP_PELLOX_BINDING_H_

#include <QString>

#include "pellox/pellox.h"

namespace orlavo {

class PelloxBinding {
 public:
  explicit PelloxBinding(QString program_folder);
  ~PelloxBinding();
  PelloxBinding(const PelloxBinding&) = delete;
  PelloxBinding& operator=(const PelloxBinding&) = delete;

  // Clear the record and fill it; false (record cleared, error() set) when the
  // library or the export cannot be bound.
  bool ReadMP3(const QString& path, StreamInfo* info);
  bool ReadID3v1(const QString& path, ID3v1Tag* tag);

  // Binds both exports now; false with error() set when either is missing.
  bool Bind();
  // Empty while everything bound so far is fine.
  QString error() const { return error_; }
  QString library_path() const;

 private:
  void* Symbol(const char* name);

  QString program_folder_;
  void* handle_ = nullptr;
  ReadMP3Function read_mp3_ = nullptr;
  ReadID3v1Function read_id3v1_ = nullptr;
  QString error_;
};

}  // namespace orlavo

#endif  // ORLAVO_APP_PELLOX_BINDING_H_

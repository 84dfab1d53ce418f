// A scripted encoder library: records SetEncoder and EncodeMp3 calls, reports
// progress, and on success writes an MP3 beside the WAV as the real one does.
#ifndef ORLAVO_TESTS_SUPPORT_FAKE_ENCODER_LIBRARY_H_
#define ORLAVO_TESTS_SUPPORT_FAKE_ENCODER_LIBRARY_H_

#include <QFile>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "app/helpers.h"
#include "tools/encoder/encoder_library.h"
#include "tools/encoder/wav_encoder.h"

namespace orlavo::testing {

class FakeEncoderLibrary : public EncoderLibrary {
 public:
  bool Bind() override {
    ++binds;
    return bindable;
  }
  QString error() const override { return bindable ? QString() : QStringLiteral("not there"); }
  void SetEncoder(int32_t bitrate, int32_t mode) override {
    calls << QStringLiteral("SetEncoder %1 %2").arg(bitrate).arg(mode);
  }
  int32_t EncodeMp3(const QString& wav, const Progress& progress) override {
    calls << QStringLiteral("EncodeMp3 ") + wav;
    for (int percent : {0, 50, 100}) {
      percents.push_back(percent);
      if (during) during(percent);
      if (!progress(percent)) return MEVRIT_STATUS_INTERRUPTED;
    }
    const int32_t status = statuses.empty() ? 0 : statuses.front();
    if (!statuses.empty()) statuses.pop_front();
    if (IsSuccessStatus(status)) {
      QFile mp3(FolderOf(wav) + Mp3NameOf(FileNameOf(wav)));
      if (mp3.open(QIODevice::NewOnly)) mp3.write("MP3 of " + FileNameOf(wav).toUtf8());
    }
    return status;
  }

  bool bindable = true;
  std::deque<int32_t> statuses;     // what the next calls return; 0 when empty
  std::function<void(int)> during;  // runs at each progress step
  QStringList calls;
  std::vector<int> percents;
  int binds = 0;
};

}  // namespace orlavo::testing

#endif  // ORLAVO_TESTS_SUPPORT_FAKE_ENCODER_LIBRARY_H_

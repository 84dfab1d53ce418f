#include "tests/support/lame_fixture.h"

#include <lame/lame.h>

#include <QFile>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace orlavo::testing {

Bytes EncodeMp3(const EncodeParams& p) {
  lame_global_flags* lame = lame_init();
  lame_set_in_samplerate(lame, p.sample_rate);
  lame_set_out_samplerate(lame, p.sample_rate);
  lame_set_num_channels(lame, p.channels);
  lame_set_mode(lame, static_cast<MPEG_mode>(p.mode));
  if (p.vbr) {
    lame_set_VBR(lame, vbr_default);
    lame_set_VBR_quality(lame, 4);
  } else {
    lame_set_brate(lame, p.bitrate_kbps);
    lame_set_VBR(lame, vbr_off);
  }
  lame_set_bWriteVbrTag(lame, p.info_frame ? 1 : 0);
  lame_set_quality(lame, 7);
  if (lame_init_params(lame) < 0) {
    lame_close(lame);
    throw std::runtime_error("lame_init_params failed");
  }
  const int samples = static_cast<int>(p.seconds * p.sample_rate);
  std::vector<short> left(samples), right(samples);
  for (int i = 0; i < samples; ++i) {
    left[i] = right[i] = static_cast<short>(8000 * std::sin(2 * M_PI * 440.0 * i / p.sample_rate));
  }
  Bytes out(static_cast<size_t>(1.25 * samples + 7200) + 7200);
  int n = lame_encode_buffer(lame, left.data(), p.channels == 2 ? right.data() : nullptr, samples,
                             out.data(), static_cast<int>(out.size()));
  if (n < 0) {
    lame_close(lame);
    throw std::runtime_error("lame_encode_buffer failed");
  }
  int m = lame_encode_flush(lame, out.data() + n, static_cast<int>(out.size()) - n);
  if (m < 0) {
    lame_close(lame);
    throw std::runtime_error("lame_encode_flush failed");
  }
  out.resize(static_cast<size_t>(n + m));
  if (p.info_frame) {
    // lame reserves the first frame and fills it in only once it knows the stream.
    unsigned char frame[2880];
    size_t len = lame_get_lametag_frame(lame, frame, sizeof(frame));
    if (len == 0 || len > out.size()) {
      lame_close(lame);
      throw std::runtime_error("lame_get_lametag_frame failed");
    }
    std::memcpy(out.data(), frame, len);
  }
  lame_close(lame);
  return out;
}

Bytes Id3v1Block(const std::string& title, const std::string& artist, const std::string& album,
                 const std::string& year, const std::string& comment, uint8_t genre) {
  Bytes b(128, 0);
  std::memcpy(b.data(), "TAG", 3);
  auto put = [&](size_t at, size_t width, const std::string& s) {
    std::memcpy(b.data() + at, s.data(), std::min(width, s.size()));
  };
  put(3, 30, title);
  put(33, 30, artist);
  put(63, 30, album);
  put(93, 4, year);
  put(97, 30, comment);
  b[127] = genre;
  return b;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes ReadFileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  QByteArray data = f.readAll();
  return Bytes(data.begin(), data.end());
}

void WriteFileBytes(const QString& path, const Bytes& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    throw std::runtime_error("cannot write " + path.toStdString());
  }
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

}  // namespace orlavo::testing

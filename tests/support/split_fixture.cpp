#include "tests/support/split_fixture.h"

#include <lame/lame.h>

#include <QProcess>
#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>

#include "formats/mpeg_header.h"

namespace orlavo::testing {

Bytes EncodeTaggedMp3(const EncodeParams& p, bool vbr) {
  lame_global_flags* lame = lame_init();
  lame_set_in_samplerate(lame, p.sample_rate);
  lame_set_out_samplerate(lame, p.sample_rate);
  lame_set_num_channels(lame, p.channels);
  lame_set_mode(lame, static_cast<MPEG_mode>(p.mode));
  if (vbr) {
    lame_set_VBR(lame, vbr_default);
    lame_set_VBR_quality(lame, 2);
  } else {
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, p.bitrate_kbps);
  }
  lame_set_bWriteVbrTag(lame, 1);
  lame_set_quality(lame, 7);
  if (lame_init_params(lame) < 0) {
    lame_close(lame);
    throw std::runtime_error("lame_init_params failed");
  }
  const int samples = static_cast<int>(p.seconds * p.sample_rate);
  std::vector<short> left(samples), right(samples);
  std::mt19937 noise(7);
  std::uniform_int_distribution<int> loud(-20000, 20000);
  for (int i = 0; i < samples; ++i) {
    const bool noisy = (i / (p.sample_rate / 2)) % 2 == 1;
    left[i] = noisy ? static_cast<short>(loud(noise))
                    : static_cast<short>(300 * std::sin(2 * M_PI * 440.0 * i / p.sample_rate));
    right[i] = noisy ? static_cast<short>(loud(noise)) : left[i];
  }
  Bytes out(static_cast<size_t>(1.25 * samples + 7200) + 7200);
  const int n = lame_encode_buffer(lame, left.data(), p.channels == 2 ? right.data() : nullptr,
                                   samples, out.data(), static_cast<int>(out.size()));
  const int m =
      n < 0 ? -1 : lame_encode_flush(lame, out.data() + n, static_cast<int>(out.size()) - n);
  if (n < 0 || m < 0) {
    lame_close(lame);
    throw std::runtime_error("lame encoding failed");
  }
  out.resize(static_cast<size_t>(n + m));
  // The tag frame is known only at the end; it takes the place lame kept
  // free at the front.
  std::vector<unsigned char> tag(4096);
  const size_t tag_size = lame_get_lametag_frame(lame, tag.data(), tag.size());
  lame_close(lame);
  if (tag_size == 0 || tag_size > out.size()) throw std::runtime_error("no lame tag frame");
  std::memcpy(out.data(), tag.data(), tag_size);
  return out;
}

std::vector<FrameSpan> ListFrames(const Bytes& bytes, size_t from) {
  std::vector<FrameSpan> frames;
  size_t at = from;
  while (at + 4 <= bytes.size()) {
    if (bytes[at] != 0xFF || (bytes[at + 1] & 0xE0) != 0xE0) break;
    const uint32_t v = (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) |
                       (uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
    const MpegHeader h = DecodeMpegHeader(v);
    const int bitrate = BitrateKbps(h);
    const int rate = SampleRateHz(h);
    if (bitrate == 0 || rate == 0 || h.version_id == 1 || h.layer_id == 0) break;
    const int padding = (v >> 9) & 1;
    size_t length;
    int samples;
    if (h.layer_id == 3) {
      length = static_cast<size_t>((12 * bitrate * 1000 / rate + padding) * 4);
      samples = 384;
    } else {
      const int factor = FrameLengthFactor(h);
      length = static_cast<size_t>(factor * bitrate * 1000 / rate + padding);
      samples = factor * 8;
    }
    if (at + length > bytes.size()) break;
    frames.push_back({at, length, samples, rate});
    at += length;
  }
  return frames;
}

bool Mpg123Decodes(const QString& path, QString* output) {
  QProcess mpg123;
  mpg123.setProcessChannelMode(QProcess::MergedChannels);
  mpg123.start(QStringLiteral("mpg123"), {QStringLiteral("-t"), path});
  if (!mpg123.waitForFinished(60000)) return false;
  const QString text = QString::fromLocal8Bit(mpg123.readAll());
  if (output != nullptr) *output = text;
  return mpg123.exitStatus() == QProcess::NormalExit && mpg123.exitCode() == 0 &&
         !text.contains(QStringLiteral("error"), Qt::CaseInsensitive);
}

}  // namespace orlavo::testing

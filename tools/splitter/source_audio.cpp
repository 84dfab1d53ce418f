#include "tools/splitter/source_audio.h"

#include <QFile>
#include <algorithm>
#include <cmath>

#include "formats/byte_source.h"
#include "formats/frame_walk.h"

namespace orlavo {

qint64 SourceAudio::DurationSeconds() const {
  if (vbr) return boundary_micros.empty() ? 0 : boundary_micros.back() / 1000000;
  if (bitrate <= 0) return 0;
  return std::max<qint64>(0, audio_end - first_frame) / (qint64{bitrate} * 125);
}

qint64 SourceAudio::OffsetAt(qint64 ms) const {
  ms = std::max<qint64>(ms, 0);
  if (vbr) {
    if (boundary_offsets.empty()) return audio_start;
    const qint64 micros = ms * 1000;
    auto after = std::lower_bound(boundary_micros.begin(), boundary_micros.end(), micros);
    if (after == boundary_micros.end()) return boundary_offsets.back();
    size_t i = static_cast<size_t>(after - boundary_micros.begin());
    // Nearest boundary; a tie goes to the earlier one.
    if (i > 0 && micros - boundary_micros[i - 1] <= *after - micros) --i;
    return boundary_offsets[i];
  }
  // Bitrate x 125 bytes per second is ms x Bitrate / 8 bytes, rounded to the
  // nearest byte with halves to even.
  const qint64 eighths = ms * bitrate;
  qint64 bytes = eighths / 8;
  const qint64 rest = eighths % 8;
  if (rest > 4 || (rest == 4 && (bytes & 1) != 0)) ++bytes;
  return std::min(audio_start + bytes, std::max(audio_start, audio_end));
}

SourceAudio AnalyzeSourceAudio(const QString& path, const StreamInfo& info) {
  SourceAudio audio;
  audio.bitrate = info.Bitrate;
  audio.frequency = info.Frequency;
  FileSource source(QFile::encodeName(path).constData());
  if (!source.ok()) return audio;
  audio.readable = true;
  const AudioLayout layout = FindAudioLayout(source);
  audio.file_size = static_cast<qint64>(layout.file_size);
  audio.audio_start = static_cast<qint64>(layout.audio_start);
  audio.audio_end = static_cast<qint64>(std::max(layout.audio_end, layout.audio_start));
  audio.first_frame = static_cast<qint64>(layout.first_frame.value_or(layout.audio_start));
  audio.vbr = layout.variable_bitrate();
  if (!audio.vbr) return audio;

  // Only a variable-bitrate source needs every frame: a constant one is cut
  // by arithmetic, whatever its length.
  const FrameWalk walk = WalkFrames(source);
  audio.boundary_offsets.reserve(walk.frames.size() + 1);
  audio.boundary_micros.reserve(walk.frames.size() + 1);
  double seconds = 0;
  for (const MpegFrame& frame : walk.frames) {
    audio.boundary_offsets.push_back(static_cast<qint64>(frame.offset));
    audio.boundary_micros.push_back(std::llround(seconds * 1e6));
    seconds += frame.Seconds();
  }
  if (!walk.frames.empty()) {
    const MpegFrame& last = walk.frames.back();
    audio.boundary_offsets.push_back(static_cast<qint64>(last.offset + last.length));
    audio.boundary_micros.push_back(std::llround(seconds * 1e6));
  }
  return audio;
}

}  // namespace orlavo

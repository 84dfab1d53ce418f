#include "tools/splitter/source_audio.h"

#include <algorithm>

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

}  // namespace orlavo

// Provisional layout until the shared frame walk lands: the audio starts at
// the first frame after an ID3v2 tag and ends before an ID3v1 tag.
#include <QFile>

#include "formats/byte_source.h"
#include "formats/id3v1.h"
#include "formats/mpeg_header.h"

namespace orlavo {

SourceAudio AnalyzeSourceAudio(const QString& path, const StreamInfo& info) {
  SourceAudio audio;
  audio.bitrate = info.Bitrate;
  audio.frequency = info.Frequency;
  FileSource source(QFile::encodeName(path).constData());
  if (!source.ok()) return audio;
  audio.readable = true;
  audio.file_size = static_cast<qint64>(source.size());
  uint8_t head[10] = {};
  source.ReadAt(0, head);
  audio.first_frame = static_cast<qint64>(LeadingId3v2Size(head));
  audio.audio_start = audio.first_frame;
  audio.audio_end = audio.file_size;
  if (audio.file_size - audio.audio_start >= 128 + 4 && HasId3v1Tag(source)) {
    audio.audio_end -= 128;
  }
  return audio;
}

}  // namespace orlavo

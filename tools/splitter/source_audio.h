// Where the audio of a source lies and how the splitter and the preview turn
// a time into a byte position in it. Positions count from the audio start: a
// leading ID3v2 tag and a leading Xing/Info/VBRI frame (which holds no audio
// and would make players believe the first track is as long as the source)
// are never copied, and a trailing ID3v1 tag is never reached.
#ifndef ORLAVO_TOOLS_SPLITTER_SOURCE_AUDIO_H_
#define ORLAVO_TOOLS_SPLITTER_SOURCE_AUDIO_H_

#include <QString>
#include <vector>

#include "formats/records.h"

namespace orlavo {

struct SourceAudio {
  bool readable = false;
  qint64 file_size = 0;
  // The first frame, a leading Xing/Info/VBRI frame included.
  qint64 first_frame = 0;
  // Past the leading Xing/Info/VBRI frame, if any.
  qint64 audio_start = 0;
  // Exclusive: the file end, or the start of a trailing ID3v1 tag.
  qint64 audio_end = 0;
  // The leading frame says "Xing" or "VBRI": a frame's bitrate says nothing
  // about the rest, so times are found by walking the frames.
  bool vbr = false;
  // From the stream information (kbit/s and Hz).
  int bitrate = 0;
  int frequency = 0;
  // Variable bitrate only: the frame boundaries from the audio start to the
  // end of the last frame (offsets in the file) and the time at each, in
  // microseconds from the audio start.
  std::vector<qint64> boundary_offsets;
  std::vector<qint64> boundary_micros;

  // Whole seconds. Constant bitrate: the bytes from the first frame to the
  // audio end over Bitrate x 125, without the 16-bit cap of Duration.
  // Variable bitrate: the frames' durations summed.
  qint64 DurationSeconds() const;
  // The file offset of a position in milliseconds from the audio start.
  // Constant bitrate: Bitrate x 125 bytes per second, rounded to the nearest
  // byte (halves to even). Variable bitrate: the frame boundary nearest to it
  // (a tie goes to the earlier one). Never beyond the audio end.
  qint64 OffsetAt(qint64 ms) const;
  bool can_cut() const { return readable && bitrate > 0 && frequency > 0; }
};

// Reads the layout of the file; info is the stream information read for it.
SourceAudio AnalyzeSourceAudio(const QString& path, const StreamInfo& info);

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_SPLITTER_SOURCE_AUDIO_H_

// The splitter's time texts: minutes, seconds and milliseconds joined by ":"
// ("03:20:000"), as the track list and cue sheets hold them.
#ifndef ORLAVO_TOOLS_SPLITTER_SPLIT_TIME_H_
#define ORLAVO_TOOLS_SPLITTER_SPLIT_TIME_H_

#include <QString>

namespace orlavo {

struct SplitTime {
  qint64 minutes = 0;
  qint64 seconds = 0;
  qint64 milliseconds = 0;

  qint64 TotalMilliseconds() const { return (minutes * 60 + seconds) * 1000 + milliseconds; }
  qint64 WholeSeconds() const { return minutes * 60 + seconds; }
  static SplitTime FromMilliseconds(qint64 ms);
  static SplitTime FromSeconds(qint64 seconds) { return FromMilliseconds(seconds * 1000); }
};

// Reads a typed or stored time text. The first separator is the first ":" (or,
// when there is none, the first "."); the second is the first ":" after it (or
// the first "." after it). Minutes stand before the first separator (a bare
// number is minutes), seconds between the two, milliseconds behind the second.
// Each part is read as a number from its leading digits; no digits read as 0.
// Parts are capped at 999,999,999 so that no sum overflows.
SplitTime ParseTimeText(const QString& text);

// "0#" minutes, "0#" seconds and "00#" milliseconds: "03:20:000".
QString FormatTime(const SplitTime& time);
// "0#" minutes and "0#" seconds: the duration caption's "03:20".
QString FormatMinutesSeconds(qint64 whole_seconds);

// end - start by parts, borrowing 1000 milliseconds from the seconds and 60
// seconds from the minutes where a part would go below the other's.
SplitTime SubtractByParts(SplitTime end, const SplitTime& start);

// A number with at least two digits ("0#"): 7 gives "07", 123 gives "123".
QString TwoDigits(qint64 n);

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_SPLITTER_SPLIT_TIME_H_

#include "tools/splitter/split_time.h"

namespace orlavo {
namespace {

constexpr qint64 kPartCap = 999999999;

qint64 LeadingNumber(QStringView text) {
  text = text.trimmed();
  qint64 value = 0;
  for (QChar c : text) {
    if (c < u'0' || c > u'9') break;
    value = value * 10 + (c.unicode() - u'0');
    if (value > kPartCap) return kPartCap;
  }
  return value;
}

qsizetype FindSeparator(const QString& text, qsizetype from) {
  qsizetype at = text.indexOf(u':', from);
  return at >= 0 ? at : text.indexOf(u'.', from);
}

QString Padded(qint64 n, int width) {
  if (n < 0) return QStringLiteral("-") + Padded(-n, width);
  return QStringLiteral("%1").arg(n, width, 10, QLatin1Char('0'));
}

}  // namespace

SplitTime SplitTime::FromMilliseconds(qint64 ms) {
  SplitTime t;
  t.milliseconds = ms % 1000;
  t.seconds = (ms / 1000) % 60;
  t.minutes = ms / 60000;
  return t;
}

SplitTime ParseTimeText(const QString& text) {
  SplitTime t;
  const qsizetype first = FindSeparator(text, 0);
  if (first < 0) {
    t.minutes = LeadingNumber(text);
    return t;
  }
  t.minutes = LeadingNumber(QStringView(text).left(first));
  const qsizetype second = FindSeparator(text, first + 1);
  if (second < 0) {
    t.seconds = LeadingNumber(QStringView(text).mid(first + 1));
    return t;
  }
  t.seconds = LeadingNumber(QStringView(text).mid(first + 1, second - first - 1));
  t.milliseconds = LeadingNumber(QStringView(text).mid(second + 1));
  return t;
}

QString TwoDigits(qint64 n) { return Padded(n, 2); }

QString FormatTime(const SplitTime& time) {
  return TwoDigits(time.minutes) + u':' + TwoDigits(time.seconds) + u':' +
         Padded(time.milliseconds, 3);
}

QString FormatMinutesSeconds(qint64 whole_seconds) {
  return TwoDigits(whole_seconds / 60) + u':' + TwoDigits(whole_seconds % 60);
}

SplitTime SubtractByParts(SplitTime end, const SplitTime& start) {
  if (end.milliseconds < start.milliseconds) {
    end.milliseconds += 1000;
    end.seconds -= 1;
  }
  if (end.seconds < start.seconds) {
    end.seconds += 60;
    end.minutes -= 1;
  }
  return {end.minutes - start.minutes, end.seconds - start.seconds,
          end.milliseconds - start.milliseconds};
}

}  // namespace orlavo

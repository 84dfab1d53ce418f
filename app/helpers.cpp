#include "app/helpers.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringBuilder>
#include <QThread>
#include <cmath>

#include "app/desktop.h"
#include "app/settings.h"

namespace orlavo {

QString FileNameOf(const QString& path) {
  qsizetype slash = path.lastIndexOf(u'/');
  return slash < 0 ? path : path.mid(slash + 1);
}

QString FolderOf(const QString& path) {
  qsizetype slash = path.lastIndexOf(u'/');
  return slash < 0 ? path : path.left(slash + 1);
}

QLocale UserLocale() {
  QLocale locale;
  locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
  return locale;
}

namespace {

// How the current locale writes whole numbers and two-decimal numbers, read
// once per locale from two sample numbers. Asking the system locale for its
// separators on every call costs more than a directory lookup; a locale whose
// samples are not plain ASCII digits with one separator every three places
// (other digits, other groupings) keeps going through QLocale.
struct NumberShape {
  QLocale locale;
  bool plain = false;
  QString group;    // between groups of three digits
  QString decimal;  // before the two decimals

  static const NumberShape& Current() {
    thread_local NumberShape shape;
    // The default locale as it stands, compared without copying its data.
    const QLocale now;
    if (!shape.learned_ || !(shape.from_ == now)) shape.Learn(now);
    return shape;
  }

  void Learn(const QLocale& from) {
    from_ = from;
    const QLocale now = UserLocale();
    locale = now;
    learned_ = true;
    plain = false;
    const QString whole = now.toString(1234567LL);
    QLocale no_groups = now;
    no_groups.setNumberOptions(no_groups.numberOptions() | QLocale::OmitGroupSeparator);
    const QString fraction = no_groups.toString(1234.5, 'f', 2);
    if (whole.size() < 9 || !whole.startsWith(u'1') || !whole.endsWith(QLatin1String("567"))) {
      return;
    }
    const qsizetype sep = (whole.size() - 7) / 2;
    group = whole.mid(1, sep);
    if (group.isEmpty() ||
        whole != u'1' + group + QStringLiteral("234") + group + QStringLiteral("567")) {
      return;
    }
    if (!fraction.startsWith(QLatin1String("1234")) || !fraction.endsWith(QLatin1String("50"))) {
      return;
    }
    decimal = fraction.mid(4, fraction.size() - 6);
    plain = !decimal.isEmpty();
  }

 private:
  QLocale from_;
  bool learned_ = false;
};

// Appends the decimal digits of value, with group between groups of three
// when group is not empty, to a text being built in place.
char16_t* PutDigits(char16_t* out, quint64 value, QStringView group) {
  char16_t digits[24];
  int n = 0;
  do {
    digits[n++] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  } while (value != 0);
  for (int i = n - 1; i >= 0; --i) {
    *out++ = digits[i];
    if (i > 0 && i % 3 == 0) {
      for (QChar c : group) *out++ = c.unicode();
    }
  }
  return out;
}

char16_t* PutText(char16_t* out, QStringView text) {
  for (QChar c : text) *out++ = c.unicode();
  return out;
}

}  // namespace

QString FormatFileSize(qint64 size, const QString& given_unit) {
  const QString& unit = given_unit.isEmpty() ? LiveOptions().size_unit : given_unit;
  const bool bytes = unit == QLatin1String("Bytes");
  const bool kb = !bytes && unit == QLatin1String("KB");
  const bool mb = !bytes && !kb && unit == QLatin1String("MB");
  if (!bytes && !kb && !mb) return {};
  const NumberShape& shape = NumberShape::Current();
  // Room for twenty digits with a separator of up to eight characters
  // between each group of three, and the unit.
  char16_t text[20 * 9 + 16];
  if (bytes || kb) {
    const qint64 value = bytes ? size : std::llround(static_cast<double>(size) / 1024.0);
    const QStringView suffix = bytes ? QStringView(u" bytes") : QStringView(u" KB");
    if (!shape.plain || value < 0 || shape.group.size() > 8) {
      return shape.locale.toString(value) + suffix.toString();
    }
    char16_t* end = PutText(PutDigits(text, static_cast<quint64>(value), shape.group), suffix);
    return QString(reinterpret_cast<const QChar*>(text), end - text);
  }
  // "##0.00": two decimals and no thousands separator.
  const double megabytes = static_cast<double>(size) / 1024.0 / 1024.0;
  if (!shape.plain || size < 0 || size > (qint64{1} << 50) || shape.decimal.size() > 8) {
    QLocale locale = shape.locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(megabytes, 'f', 2) + QStringLiteral(" MB");
  }
  // Hundredths of the exact quotient, a half rounded up, as QLocale rounds.
  const quint64 hundredths = (static_cast<quint64>(size) * 100 + (1 << 19)) >> 20;
  char16_t* end = PutText(PutDigits(text, hundredths / 100, {}), shape.decimal);
  *end++ = static_cast<char16_t>(u'0' + hundredths % 100 / 10);
  *end++ = static_cast<char16_t>(u'0' + hundredths % 10);
  end = PutText(end, u" MB");
  return QString(reinterpret_cast<const QChar*>(text), end - text);
}

QString FormatFileSize(qint64 size) { return FormatFileSize(size, LiveOptions().size_unit); }

bool FileExists(const QString& path) {
  if (path.isEmpty()) return false;
  QFileInfo info(path);
  return info.exists() && !info.isDir();
}

bool FolderExists(const QString& path) {
  if (path.isEmpty()) return false;
  return QFileInfo(path).isDir();
}

bool IsValidFileName(const QString& text) {
  static const QString kRefused = QStringLiteral("\\/:*?\"<>|");
  for (QChar c : text) {
    if (kRefused.contains(c)) return false;
  }
  return true;
}

namespace {

// The decimal text of a number, written backwards from the end of a buffer;
// returns where it begins.
char16_t* PutNumberBefore(char16_t* end, qint64 value) {
  const bool negative = value < 0;
  quint64 magnitude = negative ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
  do {
    *--end = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) *--end = u'-';
  return end;
}

}  // namespace

QString ProgressCaption(qint32 current, qint32 total, const QString& file_text, const QString& verb,
                        bool show_current_file) {
  // Built in one piece: it is made for every file of a long run.
  const QStringView shown_verb = verb.isEmpty() ? QStringView(u"Scanning") : QStringView(verb);
  if (show_current_file) return shown_verb % u' ' % file_text;
  char16_t numbers[48];
  char16_t* const end = numbers + 48;
  char16_t* start = PutNumberBefore(end, total);
  start -= 4;
  std::copy_n(u" of ", 4, start);
  start = PutNumberBefore(start, current);
  *--start = u'#';
  *--start = u' ';
  return shown_verb % QStringView(start, end - start);
}

QString ProgressPercent(qint32 current, qint32 total) {
  // An operation over nothing has made no progress (rather than dividing by 0).
  if (total == 0) return QStringLiteral("0%");
  qint64 scaled = static_cast<qint64>(current) * 100;
  qint64 percent = scaled / total;
  if ((scaled % total != 0) && ((scaled < 0) != (total < 0))) --percent;  // whole part: floor
  char16_t text[24];
  text[23] = u'%';
  const char16_t* start = PutNumberBefore(text + 23, percent);
  return QString(reinterpret_cast<const QChar*>(start), text + 24 - start);
}

void ShowProgress(ProgressDisplay& display, qint32 current, qint32 total, const QString& file_text,
                  const QString& verb) {
  ShowProgress(display, current, total, file_text, verb, LiveOptions().show_current_file);
}

void ShowProgress(ProgressDisplay& display, qint32 current, qint32 total, const QString& file_text,
                  const QString& verb, bool show_current_file) {
  display.SetBar(current, total);
  display.SetCaption(ProgressCaption(current, total, file_text, verb, show_current_file));
  display.SetPercent(ProgressPercent(current, total));
}

void SplitWords(const QString& name, QStringList& words) {
  qsizetype position = 0;
  while (true) {
    // A space wins over an earlier underscore as long as spaces remain.
    qsizetype separator = name.indexOf(u' ', position);
    if (separator < 0) separator = name.indexOf(u'_', position);
    if (separator < 0) break;
    words.append(name.mid(position, separator - position));
    position = separator + 1;
  }
  QString rest = name.mid(position);
  if (rest.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive)) rest.chop(4);
  words.append(rest);
}

QStringList SplitWords(const QString& name) {
  QStringList words;
  SplitWords(name, words);
  return words;
}

namespace {

// A part of a time text: plain decimal digits, blanks around them allowed.
std::optional<qint64> WholeNumber(const QString& text) {
  QString digits = text.trimmed();
  if (digits.isEmpty() || digits.size() > 9) return std::nullopt;
  for (QChar c : digits) {
    if (c < u'0' || c > u'9') return std::nullopt;
  }
  return digits.toLongLong();
}

}  // namespace

std::optional<double> TimeToByteOffset(const QString& time_text, const StreamInfo& info) {
  if (info.Frequency == 0) return 0.0;
  qsizetype first = time_text.indexOf(u':');
  qsizetype second = first < 0 ? -1 : time_text.indexOf(u':', first + 1);
  if (second < 0) return std::nullopt;
  std::optional<qint64> minutes = WholeNumber(time_text.left(first));
  std::optional<qint64> seconds = WholeNumber(time_text.mid(first + 1, second - first - 1));
  std::optional<qint64> milliseconds = WholeNumber(time_text.mid(second + 1));
  if (!minutes || !seconds || !milliseconds) return std::nullopt;
  // Positions are 16-bit whole seconds.
  qint64 whole_seconds = *minutes * 60 + *seconds;
  if (whole_seconds > 32767) return std::nullopt;
  double bytes_per_second = info.Bitrate * 1000.0 / 8.0;
  return (static_cast<double>(whole_seconds) + static_cast<double>(*milliseconds) / 1000.0) *
         bytes_per_second;
}

void ClearList(QStringList& list) { list.clear(); }

void Pause(Desktop& desktop, double seconds) {
  // A monotonic clock: a pause across midnight or a clock change still ends.
  QElapsedTimer timer;
  timer.start();
  const double wanted_ms = seconds * 1000.0;
  while (true) {
    desktop.LetEventsRun();
    if (!(static_cast<double>(timer.elapsed()) < wanted_ms)) return;
    QThread::msleep(1);  // no need to spin a core while waiting
  }
}

bool OccursTwice(const QString& text, const QString& search) {
  if (search.size() < 3) return false;
  qsizetype hit = text.indexOf(search);
  return hit >= 0 && text.indexOf(search, hit + 1) >= 0;
}

QString ReplaceAll(const QString& text, const QString& search, const QString& replacement) {
  if (search.isEmpty()) return text;
  QString result = text;
  return result.replace(search, replacement);
}

}  // namespace orlavo

#include "app/tag_helpers.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "app/helpers.h"
#include "formats/byte_source.h"
#include "formats/id3v1.h"
#include "formats/text_encoding.h"

namespace orlavo {

QString RecordText(const char* field, size_t size) {
  return QString::fromStdString(Cp1252ToUtf8(std::string_view(field, size)));
}

QString CleanTagText(const QString& text) {
  QString s = text;
  s.replace(QChar(u'\0'), QChar(u' '));
  qsizetype b = 0, e = s.size();
  while (b < e && s[b] == u' ') ++b;
  while (e > b && s[e - 1] == u' ') --e;
  return s.mid(b, e - b);
}

QString GenreName(int& genre) {
  if (genre < 0) genre = kBlankGenre;
  if (genre >= kGenreCount) return QString::fromLatin1(kGenreNames[kBlankGenre]);
  return QString::fromLatin1(kGenreNames[genre]);
}

QString GenreName(int16_t& genre) {
  int g = genre;
  QString name = GenreName(g);
  genre = static_cast<int16_t>(g);
  return name;
}

QString DurationText(int seconds) {
  return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar(u'0'));
}

bool WriteID3v1(const QString& fileName, const QString& title, const QString& artist,
                const QString& album, const QString& year, const QString& comment, int genre) {
  // Keep the encoded bytes alive for the string_views of the update.
  std::string bytes[5];
  const QString* texts[5] = {&title, &artist, &album, &year, &comment};
  std::optional<std::string_view> fields[5];
  for (int i = 0; i < 5; ++i) {
    if (*texts[i] == QLatin1String("Null")) continue;
    bytes[i] = Utf8ToCp1252(texts[i]->toStdString());
    fields[i] = bytes[i];
  }
  ID3v1Update update{fields[0], fields[1], fields[2], fields[3], fields[4], std::nullopt};
  if (genre != kKeepGenre) update.genre = static_cast<uint8_t>(genre);
  return WriteID3v1File(QFile::encodeName(fileName).constData(), update) ==
         TagWriteResult::kWritten;
}

bool BlankID3v1(const QString& fileName) {
  TagWriteResult r = BlankID3v1File(QFile::encodeName(fileName).constData());
  return r == TagWriteResult::kWritten || r == TagWriteResult::kNoTag;
}

ID3v2Tag ReadID3v2(const QString& fileName) {
  return ReadID3v2Tag(NativeName(fileName).constData());
}

bool ID3v2Exists(const QString& fileName, QString* why_unreadable) {
  errno = 0;
  FileSource source(NativeName(fileName).constData());
  if (!source.ok()) {
    // A file that opens but is not a regular file leaves errno alone: it is
    // readable, just not an MP3.
    if (errno != 0) *why_unreadable = QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  return HasID3v2Tag(source);
}

bool ID3v2Exists(const QString& fileName) { return HasID3v2Tag(NativeName(fileName).constData()); }

}  // namespace orlavo

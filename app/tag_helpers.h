// The main program's side of the tag formats: texts of the fixed records,
// genre names, ID3v1 writing and blanking, ID3v2 reading.
#ifndef ORLAVO_APP_TAG_HELPERS_H_
#define ORLAVO_APP_TAG_HELPERS_H_

#include <QString>

#include "formats/id3v2.h"
#include "formats/records.h"

namespace orlavo {

// The whole fixed-length field decoded from Windows-1252 (NULs kept as U+0000).
template <size_t N>
QString RecordText(const char (&field)[N]);
QString RecordText(const char* field, size_t size);

// NULs become spaces, then outer spaces go.
QString CleanTagText(const QString& text);

// The genre table entry; a negative number becomes 147 in the caller's variable
// too. Numbers above 147 give the blank entry.
QString GenreName(int& genre);
QString GenreName(int16_t& genre);

// Whole minutes, ":" and the seconds as two digits: 245 gives "4:05".
QString DurationText(int seconds);

// The text "Null" keeps a field as it is; genre 999 keeps the genre byte.
// Texts are written in Windows-1252 ("?" for what it cannot hold). False when
// the file could not be written.
inline constexpr int kKeepGenre = 999;
bool WriteID3v1(const QString& fileName, const QString& title, const QString& artist,
                const QString& album, const QString& year, const QString& comment, int genre);
// Blanks a present tag; a file without tag is left untouched (and gives true).
bool BlankID3v1(const QString& fileName);

ID3v2Tag ReadID3v2(const QString& fileName);
// ReadID3v2(fileName).Exists without reading the tag's frames.
bool ID3v2Exists(const QString& fileName);
// The same, and when the file could not be opened, the reason in
// *why_unreadable (left as it was otherwise): one open answers both.
bool ID3v2Exists(const QString& fileName, QString* why_unreadable);

template <size_t N>
QString RecordText(const char (&field)[N]) {
  return RecordText(field, N);
}

}  // namespace orlavo

#endif  // ORLAVO_APP_TAG_HELPERS_H_

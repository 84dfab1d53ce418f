// Small operations shared by every window and tool.
#ifndef ORLAVO_APP_HELPERS_H_
#define ORLAVO_APP_HELPERS_H_

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

#include "formats/records.h"

namespace orlavo {

class Desktop;
class ProgressDisplay;

// The text behind the last "/"; the whole text when there is none.
QString FileNameOf(const QString& path);
// The text up to and including the last "/"; the whole text when there is none.
QString FolderOf(const QString& path);

// The user's locale for number texts, always with digit grouping.
QLocale UserLocale();

// A byte count in "Bytes", "KB" or "MB"; any other unit gives "". An empty
// unit means the size unit of the live options.
QString FormatFileSize(qint64 size, const QString& unit);
// A byte count in the size unit of the live options.
QString FormatFileSize(qint64 size);

// The bytes of a path for the system calls. The file system takes UTF-8 here,
// which is what QFile::encodeName gives; this goes there without the locale
// converter's detour, which costs more than the call it feeds on short paths.
inline QByteArray NativeName(const QString& path) { return path.toUtf8(); }

// True when path names an existing file (of any size), not a folder.
bool FileExists(const QString& path);
// True when path names an existing folder.
bool FolderExists(const QString& path);

// False when the text holds any of \ / : * ? " < > |. All nine stay refused so
// that names can be copied to FAT and NTFS media.
bool IsValidFileName(const QString& text);

// The caption and percent texts of a long operation's progress. An empty verb
// is "Scanning". With show_current_file the caption is the verb and the file
// text, otherwise the verb and "#current of total".
QString ProgressCaption(qint32 current, qint32 total, const QString& file_text, const QString& verb,
                        bool show_current_file);
// The whole percent of current in total followed by "%"; "0%" for a total of 0.
QString ProgressPercent(qint32 current, qint32 total);
// Updates caption, bar and percent of the display; show_current_file defaults
// to the live option "Show file names during execution".
void ShowProgress(ProgressDisplay& display, qint32 current, qint32 total, const QString& file_text,
                  const QString& verb = QString());
void ShowProgress(ProgressDisplay& display, qint32 current, qint32 total, const QString& file_text,
                  const QString& verb, bool show_current_file);

// The words of a name: separated by spaces, and by underscores only behind the
// last space; two separators in a row give an empty word. A closing ".mp3" (in
// any letter case) is not part of the last word.
QStringList SplitWords(const QString& name);
// Appends the words of name to words.
void SplitWords(const QString& name, QStringList& words);

// The byte offset in an MP3 stream of a time text "minutes:seconds:milliseconds":
// (whole seconds + milliseconds / 1000) x Bitrate x 1000 / 8. A stream with
// Frequency 0 gives 0 whatever the text. Otherwise nullopt when the text has
// fewer than two colons, a part that is not a whole number, or more than 32767
// whole seconds.
std::optional<double> TimeToByteOffset(const QString& time_text, const StreamInfo& info);

// Removes every item.
void ClearList(QStringList& list);

// Lets pending window events run until at least the given seconds have passed.
void Pause(Desktop& desktop, double seconds);

// True when search (3 characters or more) occurs at least twice in text;
// overlapping occurrences count.
bool OccursTwice(const QString& text, const QString& search);

// Every occurrence of search replaced, left to right. Text that a replacement
// brings in is not searched again, so a replacement holding the search text
// ends like any other. An empty search leaves the text as it is.
QString ReplaceAll(const QString& text, const QString& search, const QString& replacement);

}  // namespace orlavo

#endif  // ORLAVO_APP_HELPERS_H_

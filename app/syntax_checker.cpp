#include "app/syntax_checker.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <array>

#include "app/file_ops.h"
#include "app/helpers.h"
#include "app/tag_helpers.h"

namespace orlavo {
namespace {

QString WithTrailingSlash(const QString& folder) {
  if (folder.isEmpty() || folder.endsWith(u'/')) return folder;
  return folder + u'/';
}

// UTF-16 units of the first character (a whole code point).
qsizetype FirstCharacterLength(const QString& text) {
  return text.size() > 1 && text.front().isHighSurrogate() ? 2 : 1;
}

// The first character in capitals, the rest unchanged.
QString CapitaliseFirst(const QString& text) {
  if (text.isEmpty()) return text;
  qsizetype first = FirstCharacterLength(text);
  return text.left(first).toUpper() + text.mid(first);
}

// The first character in capitals, the rest in small letters.
QString TitleCase(const QString& word) {
  qsizetype first = FirstCharacterLength(word);
  return word.left(first).toUpper() + word.mid(first).toLower();
}

bool IsAllCapitals(const QString& text) { return text == text.toUpper(); }

// Capitalises the character behind each delimiter inside a word, so that
// "rock-n-roll" reads "Rock-N-Roll" and "(live)" reads "(Live)".
QString CapitaliseAfterDelimiters(QString expected) {
  static constexpr std::array<char16_t, 5> kDelimiters = {u'-', u'.', u'[', u'(', u'{'};
  for (char16_t delimiter : kDelimiters) {
    qsizetype from = 0;
    while (true) {
      qsizetype at = expected.indexOf(QChar(delimiter), from);
      if (at < 0) break;
      if (IsAllCapitals(expected)) {
        expected = expected.toLower();
        at = expected.indexOf(QChar(delimiter), from);
        if (at < 0) break;
      }
      QString pair = expected.mid(at, 2);
      expected.replace(pair, pair.toUpper(), Qt::CaseSensitive);
      from = at + 1;
    }
  }
  return expected;
}

qint64 Nanoseconds(const timespec& time) {
  return static_cast<qint64>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

}  // namespace

QString SyntaxIgnoreListPath(const QString& program_folder) {
  return WithTrailingSlash(program_folder) + QStringLiteral("Files/SyntaxIgnoreList.txt");
}

QStringList ExceptionWords() { return {"in", "of", "the", "and", "on", "or", "DJ", "vs"}; }

QString SyntaxIgnoreTemplate(const QString& caption) {
  QStringList lines = {
      QStringLiteral("// SyntaxIgnoreList.txt (template) was created with ") + caption,
      QStringLiteral("// Everything between ' ' is scanned."),
      QStringLiteral("// Lines starting with \"//\" are ignored."),
      QStringLiteral("// Everything is case sensitive."),
      QString(),
  };
  for (const QString& word : ExceptionWords()) lines << u'\'' + word + u'\'';
  return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

bool WriteSyntaxIgnoreTemplate(const QString& program_folder, const QString& caption) {
  QString path = SyntaxIgnoreListPath(program_folder);
  if (QFile::exists(path)) return true;
  if (!QDir().mkpath(FolderOf(path))) return false;
  QSaveFile out(path);
  // Unbuffered: a write that fails on a full disk fails here and the save is
  // abandoned; a buffered one would fail only in the flush at commit, which
  // still renames the short file into place.
  if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
  QByteArray data = SyntaxIgnoreTemplate(caption).toUtf8();
  if (out.write(data) != data.size()) {
    out.cancelWriting();
    return false;
  }
  return CommitSynced(out).isEmpty();
}

QStringList ParseSyntaxIgnoreList(const QString& text) {
  QStringList entries;
  const QStringList lines = text.split(u'\n');
  for (const QString& line : lines) {
    QString trimmed = line.trimmed();  // also drops the CR of a CR LF line end
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("//")) ||
        trimmed == QLatin1String("''")) {
      continue;
    }
    // The quotes (or whatever stands there) are the first and last character.
    QString entry = trimmed.mid(1, trimmed.size() - 2);
    if (!entry.isEmpty()) entries << entry;
  }
  return entries;
}

QString ErrorLegendText() {
  return QStringList{
      QStringLiteral("Following short names are used to describe the nature of the error:"),
      QString(),
      QStringLiteral("SWLC = Starts with lower case. (One of the words starts with lowercase, "
                     "should be uppercase)."),
      QStringLiteral("ICITW = Incorrect case in the word. (Syntax should be first uppercase, "
                     "rest lowercase)."),
      QStringLiteral("ECII = Exception case is incorrect. (One of the words is an exception and "
                     "has incorrect pattern described in SyntaxIgnoreList.txt)"),
      QString(),
      QStringLiteral("v1 + ERROR = The error was found in the ID tag of the file, not the "
                     "filename itself."),
  }
      .join(QStringLiteral("\r\n"));
}

SyntaxChecker::SyntaxChecker(const QString& program_folder)
    : path_(SyntaxIgnoreListPath(program_folder)) {}

SyntaxChecker::FileStamp SyntaxChecker::StampOf(const QString& path) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return {};
  return {true,
          static_cast<qint64>(info.st_dev),
          static_cast<qint64>(info.st_ino),
          static_cast<qint64>(info.st_size),
          Nanoseconds(info.st_mtim),
          Nanoseconds(info.st_ctim)};
}

const QStringList& SyntaxChecker::Entries() const {
  if (loaded_ && holding_ > 0) return entries_;
  FileStamp now = StampOf(path_);
  if (loaded_ && now == stamp_) return entries_;
  entries_.clear();
  QFile file(path_);
  if (!now.exists) {
    // The windows write the template at start-up; without it every caller
    // (orlavo-cli included) applies the template's words, so both agree.
    entries_ = ExceptionWords();
  } else if (file.open(QIODevice::ReadOnly)) {
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    entries_ = ParseSyntaxIgnoreList(text);
  }
  by_lower_.clear();
  entry_shapes_ = {};
  for (const QString& entry : entries_) {
    const QString lower = entry.toLower();
    if (!by_lower_.contains(lower)) by_lower_.insert(lower, entry);
    // A key that is not ASCII can never equal the lower case of an ASCII word.
    if (lower.size() < 64 &&
        std::all_of(lower.begin(), lower.end(), [](QChar c) { return c.unicode() < 0x80; })) {
      entry_shapes_[static_cast<size_t>(lower.size())].set(lower.front().unicode());
    }
  }
  stamp_ = now;
  loaded_ = true;
  return entries_;
}

QString SyntaxChecker::LookupException(const QString& word) const {
  Entries();
  return by_lower_.value(word.toLower());
}

QString SyntaxChecker::CorrectSyntax(const QString& text, bool add_extension) const {
  Entries();
  ++holding_;
  const QStringList words = SplitWords(text);
  QString result;
  for (qsizetype i = 0; i < words.size(); ++i) {
    const QString& word = words[i];
    QString expected = word;
    if (!word.isEmpty()) {
      QString exception = LookupException(word);
      // The first word and the word behind a lone "-" (the start of a title)
      // begin with a capital even when the list spells them small.
      bool starts_part = i == 0 || words[i - 1] == u"-";
      if (starts_part && !IsAllCapitals(exception)) exception = CapitaliseFirst(exception);
      if (word.left(2).compare(QLatin1String("II"), Qt::CaseInsensitive) == 0) {
        expected = word;  // a Roman numeral such as II or III
      } else if (!exception.isEmpty()) {
        expected = exception;
      } else if (word.front().isDigit()) {
        expected = word;
      } else {
        expected = TitleCase(word);
      }
      expected = CapitaliseAfterDelimiters(expected);
    }
    result += expected + u' ';
  }
  result.chop(1);
  if (add_extension) result += QStringLiteral(".mp3");
  --holding_;
  return result;
}

bool SyntaxChecker::MayBeException(QStringView word) const {
  if (word.size() >= 64) return false;
  char16_t first = word.front().unicode();
  if (first >= u'A' && first <= u'Z') first += 0x20;
  return entry_shapes_[static_cast<size_t>(word.size())].test(first);
}

bool SyntaxChecker::QuickFileNameVerdict(QStringView name, bool* fails) const {
  // The corrected name is the words joined by single spaces and ".mp3"; for
  // plain ASCII words each corrected word is as long as the word, so the name
  // passes exactly when it ends in ".mp3", no underscore splits its last part
  // and each word equals its corrected form.
  if (!name.endsWith(QLatin1String(".mp3"))) return false;
  const QStringView body = name.chopped(4);
  const qsizetype last_space = body.lastIndexOf(u' ');
  if (body.indexOf(u'_', last_space + 1) >= 0) return false;
  for (QChar c : body) {
    const char16_t u = c.unicode();
    if (u >= 0x80 || u == u'.' || u == u'[' || u == u'(' || u == u'{') return false;
  }
  *fails = false;
  QStringView previous;
  qsizetype start = 0;
  for (int index = 0; start <= body.size(); ++index) {
    qsizetype end = body.indexOf(u' ', start);
    if (end < 0) end = body.size();
    const QStringView word = body.mid(start, end - start);
    start = end + 1;
    const bool starts_part = index == 0 || previous == u"-";
    previous = word;
    if (word.isEmpty() || word == u"-") continue;
    // A hyphen inside a word capitalises what follows it: the long way.
    if (word.contains(u'-')) return false;
    if (word.left(2).compare(QLatin1String("II"), Qt::CaseInsensitive) == 0) continue;
    if (MayBeException(word)) {
      QString exception = LookupException(word.toString());
      if (!exception.isEmpty()) {
        if (starts_part && !IsAllCapitals(exception)) exception = CapitaliseFirst(exception);
        if (exception != word) return *fails = true;
        continue;
      }
    }
    const char16_t first = word.front().unicode();
    if (first >= u'0' && first <= u'9') continue;
    if (first >= u'a' && first <= u'z') return *fails = true;
    for (QChar c : word.mid(1)) {
      if (c.unicode() >= u'A' && c.unicode() <= u'Z') return *fails = true;
    }
  }
  return true;
}

bool SyntaxChecker::FileNameSyntaxFails(const QString& file_name) const {
  Entries();
  bool fails = false;
  if (QuickFileNameVerdict(file_name, &fails)) return fails;
  return CorrectSyntax(file_name, true) != file_name;
}

bool SyntaxChecker::TagSyntaxFails(const QString& title, const QString& artist) const {
  QString clean_title = CleanTagText(title);
  if (CorrectSyntax(clean_title, false) != clean_title) return true;
  QString clean_artist = CleanTagText(artist);
  return CorrectSyntax(clean_artist, false) != clean_artist;
}

}  // namespace orlavo

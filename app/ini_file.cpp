#include "app/ini_file.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QSaveFile>
#include <optional>

#include "app/file_ops.h"

namespace orlavo {
namespace {

// The file's lines as raw bytes, without their line ends. Lines are kept as
// bytes so that a write gives back every untouched line exactly, even one that
// is not valid UTF-8. nullopt when the file exists but cannot be read; an empty
// list when it does not exist.
std::optional<QList<QByteArray>> ReadLines(const QString& file) {
  QFile in(file);
  if (!in.exists()) return QList<QByteArray>{};
  if (!in.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray data = in.readAll();
  if (in.error() != QFileDevice::NoError) return std::nullopt;
  if (data.startsWith("\xEF\xBB\xBF")) data.remove(0, 3);
  QList<QByteArray> lines = data.split('\n');
  // A final line end does not start another line.
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  for (QByteArray& line : lines) {
    if (line.endsWith('\r')) line.chop(1);
  }
  return lines;
}

// The section name when the line is a section line.
std::optional<QString> SectionOf(const QByteArray& line) {
  QString text = QString::fromUtf8(line).trimmed();
  if (!text.startsWith(u'[')) return std::nullopt;
  qsizetype close = text.indexOf(u']');
  return text.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

struct KeyLine {
  QString key;
  QString value;
};

std::optional<KeyLine> KeyLineOf(const QByteArray& line) {
  QString text = QString::fromUtf8(line);
  qsizetype equals = text.indexOf(u'=');
  if (equals < 0) return std::nullopt;
  return KeyLine{text.left(equals).trimmed(), text.mid(equals + 1).trimmed()};
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool HasLineBreakOrNul(const QString& text) {
  return text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(u'\0'));
}

bool IsStorableSection(const QString& section) {
  return !section.trimmed().isEmpty() && !section.contains(u']') && !HasLineBreakOrNul(section);
}

bool IsStorableKey(const QString& key) {
  QString trimmed = key.trimmed();
  return !trimmed.isEmpty() && !trimmed.startsWith(u'[') && !key.contains(u'=') &&
         !HasLineBreakOrNul(key);
}

QString CutToReadLimit(QString value) {
  if (value.size() <= kIniValueMaxLength) return value;
  value.truncate(kIniValueMaxLength);
  // Never hand out half of a surrogate pair.
  if (value.back().isHighSurrogate()) value.chop(1);
  return value;
}

bool WriteLines(const QString& file, const QList<QByteArray>& lines) {
  QSaveFile out(file);
  // Unbuffered: a write that fails on a full disk fails here and the save is
  // abandoned; a buffered one would fail only in the flush at commit, which
  // still renames the short file into place.
  if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
  QByteArray data;
  for (const QByteArray& line : lines) {
    data += line;
    data += "\r\n";
  }
  if (out.write(data) != data.size()) {
    out.cancelWriting();
    return false;
  }
  return CommitSynced(out).isEmpty();
}

}  // namespace

QString IniRead(const QString& section, const QString& key, const QString& file) {
  std::optional<QList<QByteArray>> lines = ReadLines(file);
  if (!lines) return {};
  QString wanted_key = key.trimmed();
  bool in_section = false;
  for (const QByteArray& line : *lines) {
    if (std::optional<QString> name = SectionOf(line)) {
      // Like the writer, only the first section of the name counts.
      if (in_section) break;
      in_section = SameName(*name, section.trimmed());
      continue;
    }
    if (!in_section) continue;
    std::optional<KeyLine> entry = KeyLineOf(line);
    if (entry && SameName(entry->key, wanted_key)) return CutToReadLimit(entry->value);
  }
  return {};
}

bool IniWrite(const QString& section, const QString& key, const QString& value,
              const QString& file) {
  if (!IsStorableSection(section) || !IsStorableKey(key) || HasLineBreakOrNul(value)) {
    return false;
  }
  std::optional<QList<QByteArray>> read = ReadLines(file);
  if (!read) return false;  // an unreadable file must not be replaced by a new one
  QList<QByteArray> lines = std::move(*read);

  const QString wanted_section = section.trimmed();
  const QString wanted_key = key.trimmed();
  // Index of the first line of the first matching section's body, and one
  // behind its last non-blank line.
  std::optional<qsizetype> body_start;
  qsizetype insert_at = 0;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (std::optional<QString> name = SectionOf(lines[i])) {
      if (body_start) break;
      if (SameName(*name, wanted_section)) {
        body_start = i + 1;
        insert_at = i + 1;
      }
      continue;
    }
    if (!body_start) continue;
    if (std::optional<KeyLine> entry = KeyLineOf(lines[i]);
        entry && SameName(entry->key, wanted_key)) {
      // The key keeps the spelling it has in the file.
      lines[i] = entry->key.toUtf8() + '=' + value.toUtf8();
      return WriteLines(file, lines);
    }
    if (!lines[i].trimmed().isEmpty()) insert_at = i + 1;
  }

  QByteArray key_line = wanted_key.toUtf8() + '=' + value.toUtf8();
  if (body_start) {
    lines.insert(insert_at, key_line);
  } else {
    lines.append('[' + wanted_section.toUtf8() + ']');
    lines.append(key_line);
  }
  return WriteLines(file, lines);
}

}  // namespace orlavo

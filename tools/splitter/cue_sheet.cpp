#include "tools/splitter/cue_sheet.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "app/file_ops.h"
#include "app/helpers.h"
#include "tools/splitter/split_time.h"

namespace orlavo {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString DecodeSheet(QByteArray bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (!utf8.hasError()) return text;
  // Sheets written by older Windows programs are in the ANSI code page.
  QStringDecoder ansi("windows-1252");
  return ansi.isValid() ? ansi.decode(bytes) : QString::fromLatin1(bytes);
}

QStringList SheetLines(const QString& text) {
  QString unified = text;
  unified.replace(kCrLf, QStringLiteral("\n"));
  unified.replace(u'\r', u'\n');
  return unified.split(u'\n');
}

bool StartsWithKeyword(const QString& line, const char* keyword) {
  const QString k = QString::fromLatin1(keyword);
  if (!line.startsWith(k, Qt::CaseInsensitive)) return false;
  return line.size() == k.size() || line[k.size()].isSpace();
}

// The value behind a keyword, without its surrounding quotes.
QString KeywordValue(const QString& line, int keyword_length) {
  QString value = line.mid(keyword_length).trimmed();
  if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"')) {
    value = value.mid(1, value.size() - 2);
  }
  return value;
}

// The name a FILE line gives, unresolved.
QString FileLineName(const QString& line) {
  QString rest = line.mid(4).trimmed();  // behind "FILE"
  if (rest.startsWith(u'"')) {
    const qsizetype close = rest.lastIndexOf(u'"');
    if (close > 0) return rest.mid(1, close - 1);
    return rest.mid(1);
  }
  // Unquoted: the last word is the file type, when there are two or more.
  const qsizetype space = rest.lastIndexOf(u' ');
  return space > 0 ? rest.left(space).trimmed() : rest;
}

QString WithMp3Extension(const QString& path) {
  const QString name = FileNameOf(path);
  const qsizetype dot = name.lastIndexOf(u'.');
  const QString stem = dot > 0 ? name.left(dot) : name;
  return path.left(path.size() - name.size()) + stem + QStringLiteral(".mp3");
}

CueSheet ParseStandard(const QStringList& lines, const QString& cue_folder) {
  CueSheet sheet;
  sheet.kind = CueKind::kStandard;
  sheet.destination = cue_folder;
  bool have_file = false;
  struct Block {
    QString title;
    std::optional<qint64> index00, index01;
  };
  std::vector<Block> blocks;
  for (const QString& raw : lines) {
    const QString line = raw.trimmed();
    if (StartsWithKeyword(line, "FILE")) {
      // One source per sheet: tracks of a second file would be timed against
      // the wrong audio, so the sheet ends there.
      if (have_file) break;
      have_file = true;
      sheet.source = ResolveCueSource(line, cue_folder);
    } else if (StartsWithKeyword(line, "TRACK")) {
      blocks.emplace_back();
    } else if (blocks.empty()) {
      continue;  // sheet-level TITLE, PERFORMER, REM ... name no track
    } else if (StartsWithKeyword(line, "TITLE")) {
      blocks.back().title = KeywordValue(line, 5);
    } else if (StartsWithKeyword(line, "INDEX")) {
      const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
      if (words.size() < 3) continue;
      bool numbered = false;
      const int number = words[1].toInt(&numbered);
      const qint64 ms = CueIndexMilliseconds(words.last());
      Block& b = blocks.back();
      if (numbered && number == 0) {
        if (!b.index00) b.index00 = ms;
      } else if (numbered && number == 1) {
        if (!b.index01) b.index01 = ms;
      }
    }
  }
  for (const Block& b : blocks) {
    sheet.tracks.push_back({b.title, b.index01 ? b.index01 : b.index00});
  }
  return sheet;
}

CueSheet ParseOrv(const QStringList& lines) {
  CueSheet sheet;
  sheet.kind = CueKind::kOrv;
  if (!lines.isEmpty()) sheet.source = lines[0].trimmed();
  if (lines.size() > 1) sheet.destination = lines[1].trimmed();
  for (qsizetype i = 2; i < lines.size(); ++i) {
    if (lines[i].trimmed().isEmpty()) continue;
    const QStringList fields = lines[i].split(u'\t');
    if (fields.size() < 5) {
      sheet.error = QStringLiteral("line %1 of the cue sheet does not hold a track (%2).")
                        .arg(i + 1)
                        .arg(lines[i].trimmed());
      break;
    }
    sheet.rows.push_back({fields[0], fields[1], fields[2], fields[3], fields[4]});
  }
  return sheet;
}

}  // namespace

CueSheet ParseCueSheet(const QByteArray& bytes, const QString& cue_path) {
  const QStringList lines = SheetLines(DecodeSheet(bytes));
  bool standard = false;
  for (const QString& line : lines) {
    if (line.trimmed().startsWith(QStringLiteral("FILE "), Qt::CaseInsensitive)) {
      standard = true;
      break;
    }
  }
  if (standard) return ParseStandard(lines, FolderOf(QFileInfo(cue_path).absoluteFilePath()));
  return ParseOrv(lines);
}

std::optional<CueSheet> ReadCueSheet(const QString& cue_path, QString* error) {
  QFile file(cue_path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = file.errorString();
    return std::nullopt;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    *error = file.errorString();
    return std::nullopt;
  }
  return ParseCueSheet(bytes, cue_path);
}

QString ResolveCueSource(const QString& file_line, const QString& cue_folder) {
  const QString name = FileLineName(file_line.trimmed());
  if (name.isEmpty()) return cue_folder;
  const QString path = name.startsWith(u'/') ? name : cue_folder + name;
  if (FileExists(path)) return path;
  const QString mp3 = WithMp3Extension(path);
  return FileExists(mp3) ? mp3 : path;
}

qint64 CueIndexMilliseconds(const QString& time_text) {
  const QStringList parts = time_text.trimmed().split(u':');
  const SplitTime t = ParseTimeText(time_text.trimmed());
  qint64 whole = t.WholeSeconds() * 1000;
  if (parts.size() < 3) return whole;
  const QString third = parts[2].trimmed();
  if (third.size() == 3) return whole + t.milliseconds;
  return whole + (t.milliseconds * 1000 + 37) / 75;  // frames, nearest millisecond
}

QString CueIndexText(qint64 ms) {
  qint64 seconds = ms / 1000;
  qint64 frames = std::llround(static_cast<double>(ms % 1000) * 75.0 / 1000.0);
  if (frames == 75) {
    frames = 0;
    seconds += 1;
  }
  return TwoDigits(seconds / 60) + u':' + TwoDigits(seconds % 60) + u':' + TwoDigits(frames);
}

QString OrvCueText(const QString& source, const QString& destination,
                   const std::vector<CueRow>& rows) {
  QString text = source + kCrLf + destination + kCrLf;
  for (const CueRow& r : rows) {
    text += r.number + u'\t' + r.name + u'\t' + r.start + u'\t' + r.end + u'\t' + r.duration +
            u'\t' + kCrLf;
  }
  return text;
}

QString StandardCueText(const QString& source, const std::vector<CueRow>& rows) {
  QString text = QStringLiteral("FILE \"") + source + QStringLiteral("\" MP3") + kCrLf;
  int k = 0;
  for (const CueRow& r : rows) {
    ++k;
    text += QStringLiteral("  TRACK ") + TwoDigits(k) + QStringLiteral(" AUDIO") + kCrLf;
    text += QStringLiteral("    TITLE \"") + r.name + u'"' + kCrLf;
    text += QStringLiteral("    INDEX 01 ") +
            CueIndexText(ParseTimeText(r.start).TotalMilliseconds()) + kCrLf;
  }
  return text;
}

QString NextSavedCuePath(const QString& program_folder) {
  const QString folder = QDir(program_folder).filePath(QStringLiteral("Files")) + u'/';
  for (int n = 1;; ++n) {
    const QString path = folder + QStringLiteral("Saved_Cue%1.cue").arg(n, 3, 10, QLatin1Char('0'));
    if (!QFileInfo::exists(path)) return path;
  }
}

std::optional<QString> SaveCueText(const QString& program_folder, const QString& text,
                                   QString* error) {
  const QString folder = QDir(program_folder).filePath(QStringLiteral("Files"));
  if (!QDir().mkpath(folder)) {
    *error = QStringLiteral("%1 cannot be created.").arg(folder);
    return std::nullopt;
  }
  QTemporaryFile temp(folder + QStringLiteral("/.Saved_Cue-XXXXXX.part"));
  const QByteArray bytes = text.toUtf8();
  if (!temp.open() || temp.write(bytes) != bytes.size() || !temp.flush()) {
    *error = temp.errorString();
    return std::nullopt;
  }
  // The sheet gets its name only once the disk has its bytes: a write error
  // reported at the sync must not leave a short sheet under a final name.
  if (::fdatasync(temp.handle()) != 0 && errno != EINVAL) {
    *error = QString::fromLocal8Bit(std::strerror(errno));
    return std::nullopt;
  }
  temp.close();
  // Another writer may take the free name first: then the next one is tried.
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const QString path = NextSavedCuePath(program_folder);
    const RenameResult moved = RenameNoReplace(temp.fileName(), path);
    if (moved.ok()) {
      temp.setAutoRemove(false);
      return path;
    }
    if (moved.status != RenameStatus::kTargetExists) {
      *error = moved.error;
      return std::nullopt;
    }
  }
  *error = QStringLiteral("no free Saved_Cue name in %1.").arg(folder);
  return std::nullopt;
}

}  // namespace orlavo

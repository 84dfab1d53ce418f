#include "app/tag_transfer.h"

#include "app/desktop.h"
#include "app/helpers.h"
#include "app/syntax_checker.h"

namespace orlavo {

QString ApplyPattern(const QString& pattern, const QString& artist, const QString& title,
                     const QString& album, const QString& year, const QString& genre) {
  QString name = pattern;
  name.replace(QLatin1String("%Artist"), artist, Qt::CaseInsensitive);
  name.replace(QLatin1String("%Title"), title, Qt::CaseInsensitive);
  name.replace(QLatin1String("%Album"), album, Qt::CaseInsensitive);
  name.replace(QLatin1String("%Year"), year, Qt::CaseInsensitive);
  name.replace(QLatin1String("%Genre"), genre, Qt::CaseInsensitive);
  return name;
}

NameParts SplitNameIntoTag(const QString& file_name, const SyntaxChecker& checker) {
  QString artist, title;
  QString* target = &artist;
  for (const QString& word : SplitWords(FileNameOf(file_name))) {
    if (word == QLatin1String("-")) {
      target = &title;
      continue;
    }
    *target += word + u' ';
  }
  NameParts parts;
  if (!artist.isEmpty()) parts.artist = checker.CorrectSyntax(artist.trimmed(), false);
  if (!title.isEmpty()) parts.title = checker.CorrectSyntax(title.trimmed(), false);
  return parts;
}

TagRename RenameFromTag(const QString& path, const QString& main_folder, const QString& pattern,
                        const TagFields& f, Desktop& desktop) {
  const QString name = ApplyPattern(pattern, f.artist, f.title, f.album, f.year, f.genre);
  TagRename out;
  const QString title = QStringLiteral("Renaming...");
  if (name.trimmed().isEmpty() || !IsValidFileName(name)) {
    out.result = {RenameStatus::kFailed, {}};
    desktop.Inform(title,
                   QStringLiteral("\"%1\" was not renamed: the new name \"%2.mp3\" holds a "
                                  "character that file names may not hold "
                                  "(\\ / : * ? \" < > |) or is empty.")
                       .arg(FileNameOf(path), name),
                   Desktop::Icon::kWarning);
    return out;
  }
  out.target = main_folder.trimmed() + name + QStringLiteral(".mp3");
  out.result = RenameNoReplace(path, out.target);
  if (out.result.ok()) return out;
  QString why;
  switch (out.result.status) {
    case RenameStatus::kTargetExists:
      why = QStringLiteral("a file with that name already exists");
      break;
    case RenameStatus::kSourceMissing:
      why = QStringLiteral("the file no longer exists");
      break;
    case RenameStatus::kInUse:
      why = QStringLiteral("the file is in use or may not be changed (%1)").arg(out.result.error);
      break;
    default:
      why = out.result.error;
  }
  desktop.Inform(title, QStringLiteral("%1 was not renamed to %2: %3.").arg(path, out.target, why),
                 Desktop::Icon::kWarning);
  return out;
}

QString PatternInfoText() {
  return QStringLiteral(
      "Following commands can be used when renaming file with ID3v1 of the file:\r\n"
      "%Title\t - Title\r\n"
      "%Artist\t - Artist\r\n"
      "%Album\t - Album\r\n"
      "%Year\t - Year\r\n"
      "%Genre    - Genre\r\n"
      "\r\n"
      ".mp3 is automatically added.  For advanced renaming,\r\n"
      "try Advanced Tools -> File name Editor.");
}

}  // namespace orlavo

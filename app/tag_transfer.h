// Moving text between a file's name and its ID3v1 tag: the rename pattern,
// "Filename -> ID3v1 TAG" and "ID3v1 TAG -> Filename".
#ifndef ORLAVO_APP_TAG_TRANSFER_H_
#define ORLAVO_APP_TAG_TRANSFER_H_

#include <QString>

#include "app/file_ops.h"

namespace orlavo {

class Desktop;
class SyntaxChecker;

// The keywords %Artist, %Title, %Album, %Year and %Genre replaced, in that
// order, without regard to case; other text is kept.
QString ApplyPattern(const QString& pattern, const QString& artist, const QString& title,
                     const QString& album, const QString& year, const QString& genre);

struct NameParts {
  QString artist;
  QString title;
};

// "Filename -> ID3v1 TAG": the words before the first "-" word are the artist,
// the rest (further "-" words dropped) the title, each syntax-corrected.
NameParts SplitNameIntoTag(const QString& file_name, const SyntaxChecker& checker);

// The fields of the ID3v1 panel used by the rename.
struct TagFields {
  QString artist, title, album, year, genre;
};

struct TagRename {
  QString target;  // the full new path ("" when no name could be built)
  RenameResult result;
};

// "ID3v1 TAG -> Filename" after its question: renames `path` into the main
// folder under the pattern's name + ".mp3". A name with a character file names
// may not hold, or a target that exists, leaves the file as it was; the person
// is told why in a "Renaming..." message box.
TagRename RenameFromTag(const QString& path, const QString& main_folder, const QString& pattern,
                        const TagFields& fields, Desktop& desktop);

// The texts of the "Info" button.
QString PatternInfoText();

}  // namespace orlavo

#endif  // ORLAVO_APP_TAG_TRANSFER_H_

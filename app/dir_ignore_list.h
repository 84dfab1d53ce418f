// The folder ignore list as the Options dialog edits it: every line in file
// order, written back whole.
#ifndef ORLAVO_APP_DIR_IGNORE_LIST_H_
#define ORLAVO_APP_DIR_IGNORE_LIST_H_

#include <QString>
#include <QStringList>

namespace orlavo {

// Every line of Files/DirIgnoreList.txt in order (CR LF or LF; the line end
// of the last line is optional). A missing list is created empty first, with
// its folder.
QStringList LoadDirIgnoreListLines(const QString& program_folder);

// Replaces the list with one folder per line, UTF-8 with CR LF after every
// line. The old list stays whole when the write fails (false).
bool SaveDirIgnoreList(const QString& program_folder, const QStringList& folders);

// A folder as an ignore-list line: with its closing "/" ("" stays "").
QString IgnoreListEntry(const QString& folder);

// The row to select after the row at removed was taken out of a list that now
// holds remaining rows: the row that took its place, or the new last row;
// -1 when the list is empty.
int RowAfterRemoval(int removed, int remaining);

}  // namespace orlavo

#endif  // ORLAVO_APP_DIR_IGNORE_LIST_H_

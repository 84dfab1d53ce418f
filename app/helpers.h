// Small operations shared by every window and tool.
#ifndef ORLAVO_APP_HELPERS_H_
#define ORLAVO_APP_HELPERS_H_

#include <QLocale>
#include <QString>

namespace orlavo {

// The text behind the last "/"; the whole text when there is none.
QString FileNameOf(const QString& path);
// The text up to and including the last "/"; the whole text when there is none.
QString FolderOf(const QString& path);

// The user's locale for number texts, always with digit grouping.
QLocale UserLocale();

// A byte count in "Bytes", "KB" or "MB"; any other unit gives "".
QString FormatFileSize(qint64 size, const QString& unit);

}  // namespace orlavo

#endif  // ORLAVO_APP_HELPERS_H_

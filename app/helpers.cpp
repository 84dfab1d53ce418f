#include "app/helpers.h"

#include <cmath>

namespace orlavo {

QString FileNameOf(const QString& path) {
  qsizetype slash = path.lastIndexOf(u'/');
  return slash < 0 ? path : path.mid(slash + 1);
}

QString FolderOf(const QString& path) {
  qsizetype slash = path.lastIndexOf(u'/');
  return slash < 0 ? path : path.left(slash + 1);
}

QLocale UserLocale() {
  QLocale locale;
  locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
  return locale;
}

QString FormatFileSize(qint64 size, const QString& unit) {
  QLocale locale = UserLocale();
  if (unit == QLatin1String("Bytes")) return locale.toString(size) + QStringLiteral(" bytes");
  if (unit == QLatin1String("KB")) {
    return locale.toString(std::llround(static_cast<double>(size) / 1024.0)) +
           QStringLiteral(" KB");
  }
  if (unit == QLatin1String("MB")) {
    return locale.toString(static_cast<double>(size) / 1024.0 / 1024.0, 'f', 2) +
           QStringLiteral(" MB");
  }
  return {};
}

}  // namespace orlavo

// Readable GoogleTest failure messages for QString and QStringList values.
#ifndef ORLAVO_TESTS_SUPPORT_QSTRING_PRINT_H_
#define ORLAVO_TESTS_SUPPORT_QSTRING_PRINT_H_

#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
  QString shown = text;
  shown.replace(QLatin1String("\r"), QLatin1String("\\r"));
  shown.replace(QLatin1String("\n"), QLatin1String("\\n"));
  shown.replace(QLatin1String("\t"), QLatin1String("\\t"));
  *os << '"' << shown.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os) {
  *os << '{';
  for (qsizetype i = 0; i < list.size(); ++i) {
    if (i > 0) *os << ", ";
    PrintTo(list[i], os);
  }
  *os << '}';
}

#endif  // ORLAVO_TESTS_SUPPORT_QSTRING_PRINT_H_

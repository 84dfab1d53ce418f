// Reading and writing one key of an INI file with the profile semantics the
// program's settings and skin files rely on.
//
// Section and key names are compared without regard to letter case; the first
// matching section and key win. A value is read with its outer blanks removed
// and cut to 254 characters. A write updates the key where it stands and keeps
// every other line as it was; a missing key is added at the end of its section,
// a missing section at the end of the file, a missing file is created. Files are
// UTF-8 without BOM and are written with CR LF line ends; LF alone is accepted on
// read.
#ifndef ORLAVO_APP_INI_FILE_H_
#define ORLAVO_APP_INI_FILE_H_

#include <QString>

namespace orlavo {

// The longest value IniRead delivers (a 255-character buffer with its NUL).
inline constexpr int kIniValueMaxLength = 254;

// The value of the key, or "" when the file, the section or the key is missing.
QString IniRead(const QString& section, const QString& key, const QString& file);

// Writes one key. The new file replaces the old one in a single rename, so a
// crash leaves either the old or the new file, never a half-written one.
// False when the file could not be read or written, or when the section, key or
// value cannot be stored on one INI line (line breaks, NUL, "]" in a section
// name, "=" in a key, empty names). Callers may ignore the result.
bool IniWrite(const QString& section, const QString& key, const QString& value,
              const QString& file);

}  // namespace orlavo

#endif  // ORLAVO_APP_INI_FILE_H_

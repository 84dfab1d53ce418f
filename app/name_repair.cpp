#include "app/name_repair.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <span>
#include <string_view>

#include "formats/text_encoding.h"

namespace orlavo {
namespace {

struct Listed {
  QByteArray name;
  bool is_folder;
};

QList<Listed> ListFolder(const QByteArray& folder) {
  QList<Listed> entries;
  DIR* dir = opendir(folder.constData());
  if (dir == nullptr) return entries;
  const int fd = dirfd(dir);
  while (dirent* d = readdir(dir)) {
    if (d->d_name[0] == '.') continue;  // ".", ".." and hidden entries
    struct stat st;
    if (fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    entries.push_back({QByteArray(d->d_name), S_ISDIR(st.st_mode)});
  }
  closedir(dir);
  // A stable order, so that two runs list the same names alike.
  std::sort(entries.begin(), entries.end(),
            [](const Listed& a, const Listed& b) { return a.name < b.name; });
  return entries;
}

bool Exists(const QByteArray& path) {
  struct stat st;
  return lstat(path.constData(), &st) == 0;
}

void Walk(const QByteArray& folder, bool sub_folders, LegacyEncoding encoding,
          QList<NameRepair>& repairs) {
  QSet<QString> claimed;
  for (const Listed& entry : ListFolder(folder)) {
    if (!IsValidUtf8(entry.name)) {
      NameRepair repair{folder, entry.name, DecodeLegacyName(entry.name, encoding),
                        entry.is_folder};
      repair.taken = claimed.contains(repair.fixed) || Exists(repair.fixed_path());
      claimed.insert(repair.fixed);
      repairs.push_back(repair);
    }
    // Pre-order: a folder's own repair comes just before what it holds.
    if (sub_folders && entry.is_folder) Walk(folder + entry.name + '/', true, encoding, repairs);
  }
}

}  // namespace

bool IsValidUtf8(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  // The decoder works when its result is taken.
  const QString text = decoder(bytes);
  return !decoder.hasError();
}

QString DecodeLegacyName(const QByteArray& bytes, LegacyEncoding encoding) {
  const std::string_view view(bytes.constData(), static_cast<size_t>(bytes.size()));
  const std::string utf8 =
      encoding == LegacyEncoding::kLatin1
          ? Latin1ToUtf8(std::span<const uint8_t>(
                reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size()))
          : Cp1252ToUtf8(view);
  return QString::fromStdString(utf8);
}

QList<NameRepair> FindBrokenNames(const QByteArray& folder, bool sub_folders,
                                  LegacyEncoding encoding) {
  QList<NameRepair> repairs;
  Walk(folder.endsWith('/') ? folder : folder + '/', sub_folders, encoding, repairs);
  return repairs;
}

QList<RenameResult> ApplyNameRepairs(const QList<NameRepair>& repairs) {
  QList<RenameResult> results(repairs.size());
  // Folders come before their contents: renaming from the end keeps every
  // path valid until its own turn.
  for (qsizetype i = repairs.size() - 1; i >= 0; --i) {
    const NameRepair& r = repairs[i];
    if (r.taken) {
      results[i] = {RenameStatus::kTargetExists, QStringLiteral("the name is taken"), EEXIST};
      continue;
    }
    results[i] = RenameNoReplaceBytes(r.path(), r.fixed_path());
  }
  return results;
}

QString ShownName(const QByteArray& bytes) {
  QString shown;
  qsizetype i = 0;
  while (i < bytes.size()) {
    // The longest valid UTF-8 sequence at i (1 to 4 bytes), else one raw byte.
    qsizetype length = 0;
    for (qsizetype n = 1; n <= 4 && i + n <= bytes.size(); ++n) {
      if (IsValidUtf8(bytes.mid(i, n))) {
        length = n;
        break;
      }
    }
    if (length > 0) {
      shown += QString::fromUtf8(bytes.mid(i, length));
      i += length;
    } else {
      shown +=
          QStringLiteral("\\x") +
          QStringLiteral("%1").arg(static_cast<uint8_t>(bytes[i]), 2, 16, QChar(u'0')).toUpper();
      ++i;
    }
  }
  return shown;
}

}  // namespace orlavo

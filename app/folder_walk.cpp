#include "app/folder_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "app/desktop.h"
#include "app/flags.h"
#include "app/report_list.h"

namespace orlavo {
namespace {

enum class Kind { kOther, kFolder, kFile };

// One listed name: its bytes sit in the listing's buffer; a name that is not
// ASCII is kept decoded as well.
struct Entry {
  uint32_t offset;
  uint32_t length;
  Kind kind;
  bool ascii;
  QString decoded;
};

struct Names {
  std::string bytes;
  std::vector<Entry> entries;

  QLatin1StringView Ascii(const Entry& e) const {
    return QLatin1StringView(bytes.data() + e.offset, static_cast<qsizetype>(e.length));
  }
  QString Text(const Entry& e) const { return e.ascii ? QString(Ascii(e)) : e.decoded; }
  // folder + name (+ suffix) in one allocation.
  QString Path(const QString& folder, const Entry& e, QChar suffix = QChar()) const {
    QString path;
    path.reserve(folder.size() + static_cast<qsizetype>(e.length) + 1);
    path += folder;
    if (e.ascii) {
      path += Ascii(e);
    } else {
      path += e.decoded;
    }
    if (!suffix.isNull()) path += suffix;
    return path;
  }
  // List text order, as CompareListText orders the decoded names.
  bool Less(const Entry& a, const Entry& b) const {
    if (!a.ascii || !b.ascii) return CompareListText(Text(a), Text(b)) < 0;
    const char* x = bytes.data() + a.offset;
    const char* y = bytes.data() + b.offset;
    const uint32_t n = std::min(a.length, b.length);
    for (uint32_t i = 0; i < n; ++i) {
      char p = x[i], q = y[i];
      if (p == q) continue;
      if (p >= 'A' && p <= 'Z') p += 0x20;
      if (q >= 'A' && q <= 'Z') q += 0x20;
      if (p != q) return p < q;
    }
    if (a.length != b.length) return a.length < b.length;
    return std::memcmp(x, y, n) < 0;
  }
};

// Strict UTF-8 only: a name that decodes with replacement characters would
// not map back to the same bytes, and an operation on it could hit another file.
bool DecodeName(const char* bytes, size_t length, QString* name) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  *name = decoder(QByteArrayView(bytes, static_cast<qsizetype>(length)));
  return !decoder.hasError();
}

bool IsAscii(const char* bytes, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
  }
  return true;
}

bool EndsWithMp3(const char* name, size_t length) {
  if (length < 4) return false;
  const char* e = name + length - 4;
  return e[0] == '.' && (e[1] | 0x20) == 'm' && (e[2] | 0x20) == 'p' && e[3] == '3';
}

Kind KindOf(int dir_fd, const char* name, unsigned char type) {
  switch (type) {
    case DT_DIR:
      return Kind::kFolder;
    case DT_REG:
      return Kind::kFile;
    case DT_LNK: {
      // A link counts as the regular file it points to, never as a folder.
      struct stat st;
      if (fstatat(dir_fd, name, &st, 0) == 0 && S_ISREG(st.st_mode)) return Kind::kFile;
      return Kind::kOther;
    }
    case DT_UNKNOWN: {
      struct stat st;
      if (fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return Kind::kOther;
      if (S_ISDIR(st.st_mode)) return Kind::kFolder;
      if (S_ISREG(st.st_mode)) return Kind::kFile;
      if (S_ISLNK(st.st_mode)) return KindOf(dir_fd, name, DT_LNK);
      return Kind::kOther;
    }
    default:
      return Kind::kOther;
  }
}

QString WithSlash(const QString& folder) { return folder.endsWith(u'/') ? folder : folder + u'/'; }

// Reads each folder once: its sub-folders and its MP3 files come from the
// same listing.
class Walker {
 public:
  Walker(const WalkSetup& setup, bool read_ignore_list) : setup_(setup) {
    if (read_ignore_list) ignored_ = ReadDirIgnoreList(setup.program_folder);
  }

  // Sub-folders (with "/") and files of one folder, as the walk hands them out.
  struct Listing {
    QStringList folders;
    QStringList files;
  };

  Listing Read(const QString& folder, bool want_folders, bool want_files, PathList& list) {
    const QString base = WithSlash(folder);
    const Names names = List(base, want_folders, want_files, list);
    Listing listing;
    if (want_folders) {
      for (const Entry& entry : names.entries) {
        if (entry.kind != Kind::kFolder) continue;
        LetEventsRun();
        if (StopRequested) break;
        QString candidate = names.Path(base, entry, u'/');
        if (!ignored_.contains(candidate)) listing.folders << candidate;
      }
    }
    if (want_files) {
      LetEventsRun();
      for (const Entry& entry : names.entries) {
        if (StopRequested) break;
        if (entry.kind == Kind::kFile) listing.files << names.Path(base, entry);
      }
    }
    return listing;
  }

  // Pre-order: each folder directly before its own sub-folders; with files,
  // each folder's files follow it.
  void Below(const QStringList& folders, bool with_files, PathList& list) {
    for (const QString& sub : folders) {
      if (StopRequested) break;
      Listing listing = Read(sub, true, with_files, list);
      if (with_files) {
        list.Items << listing.files;
      } else {
        list.Items << sub;
      }
      Below(listing.folders, with_files, list);
    }
  }

 private:
  void LetEventsRun() {
    if (setup_.desktop != nullptr) setup_.desktop->LetEventsRun();
  }

  // The visible entries wanted, in list text order.
  Names List(const QString& base, bool want_folders, bool want_files, PathList& list) {
    Names names;
    const QByteArray encoded = QFile::encodeName(base);
    DIR* dir = opendir(encoded.constData());
    if (dir == nullptr) {
      list.Denied << Refused{base, QString::fromLocal8Bit(std::strerror(errno))};
      return names;
    }
    // A folder that can be listed but not searched names files that cannot
    // be opened: listing them would only make every later read fail quietly.
    if (::faccessat(AT_FDCWD, encoded.constData(), X_OK, AT_EACCESS) != 0) {
      list.Denied << Refused{base, QString::fromLocal8Bit(std::strerror(errno))};
      closedir(dir);
      return names;
    }
    const int fd = dirfd(dir);
    while (dirent* d = readdir(dir)) {
      const char* name = d->d_name;
      if (name[0] == '.') continue;  // ".", ".." and hidden entries
      const size_t length = strlen(name);
      const bool mp3 = want_files && EndsWithMp3(name, length);
      if (!mp3 && !(want_folders && (d->d_type == DT_DIR || d->d_type == DT_UNKNOWN))) continue;
      const Kind kind = KindOf(fd, name, d->d_type);
      if (!(kind == Kind::kFolder && want_folders) && !(kind == Kind::kFile && mp3)) continue;
      Entry entry{static_cast<uint32_t>(names.bytes.size()), static_cast<uint32_t>(length), kind,
                  IsAscii(name, length), QString()};
      if (!entry.ascii && !DecodeName(name, length, &entry.decoded)) {
        list.Unreadable << base + entry.decoded;
        continue;
      }
      names.bytes.append(name, length);
      names.entries.push_back(std::move(entry));
    }
    closedir(dir);
    std::sort(names.entries.begin(), names.entries.end(),
              [&names](const Entry& a, const Entry& b) { return names.Less(a, b); });
    return names;
  }

  const WalkSetup& setup_;
  QSet<QString> ignored_;
};

void Finish(PathList& list) { list.Count = static_cast<int>(list.Items.size()); }

}  // namespace

QString WhyUnreadable(const QString& path) {
  if (::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), R_OK, AT_EACCESS) == 0) {
    return {};
  }
  return QString::fromLocal8Bit(std::strerror(errno));
}

QString DirIgnoreListPath(const QString& program_folder) {
  return QDir(program_folder).filePath(QStringLiteral("Files/DirIgnoreList.txt"));
}

QSet<QString> ReadDirIgnoreList(const QString& program_folder) {
  QSet<QString> lines;
  if (program_folder.isEmpty()) return lines;
  const QString path = DirIgnoreListPath(program_folder);
  QFile file(path);
  if (!file.exists()) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    file.open(QIODevice::WriteOnly);
    return lines;
  }
  if (!file.open(QIODevice::ReadOnly)) return lines;
  QByteArray bytes = file.readAll();
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
  for (QByteArray& line : bytes.split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    if (!line.isEmpty()) lines.insert(QString::fromUtf8(line));
  }
  return lines;
}

void GetSubFolders(const QString& folder, int mask, PathList& list, const WalkSetup& setup) {
  StopRequested = false;
  if (mask & kFolderMask) list.Items << Walker(setup, true).Read(folder, true, false, list).folders;
  Finish(list);
}

void GetAllSubFolders(const QString& folder, int mask, PathList& list, const WalkSetup& setup) {
  // Cleared once for the whole walk: clearing it again in every nested folder
  // would swallow a stop pressed during the walk.
  StopRequested = false;
  if (mask & kFolderMask) {
    Walker walker(setup, true);
    walker.Below(walker.Read(folder, true, false, list).folders, false, list);
  }
  Finish(list);
}

void GetFolderFiles(const QString& folder, int mask, PathList& list, const WalkSetup& setup) {
  if (mask & kFileMask) list.Items << Walker(setup, false).Read(folder, false, true, list).files;
  Finish(list);
}

void GetAllFiles(const QString& folder, int folder_mask, int file_mask, PathList& list,
                 const WalkSetup& setup) {
  StopRequested = false;
  Walker walker(setup, true);
  const bool files = file_mask & kFileMask;
  Walker::Listing root = walker.Read(folder, folder_mask & kFolderMask, files, list);
  if (files) {
    walker.Below(root.folders, true, list);
    // The root's files come last, and not at all after a stop.
    if (!StopRequested) list.Items << root.files;
  }
  Finish(list);
}

PathList ListMp3Files(const QString& folder, bool sub_folders, const WalkSetup& setup) {
  PathList paths;
  if (sub_folders) {
    GetAllFiles(folder, kFolderMask, kFileMask, paths, setup);
  } else {
    GetFolderFiles(folder, kFileMask, paths, setup);
  }
  return paths;
}

}  // namespace orlavo

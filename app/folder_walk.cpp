#include "app/folder_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <vector>

#include "app/desktop.h"
#include "app/flags.h"
#include "app/report_list.h"

namespace orlavo {
namespace {

enum class Kind { kOther, kFolder, kFile };

struct Entry {
  QString name;
  Kind kind;
};

// Strict UTF-8 only: a name that decodes with replacement characters would
// not map back to the same bytes, and an operation on it could hit another file.
bool DecodeName(const char* bytes, size_t length, QString* name) {
  bool ascii = true;
  for (size_t i = 0; i < length && ascii; ++i) ascii = static_cast<unsigned char>(bytes[i]) < 0x80;
  if (ascii) {
    *name = QString::fromLatin1(bytes, static_cast<qsizetype>(length));
    return true;
  }
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  *name = decoder(QByteArrayView(bytes, static_cast<qsizetype>(length)));
  return !decoder.hasError();
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

class Walker {
 public:
  explicit Walker(const WalkSetup& setup, bool read_ignore_list) : setup_(setup) {
    if (read_ignore_list) ignored_ = ReadDirIgnoreList(setup.program_folder);
  }

  void SubFolders(const QString& folder, int mask, PathList& list) {
    const QString base = WithSlash(folder);
    std::vector<Entry> entries = List(base, mask & kFolderMask ? kFolderMask : 0, false, list);
    for (const Entry& entry : entries) {
      LetEventsRun();
      if (StopRequested) break;
      QString candidate = base + entry.name + u'/';
      if (!ignored_.contains(candidate)) list.Items << candidate;
    }
  }

  void AllSubFolders(const QString& folder, int mask, PathList& list) {
    PathList local;
    SubFolders(folder, mask, local);
    list.Unreadable << local.Unreadable;
    for (const QString& sub : local.Items) {
      if (StopRequested) break;
      list.Items << sub;
      AllSubFolders(sub, mask, list);
    }
  }

  void FolderFiles(const QString& folder, int mask, PathList& list) {
    const QString base = WithSlash(folder);
    LetEventsRun();
    std::vector<Entry> entries = List(base, mask & kFileMask ? kFileMask : 0, true, list);
    for (const Entry& entry : entries) {
      if (StopRequested) break;
      list.Items << base + entry.name;
    }
  }

 private:
  void LetEventsRun() {
    if (setup_.desktop != nullptr) setup_.desktop->LetEventsRun();
  }

  // The visible entries of one kind, in list text order.
  std::vector<Entry> List(const QString& base, int mask, bool mp3_only, PathList& list) {
    std::vector<Entry> entries;
    if (mask == 0) return entries;
    const Kind wanted = mask == kFolderMask ? Kind::kFolder : Kind::kFile;
    DIR* dir = opendir(QFile::encodeName(base).constData());
    if (dir == nullptr) return entries;
    const int fd = dirfd(dir);
    while (dirent* d = readdir(dir)) {
      const char* name = d->d_name;
      if (name[0] == '.') continue;  // ".", ".." and hidden entries
      const size_t length = strlen(name);
      if (mp3_only && !EndsWithMp3(name, length)) continue;
      if (KindOf(fd, name, d->d_type) != wanted) continue;
      Entry entry{QString(), wanted};
      if (!DecodeName(name, length, &entry.name)) {
        list.Unreadable << base + entry.name;
        continue;
      }
      entries.push_back(std::move(entry));
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return CompareListText(a.name, b.name) < 0; });
    return entries;
  }

  const WalkSetup& setup_;
  QSet<QString> ignored_;
};

void Finish(PathList& list) { list.Count = static_cast<int>(list.Items.size()); }

}  // namespace

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
  Walker(setup, true).SubFolders(folder, mask, list);
  Finish(list);
}

void GetAllSubFolders(const QString& folder, int mask, PathList& list, const WalkSetup& setup) {
  // Cleared once for the whole walk: clearing it again in every nested folder
  // would swallow a stop pressed during the walk.
  StopRequested = false;
  Walker(setup, true).AllSubFolders(folder, mask, list);
  Finish(list);
}

void GetFolderFiles(const QString& folder, int mask, PathList& list, const WalkSetup& setup) {
  Walker(setup, false).FolderFiles(folder, mask, list);
  Finish(list);
}

void GetAllFiles(const QString& folder, int folder_mask, int file_mask, PathList& list,
                 const WalkSetup& setup) {
  StopRequested = false;
  Walker walker(setup, true);
  PathList subs;
  walker.AllSubFolders(folder, folder_mask, subs);
  list.Unreadable << subs.Unreadable;
  for (const QString& sub : subs.Items) {
    if (StopRequested) break;
    walker.FolderFiles(sub, file_mask, list);
  }
  walker.FolderFiles(folder, file_mask, list);
  Finish(list);
}

}  // namespace orlavo

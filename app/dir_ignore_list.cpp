#include "app/dir_ignore_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

#include "app/file_ops.h"
#include "app/folder_walk.h"

namespace orlavo {

QStringList LoadDirIgnoreListLines(const QString& program_folder) {
  const QString path = DirIgnoreListPath(program_folder);
  QFile file(path);
  if (!file.exists()) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    file.open(QIODevice::WriteOnly);
    return {};
  }
  if (!file.open(QIODevice::ReadOnly)) return {};
  QByteArray bytes = file.readAll();
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
  if (bytes.isEmpty()) return {};
  QList<QByteArray> raw = bytes.split('\n');
  // The line end of the last line makes no line of its own.
  if (raw.last().isEmpty()) raw.removeLast();
  QStringList lines;
  lines.reserve(raw.size());
  for (QByteArray& line : raw) {
    if (line.endsWith('\r')) line.chop(1);
    lines << QString::fromUtf8(line);
  }
  return lines;
}

bool SaveDirIgnoreList(const QString& program_folder, const QStringList& folders) {
  const QString path = DirIgnoreListPath(program_folder);
  QDir().mkpath(QFileInfo(path).absolutePath());
  QByteArray bytes;
  for (const QString& folder : folders) bytes += folder.toUtf8() + "\r\n";
  // Written beside the list and moved over it, so a full disk cannot leave
  // half a list behind.
  QSaveFile file(path);
  // Unbuffered: a write that fails on a full disk fails here and the save is
  // abandoned; a buffered one would fail only in the flush at commit, which
  // still renames the short file into place.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return CommitSynced(file).isEmpty();
}

QString IgnoreListEntry(const QString& folder) {
  if (folder.isEmpty() || folder.endsWith(u'/')) return folder;
  return folder + u'/';
}

int RowAfterRemoval(int removed, int remaining) {
  if (remaining <= 0) return -1;
  return std::clamp(removed, 0, remaining - 1);
}

}  // namespace orlavo

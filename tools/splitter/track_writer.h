// Copies byte ranges of a source into new files: each through a temporary
// file in the destination folder that is renamed into place only when it is
// complete, so no partial file ever stands under a track's name.
#ifndef ORLAVO_TOOLS_SPLITTER_TRACK_WRITER_H_
#define ORLAVO_TOOLS_SPLITTER_TRACK_WRITER_H_

#include <sys/types.h>

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace orlavo {

class Desktop;

// One row of a planned split.
struct TrackJob {
  int row = 0;
  QString name;       // the row's Name
  QString file_name;  // what the Name gives as a file name, ".mp3" included
  qint64 begin = 0;   // file offsets in the source; end is exclusive
  qint64 end = 0;
  bool ticked = true;
};

// write(2) or a stand-in with its contract (tests inject a full disk).
using WriteFunction = std::function<ssize_t(int fd, const void* data, size_t size)>;

struct WriteTracksResult {
  QStringList written;  // the complete files, in order
  QString error;        // why the run stopped; empty when every file was written
  bool ok() const { return error.isEmpty(); }
};

// Writes every ticked job to folder + file_name. A file named in `replace`
// that exists is moved to the trash (DeleteToTrash, which asks the desktop
// before removing for good) only once its new content is complete, just
// before the new file takes its place. The first failure stops the run: the
// file being written is removed, the files already complete stay. on_job runs
// before each job, ticked or not.
WriteTracksResult WriteTracks(const QString& source, const QString& folder,
                              const std::vector<TrackJob>& jobs, const QSet<QString>& replace,
                              Desktop* desktop, const std::function<void(int index)>& on_job,
                              const WriteFunction& write = {});

// Copies source bytes [begin, end) into a temporary file in target's folder
// and renames it to target, which must not exist. False with *error set; no
// file is left behind then.
bool CopyRangeToNewFile(const QString& source, qint64 begin, qint64 end, const QString& target,
                        QString* error, const WriteFunction& write = {});

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_SPLITTER_TRACK_WRITER_H_

#include "app/file_info_report.h"

#include <QFile>
#include <QFileInfo>

#include "app/helpers.h"
#include "app/tag_helpers.h"

namespace orlavo {
namespace {

QString TrueFalse(bool b) { return b ? QStringLiteral("True") : QStringLiteral("False"); }

}  // namespace

QString ShownVersionText(const StreamInfo& info) {
  QString text = CleanTagText(RecordText(info.Version));
  text.remove(u'0');
  text.replace(QStringLiteral(". "), QStringLiteral(".0 "));
  return text;
}

QStringList FileInfoReportLines(const QString& path, qint64 file_size, const StreamInfo& stream,
                                const ID3v1Tag& v1, const ID3v2Tag& v2) {
  QStringList lines;
  lines << QStringLiteral("Filename: ") + FileNameOf(path);
  lines << QStringLiteral("Size: ") + UserLocale().toString(file_size) + QStringLiteral(" bytes");
  lines << QStringLiteral("Duration: ") + DurationText(stream.Duration) + QStringLiteral(" mins");
  lines << QStringLiteral("Bitrate: %1 Kbps").arg(stream.Bitrate);
  lines << QStringLiteral("Frequency: %1Hz").arg(stream.Frequency);
  lines << QStringLiteral("Frames: %1 frames").arg(stream.Frames);
  lines << QStringLiteral("MPEG Version: ") + ShownVersionText(stream);
  lines << QStringLiteral("Original: ") + TrueFalse(stream.Original != 0);
  lines << QStringLiteral("CopyRight: ") + TrueFalse(stream.Copyright != 0);
  lines << QStringLiteral("Private: ") + TrueFalse(stream.Private != 0);
  lines << QString();
  lines << QStringLiteral("ID3v1 Exists: ") + TrueFalse(v1.Exists != 0);
  if (v1.Exists != 0) {
    lines << QStringLiteral("-Title: ") + CleanTagText(RecordText(v1.Title));
    lines << QStringLiteral("-Artist: ") + CleanTagText(RecordText(v1.Artist));
    lines << QStringLiteral("-Album: ") + CleanTagText(RecordText(v1.Album));
    lines << QStringLiteral("-Year: ") + CleanTagText(RecordText(v1.Year));
    lines << QStringLiteral("-Comment: ") + CleanTagText(RecordText(v1.Comment));
    int genre = v1.Genre;
    lines << QStringLiteral("-Genre: ") + GenreName(genre);
    lines << QString();
  }
  lines << QStringLiteral("ID3v2 Exists: ") + TrueFalse(v2.Exists);
  if (v2.Exists) {
    lines << QStringLiteral("-Title: ") + QString::fromStdString(v2.Title);
    lines << QStringLiteral("-Artist: ") + QString::fromStdString(v2.Artist);
    lines << QStringLiteral("-Album: ") + QString::fromStdString(v2.Album);
    lines << QStringLiteral("-Year: ") + QString::fromStdString(v2.Year);
    lines << QStringLiteral("-Genre: ") + QString::fromStdString(v2.Genre);
    lines << QStringLiteral("-TrackNum: %1").arg(v2.TrackNum);
    lines << QStringLiteral("-Version: %1").arg(v2.Version);
  }
  return lines;
}

QStringList FileInfoReport(const QString& path, ByteSource& source, PelloxBinding& pellox) {
  StreamInfo stream;
  ID3v1Tag v1;
  pellox.ReadMP3(path, &stream);
  pellox.ReadID3v1(path, &v1);
  const ID3v2Tag v2 = ReadID3v2Tag(source);
  qint64 size = static_cast<qint64>(source.size());
  if (!source.ok()) {
    // A file that cannot be opened may still have a length to show.
    QFileInfo fi(path);
    size = fi.isFile() ? fi.size() : 0;
  }
  return FileInfoReportLines(path, size, stream, v1, v2);
}

QStringList FileInfoReport(const QString& path, PelloxBinding& pellox) {
  FileSource source(QFile::encodeName(path).constData());
  return FileInfoReport(path, source, pellox);
}

}  // namespace orlavo

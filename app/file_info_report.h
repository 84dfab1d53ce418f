// The lines of the file information report ("Show full info").
#ifndef ORLAVO_APP_FILE_INFO_REPORT_H_
#define ORLAVO_APP_FILE_INFO_REPORT_H_

#include <QStringList>

#include "app/pellox_binding.h"
#include "formats/byte_source.h"
#include "formats/id3v2.h"
#include "formats/records.h"

namespace orlavo {

// The version text as shown: "MPEG 1.000000 Layer 3" becomes "MPEG 1.0 Layer 3".
QString ShownVersionText(const StreamInfo& info);

// The report lines from records already read.
QStringList FileInfoReportLines(const QString& path, qint64 file_size, const StreamInfo& stream,
                                const ID3v1Tag& v1, const ID3v2Tag& v2);
// Reads the file through Pellox and the ID3v2 reader, then builds the lines.
QStringList FileInfoReport(const QString& path, PelloxBinding& pellox);
// The same with the file already open as source: its length and its ID3v2
// tag come from that one open.
QStringList FileInfoReport(const QString& path, ByteSource& source, PelloxBinding& pellox);

}  // namespace orlavo

#endif  // ORLAVO_APP_FILE_INFO_REPORT_H_

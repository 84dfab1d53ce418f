// Tiny MP3 files written byte by byte: one MPEG frame, with or without an
// ID3v2 header in front and an ID3v1 block behind.
#ifndef ORLAVO_TESTS_SUPPORT_MP3_BYTES_H_
#define ORLAVO_TESTS_SUPPORT_MP3_BYTES_H_

#include <QByteArray>
#include <QString>

namespace orlavo::testing {

// An MPEG-1 Layer III frame header (128 kbit/s, 44.1 kHz) and zeros up to size.
QByteArray MpegFrameBytes(int size = 417);
// "ID3", version major.0, no flags, the syncsafe body size, then a body of
// zeros (padding).
QByteArray Id3v2HeaderBytes(int body_size = 0, int major_version = 3);
// A 128-byte "TAG" block; fields are Windows-1252 bytes cut or padded with NULs.
QByteArray Id3v1TagBytes(const QByteArray& title, const QByteArray& artist,
                         const QByteArray& album = {}, const QByteArray& year = {},
                         const QByteArray& comment = {}, unsigned char genre = 255);

struct Mp3Layout {
  bool id3v2 = false;
  bool id3v1 = false;
  QByteArray title = {};
  QByteArray artist = {};
  // Extra zeros after the frame, to give files different sizes.
  int padding = 0;
};

QByteArray Mp3FileBytes(const Mp3Layout& layout);
// Creates the file's folder as needed; false when the file cannot be written.
bool WriteMp3File(const QString& path, const Mp3Layout& layout = {});
bool WriteBytes(const QString& path, const QByteArray& bytes);

// An empty file or folder whose name is raw bytes (not necessarily UTF-8),
// removed again with the object: Qt cannot remove what it cannot name.
class RawNamedEntry {
 public:
  RawNamedEntry(QByteArray path, bool folder);
  ~RawNamedEntry();
  RawNamedEntry(const RawNamedEntry&) = delete;
  RawNamedEntry& operator=(const RawNamedEntry&) = delete;
  bool ok() const { return ok_; }

 private:
  QByteArray path_;
  bool folder_;
  bool ok_ = false;
};

}  // namespace orlavo::testing

#endif  // ORLAVO_TESTS_SUPPORT_MP3_BYTES_H_

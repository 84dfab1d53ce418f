#include "tests/support/mp3_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace orlavo::testing {
namespace {

void PutField(QByteArray& block, int at, int width, const QByteArray& text) {
  for (int i = 0; i < width && i < text.size(); ++i) block[at + i] = text[i];
}

}  // namespace

QByteArray MpegFrameBytes(int size) {
  QByteArray frame(std::max(size, 4), '\0');
  frame[0] = static_cast<char>(0xFF);
  frame[1] = static_cast<char>(0xFB);
  frame[2] = static_cast<char>(0x90);
  frame[3] = static_cast<char>(0x44);
  return frame;
}

QByteArray Id3v2HeaderBytes(int body_size, int major_version) {
  QByteArray header("ID3");
  header.append(static_cast<char>(major_version));
  header.append('\0');  // revision
  header.append('\0');  // flags
  for (int shift = 21; shift >= 0; shift -= 7)
    header.append(static_cast<char>((body_size >> shift) & 0x7F));
  header.append(QByteArray(body_size, '\0'));
  return header;
}

QByteArray Id3v1TagBytes(const QByteArray& title, const QByteArray& artist, const QByteArray& album,
                         const QByteArray& year, const QByteArray& comment, unsigned char genre) {
  QByteArray block(128, '\0');
  PutField(block, 0, 3, "TAG");
  PutField(block, 3, 30, title);
  PutField(block, 33, 30, artist);
  PutField(block, 63, 30, album);
  PutField(block, 93, 4, year);
  PutField(block, 97, 30, comment);
  block[127] = static_cast<char>(genre);
  return block;
}

QByteArray Mp3FileBytes(const Mp3Layout& layout) {
  QByteArray bytes;
  if (layout.id3v2) bytes += Id3v2HeaderBytes(16);
  bytes += MpegFrameBytes();
  bytes += QByteArray(layout.padding, '\0');
  if (layout.id3v1) bytes += Id3v1TagBytes(layout.title, layout.artist);
  return bytes;
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool WriteMp3File(const QString& path, const Mp3Layout& layout) {
  return WriteBytes(path, Mp3FileBytes(layout));
}

RawNamedEntry::RawNamedEntry(QByteArray path, bool folder)
    : path_(std::move(path)), folder_(folder) {
  if (folder_) {
    ok_ = mkdir(path_.constData(), 0700) == 0;
  } else {
    int fd = open(path_.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ok_ = fd >= 0;
    if (ok_) close(fd);
  }
}

RawNamedEntry::~RawNamedEntry() {
  if (!ok_) return;
  if (folder_) {
    rmdir(path_.constData());
  } else {
    unlink(path_.constData());
  }
}

}  // namespace orlavo::testing

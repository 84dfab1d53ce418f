// Random access to the bytes of one file or buffer. Parsers read through this so
// that every read is bounded by the real length of what they parse.
#ifndef ORLAVO_FORMATS_BYTE_SOURCE_H_
#define ORLAVO_FORMATS_BYTE_SOURCE_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace orlavo {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // False when nothing can be read (a file that cannot be opened).
  virtual bool ok() const = 0;
  virtual uint64_t size() const = 0;
  // Copies up to out.size() bytes from offset; returns the count copied, which is
  // smaller only at the end of the data or on a read error.
  virtual size_t ReadAt(uint64_t offset, std::span<uint8_t> out) = 0;
};

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool ok() const override { return true; }
  uint64_t size() const override { return bytes_.size(); }
  size_t ReadAt(uint64_t offset, std::span<uint8_t> out) override;

 private:
  std::span<const uint8_t> bytes_;
};

// A regular file opened read-only. Anything that is not a regular file (folder,
// FIFO, device, dangling link) is not ok(); opening never blocks.
class FileSource final : public ByteSource {
 public:
  explicit FileSource(const char* path);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;
  bool ok() const override { return fd_ >= 0; }
  uint64_t size() const override { return size_; }
  size_t ReadAt(uint64_t offset, std::span<uint8_t> out) override;
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

// Opens a regular file for reading and writing; -1 for anything but a regular
// file. Sets *size.
int OpenRegularFileForWrite(const char* path, uint64_t* size);

// Writes all of data at offset; false on any failure.
bool WriteAllAt(int fd, uint64_t offset, std::span<const uint8_t> data);

}  // namespace orlavo

#endif  // ORLAVO_FORMATS_BYTE_SOURCE_H_

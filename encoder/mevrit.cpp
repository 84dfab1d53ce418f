// The encoder wrapper: reads a WAV file in blocks through libsndfile, encodes
// it with libmp3lame at a constant bitrate and writes the MP3 beside the WAV
// under a temporary name, renaming it into place only once it is complete.

#include "encoder/mevrit.h"

#include <errno.h>
#include <fcntl.h>
#include <lame/lame.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

// SetEncoder's values for the next EncodeMp3. The main program calls both on
// its one interface thread.
int32_t g_bitrate = 128;
int32_t g_mode = MEVRIT_MODE_STEREO;

// Frames read and encoded per step: memory stays a few hundred KiB whatever
// the WAV's length.
constexpr int kBlockFrames = 8192;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { Close(); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  // False when the kernel reports a failure at close (a late write error).
  bool Close() {
    if (fd_ < 0) return true;
    const int result = close(fd_);
    fd_ = -1;
    return result == 0;
  }

 private:
  int fd_;
};

class SoundFile {
 public:
  explicit SoundFile(SNDFILE* file) : file_(file) {}
  ~SoundFile() {
    if (file_ != nullptr) sf_close(file_);
  }
  SoundFile(const SoundFile&) = delete;
  SoundFile& operator=(const SoundFile&) = delete;
  SNDFILE* get() const { return file_; }

 private:
  SNDFILE* file_;
};

class Encoder {
 public:
  Encoder() : flags_(lame_init()) {}
  ~Encoder() {
    if (flags_ != nullptr) lame_close(flags_);
  }
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;
  lame_t get() const { return flags_; }

 private:
  lame_t flags_;
};

// Removes the temporary file unless it has been renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!path_.empty()) unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& path() const { return path_; }
  void Keep() { path_.clear(); }

 private:
  std::string path_;
};

// libsndfile opens many containers (MP3 among them); only a RIFF WAVE file,
// plain or WAVE_FORMAT_EXTENSIBLE, is a WAV here.
bool IsRiffWave(int fd) {
  unsigned char head[12];
  if (pread(fd, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head)) return false;
  return std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0;
}

bool IsReadableWav(const SF_INFO& info) {
  const int container = info.format & SF_FORMAT_TYPEMASK;
  if (container != SF_FORMAT_WAV && container != SF_FORMAT_WAVEX) return false;
  switch (info.format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
      break;
    default:
      return false;
  }
  return (info.channels == 1 || info.channels == 2) && info.samplerate > 0 && info.frames >= 0;
}

// The WAV's path with the last three characters of its name replaced by
// "mp3"; "" when the name is shorter than that.
std::string OutputPath(const std::string& wav) {
  const size_t name_start = wav.rfind('/') == std::string::npos ? 0 : wav.rfind('/') + 1;
  size_t cut = wav.size();
  for (int characters = 0; characters < 3; ++characters) {
    if (cut == name_start) return {};
    --cut;
    // Step over UTF-8 continuation bytes to the start of the character.
    while (cut > name_start && (static_cast<unsigned char>(wav[cut]) & 0xC0) == 0x80) --cut;
  }
  return wav.substr(0, cut) + "mp3";
}

std::string FolderPart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NamePart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A new file beside the target, made with the permissions the umask gives.
int CreateTemporary(const std::string& target, std::string* path) {
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%d-%u.part", static_cast<int>(getpid()), ++counter);
    *path = FolderPart(target) + "." + NamePart(target) + suffix;
    const int fd = open(path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool WriteAll(int fd, const unsigned char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

bool WriteAllAt(int fd, const unsigned char* data, size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t written = pwrite(fd, data, size, offset);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
    offset += written;
  }
  return true;
}

// Never replaces a file: where the file system cannot rename without
// replacing, a hard link (which refuses an existing name) does the same.
bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (link(from.c_str(), to.c_str()) != 0) return false;
  unlink(from.c_str());
  return true;
}

class Progress {
 public:
  explicit Progress(MevritProgressFunction function) : function_(function) {}
  // False when the callback asks to stop. Calls at most once per whole
  // percent, rising.
  bool Report(int percent) {
    if (percent <= last_) return true;
    last_ = percent;
    return function_ == nullptr || function_(percent) != 0;
  }

 private:
  MevritProgressFunction function_;
  int last_ = -1;
};

bool SetUp(lame_t flags, const SF_INFO& info, int32_t bitrate, int32_t mode) {
  MPEG_mode lame_mode = STEREO;
  if (info.channels == 1 || mode == MEVRIT_MODE_MONO) {
    lame_mode = MONO;  // a stereo WAV is downmixed by LAME
  } else if (mode == MEVRIT_MODE_DUAL_CHANNEL) {
    lame_mode = DUAL_CHANNEL;
  } else if (mode == MEVRIT_MODE_JOINT_STEREO) {
    lame_mode = JOINT_STEREO;
  }
  lame_set_num_channels(flags, info.channels);
  lame_set_in_samplerate(flags, info.samplerate);
  lame_set_num_samples(flags, static_cast<unsigned long>(info.frames));
  lame_set_VBR(flags, vbr_off);
  lame_set_brate(flags, bitrate);
  lame_set_mode(flags, lame_mode);
  // The Info frame (exact length, encoder delay and padding) is written over
  // the placeholder frame LAME puts first; no ID3 tag goes in front of it.
  lame_set_write_id3tag_automatic(flags, 0);
  lame_set_bWriteVbrTag(flags, 1);
  return lame_init_params(flags) >= 0;
}

int32_t Encode(const char* wav_path, MevritProgressFunction callback) {
  const int32_t bitrate = g_bitrate;
  const int32_t mode = g_mode;
  if (wav_path == nullptr || *wav_path == '\0') return MEVRIT_STATUS_CANT_OPEN_WAV;
  const std::string wav(wav_path);

  FileDescriptor in(open(wav_path, O_RDONLY | O_CLOEXEC));
  struct stat wav_stat;
  if (in.get() < 0 || fstat(in.get(), &wav_stat) != 0 || !S_ISREG(wav_stat.st_mode) ||
      !IsRiffWave(in.get())) {
    return MEVRIT_STATUS_CANT_OPEN_WAV;
  }
  SF_INFO info{};
  SoundFile sound(sf_open_fd(in.get(), SFM_READ, &info, SF_FALSE));
  if (sound.get() == nullptr || !IsReadableWav(info)) return MEVRIT_STATUS_CANT_OPEN_WAV;

  Encoder encoder;
  if (encoder.get() == nullptr) return MEVRIT_STATUS_LAME_FAILED;
  if (!SetUp(encoder.get(), info, bitrate, mode)) return MEVRIT_STATUS_CANT_OPEN_WAV;

  const std::string out = OutputPath(wav);
  struct stat out_stat;
  if (out.empty() || lstat(out.c_str(), &out_stat) == 0) return MEVRIT_STATUS_CANT_WRITE_MP3;
  std::string temporary_path;
  FileDescriptor mp3(CreateTemporary(out, &temporary_path));
  if (mp3.get() < 0) return MEVRIT_STATUS_CANT_WRITE_MP3;
  TemporaryFile temporary(temporary_path);

  Progress progress(callback);
  if (!progress.Report(0)) return MEVRIT_STATUS_INTERRUPTED;
  std::vector<float> pcm(static_cast<size_t>(kBlockFrames) * info.channels);
  std::vector<unsigned char> mp3_buffer(kBlockFrames * 5 / 4 + 7200);
  sf_count_t done = 0;
  for (;;) {
    const sf_count_t frames = sf_readf_float(sound.get(), pcm.data(), kBlockFrames);
    if (frames <= 0) break;
    done += frames;
    // A mono WAV has one channel for LAME; the interleaved call reads both
    // channels only when there are two.
    int bytes;
    if (info.channels == 2) {
      bytes = lame_encode_buffer_interleaved_ieee_float(encoder.get(), pcm.data(),
                                                        static_cast<int>(frames), mp3_buffer.data(),
                                                        static_cast<int>(mp3_buffer.size()));
    } else {
      bytes = lame_encode_buffer_ieee_float(encoder.get(), pcm.data(), pcm.data(),
                                            static_cast<int>(frames), mp3_buffer.data(),
                                            static_cast<int>(mp3_buffer.size()));
    }
    if (bytes < 0) return MEVRIT_STATUS_LAME_FAILED;
    if (!WriteAll(mp3.get(), mp3_buffer.data(), static_cast<size_t>(bytes))) {
      return MEVRIT_STATUS_CANT_WRITE_MP3;
    }
    // 100 is reported once the file is complete.
    const int percent =
        info.frames > 0 ? static_cast<int>(std::min<sf_count_t>(done * 100 / info.frames, 99)) : 0;
    if (!progress.Report(percent)) return MEVRIT_STATUS_INTERRUPTED;
  }
  const int tail =
      lame_encode_flush(encoder.get(), mp3_buffer.data(), static_cast<int>(mp3_buffer.size()));
  if (tail < 0) return MEVRIT_STATUS_LAME_FAILED;
  if (!WriteAll(mp3.get(), mp3_buffer.data(), static_cast<size_t>(tail))) {
    return MEVRIT_STATUS_CANT_WRITE_MP3;
  }
  const size_t tag_size =
      lame_get_lametag_frame(encoder.get(), mp3_buffer.data(), mp3_buffer.size());
  if (tag_size > mp3_buffer.size()) return MEVRIT_STATUS_LAME_FAILED;
  if (tag_size > 0 && !WriteAllAt(mp3.get(), mp3_buffer.data(), tag_size, 0)) {
    return MEVRIT_STATUS_CANT_WRITE_MP3;
  }
  // A full disk may show only at sync or close; the file is not final before.
  if (fdatasync(mp3.get()) != 0 && errno != EINVAL) return MEVRIT_STATUS_CANT_WRITE_MP3;
  if (!mp3.Close()) return MEVRIT_STATUS_CANT_WRITE_MP3;
  if (!progress.Report(100)) return MEVRIT_STATUS_INTERRUPTED;
  if (!RenameNoReplace(temporary.path(), out)) return MEVRIT_STATUS_CANT_WRITE_MP3;
  temporary.Keep();
  return 0;
}

}  // namespace

extern "C" {

#define MEVRIT_EXPORT __attribute__((visibility("default")))

MEVRIT_EXPORT void SetEncoder(int32_t bitrate, int32_t mode) {
  g_bitrate = bitrate;
  g_mode = mode;
}

MEVRIT_EXPORT int32_t EncodeMp3(const char* wavPath, void* cell) {
  MevritProgressFunction callback =
      cell != nullptr ? *static_cast<MevritProgressFunction*>(cell) : nullptr;
  try {
    return Encode(wavPath, callback);
  } catch (...) {  // nothing may cross the C boundary
    return MEVRIT_STATUS_LAME_FAILED;
  }
}

}  // extern "C"

#include "formats/mpeg_header.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <string>

#include "tests/support/id3v2_builder.h"
#include "tests/support/lame_fixture.h"

namespace orlavo {
namespace {

using testing::Bytes;

// A file of `size` bytes that begins with `head` and is otherwise zero, without
// holding it in memory.
class SparseSource : public ByteSource {
 public:
  SparseSource(Bytes head, uint64_t size) : head_(std::move(head)), size_(size) {}
  bool ok() const override { return true; }
  uint64_t size() const override { return size_; }
  size_t ReadAt(uint64_t offset, std::span<uint8_t> out) override {
    if (offset >= size_) return 0;
    size_t n = std::min<uint64_t>(out.size(), size_ - offset);
    for (size_t i = 0; i < n; ++i) {
      out[i] = offset + i < head_.size() ? head_[offset + i] : 0;
    }
    return n;
  }

 private:
  Bytes head_;
  uint64_t size_;
};

StreamInfo Read(ByteSource& source) {
  StreamInfo info;
  std::memset(&info, 0xAB, sizeof(info));
  ReadStreamInfo(source, &info);
  return info;
}

StreamInfo ReadBytes(const Bytes& bytes) {
  MemorySource source(bytes);
  return Read(source);
}

StreamInfo ReadHeader(Bytes head, uint64_t size) {
  SparseSource source(std::move(head), size);
  return Read(source);
}

uint32_t Be32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

std::string Text(const char (&field)[30]) { return std::string(field, strnlen(field, 30)); }

bool IsCleared(const StreamInfo& info) {
  StreamInfo zero;
  std::memset(&zero, 0, sizeof(zero));
  return std::memcmp(info.Emphasis, zero.Emphasis, 90) == 0 && info.Duration == 0 &&
         info.Bitrate == 0 && info.Frames == 0 && info.Private == 0 && info.Copyright == 0 &&
         info.Original == 0 && info.Frequency == 0;
}

TEST(StreamInfoTest, Mpeg1Layer3Example) {
  StreamInfo info = ReadHeader({0xFF, 0xFB, 0x90, 0x44}, 4'000'000);
  EXPECT_EQ(info.Duration, 250);
  EXPECT_EQ(info.Frames, 9570);
  EXPECT_EQ(info.Bitrate, 128);
  EXPECT_EQ(info.Frequency, 44100);
  EXPECT_EQ(Text(info.Version), "MPEG 1.000000 Layer 3");
  EXPECT_EQ(Text(info.Mode), "Joint Stereo");
  EXPECT_EQ(Text(info.Emphasis), "None");
  EXPECT_EQ(info.Original, 1);
  EXPECT_EQ(info.Copyright, 0);
  EXPECT_EQ(info.Private, 0);
  // The texts are NUL-filled to the end of their fields.
  for (size_t i = strlen(info.Version); i < 30; ++i) EXPECT_EQ(info.Version[i], 0);
}

TEST(StreamInfoTest, Mpeg2Layer3UsesHalfTheFrameFactor) {
  StreamInfo info = ReadHeader({0xFF, 0xF3, 0x80, 0xC0}, 3'000'000);
  EXPECT_EQ(info.Duration, 375);
  EXPECT_EQ(info.Frames, 14355);
  EXPECT_EQ(info.Bitrate, 64);
  EXPECT_EQ(info.Frequency, 22050);
  EXPECT_EQ(Text(info.Version), "MPEG 2.000000 Layer 3");
  EXPECT_EQ(Text(info.Mode), "Single Channel");
}

TEST(StreamInfoTest, Layer1FramesAreFourSlotsOfTwelve) {
  // MPEG 1 Layer I, 384 kbit/s, 48 kHz: 384-byte frames.
  StreamInfo info = ReadHeader({0xFF, 0xFF, 0xC4, 0x00}, 3840);
  EXPECT_EQ(info.Bitrate, 384);
  EXPECT_EQ(info.Frequency, 48000);
  EXPECT_EQ(info.Frames, 10);
  EXPECT_EQ(Text(info.Version), "MPEG 1.000000 Layer 1");
  EXPECT_EQ(Text(info.Mode), "Stereo");
}

TEST(StreamInfoTest, HeaderFieldsAndReservedValues) {
  struct Case {
    Bytes header;
    const char* emphasis;
    const char* version;
    const char* mode;
    int bitrate;
    int frequency;
    int priv, copyright, original;
  };
  const Case cases[] = {
      {{0xFF, 0xFB, 0x90, 0x86},
       "Unknown",
       "MPEG 1.000000 Layer 3",
       "Dual Channel",
       128,
       44100,
       0,
       0,
       1},
      {{0xFF, 0xFB, 0x91, 0x0B},
       "CCITT j.17",
       "MPEG 1.000000 Layer 3",
       "Stereo",
       128,
       44100,
       1,
       1,
       0},
      {{0xFF, 0xFD, 0x84, 0x01}, "50/15ms", "MPEG 1.000000 Layer 2", "Stereo", 128, 48000, 0, 0, 0},
      // MPEG 2.5 Layer III at 8 kbit/s, 8000 Hz.
      {{0xFF, 0xE3, 0x18, 0xC0},
       "None",
       "MPEG 2.500000 Layer 3",
       "Single Channel",
       8,
       8000,
       0,
       0,
       0},
      // Reserved version ID 1: MPEG-1 bitrate rows, no sample rate.
      {{0xFF, 0xEB, 0x90, 0x00}, "None", "MPEG 0.000000 Layer 3", "Stereo", 128, 0, 0, 0, 0},
      // Reserved layer ID 0 prints Layer 4 and has no bitrate.
      {{0xFF, 0xF9, 0x90, 0x00}, "None", "MPEG 1.000000 Layer 4", "Stereo", 0, 44100, 0, 0, 0},
      // Free-format and bad bitrate indexes give 0; reserved rate index gives 0.
      {{0xFF, 0xFB, 0x00, 0x00}, "None", "MPEG 1.000000 Layer 3", "Stereo", 0, 44100, 0, 0, 0},
      {{0xFF, 0xFB, 0xFC, 0x00}, "None", "MPEG 1.000000 Layer 3", "Stereo", 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    StreamInfo info = ReadHeader(c.header, 1'000'000);
    EXPECT_EQ(Text(info.Emphasis), c.emphasis);
    EXPECT_EQ(Text(info.Version), c.version);
    EXPECT_EQ(Text(info.Mode), c.mode);
    EXPECT_EQ(info.Bitrate, c.bitrate);
    EXPECT_EQ(info.Frequency, c.frequency);
    EXPECT_EQ(info.Private, c.priv);
    EXPECT_EQ(info.Copyright, c.copyright);
    EXPECT_EQ(info.Original, c.original);
    if (c.bitrate == 0) EXPECT_EQ(info.Duration, 0);
    if (c.bitrate == 0 || c.frequency == 0) EXPECT_EQ(info.Frames, 0);
    if (c.bitrate != 0) EXPECT_EQ(info.Duration, 1'000'000 * 8 / 1000 / c.bitrate);
  }
}

TEST(StreamInfoTest, DurationAndFramesSaturateOnHugeFiles) {
  // 8 kbit/s over 1 TB: far beyond what the 16-bit duration can hold.
  StreamInfo info = ReadHeader({0xFF, 0xE3, 0x18, 0xC0}, 1'000'000'000'000ULL);
  EXPECT_EQ(info.Duration, 32767);
  EXPECT_EQ(info.Frames, 2147483647);
}

TEST(StreamInfoTest, LeadingId3v2TagIsSkipped) {
  Bytes audio = testing::EncodeMp3({});
  Bytes picture(6000, 0x5A);
  picture[0] = 0;
  Bytes tag = testing::Id3v2Tag(3, {testing::TextFrame("TIT2", 0, "Song"), {"APIC", picture}}, 512);
  ASSERT_GT(tag.size(), 6000u);
  Bytes v1 = testing::Id3v1Block("Song", "Band", "", "2001", "", 17);

  MemorySource plain(audio);
  StreamInfo expected = Read(plain);
  ASSERT_EQ(expected.Bitrate, 128);
  ASSERT_GT(expected.Frames, 0);

  for (const Bytes& file : {testing::Concat({tag, audio}), testing::Concat({audio, v1}),
                            testing::Concat({tag, audio, v1})}) {
    MemorySource source(file);
    StreamInfo info = Read(source);
    EXPECT_EQ(info.Duration, expected.Duration);
    EXPECT_EQ(info.Frames, expected.Frames);
    EXPECT_EQ(info.Bitrate, expected.Bitrate);
    EXPECT_EQ(info.Frequency, expected.Frequency);
    EXPECT_EQ(Text(info.Version), Text(expected.Version));
    EXPECT_EQ(Text(info.Mode), Text(expected.Mode));
  }
}

TEST(StreamInfoTest, FooterOfAVersion4TagIsSkippedToo) {
  Bytes audio = {0xFF, 0xFB, 0x90, 0x44};
  audio.resize(4180, 0);
  Bytes tag = testing::Id3v2Tag(4, {testing::TextFrame("TIT2", 3, "x")}, 0, 0x10);
  // Footer: "3DI" and a copy of the header's other bytes.
  Bytes footer(tag.begin(), tag.begin() + 10);
  footer[0] = '3';
  footer[1] = 'D';
  footer[2] = 'I';
  // A sync-like word inside the footer position would be found first if the
  // footer were not skipped.
  footer[4] = 0xFF;
  footer[5] = 0xFF;
  StreamInfo info = ReadBytes(testing::Concat({tag, footer, audio}));
  EXPECT_EQ(info.Bitrate, 128);
  EXPECT_EQ(info.Frames, 10);
}

TEST(StreamInfoTest, SyncWordIsSearchedWithinSixtyFourKilobytes) {
  Bytes junk(1000, 0x20);
  Bytes frame = {0xFF, 0xFB, 0x90, 0x44};
  frame.resize(4180, 0);
  StreamInfo info = ReadBytes(testing::Concat({junk, frame}));
  EXPECT_EQ(info.Bitrate, 128);
  EXPECT_EQ(info.Frames, 10);  // the 1000 bytes before the frame are not audio

  // A header straddling the 4 KiB read chunks is still found.
  EXPECT_EQ(ReadBytes(testing::Concat({Bytes(4094, 0x20), frame})).Bitrate, 128);

  EXPECT_TRUE(IsCleared(ReadBytes(testing::Concat({Bytes(kSyncSearchLimit, 0x20), frame}))));
  EXPECT_EQ(ReadBytes(testing::Concat({Bytes(kSyncSearchLimit - 1, 0x20), frame})).Bitrate, 128);
}

TEST(StreamInfoTest, DataWithoutAFrameGivesAClearedRecord) {
  for (const Bytes& b : {Bytes{}, Bytes{0xFF, 0xFB, 0x90}, Bytes(5000, 0x41),
                         testing::Id3v2Tag(3, {testing::TextFrame("TIT2", 0, "only")}),
                         // A tag that claims more than the file holds.
                         Bytes{'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F, 0xFF, 0xFB}}) {
    EXPECT_TRUE(IsCleared(ReadBytes(b))) << b.size();
  }
}

TEST(StreamInfoTest, RealEncodedStreamsCountTheirFrames) {
  struct Case {
    int rate, channels, kbps;
    const char* version;
  };
  const Case cases[] = {
      {44100, 2, 128, "MPEG 1.000000 Layer 3"}, {48000, 2, 192, "MPEG 1.000000 Layer 3"},
      {32000, 1, 64, "MPEG 1.000000 Layer 3"},  {22050, 1, 64, "MPEG 2.000000 Layer 3"},
      {24000, 2, 96, "MPEG 2.000000 Layer 3"},  {11025, 1, 32, "MPEG 2.500000 Layer 3"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    Bytes audio = testing::EncodeMp3({c.rate, c.channels, c.kbps, 3.0, c.channels == 1 ? 3 : 1});
    // Count the frames by walking their headers, padding included.
    MpegHeader first = DecodeMpegHeader(Be32(&audio[0]));
    int frames = 0;
    size_t at = 0;
    while (at + 4 <= audio.size()) {
      uint32_t v = Be32(&audio[at]);
      ASSERT_EQ(v >> 21, 0x7FFu) << "lost sync at " << at;
      MpegHeader h = DecodeMpegHeader(v);
      int slot = FrameLengthFactor(h) * BitrateKbps(h) * 1000 / SampleRateHz(h);
      at += slot + ((v >> 9) & 1);
      ++frames;
    }
    MemorySource source(audio);
    StreamInfo info = Read(source);
    EXPECT_EQ(Text(info.Version), c.version);
    EXPECT_EQ(info.Bitrate, c.kbps);
    EXPECT_EQ(info.Frequency, SampleRateHz(first));
    EXPECT_NEAR(info.Frames, frames, 1);
    EXPECT_EQ(info.Duration, static_cast<int>(audio.size() * 8 / 1000 / c.kbps));
    EXPECT_NEAR(info.Duration, 3, 1);
  }
}

TEST(StreamInfoTest, PathsThatAreNotRegularFilesReadAsUnopenable) {
  QTemporaryDir dir;
  const QString fifo = dir.filePath("pipe.mp3");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString dangling = dir.filePath("gone.mp3");
  ASSERT_TRUE(QFile::link(dir.filePath("nothing"), dangling));
  for (const QString& path : {QString(), dir.path(), fifo, dangling, dir.filePath("missing.mp3"),
                              QStringLiteral("/dev/zero")}) {
    StreamInfo info;
    std::memset(&info, 0xAB, sizeof(info));
    ReadStreamInfo(QFile::encodeName(path).constData(), &info);
    EXPECT_TRUE(IsCleared(info)) << path.toStdString();
  }
  StreamInfo info;
  ReadStreamInfo(nullptr, &info);
  EXPECT_TRUE(IsCleared(info));
}

}  // namespace
}  // namespace orlavo

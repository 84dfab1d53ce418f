#include "formats/frame_walk.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <string>

#include "tests/support/id3v2_builder.h"
#include "tests/support/lame_fixture.h"

namespace orlavo {
namespace {

using testing::Bytes;
using testing::Concat;

struct HeaderShape {
  int version_id = 3;  // MPEG 1
  int layer_id = 1;    // Layer III
  int bitrate_index = 9;
  int rate_index = 0;
  int padding = 0;
  int mode = 1;
  bool crc = false;
};

Bytes HeaderBytes(const HeaderShape& s) {
  return {0xFF, static_cast<uint8_t>(0xE0 | s.version_id << 3 | s.layer_id << 1 | (s.crc ? 0 : 1)),
          static_cast<uint8_t>(s.bitrate_index << 4 | s.rate_index << 2 | s.padding << 1),
          static_cast<uint8_t>(s.mode << 6)};
}

// A whole frame of the header's length; `marker` is written at `marker_at`.
Bytes Frame(const HeaderShape& s, const char* marker = nullptr, size_t marker_at = 0) {
  Bytes head = HeaderBytes(s);
  Bytes frame(ParseFrameHeader(head)->length, 0);
  std::memcpy(frame.data(), head.data(), 4);
  if (marker) std::memcpy(frame.data() + marker_at, marker, 4);
  return frame;
}

Bytes Repeat(const Bytes& frame, int n) {
  Bytes out;
  for (int i = 0; i < n; ++i) out.insert(out.end(), frame.begin(), frame.end());
  return out;
}

Bytes Tag1() { return testing::Id3v1Block("t", "a", "b", "1999", "c", 3); }
Bytes Tag2() { return testing::Id3v2Tag(3, {testing::TextFrame("TIT2", 0, "x")}, 100); }

TEST(FrameHeaderTest, LengthsAndSamples) {
  struct Case {
    HeaderShape shape;
    uint32_t length, samples, rate;
  } cases[] = {
      {{3, 1, 9, 0, 0}, 417, 1152, 44100},   // MPEG 1 Layer III 128 kbit/s
      {{3, 1, 9, 0, 1}, 418, 1152, 44100},   // padded
      {{2, 1, 8, 0, 0}, 208, 576, 22050},    // MPEG 2 Layer III 64 kbit/s
      {{0, 1, 1, 2, 0}, 72, 576, 8000},      // MPEG 2.5 at its lowest rate
      {{3, 2, 10, 1, 0}, 576, 1152, 48000},  // MPEG 1 Layer II 192 kbit/s
      {{3, 3, 1, 2, 1}, 52, 384, 32000},     // Layer I pads with a 4-byte slot
      {{2, 3, 1, 0, 0}, 68, 384, 22050},
  };
  for (const Case& c : cases) {
    std::optional<FrameHeader> h = ParseFrameHeader(HeaderBytes(c.shape));
    ASSERT_TRUE(h) << c.length;
    EXPECT_EQ(h->length, c.length);
    EXPECT_EQ(h->samples, c.samples);
    EXPECT_EQ(h->sample_rate, c.rate);
  }
  const HeaderShape refused[] = {
      {1, 1, 9, 0},   // reserved version
      {3, 0, 9, 0},   // reserved layer
      {3, 1, 0, 0},   // free format: no length
      {3, 1, 15, 0},  // bad bitrate
      {3, 1, 9, 3},   // reserved sample rate
  };
  for (const HeaderShape& s : refused) EXPECT_FALSE(ParseFrameHeader(HeaderBytes(s)));
  EXPECT_FALSE(ParseFrameHeader(Bytes{0xFF, 0xDB, 0x90, 0x44}));  // 10-bit sync
  EXPECT_FALSE(ParseFrameHeader(Bytes{0xFF, 0xFB, 0x90}));        // too short
}

TEST(FrameHeaderTest, InfoFrameMarkers) {
  const HeaderShape stereo1{}, mono1{.mode = 3}, stereo2{.version_id = 2, .bitrate_index = 8},
      mono2{.version_id = 2, .bitrate_index = 8, .mode = 3}, crc{.crc = true},
      layer2{.layer_id = 2};
  struct Case {
    HeaderShape shape;
    const char* marker;
    size_t at;
    InfoFrameKind kind;
  } cases[] = {
      {stereo1, "Xing", 36, InfoFrameKind::kXing}, {stereo1, "Info", 36, InfoFrameKind::kInfo},
      {mono1, "Xing", 21, InfoFrameKind::kXing},   {stereo2, "Info", 21, InfoFrameKind::kInfo},
      {mono2, "Xing", 13, InfoFrameKind::kXing},   {crc, "Xing", 38, InfoFrameKind::kXing},
      {stereo1, "Info", 38, InfoFrameKind::kInfo},  // two bytes later, CRC bit or not
      {stereo1, "VBRI", 36, InfoFrameKind::kVbri}, {mono2, "VBRI", 36, InfoFrameKind::kVbri},
      {stereo1, "Xing", 21, InfoFrameKind::kNone},  // a mono offset in a stereo frame
      {mono1, "Info", 36, InfoFrameKind::kNone},   {stereo1, "xing", 36, InfoFrameKind::kNone},
      {stereo1, "Xing", 40, InfoFrameKind::kNone}, {layer2, "Xing", 36, InfoFrameKind::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DetectInfoFrame(Frame(c.shape, c.marker, c.at)), c.kind) << c.marker << " " << c.at;
  }
  // A marker cut off by the end of what was read is not there.
  Bytes cut = Frame(stereo1, "Xing", 36);
  cut.resize(39);
  EXPECT_EQ(DetectInfoFrame(cut), InfoFrameKind::kNone);
}

TEST(FrameWalkTest, TaggedStreamWithLeadingFrame) {
  const Bytes frame = Frame({});
  struct Case {
    const char* marker;
    bool vbr;
  } cases[] = {{"Xing", true}, {"VBRI", true}, {"Info", false}};
  for (const Case& c : cases) {
    Bytes info = Frame({}, c.marker, 36);
    Bytes tag2 = Tag2();
    Bytes file = Concat({tag2, info, Repeat(frame, 5), Tag1()});
    FrameWalk walk = WalkFrames(file);
    const AudioLayout& l = walk.layout;
    EXPECT_EQ(l.id3v2_size, tag2.size());
    EXPECT_EQ(l.first_frame, tag2.size());
    EXPECT_EQ(l.info_frame_length, 417u);
    EXPECT_EQ(l.audio_start, tag2.size() + 417);
    EXPECT_EQ(l.audio_end, file.size() - 128);
    EXPECT_EQ(l.variable_bitrate(), c.vbr) << c.marker;
    ASSERT_EQ(walk.frames.size(), 5u);
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(walk.frames[i].offset, l.audio_start + 417 * i);
    EXPECT_DOUBLE_EQ(walk.seconds, 5 * 1152 / 44100.0);
  }
}

TEST(FrameWalkTest, PlainStreamAndOddShapes) {
  const Bytes frame = Frame({});
  const Bytes padded = Frame({.padding = 1});
  const Bytes junk(1000, 0x11);
  const Bytes far_junk(64 * 1024, 0);
  struct Case {
    const char* name;
    Bytes file;
    uint64_t start, end;
    std::vector<uint64_t> offsets;
  } cases[] = {
      {"plain", Concat({frame, padded, frame}), 0, 1252, {0, 417, 835}},
      {"junk before the first frame", Concat({junk, frame, frame}), 1000, 1834, {1000, 1417}},
      {"junk between frames", Concat({frame, junk, frame}), 0, 1834, {0, 1417}},
      {"64 KiB of junk ends the walk", Concat({frame, far_junk, frame}), 0, 65536 + 834, {0}},
      {"last frame cut short",
       Concat({frame, Bytes(frame.begin(), frame.begin() + 100)}),
       0,
       517,
       {0, 417}},
      {"tag only after the audio", Concat({frame, Tag1()}), 0, 417, {0}},
      {"no frame", junk, 0, 1000, {}},
      {"empty", {}, 0, 0, {}},
      {"ID3v1 tag only", Tag1(), 0, 0, {}},
  };
  for (const Case& c : cases) {
    FrameWalk walk = WalkFrames(c.file);
    EXPECT_EQ(walk.layout.audio_start, c.start) << c.name;
    EXPECT_EQ(walk.layout.audio_end, c.end) << c.name;
    EXPECT_FALSE(walk.layout.has_info_frame()) << c.name;
    std::vector<uint64_t> offsets;
    for (const MpegFrame& f : walk.frames) offsets.push_back(f.offset);
    EXPECT_EQ(offsets, c.offsets) << c.name;
    if (!walk.frames.empty()) {
      const MpegFrame& last = walk.frames.back();
      EXPECT_LE(last.offset + last.length, c.end) << c.name;
    }
  }
  FrameWalk cut = WalkFrames(Concat({frame, Bytes(frame.begin(), frame.begin() + 100)}));
  EXPECT_EQ(cut.frames.back().length, 100u);
}

TEST(FrameWalkTest, ATagThatClaimsMoreThanTheFile) {
  Bytes tag2 = Tag2();
  tag2[6] = 0x7F;  // body size far beyond the file
  FrameWalk walk = WalkFrames(Concat({tag2, Frame({})}));
  EXPECT_EQ(walk.layout.id3v2_size, walk.layout.file_size);
  EXPECT_EQ(walk.layout.audio_start, walk.layout.file_size);
  EXPECT_TRUE(walk.frames.empty());
}

TEST(FrameWalkTest, NearestBoundaryOfATime) {
  // Frames of 1152 samples at 32 kHz last 36 ms; a 64 kbit/s MPEG 1 frame is
  // 288 bytes.
  const Bytes frame = Frame({.bitrate_index = 5, .rate_index = 2});
  ASSERT_EQ(frame.size(), 288u);
  Bytes tag2 = Tag2();
  const FrameWalk walk = WalkFrames(Concat({tag2, Repeat(frame, 4)}));
  const uint64_t start = tag2.size();
  struct Case {
    double seconds;
    uint64_t offset;
  } cases[] = {{-1, start},
               {0, start},
               {0.017, start},
               {0.018, start},  // a tie goes to the earlier boundary
               {0.019, start + 288},
               {0.036, start + 288},
               {0.1, start + 3 * 288},
               {0.144, start + 4 * 288},
               {99, start + 4 * 288}};
  for (const Case& c : cases) EXPECT_EQ(FrameBoundaryAt(walk, c.seconds), c.offset) << c.seconds;
  EXPECT_EQ(FrameBoundaryAt(WalkFrames(tag2), 1.0), tag2.size());
}

// Real encoder output: the frames cover the audio exactly and their count is the
// count the encoder wrote.
TEST(FrameWalkTest, RealStreams) {
  struct Case {
    testing::EncodeParams params;
    InfoFrameKind kind;
  } cases[] = {
      {{.seconds = 2.0}, InfoFrameKind::kNone},
      {{.seconds = 2.0, .info_frame = true}, InfoFrameKind::kInfo},
      {{.sample_rate = 22050,
        .channels = 1,
        .bitrate_kbps = 64,
        .seconds = 2.0,
        .mode = 3,
        .info_frame = true},
       InfoFrameKind::kInfo},
      {{.seconds = 2.0, .vbr = true, .info_frame = true}, InfoFrameKind::kXing},
  };
  QTemporaryDir dir;
  for (const Case& c : cases) {
    Bytes tag2 = Tag2();
    Bytes file = Concat({tag2, testing::EncodeMp3(c.params), Tag1()});
    QString path = dir.filePath("real.mp3");
    testing::WriteFileBytes(path, file);
    FrameWalk walk = WalkFrames(QFile::encodeName(path).constData());
    const AudioLayout& l = walk.layout;
    EXPECT_EQ(l.info_frame, c.kind);
    EXPECT_EQ(l.first_frame, tag2.size());
    uint64_t at = l.audio_start;
    for (const MpegFrame& f : walk.frames) {
      ASSERT_EQ(f.offset, at);
      at += f.length;
    }
    EXPECT_EQ(at, l.audio_end);
    // 2 s of samples plus the encoder's delay and padding: less than 3 frames more.
    const double frame_seconds = walk.frames.front().Seconds();
    EXPECT_GE(walk.seconds, 2.0);
    EXPECT_LE(walk.seconds, 2.0 + 3 * frame_seconds);
  }
  EXPECT_TRUE(WalkFrames("/nonexistent/file.mp3").frames.empty());
}

// The walk reads in blocks: frames that straddle block edges, in a stream longer
// than one block, come out the same as from one buffer.
TEST(FrameWalkTest, LongStreamAcrossBlocks) {
  Bytes frame = Frame({});
  Bytes file = Concat({Tag2(), Repeat(Concat({frame, Frame({.padding = 1})}), 1000)});
  QTemporaryDir dir;
  QString path = dir.filePath("long.mp3");
  testing::WriteFileBytes(path, file);
  FrameWalk from_file = WalkFrames(QFile::encodeName(path).constData());
  FrameWalk from_memory = WalkFrames(file);
  ASSERT_EQ(from_file.frames.size(), 2000u);
  ASSERT_EQ(from_memory.frames.size(), 2000u);
  EXPECT_EQ(from_file.frames.back().offset, from_memory.frames.back().offset);
  EXPECT_EQ(from_file.frames.back().offset + 418, file.size());
}

}  // namespace
}  // namespace orlavo

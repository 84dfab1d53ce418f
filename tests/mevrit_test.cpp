// libmevrit.so through its binding, as the encoder tool calls it, with its
// MP3s checked by mpg123, mp3val, Pellox and the lame command.
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "app/pellox_binding.h"
#include "tests/support/mp3_check.h"
#include "tests/support/qstring_print.h"
#include "tests/support/wav_fixture.h"
#include "tools/encoder/encoder_library.h"

namespace orlavo {
namespace {

using testing::WavFormat;

int OpenDescriptors() {
  int count = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d) != nullptr) ++count;
    closedir(d);
  }
  return count;
}

class MevritTest : public ::testing::Test {
 protected:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  QStringList Files() const {
    return QDir(dir_.path())
        .entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  }
  // One EncodeMp3 call; every call must close what it opened.
  int32_t Encode(const QString& wav, int bitrate, int32_t mode,
                 const EncoderLibrary::Progress& progress = {}) {
    const int before = OpenDescriptors();
    library_.SetEncoder(bitrate, mode);
    std::vector<int> seen;
    const int32_t status = library_.EncodeMp3(wav, [&](int percent) {
      seen.push_back(percent);
      return progress ? progress(percent) : true;
    });
    EXPECT_EQ(OpenDescriptors(), before) << wav.toStdString();
    percents_ = seen;
    return status;
  }

  QTemporaryDir dir_;
  MevritBinding library_{QStringLiteral(ORLAVO_BIN_DIR)};
  std::vector<int> percents_;
};

TEST_F(MevritTest, ExportsExactlyTheTwoEntryPoints) {
  const QString symbols = testing::RunTool(
      "nm", {"-D", "--defined-only", "--format=just-symbols", ORLAVO_BIN_DIR "/libmevrit.so"});
  QStringList names = symbols.split(u'\n', Qt::SkipEmptyParts);
  names.sort();
  EXPECT_EQ(names, QStringList({"EncodeMp3", "SetEncoder"}));
}

TEST_F(MevritTest, BindingReportsAMissingLibraryOrExport) {
  QTemporaryDir empty;
  MevritBinding missing(empty.path());
  EXPECT_FALSE(missing.Bind());
  EXPECT_TRUE(missing.error().contains("libmevrit.so")) << missing.error().toStdString();
  // A library of that name without the exports.
  ASSERT_TRUE(QFile::copy(ORLAVO_BIN_DIR "/libpellox.so", empty.filePath("libmevrit.so")));
  MevritBinding wrong(empty.path());
  EXPECT_FALSE(wrong.Bind());
  EXPECT_TRUE(wrong.error().contains("does not export SetEncoder")) << wrong.error().toStdString();
  EXPECT_TRUE(library_.Bind()) << library_.error().toStdString();
}

struct FormatCase {
  const char* label;
  WavFormat wav;
  int bitrate;
  int32_t mode;
  int channels;           // of the MP3
  const char* mode_text;  // as ReadMP3 names it
  int expected_bitrate;   // LAME's choice
  bool rate_kept;
};

// Each readable format and each mode, against the lame command on the same WAV.
TEST_F(MevritTest, EncodesEveryReadableWavAsTheLameCommandDoes) {
  const FormatCase cases[] = {
      {"pcm16-stereo", {44100, 2, 16}, 128, MEVRIT_MODE_STEREO, 2, "Stereo", 128, true},
      {"pcm16-dual", {44100, 2, 16}, 192, MEVRIT_MODE_DUAL_CHANNEL, 2, "Dual Channel", 192, true},
      {"pcm16-downmix", {44100, 2, 16}, 128, MEVRIT_MODE_MONO, 1, "Single Channel", 128, true},
      {"pcm8-mono",
       {22050, 1, 8, false, false, 22050},
       64,
       MEVRIT_MODE_STEREO,
       1,
       "Single Channel",
       64,
       true},
      {"pcm24-48k",
       {48000, 2, 24, false, false, 48000},
       320,
       MEVRIT_MODE_STEREO,
       2,
       "Stereo",
       320,
       true},
      {"pcm32-mono-dual",
       {44100, 1, 32, false, false, 30000},
       96,
       MEVRIT_MODE_DUAL_CHANNEL,
       1,
       "Single Channel",
       96,
       true},
      {"float-32k",
       {32000, 2, 32, true, false, 40000},
       160,
       MEVRIT_MODE_STEREO,
       2,
       "Stereo",
       160,
       true},
      {"extensible",
       {44100, 2, 16, false, true, 50000},
       256,
       MEVRIT_MODE_STEREO,
       2,
       "Stereo",
       256,
       true},
      {"extensible-float",
       {44100, 2, 32, true, true, 20000},
       112,
       MEVRIT_MODE_MONO,
       1,
       "Single Channel",
       112,
       true},
      // LAME resamples at low bitrates, and caps MPEG-2 bitrates at 160.
      {"resampled", {44100, 2, 16}, 32, MEVRIT_MODE_STEREO, 2, "Stereo", 32, false},
      {"mpeg2-capped",
       {22050, 2, 16, false, false, 22050},
       320,
       MEVRIT_MODE_STEREO,
       2,
       "Stereo",
       160,
       true},
  };
  PelloxBinding pellox(QStringLiteral(ORLAVO_BIN_DIR));
  const mode_t mask = umask(0);
  umask(mask);
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.label);
    const QString wav = Path(QString::fromLatin1(c.label) + ".wav");
    testing::WriteWav(wav, c.wav);
    const testing::Bytes wav_bytes = testing::ReadFileBytes(wav);
    ASSERT_EQ(Encode(wav, c.bitrate, c.mode), 0);
    const QString mp3 = Path(QString::fromLatin1(c.label) + ".mp3");

    EXPECT_EQ(testing::ReadFileBytes(wav), wav_bytes);
    struct stat st;
    ASSERT_EQ(stat(QFile::encodeName(mp3).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
    ASSERT_FALSE(percents_.empty());
    EXPECT_LE(percents_.front(), 1);
    EXPECT_EQ(percents_.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents_.begin(), percents_.end()) &&
                std::adjacent_find(percents_.begin(), percents_.end()) == percents_.end());

    const testing::DecodedAudio decoded = testing::DecodeWithMpg123(mp3);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.complaints, QStringList());
    EXPECT_EQ(decoded.channels, c.channels);
    if (c.rate_kept) {
      EXPECT_EQ(decoded.frames, c.wav.frames);
    }
    const testing::Mp3valReport checked = testing::CheckWithMp3val(mp3);
    EXPECT_EQ(checked.problems, QStringList());

    StreamInfo info;
    ASSERT_TRUE(pellox.ReadMP3(mp3, &info));
    EXPECT_EQ(info.Bitrate, c.expected_bitrate);
    EXPECT_STREQ(info.Mode, c.mode_text);

    // The lame command on the same WAV: the same rate, bitrate and frames.
    const QString by_lame = Path(QString::fromLatin1(c.label) + ".lame");
    const char* mode_flag = c.mode == MEVRIT_MODE_DUAL_CHANNEL ? "d"
                            : c.mode == MEVRIT_MODE_MONO       ? "m"
                                                               : "s";
    ASSERT_FALSE(testing::RunTool("lame", {"--quiet", "-b", QString::number(c.bitrate), "-m",
                                           mode_flag, wav, by_lame})
                     .isNull());
    StreamInfo lame_info;
    ASSERT_TRUE(pellox.ReadMP3(by_lame, &lame_info));
    EXPECT_EQ(info.Frequency, lame_info.Frequency);
    EXPECT_EQ(info.Bitrate, lame_info.Bitrate);
    EXPECT_EQ(decoded.sample_rate, lame_info.Frequency);
    EXPECT_EQ(checked.frames, testing::CheckWithMp3val(by_lame).frames);
    if (!c.rate_kept) {
      EXPECT_NE(info.Frequency, c.wav.sample_rate);
    }
  }
}

TEST_F(MevritTest, RefusesWhatIsNotAReadableWavAndLeavesNoMp3) {
  struct Case {
    const char* name;
    testing::Bytes bytes;
  };
  const testing::Bytes wav = testing::WavBytes({});
  testing::Bytes aiff = {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'A', 'I', 'F', 'F'};
  const Case cases[] = {
      {"mp3.wav", testing::EncodeMp3({.seconds = 0.5})},
      {"text.wav", testing::Bytes(2000, 'x')},
      {"cut-header.wav", testing::Bytes(wav.begin(), wav.begin() + 30)},
      {"six-channels.wav", testing::WavBytes({44100, 6, 16, false, true, 4410})},
      {"riff-but-not-wave.wav",
       [&] {
         testing::Bytes b = wav;
         std::copy_n("AVI ", 4, b.begin() + 8);
         return b;
       }()},
      {"aiff.wav", aiff},
      {"empty.wav", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = Path(c.name);
    testing::WriteFileBytes(path, c.bytes);
    const QStringList before = Files();
    EXPECT_EQ(Encode(path, 128, MEVRIT_MODE_STEREO), MEVRIT_STATUS_CANT_OPEN_WAV);
    EXPECT_EQ(Files(), before);
  }
  EXPECT_EQ(Encode(Path("missing.wav"), 128, 0), MEVRIT_STATUS_CANT_OPEN_WAV);
  ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.wav"));
  EXPECT_EQ(Encode(Path("folder.wav"), 128, 0), MEVRIT_STATUS_CANT_OPEN_WAV);
}

TEST_F(MevritTest, ACallbackReturningFalseInterruptsAndRemovesThePartialMp3) {
  const QString wav = Path("song.wav");
  testing::WriteWav(wav, {.frames = 3 * 44100});
  for (int stop_at : {50, 100}) {
    SCOPED_TRACE(stop_at);
    EXPECT_EQ(Encode(wav, 128, 0, [stop_at](int percent) { return percent < stop_at; }),
              MEVRIT_STATUS_INTERRUPTED);
    EXPECT_GE(percents_.back(), stop_at);
    EXPECT_EQ(Files(), QStringList({"song.wav"}));
  }
}

TEST_F(MevritTest, NeverReplacesAFileAndReportsWriteFailures) {
  const QString wav = Path("song.wav");
  testing::WriteWav(wav, {.frames = 2 * 44100});
  testing::WriteFileBytes(Path("song.mp3"), {'k', 'e', 'e', 'p'});
  EXPECT_EQ(Encode(wav, 128, 0), MEVRIT_STATUS_CANT_WRITE_MP3);
  EXPECT_EQ(testing::ReadFileBytes(Path("song.mp3")), testing::Bytes({'k', 'e', 'e', 'p'}));
  ASSERT_TRUE(QFile::remove(Path("song.mp3")));

  // A full disk, as the file size limit makes it: writes fail midway.
  struct rlimit old_limit;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  struct rlimit small = old_limit;
  small.rlim_cur = 8000;
  void (*old_handler)(int) = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int32_t status = Encode(wav, 128, 0);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  EXPECT_EQ(status, MEVRIT_STATUS_CANT_WRITE_MP3);
  EXPECT_EQ(Files(), QStringList({"song.wav"}));

  // A folder nobody may write to (root may write anywhere).
  if (geteuid() != 0) {
    ASSERT_EQ(chmod(QFile::encodeName(dir_.path()).constData(), 0555), 0);
    EXPECT_EQ(Encode(wav, 128, 0), MEVRIT_STATUS_CANT_WRITE_MP3);
    chmod(QFile::encodeName(dir_.path()).constData(), 0755);
    EXPECT_EQ(Files(), QStringList({"song.wav"}));
  }
}

}  // namespace
}  // namespace orlavo

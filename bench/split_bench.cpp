// Create Tracks cutting a 200 MB constant-bitrate source into 20 tracks,
// against copying the same byte ranges to the same disk in the same run with
// one read and one write per track (dd's time, which adds a process per
// track, is shown too). ORLAVO_SPLIT_BENCH_MB sets another source size.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/desktop.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "tests/support/bench_floor.h"
#include "tests/support/lame_fixture.h"
#include "tools/advanced_tools.h"
#include "tools/splitter/split_time.h"
#include "tools/splitter/splitter.h"

using namespace orlavo;

namespace {

// Says Yes to Create Tracks' summary; nothing else is asked here.
class YesDesktop : public SilentDesktop {
 public:
  Answer Message(const QString&, const QString&, Buttons buttons, Icon) override {
    return buttons == Buttons::kYesNo ? Answer::kYes : CautiousAnswer(buttons);
  }
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const qint64 megabytes = qEnvironmentVariableIntValue("ORLAVO_SPLIT_BENCH_MB") > 0
                               ? qEnvironmentVariableIntValue("ORLAVO_SPLIT_BENCH_MB")
                               : 200;
  constexpr int kTracks = 20;
  // Beside the build, on the disk the tracks of a real split would go to.
  QTemporaryDir dir(QStringLiteral(ORLAVO_BIN_DIR "/../split-bench-XXXXXX"));
  const QString program = dir.filePath("program") + u'/';
  const QString out = dir.filePath("out") + u'/';
  const QString peer_out = dir.filePath("peer") + u'/';
  QDir().mkpath(program);
  QFile::copy(ORLAVO_BIN_DIR "/libpellox.so", program + "libpellox.so");

  // A 128 kbit/s stream: ten encoded seconds repeated up to the size.
  const QString source = dir.filePath("source.mp3");
  {
    const testing::Bytes chunk = testing::EncodeMp3({.seconds = 10.0});
    QFile f(source);
    if (!f.open(QIODevice::WriteOnly)) return 1;
    const qint64 size = megabytes * 1000 * 1000;
    for (qint64 written = 0; written < size;) {
      const qint64 n = std::min<qint64>(static_cast<qint64>(chunk.size()), size - written);
      f.write(reinterpret_cast<const char*>(chunk.data()), n);
      written += n;
    }
  }

  PelloxBinding pellox(program);
  Options options;
  options.show_current_file = false;
  YesDesktop desktop;
  ToolsStatus status;
  Splitter splitter(ToolContext{desktop, status, pellox, options, program});
  splitter.set_auto_create(false);
  splitter.set_source(source);
  splitter.set_destination(out);
  splitter.RefreshSource();
  const qint64 duration = splitter.duration_seconds();
  for (int k = 1; k <= kTracks; ++k) {
    splitter.set_time_field(FormatMinutesSeconds(duration * k / kTracks));
    splitter.AddNewTime();
  }
  const Splitter::Plan plan = splitter.PlanTracks();
  if (splitter.tracks().size() != kTracks || !plan.refusal.isEmpty()) {
    std::fprintf(stderr, "track list not built: %d rows %s\n", splitter.tracks().size(),
                 qPrintable(plan.refusal));
    return 1;
  }

  auto fresh = [](const QString& folder) {
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
  };
  bool ok = true;
  auto split = [&] {
    fresh(out);
    ok &= splitter.CreateTracks().size() == kTracks;
  };
  auto peer = [&] {
    fresh(peer_out);
    for (const TrackJob& job : plan.jobs) {
      const int rc = QProcess::execute(
          "dd", {"if=" + source, "of=" + peer_out + job.file_name, "bs=4M",
                 "iflag=skip_bytes,count_bytes", "skip=" + QString::number(job.begin),
                 "count=" + QString::number(job.end - job.begin), "status=none"});
      ok &= rc == 0;
    }
  };
  std::vector<char> buffer;
  auto one_read_one_write = [&] {
    fresh(peer_out);
    QFile in(source);
    ok &= in.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    for (const TrackJob& job : plan.jobs) {
      buffer.resize(static_cast<size_t>(job.end - job.begin));
      in.seek(job.begin);
      ok &= in.read(buffer.data(), static_cast<qint64>(buffer.size())) ==
            static_cast<qint64>(buffer.size());
      QFile track(peer_out + job.file_name);
      ok &= track.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
      ok &= track.write(buffer.data(), static_cast<qint64>(buffer.size())) ==
            static_cast<qint64>(buffer.size());
    }
  };
  auto time = [](auto&& f) { return testing::TimeSeconds(f); };
  time(split);  // warm the cache
  double best_split = 1e9, best_peer = 1e9, best_dd = 1e9;
  for (int round = 0; round < 3; ++round) {
    best_peer = std::min(best_peer, time(one_read_one_write));
    best_dd = std::min(best_dd, time(peer));
    best_split = std::min(best_split, time(split));
  }
  qint64 written = 0;
  for (const QString& f : QDir(out).entryList(QDir::Files)) written += QFile(out + f).size();
  ok &= written == plan.jobs.back().end - plan.jobs.front().begin;
  if (!ok) {
    std::fprintf(stderr, "a split or a dd run failed\n");
    return 1;
  }
  std::printf("source: %lld MB, %d tracks of %lld s\n", static_cast<long long>(megabytes), kTracks,
              static_cast<long long>(duration / kTracks));
  std::printf("dd of the same ranges:            %.1f ms\n", best_dd * 1e3);
  std::printf("one read, one write per track:   %.1f ms\n", best_peer * 1e3);
  std::printf("Create Tracks:                   %.1f ms\n", best_split * 1e3);
  std::printf("split-20: %.2fx of one read and one write per track (target <= 1.3x)\n",
              best_split / best_peer);
  return 0;
}

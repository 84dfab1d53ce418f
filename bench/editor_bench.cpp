// The file name editor's "Do it!" (text added at the end with a running
// number) and "Rename Files" (with its duplicate check and reload) on 10,000
// and on 20,000 selected rows. Both must grow linearly: the 20,000-row run may
// take at most 2.5 times the 10,000-row run.
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <utility>

#include "app/desktop.h"
#include "app/pellox_binding.h"
#include "app/settings.h"
#include "tests/support/bench_floor.h"
#include "tests/support/mp3_bytes.h"
#include "tools/advanced_tools.h"
#include "tools/editor/file_name_editor.h"

using namespace orlavo;
using Clock = std::chrono::steady_clock;

namespace {

// Says Yes to "Are you sure...?" and asks nothing else.
class YesDesktop : public SilentDesktop {
 public:
  Answer Message(const QString&, const QString&, Buttons buttons, Icon) override {
    return buttons == Buttons::kYesNo ? Answer::kYes
                                      : (buttons == Buttons::kOk ? Answer::kOk : Answer::kCancel);
  }
};

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

struct Timing {
  double do_it = 1e9;
  double rename = 1e9;
};

// One folder of generated files and an editor filled from it.
class Setup {
 public:
  Setup(int files, const QString& program, PelloxBinding& pellox) : files_(files) {
    const QString music = dir_.path() + u'/';
    const QByteArray tagged = testing::Mp3FileBytes({.id3v1 = true, .title = "T", .artist = "A"});
    for (int i = 0; i < files; ++i) {
      testing::WriteBytes(music + QStringLiteral("Track %1.mp3").arg(i, 5, 10, QChar(u'0')),
                          tagged);
    }
    options_.main_folder = music;
    options_.show_current_file = false;
    editor_ =
        std::make_unique<FileNameEditor>(ToolContext{desktop_, status_, pellox, options_, program});
    editor_->Fill();
  }

  void PrepareDoIt() {
    editor_->SelectAll();
    editor_->RestoreOriginalNames();
    EditorInputs& in = editor_->inputs();
    in.mode = EditMode::kAdd;
    in.position = AddPosition::kEnd;
    in.main_text = QStringLiteral(" varX");
    in.variable_on = true;
    in.var_value = QStringLiteral("1");
  }

  void DoIt() {
    if (!editor_->DoIt()) Fail("Do it!");
  }

  void Rename() {
    const RenameReport report = editor_->RenameFiles();
    if (report.renamed != files_ || editor_->list().size() != files_) Fail("Rename Files");
  }

 private:
  void Fail(const char* what) {
    std::fprintf(stderr, "%s failed on %d files\n", what, files_);
    std::exit(1);
  }

  int files_;
  QTemporaryDir dir_;  // under /tmp, removed with everything in it
  Options options_;
  YesDesktop desktop_;
  ToolsStatus status_;
  std::unique_ptr<FileNameEditor> editor_;
};

template <typename F>
double Time(F&& f) {
  const auto t0 = Clock::now();
  f();
  return Seconds(t0);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  QTemporaryDir program;
  QDir().mkpath(program.filePath("Files"));
  PelloxBinding pellox(QStringLiteral(ORLAVO_BIN_DIR));
  if (!testing::BindPelloxOrSay(pellox)) return 1;
  // The two sizes take turns, so that a busy machine slows both alike.
  Setup small_setup(10000, program.path(), pellox);
  Setup large_setup(20000, program.path(), pellox);
  Timing small, large;
  for (int round = 0; round < 41; ++round) {
    for (auto [setup, timing] :
         {std::pair{&small_setup, &small}, std::pair{&large_setup, &large}}) {
      setup->PrepareDoIt();
      timing->do_it = std::min(timing->do_it, Time([&] { setup->DoIt(); }));
    }
  }
  for (int round = 0; round < 3; ++round) {
    for (auto [setup, timing] :
         {std::pair{&small_setup, &small}, std::pair{&large_setup, &large}}) {
      setup->PrepareDoIt();
      setup->DoIt();
      timing->rename = std::min(timing->rename, Time([&] { setup->Rename(); }));
    }
  }
  std::printf("Do it! (end, running number):   10,000 rows %.1f ms, 20,000 rows %.1f ms\n",
              small.do_it * 1e3, large.do_it * 1e3);
  std::printf("Rename Files (check, rename, reload): 10,000 rows %.1f ms, 20,000 rows %.1f ms\n",
              small.rename * 1e3, large.rename * 1e3);
  std::printf("editor-doit-scaling: %.2fx (target <= 2.5)\n", large.do_it / small.do_it);
  std::printf("editor-rename-scaling: %.2fx (target <= 2.5)\n", large.rename / small.rename);
  return 0;
}

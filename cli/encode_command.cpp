// orlavo-cli encode: WAV files to MP3 files through libmevrit.so, as the
// encoder pane runs them, in the order given.
#include <QFileInfo>

#include "app/helpers.h"
#include "cli/console.h"
#include "tools/encoder/encoder_library.h"
#include "tools/encoder/wav_encoder.h"

namespace orlavo::cli {
namespace {

QString Opt(const char* name) { return QString::fromLatin1(name); }

// The overwrite question is answered by --overwrite; everything else as on
// any console.
class EncodeDesktop : public ConsoleDesktop {
 public:
  EncodeDesktop(QTextStream& err, bool overwrite) : ConsoleDesktop(err), overwrite_(overwrite) {}
  Answer Message(const QString& title, const QString& text, Buttons buttons, Icon icon) override {
    if (text == QLatin1String(encoder_text::kOverwriteQuestion)) {
      return overwrite_ ? Answer::kYes : Answer::kNo;
    }
    return ConsoleDesktop::Message(title, text, buttons, icon);
  }

 private:
  bool overwrite_;
};

class EncodeCommand : public Command {
 public:
  QString name() const override { return QStringLiteral("encode"); }
  QString summary() const override {
    return QStringLiteral(
        "Encode WAV files to MP3 files at a constant bitrate, as the encoder pane does; prints "
        "each file with its status (a file that fails is also named on stderr, and the exit "
        "status is then 1).");
  }
  QString arguments() const override { return QStringLiteral("WAV..."); }

  void AddOptions(QCommandLineParser& parser) const override {
    QStringList bitrates;
    for (int bitrate : EncoderBitrates()) bitrates << QString::number(bitrate);
    parser.addOption(
        {Opt("bitrate"),
         QStringLiteral("Bitrate in kbit/s: %1 (default 128).").arg(bitrates.join(", ")), Opt("N"),
         QString::number(kDefaultBitrate)});
    parser.addOption({Opt("mode"),
                      Opt("Channel mode: Stereo, DualChannel or Mono (default Stereo)."),
                      Opt("MODE"), Opt(encoder_text::kStereo)});
    parser.addOption({Opt("out"),
                      Opt("Move each MP3 into this folder (default: leave it beside its WAV)."),
                      Opt("DIR")});
    parser.addOption(
        {Opt("overwrite"), Opt("Replace an existing MP3 of the same name (the old file goes to the "
                               "trash); without it such a WAV is skipped.")});
    AddDryRunOption(parser);
  }

  int Run(const QCommandLineParser& parser, Context& context) const override {
    const QStringList wavs = parser.positionalArguments();
    if (wavs.isEmpty()) {
      PrintError(context, QStringLiteral("give at least one WAV file"));
      return kUsage;
    }
    EncodeSettings settings;
    if (!SettingsFrom(parser, context, &settings)) return kUsage;
    const bool overwrite = parser.isSet(Opt("overwrite"));

    EncodeDesktop desktop(context.err, overwrite);
    NoProgress progress;
    MevritBinding library(context.library_folder.isEmpty() ? context.program_folder
                                                           : context.library_folder);
    bool failed = false;
    for (const QString& arg : wavs) {
      const QString wav = QFileInfo(arg).absoluteFilePath();
      if (!IsWavName(FileNameOf(wav))) {
        Fail(context, arg, QStringLiteral("not a WAV file name"));
        failed = true;
        continue;
      }
      if (IsDryRun(parser)) {
        Print(context, arg, DryRunLine(wav, settings, overwrite));
        continue;
      }
      const EncodeRunReport report = EncodeWavFiles(
          {{wav, arg}}, settings, desktop, progress, library, [&](const EncodeFileResult& file) {
            if (file.outcome == EncodeFileResult::Outcome::kFailed) {
              Fail(context, arg, file.message);
              failed = true;
            } else {
              Print(context, arg,
                    file.outcome == EncodeFileResult::Outcome::kSkipped
                        ? QStringLiteral("skipped: already exists")
                        : file.message);
            }
          });
      if (report.library_missing) {
        PrintError(context, library.error());
        return kFailed;
      }
    }
    return failed ? kFailed : kOk;
  }

 private:
  static bool SettingsFrom(const QCommandLineParser& parser, Context& context,
                           EncodeSettings* settings) {
    bool number = false;
    settings->bitrate = parser.value(Opt("bitrate")).toInt(&number);
    const auto& bitrates = EncoderBitrates();
    if (!number ||
        std::find(bitrates.begin(), bitrates.end(), settings->bitrate) == bitrates.end()) {
      PrintError(context, QStringLiteral("--bitrate takes one of the bitrates of --help, not '%1'")
                              .arg(parser.value(Opt("bitrate"))));
      return false;
    }
    const QString mode = parser.value(Opt("mode"));
    if (!EncoderModes().contains(mode, Qt::CaseInsensitive)) {
      PrintError(context,
                 QStringLiteral("--mode takes Stereo, DualChannel or Mono, not '%1'").arg(mode));
      return false;
    }
    for (const QString& known : EncoderModes()) {
      if (known.compare(mode, Qt::CaseInsensitive) == 0) settings->mode = ModeNumber(known);
    }
    if (parser.isSet(Opt("out"))) {
      const QFileInfo out(parser.value(Opt("out")));
      if (!out.isDir()) {
        PrintError(context,
                   QStringLiteral("--out: %1 is not a folder").arg(parser.value(Opt("out"))));
        return false;
      }
      settings->output_folder = out.absoluteFilePath();
      if (!settings->output_folder.endsWith(u'/')) settings->output_folder += u'/';
    }
    return true;
  }

  static QString DryRunLine(const QString& wav, const EncodeSettings& settings, bool overwrite) {
    const QString name = Mp3NameOf(FileNameOf(wav));
    const QString beside = FolderOf(wav) + name;
    const QString out =
        (settings.output_folder.isEmpty() ? FolderOf(wav) : settings.output_folder) + name;
    const bool taken = QFileInfo::exists(out) || (out != beside && QFileInfo::exists(beside));
    if (taken && !overwrite) return QStringLiteral("skipped: already exists");
    return QStringLiteral("would encode to %1%2")
        .arg(out, taken ? QStringLiteral(" (the old MP3 to the trash)") : QString());
  }

  static void Print(Context& context, const QString& wav, const QString& status) {
    context.out << Field(wav) << '\t' << Field(status) << '\n';
    context.out.flush();
  }
  // The row stays (scripts read the status column), and the failure is told
  // where every other command tells its failures.
  static void Fail(Context& context, const QString& wav, const QString& reason) {
    Print(context, wav, reason);
    PrintError(context, QStringLiteral("%1: %2").arg(wav, reason));
  }
};

const Registration<EncodeCommand> kRegistration;

}  // namespace
}  // namespace orlavo::cli

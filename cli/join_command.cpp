// orlavo-cli join: the MP3 joiner's "Join" over files named on the command line.
#include <QFileInfo>

#include "app/file_ops.h"
#include "app/helpers.h"
#include "cli/console.h"
#include "tools/joiner/joiner.h"

namespace orlavo::cli {
namespace {

struct TextOption {
  const char* name;
  const char* help;
};
constexpr TextOption kTagTexts[] = {{"title", "Title of the new tag."},
                                    {"artist", "Artist of the new tag."},
                                    {"album", "Album of the new tag."},
                                    {"year", "Year of the new tag."},
                                    {"comment", "Comment of the new tag."}};

QString Opt(const char* name) { return QString::fromLatin1(name); }

// As the joiner's genre field: a name that is not in the genre list gives 0.
std::optional<int> JoinGenre(const QString& text) {
  bool number = false;
  const int n = text.toInt(&number);
  if (!number) return JoinGenreNumber(text);
  if (n < 0 || n > 255) return std::nullopt;
  return n;
}

class JoinCommand : public Command {
 public:
  QString name() const override { return QStringLiteral("join"); }
  QString summary() const override {
    return QStringLiteral(
        "Join MP3 files into one, in the order given, each without its ID3v1 tag and its "
        "leading Xing/Info/VBRI frame, as the MP3 joiner's \"Join\" does.");
  }
  QString arguments() const override { return QStringLiteral("SOURCE..."); }

  void AddOptions(QCommandLineParser& parser) const override {
    parser.addOption({Opt("out"), QStringLiteral("The joined file to write (required)."),
                      QStringLiteral("FILE")});
    parser.addOption({Opt("tag"), QStringLiteral("End the joined file with a new ID3v1 tag of "
                                                 "the fields below (missing texts are empty).")});
    for (const TextOption& t : kTagTexts) {
      parser.addOption({Opt(t.name), Opt(t.help), QStringLiteral("TEXT")});
    }
    parser.addOption(
        {Opt("genre"),
         QStringLiteral("Genre of the new tag: a number (0-255) or a name of the genre list; "
                        "a name not in the list gives 0."),
         QStringLiteral("NAME|NUMBER")});
    parser.addOption(
        {Opt("overwrite"),
         QStringLiteral("Replace an existing FILE (the old file goes to the trash).")});
    AddDryRunOption(parser);
  }

  int Run(const QCommandLineParser& parser, Context& context) const override {
    const QStringList given = parser.positionalArguments();
    if (given.isEmpty()) {
      PrintError(context, QStringLiteral("give the SOURCE files to join"));
      return kUsage;
    }
    if (!parser.isSet(Opt("out")) || parser.value(Opt("out")).isEmpty()) {
      PrintError(context, QStringLiteral("give the joined file with --out FILE"));
      return kUsage;
    }
    std::optional<JoinTag> tag;
    if (parser.isSet(Opt("tag"))) {
      tag = JoinTag{parser.value(Opt("title")),   parser.value(Opt("artist")),
                    parser.value(Opt("album")),   parser.value(Opt("year")),
                    parser.value(Opt("comment")), 0};
      if (parser.isSet(Opt("genre"))) {
        std::optional<int> genre = JoinGenre(parser.value(Opt("genre")));
        if (!genre) {
          PrintError(context, QStringLiteral("genre number %1 is not between 0 and 255")
                                  .arg(parser.value(Opt("genre"))));
          return kUsage;
        }
        tag->genre = *genre;
      }
    }
    if (given.size() == 1) {
      PrintError(context, QString::fromLatin1(joiner_text::kOneTrack));
      return kFailed;
    }
    QStringList sources;
    for (const QString& s : given) sources << QFileInfo(s).absoluteFilePath();
    const QString out = QFileInfo(parser.value(Opt("out"))).absoluteFilePath();
    const bool exists = QFileInfo::exists(out) || QFileInfo(out).isSymLink();
    if (exists && !parser.isSet(Opt("overwrite"))) {
      PrintError(context, QStringLiteral("%1: exists (give --overwrite to replace it)").arg(out));
      return kFailed;
    }
    if (exists && !FileExists(out)) {
      PrintError(context, QStringLiteral("%1: not a file").arg(out));
      return kFailed;
    }

    if (IsDryRun(parser)) return DryRun(sources, context);

    ConsoleDesktop desktop(context.err);
    QString kept_reason;
    std::function<bool()> replace;
    if (exists) {
      replace = [&] {
        const TrashResult trashed = DeleteToTrash(out, &desktop);
        if (!trashed.ok()) kept_reason = trashed.error;
        return trashed.ok();
      };
    }
    const JoinOutcome outcome = JoinFiles(sources, out, tag, {}, replace);
    if (!outcome.ok) {
      QString why = outcome.reason;
      if (!kept_reason.isEmpty()) why += QStringLiteral(": ") + kept_reason;
      if (!outcome.failed_source.isEmpty())
        why = outcome.failed_source + QStringLiteral(": ") + why;
      PrintError(context, QString::fromLatin1(joiner_text::kCannotJoin) + QStringLiteral(" (") +
                              why + QStringLiteral(")"));
      return kFailed;
    }
    context.out << "Joined " << outcome.sources_joined << " files.\n";
    context.out.flush();
    return kOk;
  }

 private:
  // One line per source: its path and the bytes it would give.
  static int DryRun(const QStringList& sources, Context& context) {
    int status = kOk;
    for (const QString& source : sources) {
      std::optional<SourceRanges> ranges = JoinRanges(source);
      if (!ranges || ranges->bytes() <= 0) {
        PrintError(context, QStringLiteral("%1: %2").arg(
                                source, ranges ? QStringLiteral("holds no audio to join")
                                               : QStringLiteral("cannot be opened as a file")));
        status = kFailed;
        continue;
      }
      context.out << Field(source) << '\t' << ranges->bytes() << '\n';
    }
    context.out.flush();
    return status;
  }
};

const Registration<JoinCommand> kRegistration;

}  // namespace
}  // namespace orlavo::cli

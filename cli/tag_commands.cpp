// orlavo-cli tag, rename-from-tag and tag-from-name: the ID3v1 panel's
// operations on files named on the command line.
#include <QFileInfo>

#include "app/helpers.h"
#include "app/syntax_checker.h"
#include "app/tag_helpers.h"
#include "app/tag_transfer.h"
#include "cli/console.h"
#include "formats/id3v1.h"

namespace orlavo::cli {
namespace {

// The files named on the command line that are regular files; the others are
// reported. Sets *status to kFailed when one is missing.
QStringList ExistingFiles(const QCommandLineParser& parser, Context& context, int* status) {
  QStringList files;
  for (const QString& arg : parser.positionalArguments()) {
    QFileInfo fi(arg);
    if (!fi.isFile()) {
      PrintError(context, QStringLiteral("%1: %2").arg(
                              arg, fi.exists() ? QStringLiteral("not a regular file")
                                               : QStringLiteral("no such file")));
      *status = kFailed;
      continue;
    }
    files << fi.absoluteFilePath();
  }
  return files;
}

bool NeedFiles(const QCommandLineParser& parser, Context& context) {
  if (!parser.positionalArguments().isEmpty()) return true;
  PrintError(context, QStringLiteral("give at least one FILE"));
  return false;
}

// A genre given as a number (0-255) or as a name of the genre table.
std::optional<int> ParseGenre(const QString& text) {
  bool ok = false;
  int n = text.toInt(&ok);
  if (ok) return (n >= 0 && n <= 255) ? std::optional<int>(n) : std::nullopt;
  for (int i = 0; i < kGenreCount; ++i) {
    if (text.compare(QString::fromLatin1(kGenreNames[i]).trimmed(), Qt::CaseInsensitive) == 0) {
      return i;
    }
  }
  return std::nullopt;
}

struct TextField {
  const char* option;
  const char* help;
};
constexpr TextField kTextFields[] = {{"title", "New title."},
                                     {"artist", "New artist."},
                                     {"album", "New album."},
                                     {"year", "New year."},
                                     {"comment", "New comment."}};

class TagCommand : public Command {
 public:
  QString name() const override { return QStringLiteral("tag"); }
  QString summary() const override {
    return QStringLiteral(
        "Write ID3v1 fields of files (fields not given are kept), or remove "
        "the tag.");
  }
  QString arguments() const override { return QStringLiteral("FILE..."); }
  void AddOptions(QCommandLineParser& parser) const override {
    for (const TextField& f : kTextFields) {
      parser.addOption(
          {QString::fromLatin1(f.option), QString::fromLatin1(f.help), QStringLiteral("TEXT")});
    }
    parser.addOption({QStringLiteral("genre"), QStringLiteral("New genre: a number or a name."),
                      QStringLiteral("GENRE")});
    parser.addOption({QStringLiteral("remove"), QStringLiteral("Remove the ID3v1 tag.")});
    AddDryRunOption(parser);
  }

  int Run(const QCommandLineParser& parser, Context& context) const override {
    if (!NeedFiles(parser, context)) return kUsage;
    QString texts[5];
    bool any_field = false;
    for (int i = 0; i < 5; ++i) {
      const QString option = QString::fromLatin1(kTextFields[i].option);
      texts[i] = parser.isSet(option) ? parser.value(option) : QStringLiteral("Null");
      any_field = any_field || parser.isSet(option);
    }
    int genre = kKeepGenre;
    if (parser.isSet(QStringLiteral("genre"))) {
      auto g = ParseGenre(parser.value(QStringLiteral("genre")));
      if (!g) {
        PrintError(context,
                   QStringLiteral("unknown genre '%1'").arg(parser.value(QStringLiteral("genre"))));
        return kUsage;
      }
      genre = *g;
      any_field = true;
    }
    const bool remove = parser.isSet(QStringLiteral("remove"));
    if (remove == any_field) {
      PrintError(context, QStringLiteral("give either fields to write or --remove"));
      return kUsage;
    }
    int status = kOk;
    for (const QString& file : ExistingFiles(parser, context, &status)) {
      if (IsDryRun(parser)) {
        context.out << (remove ? "would remove the tag of " : "would write the tag of ") << file
                    << "\n";
        continue;
      }
      bool ok = remove ? BlankID3v1(file)
                       : WriteID3v1(file, texts[0], texts[1], texts[2], texts[3], texts[4], genre);
      if (!ok) {
        PrintError(context, QStringLiteral("%1: the tag could not be written").arg(file));
        status = kFailed;
      }
    }
    context.out.flush();
    return status;
  }
};

class RenameFromTagCommand : public Command {
 public:
  QString name() const override { return QStringLiteral("rename-from-tag"); }
  QString summary() const override {
    return QStringLiteral(
        "Rename files from their ID3v1 tags by a pattern (%Artist %Title "
        "%Album %Year %Genre; .mp3 is added).");
  }
  QString arguments() const override { return QStringLiteral("FILE..."); }
  void AddOptions(QCommandLineParser& parser) const override {
    parser.addOption({QStringLiteral("pattern"),
                      QStringLiteral("The name pattern (default \"%Artist - %Title\")."),
                      QStringLiteral("P"), QStringLiteral("%Artist - %Title")});
    parser.addOption({QStringLiteral("into"),
                      QStringLiteral("Move the files into this folder (default: their own)."),
                      QStringLiteral("FOLDER")});
    AddDryRunOption(parser);
  }

  int Run(const QCommandLineParser& parser, Context& context) const override {
    if (!NeedFiles(parser, context)) return kUsage;
    QString into;
    if (parser.isSet(QStringLiteral("into"))) {
      QFileInfo fi(parser.value(QStringLiteral("into")));
      if (!fi.isDir()) {
        PrintError(context, QStringLiteral("%1: not a folder").arg(fi.filePath()));
        return kUsage;
      }
      into = fi.absoluteFilePath() + u'/';
    }
    if (!BindPellox(context)) return kFailed;
    const QString pattern = parser.value(QStringLiteral("pattern"));
    ConsoleDesktop desktop(context.err);
    int status = kOk;
    for (const QString& file : ExistingFiles(parser, context, &status)) {
      ID3v1Tag tag;
      context.pellox.ReadID3v1(file, &tag);
      int genre = tag.Genre;
      TagFields fields{CleanTagText(RecordText(tag.Artist)), CleanTagText(RecordText(tag.Title)),
                       CleanTagText(RecordText(tag.Album)), CleanTagText(RecordText(tag.Year)),
                       GenreName(genre)};
      const QString folder = into.isEmpty() ? FolderOf(file) : into;
      if (IsDryRun(parser)) {
        const QString name = ApplyPattern(pattern, fields.artist, fields.title, fields.album,
                                          fields.year, fields.genre);
        context.out << Field(file) << "\t" << Field(folder + name + QStringLiteral(".mp3")) << "\n";
        continue;
      }
      TagRename r = RenameFromTag(file, folder, pattern, fields, desktop);
      if (r.result.ok()) {
        context.out << Field(file) << "\t" << Field(r.target) << "\n";
      } else {
        status = kFailed;
      }
    }
    context.out.flush();
    return status;
  }
};

class TagFromNameCommand : public Command {
 public:
  QString name() const override { return QStringLiteral("tag-from-name"); }
  QString summary() const override {
    return QStringLiteral(
        "Write the ID3v1 artist and title from names of the form "
        "\"Artist - Title.mp3\" (other fields are kept).");
  }
  QString arguments() const override { return QStringLiteral("FILE..."); }
  void AddOptions(QCommandLineParser& parser) const override { AddDryRunOption(parser); }

  int Run(const QCommandLineParser& parser, Context& context) const override {
    if (!NeedFiles(parser, context)) return kUsage;
    SyntaxChecker syntax(context.program_folder);
    int status = kOk;
    for (const QString& file : ExistingFiles(parser, context, &status)) {
      if (!SplitWords(FileNameOf(file)).contains(QStringLiteral("-"))) {
        PrintError(context, QStringLiteral("%1: the name has no \" - \"; skipped").arg(file));
        continue;
      }
      NameParts parts = SplitNameIntoTag(file, syntax);
      context.out << Field(file) << "\t" << Field(parts.artist) << "\t" << Field(parts.title)
                  << "\n";
      if (IsDryRun(parser)) continue;
      if (!WriteID3v1(file, parts.title, parts.artist, QStringLiteral("Null"),
                      QStringLiteral("Null"), QStringLiteral("Null"), kKeepGenre)) {
        PrintError(context, QStringLiteral("%1: the tag could not be written").arg(file));
        status = kFailed;
      }
    }
    context.out.flush();
    return status;
  }
};

const Registration<TagCommand> kTag;
const Registration<RenameFromTagCommand> kRenameFromTag;
const Registration<TagFromNameCommand> kTagFromName;

}  // namespace
}  // namespace orlavo::cli

// The title-case rule for file names and ID3v1 texts: every word starts with a
// capital and goes on in small letters, except the words of the exception list
// Files/SyntaxIgnoreList.txt, which must be spelled as listed there.
#ifndef ORLAVO_APP_SYNTAX_CHECKER_H_
#define ORLAVO_APP_SYNTAX_CHECKER_H_

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <bitset>

namespace orlavo {

// Column 3 markers of the report rows that fail: a file name, an ID3v1 tag.
inline constexpr char kFileNameSyntaxMarker[] = "ECII";
inline constexpr char kTagSyntaxMarker[] = "v1 ECII";

// The program folder followed by "Files/SyntaxIgnoreList.txt".
QString SyntaxIgnoreListPath(const QString& program_folder);

// The built-in exception words of the template, in order.
QStringList ExceptionWords();

// The template of the exception list, lines ended by CR LF. caption is the main
// window's caption (title, " v", major, ".", minor).
QString SyntaxIgnoreTemplate(const QString& caption);

// Writes the template when the exception list is missing (creating the Files
// folder too); an existing list is never touched. False when the list is still
// missing afterwards.
bool WriteSyntaxIgnoreTemplate(const QString& program_folder, const QString& caption);

// The entries of an exception list text: every line that is not a comment
// ("//"), blank or "''", less its first and last character. Blanks around a
// line are ignored, so "  'DJ'  " is the entry DJ.
QStringList ParseSyntaxIgnoreList(const QString& text);

// The text of the "Error Legend" message, lines separated by CR LF.
QString ErrorLegendText();

// The checker over the exception list of one program folder. The entries are
// read once and read again whenever the file has changed since, so an edit is
// seen by the next check. A missing list means the built-in ExceptionWords().
class SyntaxChecker {
 public:
  explicit SyntaxChecker(const QString& program_folder);

  // The entry that equals word ignoring case, as written in the list; "" when
  // none does.
  QString LookupException(const QString& word) const;

  // The correctly cased form of a name; ".mp3" is appended with add_extension.
  QString CorrectSyntax(const QString& text, bool add_extension) const;

  // True when a file name differs from CorrectSyntax(name, true): the row gets
  // kFileNameSyntaxMarker.
  bool FileNameSyntaxFails(const QString& file_name) const;
  // True when the title or the artist of an ID3v1 tag (cleaned as CleanTagText
  // does) differs from its corrected form: the row gets kTagSyntaxMarker. Empty
  // fields never fail.
  bool TagSyntaxFails(const QString& title, const QString& artist) const;

  // While a Hold lives, every check uses the list as it was when the hold
  // began: a loop over many files looks at the list file once, not once per
  // file.
  class Hold {
   public:
    explicit Hold(const SyntaxChecker& checker) : checker_(checker) {
      checker_.Entries();
      ++checker_.holding_;
    }
    ~Hold() { --checker_.holding_; }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    const SyntaxChecker& checker_;
  };

 private:
  // What tells one version of the file from the next: a replaced file has a
  // new inode, an edited one a new size or change time.
  struct FileStamp {
    bool exists = false;
    qint64 device = 0;
    qint64 inode = 0;
    qint64 size = 0;
    qint64 modified_ns = 0;
    qint64 changed_ns = 0;
    bool operator==(const FileStamp&) const = default;
  };
  static FileStamp StampOf(const QString& path);
  const QStringList& Entries() const;
  // Decides FileNameSyntaxFails without building the corrected name when
  // every word is plain ASCII without delimiters; false when it cannot.
  bool QuickFileNameVerdict(QStringView name, bool* fails) const;
  // False when no entry's lower-case form could equal this ASCII word's.
  bool MayBeException(QStringView word) const;

  QString path_;
  mutable bool loaded_ = false;
  mutable FileStamp stamp_;
  mutable QStringList entries_;
  // Each entry's lower-case form to the first entry that has it, so that a
  // lookup is one hash probe rather than a pass over the list.
  mutable QHash<QString, QString> by_lower_;
  // Length (below 64) and first letter of every ASCII lower-case entry: most
  // words of a name are no entry, and this tells so without a lookup.
  mutable std::array<std::bitset<128>, 64> entry_shapes_{};
  // Non-zero while one text is being corrected: its words are all looked up
  // in the list as it was when the correction began (one look at the file per
  // check rather than one per word).
  mutable int holding_ = 0;
};

}  // namespace orlavo

#endif  // ORLAVO_APP_SYNTAX_CHECKER_H_

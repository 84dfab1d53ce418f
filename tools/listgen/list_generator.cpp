#include "tools/listgen/list_generator.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <utility>

#include "app/desktop.h"
#include "app/file_ops.h"
#include "app/flags.h"
#include "app/folder_walk.h"
#include "app/helpers.h"
#include "app/pellox_binding.h"
#include "app/program_title.h"
#include "app/settings.h"
#include "app/tag_helpers.h"
#include "tools/running_number.h"

namespace orlavo {
namespace {

using Part = ListPattern::Part;

struct VariableName {
  const char* text;
  Part part;
};

// No name is the beginning of another, so the first that matches is the one.
constexpr VariableName kVariables[] = {
    {"%Title", Part::kTitle},   {"%Artist", Part::kArtist},     {"%Album", Part::kAlbum},
    {"%Year", Part::kYear},     {"%Genre", Part::kGenre},       {"%SizeB", Part::kSizeB},
    {"%SizeKB", Part::kSizeKB}, {"%SizeMB", Part::kSizeMB},     {"%Duration", Part::kDuration},
    {"%Path", Part::kPath},     {"%Filename", Part::kFilename}, {"%VarX", Part::kVarX},
    {"%Tab", Part::kTab},
};

unsigned Bit(Part part) { return 1u << static_cast<unsigned>(part); }

const char* const kUnits[] = {listgen_text::kSizeBytes, listgen_text::kSizeKB,
                              listgen_text::kSizeMB};

int UnitIndex(const QString& unit) {
  for (int i = 0; i < 3; ++i) {
    if (unit == QLatin1String(kUnits[i])) return i;
  }
  return -1;
}

std::optional<qint64> FileSize(const QString& path) {
  struct stat st;
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return std::nullopt;
  return static_cast<qint64>(st.st_size);
}

}  // namespace

const std::array<ListBoxInfo, kListBoxCount>& ListBoxes() {
  static const std::array<ListBoxInfo, kListBoxCount> kBoxes = {{
      {"Title", "%Title"},
      {"Artist", "%Artist"},
      {"Album", "%Album"},
      {"Year", "%Year"},
      {"Genre", "%Genre"},
      {"Size", "%Size"},
      {"Duration", "%Duration"},
      {"Path", "%Path"},
      {"Filename", "%Filename"},
      {"Variable", "%VarX"},
  }};
  return kBoxes;
}

QString ListDurationText(int seconds) {
  const int minutes = seconds / 60;
  const int rest = seconds % 60;
  // Read as a time of day, minutes:seconds is valid up to 23 minutes.
  if (minutes >= 0 && minutes <= 23 && rest >= 0) {
    const char16_t text[] = {char16_t(u'0' + minutes / 10), char16_t(u'0' + minutes % 10), u':',
                             char16_t(u'0' + rest / 10), char16_t(u'0' + rest % 10)};
    return QString(reinterpret_cast<const QChar*>(text), 5);
  }
  return QString::number(minutes) + u':' + QString::number(rest);
}

ListPattern::ListPattern(const QString& pattern) {
  QString text;
  qsizetype i = 0;
  while (i < pattern.size()) {
    bool matched = false;
    if (pattern[i] == u'%') {
      for (const VariableName& v : kVariables) {
        const QLatin1String name(v.text);
        if (QStringView(pattern).mid(i).startsWith(name)) {
          if (!text.isEmpty()) pieces_.push_back({Part::kText, std::exchange(text, QString())});
          pieces_.push_back({v.part, {}});
          used_ |= Bit(v.part);
          i += name.size();
          matched = true;
          break;
        }
      }
    }
    if (!matched) text += pattern[i++];
  }
  if (!text.isEmpty()) pieces_.push_back({Part::kText, text});
}

bool ListPattern::Uses(Part part) const { return (used_ & Bit(part)) != 0; }

bool ListPattern::NeedsTag() const {
  return Uses(Part::kTitle) || Uses(Part::kArtist) || Uses(Part::kAlbum) || Uses(Part::kYear) ||
         Uses(Part::kGenre);
}

bool ListPattern::NeedsSize() const {
  return Uses(Part::kSizeB) || Uses(Part::kSizeKB) || Uses(Part::kSizeMB);
}

QString ListPattern::Line(const Values& v) const {
  static const ID3v1Tag kNoTag = [] {
    ID3v1Tag tag{};
    tag.Genre = -1;
    return tag;
  }();
  const ID3v1Tag& tag = v.tag != nullptr ? *v.tag : kNoTag;
  QString line;
  line.reserve(v.path.size() + v.file_name.size() + 64);
  for (const Piece& piece : pieces_) {
    switch (piece.part) {
      case Part::kText:
        line += piece.text;
        break;
      case Part::kTitle:
        line += CleanTagText(RecordText(tag.Title));
        break;
      case Part::kArtist:
        line += CleanTagText(RecordText(tag.Artist));
        break;
      case Part::kAlbum:
        line += CleanTagText(RecordText(tag.Album));
        break;
      case Part::kYear:
        line += CleanTagText(RecordText(tag.Year));
        break;
      case Part::kGenre: {
        int genre = tag.Genre;
        line += GenreName(genre);
        break;
      }
      case Part::kSizeB:
        if (v.size) line += FormatFileSize(*v.size, QStringLiteral("Bytes"));
        break;
      case Part::kSizeKB:
        if (v.size) line += FormatFileSize(*v.size, QStringLiteral("KB"));
        break;
      case Part::kSizeMB:
        if (v.size) line += FormatFileSize(*v.size, QStringLiteral("MB"));
        break;
      case Part::kDuration:
        if (v.duration) line += ListDurationText(*v.duration);
        break;
      case Part::kPath:
        line += v.path;
        break;
      case Part::kFilename:
        line += v.file_name;
        break;
      case Part::kVarX:
        line += v.var_x;
        break;
      case Part::kTab:
        line += u'\t';
        break;
    }
  }
  return line;
}

ListGenerator::ListGenerator(const ToolContext& context)
    : context_(context),
      // The order is kept here, so that "descending" can hold as well.
      preview_({listgen_text::kSingleColumnHeader}, /*keep_sorted=*/false) {}

QString ListGenerator::SizeVariable(const QString& unit) const {
  if (unit == QLatin1String(listgen_text::kSizeBytes)) return QStringLiteral("%SizeB");
  if (unit == QLatin1String(listgen_text::kSizeKB)) return QStringLiteral("%SizeKB");
  if (unit == QLatin1String(listgen_text::kSizeMB)) return QStringLiteral("%SizeMB");
  return {};
}

void ListGenerator::SetBoxChecked(int box, bool checked) {
  if (box < 0 || box >= kListBoxCount || checked_[box] == checked) return;
  checked_[box] = checked;
  const ListBoxInfo& info = ListBoxes()[box];
  const QString variable = QLatin1String(info.variable);
  if (checked) {
    pattern_ += variable;
    if (box != kVariableBox) preview_.AddColumn(info.caption);
    if (box == kSizeBox && !size_menu_suppressed_ && size_menu_) {
      if (std::optional<QString> unit = size_menu_()) ChooseSizeUnit(*unit);
    }
  } else {
    if (box == kSizeBox) {
      const QString marked = SizeVariable(marked_unit());
      if (!marked.isEmpty()) pattern_.remove(marked, Qt::CaseSensitive);
    } else {
      pattern_.remove(variable, Qt::CaseSensitive);
    }
    if (box != kVariableBox) RemoveColumn(preview_, info.caption);
  }
  AfterBoxAction();
}

void ListGenerator::AfterBoxAction() {
  if (preview_.column_count() == 1) preview_.SetHeaders({listgen_text::kSingleColumnHeader});
}

void ListGenerator::ChooseSizeUnit(const QString& unit) {
  const int index = UnitIndex(unit);
  if (index < 0) return;
  unit_marks_ = {};
  unit_marks_[index] = true;
  static const QRegularExpression kAnySize(QStringLiteral("%Size(?:B|KB|MB)?"));
  pattern_.replace(kAnySize, SizeVariable(unit));
}

bool ListGenerator::unit_marked(const QString& unit) const {
  const int index = UnitIndex(unit);
  return index >= 0 && unit_marks_[index];
}

QString ListGenerator::marked_unit() const {
  for (int i = 0; i < 3; ++i) {
    if (unit_marks_[i]) return kUnits[i];
  }
  return {};
}

void ListGenerator::AddTab() { pattern_ += QStringLiteral("%Tab"); }

void ListGenerator::Default() {
  for (int box = 0; box < kListBoxCount; ++box) SetBoxChecked(box, false);
  pattern_ = listgen_text::kDefaultPattern;
  Settings(context_.program_folder).Write(settings_key::kMP3ListGenSyntax, pattern_);
  OpenWith(pattern_);
}

void ListGenerator::Open() {
  OpenWith(Settings(context_.program_folder).Read(settings_key::kMP3ListGenSyntax));
}

void ListGenerator::OpenWith(QString stored) {
  // A copy: the boxes append to the pattern, which may be what was passed in.
  size_menu_suppressed_ = true;
  for (int box = 0; box < kListBoxCount; ++box) {
    if (stored.contains(QLatin1String(ListBoxes()[box].variable), Qt::CaseInsensitive)) {
      SetBoxChecked(box, true);
    }
  }
  bool any_unit = false;
  std::array<bool, 3> marks{};
  for (int i = 0; i < 3; ++i) {
    marks[i] = stored.contains(SizeVariable(kUnits[i]), Qt::CaseSensitive);
    any_unit |= marks[i];
  }
  if (any_unit) unit_marks_ = marks;
  pattern_ = stored;
  size_menu_suppressed_ = false;
  if (stored.isEmpty()) Default();
}

QString ListGenerator::folder_label() const {
  return listgen_text::kCurrentFolder + context_.options.main_folder;
}

QString ListGenerator::subfolders_label() const {
  return context_.options.include_sub_directories ? listgen_text::kSubFoldersEnabled
                                                  : listgen_text::kSubFoldersDisabled;
}

void ListGenerator::ShowFiles() {
  StopRequested = false;
  const Options& options = context_.options;
  preview_.Clear();
  ReportRow waiting;
  waiting.text = kWorkingPleaseWait;
  preview_.AddRow(waiting);
  StoppableRun run(context_.status, &preview_, options.render_list_invisible);
  context_.desktop.LetEventsRun();

  PathList paths = ListMp3Files(options.main_folder, options.include_sub_directories,
                                WalkSetup{context_.program_folder, &context_.desktop});
  denied_ = paths.Denied;
  preview_.Clear();

  // Rows take their sorted place: the paths are put in the list's order first.
  QStringList& items = paths.Items;
  items.removeAll(QString());
  auto row_text = [&](const QString& path) { return options.prefix_dir ? path : FileNameOf(path); };
  std::stable_sort(items.begin(), items.end(), [&](const QString& a, const QString& b) {
    const int c = CompareListText(row_text(a), row_text(b));
    return descending_ ? c > 0 : c < 0;
  });

  const bool needs_stream = ColumnIndex(preview_, QStringLiteral("Duration")) > 0;
  bool needs_tag = false;
  for (int box : {kTitleBox, kArtistBox, kAlbumBox, kGenreBox, kYearBox}) {
    needs_tag |= ColumnIndex(preview_, ListBoxes()[box].caption) > 0;
  }
  const QString unit = marked_unit().isEmpty() ? options.size_unit : marked_unit();
  const int total = static_cast<int>(items.size());
  for (int i = 0; i < total && !StopRequested; ++i) {
    const QString& path = items[i];
    ReportRow row = FileRow(path, options.prefix_dir);
    StreamInfo info{};
    ID3v1Tag tag{};
    if (needs_stream) context_.pellox.ReadMP3(path, &info);
    if (needs_tag) context_.pellox.ReadID3v1(path, &tag);
    const int index = preview_.AddRow(std::move(row));
    for (int box = 0; box < kVariableBox; ++box) {
      if (!checked_[box]) continue;
      const int column = ColumnIndex(preview_, ListBoxes()[box].caption);
      if (column <= 0) continue;
      QString text;
      switch (box) {
        case kTitleBox:
          text = CleanTagText(RecordText(tag.Title));
          break;
        case kArtistBox:
          text = CleanTagText(RecordText(tag.Artist));
          break;
        case kAlbumBox:
          text = CleanTagText(RecordText(tag.Album));
          break;
        case kYearBox:
          text = CleanTagText(RecordText(tag.Year));
          break;
        case kGenreBox: {
          int genre = tag.Genre;
          text = GenreName(genre);
          break;
        }
        case kSizeBox:
          if (std::optional<qint64> size = FileSize(path)) text = FormatFileSize(*size, unit);
          break;
        case kDurationBox:
          text = DurationText(info.Duration);
          break;
        case kPathBox:
          text = FolderOf(path);
          break;
        case kFilenameBox:
          text = FileNameOf(path);
          break;
      }
      preview_.SetColumnText(index, column, text);
    }
    ShowProgress(context_.status, i + 1, total, path, QString(), options.show_current_file);
    context_.desktop.LetEventsRun();
  }
}

void ListGenerator::SortAscending() {
  descending_ = false;
  preview_.SortByColumn(0);
}

void ListGenerator::SortDescending() {
  descending_ = true;
  std::vector<ReportRow> rows;
  rows.reserve(preview_.size());
  for (int i = 0; i < preview_.size(); ++i) rows.push_back(preview_.row(i));
  std::stable_sort(rows.begin(), rows.end(), [](const ReportRow& a, const ReportRow& b) {
    return CompareListText(a.text, b.text) > 0;
  });
  BulkAdd bulk(preview_);
  preview_.Clear();
  for (ReportRow& row : rows) preview_.AddRow(std::move(row));
}

void ListGenerator::MoveSelectedRow(bool up) {
  if (arrows_enabled()) ListMoveItem(preview_, up, 0);
}

void ListGenerator::OpenRow(int row) {
  if (row >= 0 && row < preview_.size()) {
    OpenFileOrFolder(context_.desktop, context_.options, preview_.FullPath(row));
  }
}

QString ListGenerator::OutputPath() const {
  return QDir(context_.program_folder).filePath(QStringLiteral("Files/MP3List.txt"));
}

ListFileReport ListGenerator::Create(const QString& out_path) {
  StopRequested = false;
  StoppableRun run(context_.status, nullptr, false);
  ListFileReport report;
  report.path = out_path.isEmpty() ? OutputPath() : out_path;
  QDir().mkpath(QFileInfo(report.path).absolutePath());
  // The new list replaces the old one only once it is whole, so a full disk
  // leaves the old list rather than an empty or cut one.
  QSaveFile file(report.path);
  // A file that cannot be written does not stop the run: the lines are still
  // built (the running number advances) and the file is opened at the end.
  // Unbuffered: a write that fails on a full disk fails here and the save is
  // abandoned; a buffered one would fail only in the flush at commit, which
  // still renames the short file into place.
  report.written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);

  QByteArray buffer;
  auto write_line = [&](const QString& line) {
    buffer += line.toUtf8();
    buffer += "\r\n";
    if (buffer.size() >= (1 << 16)) {
      if (report.written && file.write(buffer) != buffer.size()) report.written = false;
      buffer.clear();
    }
  };
  write_line(QStringLiteral("// Generated with ") + ProgramTitleWithVersion() +
             QStringLiteral(" software"));
  write_line(QStringLiteral("// Total number of files: ") + QString::number(preview_.size()));
  write_line(QString());

  bool is_number = false;
  const qint64 start = var_value_.trimmed().toLongLong(&is_number);
  if (is_number) var_value_ = QString::number(start - 1);

  const ListPattern pattern(pattern_);
  const bool needs_tag = pattern.NeedsTag();
  const bool needs_size = pattern.NeedsSize();
  const bool needs_duration = pattern.Uses(Part::kDuration);
  const bool uses_var = pattern.Uses(Part::kVarX);
  const QString placeholder = QLatin1String(listgen_text::kVarX);
  const int total = preview_.size();
  for (int i = 0; i < preview_.size(); ++i) {
    if (StopRequested) {
      StopRequested = false;
      report.stopped = true;
      break;
    }
    const ReportRow& row = preview_.row(i);
    const QString full = row.FullPath();
    ListPattern::Values values;
    ID3v1Tag tag{};
    if (needs_tag) {
      context_.pellox.ReadID3v1(full, &tag);
      values.tag = &tag;
    }
    if (needs_size || needs_duration) values.size = FileSize(full);
    // A frame header found (even of a stream shorter than a second) means
    // the file was read.
    bool stream_read = false;
    if (needs_duration && values.size) {
      StreamInfo info{};
      context_.pellox.ReadMP3(full, &info);
      values.duration = info.Duration;
      stream_read = info.Frequency != 0 || info.Bitrate != 0 || info.Frames != 0;
    }
    // Asked only when every read came back empty: a file whose stream was
    // read can be read, tagged or not, and costs nothing more.
    if (!stream_read && (needs_tag ? tag.Exists != 1 : needs_duration)) {
      if (QString why = WhyUnreadable(full); !why.isEmpty()) {
        report.unreadable << Refused{full, why};
      }
    }
    values.path = row.tag.isEmpty() ? FolderOf(row.text) : row.tag;
    values.file_name = FileNameOf(row.text);
    if (uses_var) {
      // An expression that cannot be evaluated keeps the value.
      if (std::optional<QString> next =
              NextRunningNumber(increment_expression_, placeholder, var_value_)) {
        var_value_ = *next;
      }
      values.var_x = var_value_;
    }
    write_line(pattern.Line(values));
    ++report.lines;
    ShowProgress(context_.status, i + 1, total, row.text, QStringLiteral("Generating"),
                 context_.options.show_current_file);
    context_.desktop.LetEventsRun();
  }
  if (report.written && !buffer.isEmpty() && file.write(buffer) != buffer.size()) {
    report.written = false;
  }
  if (report.written) {
    report.written = CommitSynced(file).isEmpty();
  } else {
    file.cancelWriting();
  }
  if (report.written) context_.desktop.ShellOpen(report.path);
  return report;
}

}  // namespace orlavo

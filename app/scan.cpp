#include "app/scan.h"

#include <QElapsedTimer>

#include "app/desktop.h"
#include "app/flags.h"
#include "app/folder_walk.h"
#include "app/helpers.h"
#include "app/syntax_checker.h"
#include "app/tag_helpers.h"

namespace orlavo {
namespace {

constexpr int kUnreadableShown = 10;
constexpr qint64 kEventsEveryMs = 40;

// Names that are not valid UTF-8 cannot be handed back to the file system
// exactly; they are left out, and the person is told which ones.
// A folder as one shell word.
QString ShellWord(const QString& text) {
  QString quoted = text;
  quoted.replace(u'\'', QStringLiteral("'\\''"));
  return u'\'' + quoted + u'\'';
}

void TellUnreadable(Desktop& desktop, const QStringList& names, const ScanSetup& setup) {
  if (names.isEmpty()) return;
  QString text = QStringLiteral(
      "These files and folders have names that are not valid UTF-8 text. They were left out, so "
      "that no other file is renamed, moved or deleted by mistake:");
  for (qsizetype i = 0; i < names.size() && i < kUnreadableShown; ++i) {
    text += QStringLiteral("\r\n") + names[i];
  }
  if (names.size() > kUnreadableShown) {
    text += QStringLiteral("\r\n... and %1 more.").arg(names.size() - kUnreadableShown);
  }
  text += QStringLiteral(
              "\r\n\r\nTo see the names they will get, run:\r\n    orlavo-cli fix-names %1%2\r\n"
              "and add --apply to rename them; then scan again.")
              .arg(ShellWord(setup.main_folder),
                   setup.include_sub_directories ? QStringLiteral(" --subdirs") : QString());
  desktop.Inform(QString(), text);
}

QString WithSlash(const QString& folder) { return folder.endsWith(u'/') ? folder : folder + u'/'; }

}  // namespace

void TellRefused(Desktop& desktop, const QList<Refused>& refused) {
  if (refused.isEmpty()) return;
  QString text = QStringLiteral("These folders and files could not be read and were left out:");
  for (qsizetype i = 0; i < refused.size() && i < kUnreadableShown; ++i) {
    text += QStringLiteral("\r\n%1 (%2)").arg(refused[i].path, refused[i].reason);
  }
  if (refused.size() > kUnreadableShown) {
    text += QStringLiteral("\r\n... and %1 more.").arg(refused.size() - kUnreadableShown);
  }
  desktop.Inform(QString(), text, Desktop::Icon::kWarning);
}

QStringList MainListHeaders() {
  return {QStringLiteral("Path"), QStringLiteral("Size"), QStringLiteral("Ref")};
}

QString TotalMp3sText(int count) { return QStringLiteral("Total MP3s: %1").arg(count); }

ScanResult ShowFiles(ReportList& list, const ScanSetup& setup, Desktop& desktop) {
  StopRequested = false;
  ScanResult result;
  if (setup.main_folder.isEmpty()) {
    result.outcome = ScanOutcome::kNoFolder;
    return result;
  }
  if (setup.include_sub_directories && !setup.no_warning &&
      !desktop.AskYesNo(QStringLiteral("Scanning MP3s..."),
                        QStringLiteral("You have sub-folders selected. Scanning all the MP3s may "
                                       "take a little while. Are you sure you want to continue?"),
                        Desktop::Icon::kInformation)) {
    result.outcome = ScanOutcome::kDeclined;
    return result;
  }

  QElapsedTimer since_events;
  since_events.start();
  auto pause = [&] {
    if (since_events.elapsed() < kEventsEveryMs) return;
    desktop.LetEventsRun();
    since_events.restart();
  };
  // Freeing the old rows and sorting the new ones pause too (the rows so far
  // stay sorted after a stop, so the sort itself runs to its end).
  list.SetPause(pause);
  list.Clear();
  ReportRow working;
  working.text = QString::fromLatin1(kWorkingRowText);
  list.AddRow(working);
  desktop.LetEventsRun();

  PathList paths = ListMp3Files(setup.main_folder, setup.include_sub_directories,
                                WalkSetup{setup.program_folder, &desktop});

  list.Clear();
  const RowOptions rows = setup.row_options();
  {
    BulkAdd bulk(list);
    // Each path is let go once its row holds it: the rows of a large tree
    // then take the room its paths took, rather than room beside them.
    // Events run every few dozen milliseconds, so that a stop is seen and
    // the window stays live over a million rows; a turn per row would cost
    // more than the row.
    qsizetype done = 0;
    for (QString& path : paths.Items) {
      if ((++done & 1023) == 0) pause();
      if (StopRequested) break;
      AddFileRow(list, path, QString(), false, rows);
      path = QString();
    }
  }
  list.SetPause({});
  result.unreadable = paths.Unreadable;
  result.denied = paths.Denied;
  TellUnreadable(desktop, result.unreadable, setup);
  return result;
}

QString SelectMainFolder(Desktop& desktop, const QString& current, const ScanSetup& setup) {
  QString initial = current;
  while (true) {
    const QString chosen = desktop.BrowseForFolder(QStringLiteral("Select MP3 Folder..."), initial);
    if (chosen.isEmpty()) return {};
    const QString folder = WithSlash(chosen);
    if (setup.include_sub_directories) return folder;
    PathList files;
    GetFolderFiles(folder, kFileMask, files, WalkSetup{setup.program_folder, &desktop});
    if (files.Count > 0) return folder;
    desktop.Inform(QString(), QStringLiteral("No MP3s were found in the ") + folder +
                                  QStringLiteral(" folder.  Please select a different folder"));
    initial = folder;
  }
}

QList<Refused> RunFilters(ReportList& list, const QStringList& paths, const FilterChoice& choice,
                          const RowOptions& rows, FilterTools& tools) {
  QList<Refused> denied;
  const bool read_v1 = choice.v1_not_present || choice.v1_present || choice.incorrect_v1_syntax;
  const bool read_v2 = choice.v2_present || choice.v2_not_present;
  const int total = static_cast<int>(paths.size());
  const SyntaxChecker::Hold hold(tools.syntax);
  const QString file_marker = QString::fromLatin1(kFileNameSyntaxMarker);
  const QString tag_marker = QString::fromLatin1(kTagSyntaxMarker);
  const QString v1_marker = QStringLiteral("v1 tag");
  const QString v2_marker = QStringLiteral("v2 tag");
  for (int i = 0; i < total; ++i) {
    const QString& path = paths[i];
    ShowProgress(tools.progress, i + 1, total, path, QString(), tools.show_current_file);
    if (choice.incorrect_file_syntax && tools.syntax.FileNameSyntaxFails(FileNameOf(path))) {
      AddFileRow(list, path, file_marker, false, rows);
    }
    // One read serves every filter that looks at the same tag.
    ID3v1Tag v1{};
    if (read_v1) tools.id3v1.ReadID3v1(path, &v1);
    // A file that shows no tag at all may be one that cannot be read: the
    // ID3v2 check's open tells; without it, one more look does.
    QString why;
    const bool v2_exists = read_v2 && ID3v2Exists(path, &why);
    if ((read_v1 || read_v2) && v1.Exists != 1 && !v2_exists) {
      if (!read_v2) why = WhyUnreadable(path);
      if (!why.isEmpty()) {
        denied << Refused{path, why};
        tools.desktop.LetEventsRun();
        continue;
      }
    }
    if (choice.v1_not_present && v1.Exists == 0) {
      AddFileRow(list, path, v1_marker, false, rows);
    }
    if (choice.v1_present && v1.Exists == 1) {
      AddFileRow(list, path, v1_marker, false, rows);
    }
    if (choice.v2_present && v2_exists) {
      AddFileRow(list, path, v2_marker, false, rows);
    }
    if (choice.v2_not_present && !v2_exists) {
      AddFileRow(list, path, v2_marker, false, rows);
    }
    if (choice.incorrect_v1_syntax &&
        tools.syntax.TagSyntaxFails(CleanTagText(RecordText(v1.Title)),
                                    CleanTagText(RecordText(v1.Artist)))) {
      AddFileRow(list, path, tag_marker, false, rows);
    }
    tools.desktop.LetEventsRun();
  }
  return denied;
}

ScanResult ApplyFilters(ReportList& list, const FilterChoice& choice, const ScanSetup& setup,
                        FilterTools& tools) {
  ScanResult result = ShowFiles(list, setup, tools.desktop);
  QStringList paths;
  paths.reserve(list.size());
  for (int i = 0; i < list.size(); ++i) paths << list.FullPath(i);
  list.Clear();
  result.denied << RunFilters(list, paths, choice, setup.row_options(), tools);
  tools.progress.SetBar(0, 0);
  tools.progress.SetCaption(TotalMp3sText(list.size()));
  tools.progress.SetPercent(QStringLiteral("0%"));
  return result;
}

}  // namespace orlavo

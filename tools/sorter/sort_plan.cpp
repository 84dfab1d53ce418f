#include "tools/sorter/sort_plan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include "app/file_ops.h"
#include "app/helpers.h"
#include "app/program_title.h"

namespace orlavo {
namespace {

QString WithSlash(const QString& folder) { return folder.endsWith(u'/') ? folder : folder + u'/'; }

// The playlist of a folder is named after the folder itself.
QString PlaylistOf(const QString& folder) {
  QString trimmed = folder;
  trimmed.chop(1);
  return folder + FileNameOf(trimmed) + QStringLiteral(".m3u");
}

struct Playlist {
  QString path;
  QByteArray entries;
};

void AddEntry(Playlist& list, const QString& to) {
  list.entries += QStringLiteral("#EXTINF:000,%1\r\n%2\r\n").arg(FileNameOf(to), to).toUtf8();
}

// Writes under a temporary name beside the playlist and renames into place. A
// playlist that is already there is read first and written back whole with
// the new entries behind its own lines, so nothing of it is lost.
QString WritePlaylist(const Playlist& list) {
  QByteArray bytes;
  QFileInfo info(list.path);
  if (info.exists() || info.isSymLink()) {
    QFile old(list.path);
    if (!info.isFile() || !old.open(QIODevice::ReadOnly)) {
      return QStringLiteral("it exists and cannot be read");
    }
    bytes = old.readAll();
    if (!bytes.isEmpty() && !bytes.endsWith('\n')) bytes += "\r\n";
  } else {
    bytes = "#EXTM3U\r\n";
  }
  bytes += list.entries;
  QSaveFile file(list.path);
  // Unbuffered: a write that fails on a full disk fails here and the save is
  // abandoned; a buffered one would fail only in the flush at commit, which
  // still renames the short file into place.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
      file.write(bytes) != bytes.size()) {
    return file.errorString();
  }
  return CommitSynced(file);
}

}  // namespace

QStringList PlanLines(const PlanContents& plan) {
  const QString& caption = plan.option_caption;
  QStringList lines = {
      "// " + caption + " file was created with " + ProgramTitleWithVersion() + " software.",
      "// This file represents sorted data which will be used to",
      "// sort the files regarding your selection: " + caption,
      "",
      "// All lines starting with '//' will be ignored.",
      "",
      "// NOTE: At the bottom of the file you may find a list of MP3 files",
      "//       which couldn't be sorted (posible blank field in MP3, or an error.)",
      "//       You have 3 options that you may want to consider:",
      "//       : Fix the problem by editing MP3s listed.",
      "//       : Copy/paste the lines into their appropriate folders and remove '//' in the "
      "beginning.",
      "//       : Leave them as is, they will be ignored, thus, will not be moved (unless '//' is "
      "removed.)",
      "",
      "// PLEASE DO NOT MODIFY ANYTHING UNLESS YOU FOLLOW THE SYNTAX RULES.",
      "// : FOLDER MUST BE ENCLOSED INSIDE OF [] (brackets). Ex. [FOLDERNAME/]",
      "// : EMPTY LINES OR LINES STARTING WITH '//' WILL BE IGNORED, ALL OTHER LINES WILL BE",
      "//   PROCESSED AND MAY CAUSE AN ERROR IF EDITED INCORRECTLY.",
      "",
      "// Total folders: " + QString::number(plan.folders.size()),
      "// Total MP3s: " + QString::number(plan.total_files),
      "",
      "// Start of the data.",
  };
  const QString root = WithSlash(plan.root);
  for (const PlanFolder& folder : plan.folders) {
    lines << QString() << "[" + root + folder.name + "/]";
    lines << folder.files;
  }
  lines << QString();
  if (plan.unsorted.isEmpty()) {
    lines << QStringLiteral("// All files were sorted.");
  } else {
    lines << "// Following MP3s were not sorted because they are missing " + plan.keyword +
                 " entry, requires attention!!!";
    for (const QString& path : plan.unsorted) lines << "// " + path;
  }
  lines << QString() << QString(kPlanEndLine);
  return lines;
}

QByteArray PlanBytes(const QStringList& lines) {
  QByteArray bytes;
  for (const QString& line : lines) {
    bytes += line.toUtf8();
    bytes += "\r\n";
  }
  return bytes;
}

ParsedPlan ParsePlan(const QByteArray& bytes) {
  ParsedPlan plan;
  const QList<QByteArray> raw = bytes.split('\n');
  auto fail = [&](int number, const QString& line, const char* reason) {
    plan.error_line = number;
    plan.error_text = line;
    plan.error_reason = QString::fromLatin1(reason);
    plan.blocks.clear();
  };
  for (int i = 0; i < raw.size(); ++i) {
    // A final line end leaves an empty piece behind, which is no line.
    if (i == raw.size() - 1 && raw[i].isEmpty()) break;
    QByteArray bytes_of_line = raw[i];
    if (bytes_of_line.endsWith('\r')) bytes_of_line.chop(1);
    const QString line = QString::fromUtf8(bytes_of_line);
    const int number = i + 1;
    plan.lines = number;
    if (line == QLatin1String(kPlanEndLine)) break;
    if (line.trimmed().isEmpty() || line.startsWith(QLatin1String("//"))) continue;
    if (line.startsWith(u'[')) {
      if (!line.endsWith(u']') || line.size() < 2) {
        fail(number, line, "the folder line does not end with \"]\"");
        return plan;
      }
      const QString folder = line.mid(1, line.size() - 2);
      if (folder.trimmed().isEmpty()) {
        fail(number, line, "the folder line names no folder");
        return plan;
      }
      if (!folder.startsWith(u'/')) {
        fail(number, line, "the folder is not a full path");
        return plan;
      }
      plan.blocks.append({WithSlash(folder), number, {}});
    } else {
      if (plan.blocks.isEmpty()) {
        fail(number, line, "a file line stands before the first folder line");
        return plan;
      }
      if (!line.startsWith(u'/')) {
        fail(number, line, "the file is not a full path");
        return plan;
      }
      plan.blocks.last().files.append({line, number});
    }
  }
  return plan;
}

QString MoveFailureText(const RenameResult& result) {
  switch (result.status) {
    case RenameStatus::kRenamed:
      return {};
    case RenameStatus::kTargetExists:
      return QStringLiteral("a file of that name is already in the folder");
    case RenameStatus::kSourceMissing:
      return QStringLiteral("the file is not there");
    case RenameStatus::kInUse:
      return QStringLiteral("the file is in use (%1)").arg(result.error);
    case RenameStatus::kFailed:
      break;
  }
  return result.error.isEmpty() ? QStringLiteral("the move failed") : result.error;
}

PlanReport ExecutePlan(const ParsedPlan& plan, const PlanExecution& execution) {
  PlanReport report;
  if (!plan.ok()) return report;
  const auto move = execution.move ? execution.move : MoveNoReplace;
  const QString root = WithSlash(execution.root);
  Playlist global{root + QStringLiteral("Playlist.m3u"), {}};
  // One playlist per folder, in the order the folders first appear.
  QList<Playlist> playlists;
  QHash<QString, int> playlist_of_folder;

  for (const ParsedPlan::Block& block : plan.blocks) {
    const bool made = QDir().mkpath(block.folder) && QFileInfo(block.folder).isDir();
    if (execution.progress) execution.progress(block.line, plan.lines);
    int list = -1;
    if (made && execution.m3u_each) {
      auto it = playlist_of_folder.find(block.folder);
      if (it == playlist_of_folder.end()) {
        it = playlist_of_folder.insert(block.folder, playlists.size());
        playlists.append({PlaylistOf(block.folder), {}});
      }
      list = *it;
    }
    for (const ParsedPlan::File& file : block.files) {
      const QString to = block.folder + FileNameOf(file.path);
      if (!made) {
        report.not_moved.append(
            {file.path, QStringLiteral("the folder %1 could not be created").arg(block.folder)});
      } else if (const RenameResult result = move(file.path, to); !result.ok()) {
        report.not_moved.append({file.path, MoveFailureText(result)});
      } else {
        report.moved.append({file.path, to});
        if (list >= 0) AddEntry(playlists[list], to);
        if (execution.m3u_global) AddEntry(global, to);
      }
      if (execution.progress) execution.progress(file.line, plan.lines);
    }
  }

  auto write = [&](const Playlist& list) {
    const QString error = WritePlaylist(list);
    if (error.isEmpty()) {
      report.playlists_written << list.path;
    } else {
      report.playlists_not_written.append({list.path, error});
    }
  };
  for (const Playlist& list : playlists) {
    // An existing playlist without new entries is left as it is.
    if (!list.entries.isEmpty() || !QFileInfo::exists(list.path)) write(list);
  }
  if (execution.m3u_global) write(global);
  if (execution.progress) execution.progress(plan.lines, plan.lines);
  return report;
}

QString PlanFailureMessage(const PlanReport& report) {
  if (report.complete()) return {};
  QStringList lines;
  if (!report.not_moved.isEmpty()) {
    lines << QStringLiteral("The following files were not moved:");
    for (const PlanReport::Failure& f : report.not_moved) lines << f.path + " (" + f.reason + ")";
  }
  if (!report.playlists_not_written.isEmpty()) {
    if (!lines.isEmpty()) lines << QString();
    lines << QStringLiteral("The following playlists could not be written:");
    for (const PlanReport::Failure& f : report.playlists_not_written) {
      lines << f.path + " (" + f.reason + ")";
    }
  }
  return lines.join(QStringLiteral("\r\n"));
}

PlanRun RunPlanFile(const QString& plan_path, const PlanExecution& execution) {
  PlanRun run;
  QFile file(plan_path);
  if (!file.open(QIODevice::ReadOnly)) {
    run.outcome = PlanRun::Outcome::kNoPlanFile;
    run.message = QStringLiteral("The sort file %1 cannot be read (%2). Nothing was moved.")
                      .arg(plan_path, file.errorString());
    return run;
  }
  run.plan = ParsePlan(file.readAll());
  if (!run.plan.ok()) {
    run.outcome = PlanRun::Outcome::kSyntaxError;
    run.message = QStringLiteral(
                      "Line %1 of the sort file %2 is not correct: %3.\r\n%4\r\n"
                      "Nothing was moved. Please correct the line and continue again.")
                      .arg(run.plan.error_line)
                      .arg(plan_path, run.plan.error_reason, run.plan.error_text);
    return run;
  }
  if (execution.root.isEmpty() || !QFileInfo(execution.root).isDir()) {
    run.outcome = PlanRun::Outcome::kNoRoot;
    run.message =
        QStringLiteral("The root folder %1 does not exist. Nothing was moved.").arg(execution.root);
    return run;
  }
  run.report = ExecutePlan(run.plan, execution);
  run.message = PlanFailureMessage(run.report);
  return run;
}

}  // namespace orlavo

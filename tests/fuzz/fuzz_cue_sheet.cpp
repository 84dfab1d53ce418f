// libFuzzer target: the cue sheet reader in both forms, and the texts written
// from what it read.
// Fuzzed sources: tools/splitter/cue_sheet.cpp tools/splitter/split_time.cpp
#include <QByteArray>
#include <QTemporaryDir>
#include <cstdint>

#include "tools/splitter/cue_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static QTemporaryDir dir;
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QString cue_path = dir.filePath(QStringLiteral("album.cue"));
  orlavo::CueSheet sheet = orlavo::ParseCueSheet(bytes, cue_path);

  if (sheet.kind == orlavo::CueKind::kOrv) {
    // A sheet written from the rows read reads back with the same rows, as
    // long as no field holds a tab or line break of its own (rows whose five
    // fields are all blank are not counted: they are skipped on reading).
    bool plain = !sheet.source.contains(u'\n') && !sheet.source.contains(u'\r') &&
                 !sheet.destination.contains(u'\n') && !sheet.destination.contains(u'\r');
    const QString text = orlavo::OrvCueText(sheet.source, sheet.destination, sheet.rows);
    orlavo::CueSheet again = orlavo::ParseCueSheet(text.toUtf8(), cue_path);
    size_t filled = 0;
    for (const orlavo::CueRow& row : sheet.rows) {
      const QString all = row.number + row.name + row.start + row.end + row.duration;
      if (!all.trimmed().isEmpty()) ++filled;
    }
    if (plain && sheet.error.isEmpty() && again.kind == orlavo::CueKind::kOrv &&
        again.rows.size() < filled) {
      __builtin_trap();
    }
  } else {
    std::vector<orlavo::CueRow> rows;
    for (const orlavo::CueTrack& track : sheet.tracks) {
      orlavo::CueRow row;
      row.name = track.title;
      if (track.start_ms) {
        row.start = orlavo::CueIndexText(*track.start_ms);
        // An INDEX time written back reads as the same millisecond, or as the
        // nearest CD frame.
        const qint64 back = orlavo::CueIndexMilliseconds(row.start);
        if (*track.start_ms >= 0 && *track.start_ms < 6'000'000'000 &&
            (back - *track.start_ms > 7 || *track.start_ms - back > 7)) {
          __builtin_trap();
        }
      }
      rows.push_back(row);
    }
    orlavo::ParseCueSheet(orlavo::StandardCueText(sheet.source, rows).toUtf8(), cue_path);
  }
  return 0;
}

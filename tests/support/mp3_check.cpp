#include "tests/support/mp3_check.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace orlavo::testing {
namespace {

uint32_t Le(const QByteArray& b, qsizetype at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[at + i]);
  return v;
}

}  // namespace

QString RunTool(const QString& program, const QStringList& args) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, args);
  if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    return QString();
  }
  const QString output = QString::fromUtf8(process.readAll());
  return output.isNull() ? QStringLiteral("") : output;
}

DecodedAudio DecodeWithMpg123(const QString& mp3, bool gapless) {
  DecodedAudio decoded;
  QTemporaryDir dir;
  const QString wav = dir.filePath(QStringLiteral("decoded.wav"));
  QStringList args = {QStringLiteral("-w"), wav, mp3};
  if (!gapless) args.prepend(QStringLiteral("--no-gapless"));
  const QString output = RunTool(QStringLiteral("mpg123"), args);
  if (output.isNull()) return decoded;
  static const QRegularExpression kComplaint(QStringLiteral("error|warning|frankenstein"),
                                             QRegularExpression::CaseInsensitiveOption);
  for (const QString& line : output.split(u'\n')) {
    if (kComplaint.match(line).hasMatch()) decoded.complaints << line;
  }
  QFile file(wav);
  if (!file.open(QIODevice::ReadOnly)) return decoded;
  const QByteArray b = file.readAll();
  if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE") return decoded;
  int block = 0;
  for (qsizetype at = 12; at + 8 <= b.size();) {
    const QByteArray id = b.mid(at, 4);
    const uint32_t size = Le(b, at + 4, 4);
    if (id == "fmt " && at + 24 <= b.size()) {
      decoded.channels = static_cast<int>(Le(b, at + 10, 2));
      decoded.sample_rate = static_cast<int>(Le(b, at + 12, 4));
      block = static_cast<int>(Le(b, at + 20, 2));
    } else if (id == "data" && block > 0) {
      // mpg123 fills the sizes in at the end; trust the bytes that are there.
      const qsizetype available = std::min<qsizetype>(size, b.size() - at - 8);
      decoded.frames = available / block;
      decoded.ok = true;
      break;
    }
    at += 8 + size + (size & 1);
  }
  return decoded;
}

Mp3valReport CheckWithMp3val(const QString& mp3) {
  Mp3valReport report;
  const QString output = RunTool(QStringLiteral("mp3val"), {mp3});
  static const QRegularExpression kFrames(QStringLiteral("INFO: .*: (\\d+) MPEG frames"));
  for (const QString& line : output.split(u'\n')) {
    const QRegularExpressionMatch frames = kFrames.match(line);
    if (frames.hasMatch()) report.frames = frames.captured(1).toInt();
    if ((line.startsWith(QLatin1String("WARNING")) || line.startsWith(QLatin1String("ERROR"))) &&
        !line.contains(QLatin1String("No supported tags"))) {
      report.problems << line;
    }
  }
  return report;
}

}  // namespace orlavo::testing

#include "tests/support/mpg123_check.h"

#include <QProcess>
#include <QStandardPaths>

namespace orlavo::testing {

bool Mpg123Available() { return !QStandardPaths::findExecutable("mpg123").isEmpty(); }

Decoded DecodeWithMpg123(const QString& path) {
  Decoded d;
  QProcess test;
  test.start("mpg123", {"-t", "-q", path});
  test.waitForFinished(60000);
  const QString said = QString::fromLocal8Bit(test.readAllStandardError());
  d.clean = test.exitStatus() == QProcess::NormalExit && test.exitCode() == 0 &&
            !said.contains("error", Qt::CaseInsensitive) &&
            !said.contains("illegal", Qt::CaseInsensitive) &&
            !said.contains("warning", Qt::CaseInsensitive);
  if (!d.clean)
    d.complaints = said.isEmpty() ? QStringLiteral("exit code %1").arg(test.exitCode()) : said;
  // Mono 16-bit raw output, two bytes per sample whatever the channels; without
  // gapless trimming every audio frame counts whole, as it does once joined.
  QProcess decode;
  decode.start("mpg123", {"-q", "--no-gapless", "-m", "-s", path});
  decode.waitForFinished(60000);
  d.samples = decode.readAllStandardOutput().size() / 2;
  return d;
}

}  // namespace orlavo::testing

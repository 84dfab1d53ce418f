// Peak memory of `orlavo-cli scan --subdirs` over 50,000 files in 1,000
// folders, read from the child's resource usage, against the budget of 80 MB.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

extern char** environ;

int main() {
  constexpr int kFolders = 1000, kPerFolder = 50;
  constexpr double kBudgetMb = 80.0;
  QTemporaryDir music;
  const QString root = music.path() + "/";
  for (int f = 0; f < kFolders; ++f) {
    const QString folder = root + QStringLiteral("Artist %1/Album %2/").arg(f / 20).arg(f);
    QDir().mkpath(folder);
    for (int i = 0; i < kPerFolder; ++i) {
      QFile file(folder + QStringLiteral("%1 - Some Longer Track Title %2.mp3").arg(f).arg(i));
      file.open(QIODevice::WriteOnly);
      file.write("\xFF\xFB\x90\x44");
    }
  }
  const QByteArray cli = ORLAVO_BIN_DIR "/orlavo-cli";
  const QByteArray folder = QFile::encodeName(root);
  char* argv[] = {const_cast<char*>(cli.constData()), const_cast<char*>("scan"),
                  const_cast<char*>("--subdirs"), const_cast<char*>(folder.constData()), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid;
  if (posix_spawn(&pid, cli.constData(), &actions, nullptr, argv, environ) != 0) {
    std::perror("posix_spawn");
    return 1;
  }
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  const double peak_mb = usage.ru_maxrss / 1024.0;  // ru_maxrss is in KiB on Linux
  std::printf("orlavo-cli scan of %d files: exit %d, peak resident %.1f MB\n",
              kFolders * kPerFolder, WEXITSTATUS(status), peak_mb);
  std::printf("cli-scan-memory: %.2fx of the 80 MB budget (target <= 1x)\n", peak_mb / kBudgetMb);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}

#include "launcher/posix_platform.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <gnu/lib-names.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "launcher/question.h"

extern char** environ;

namespace twcheck {
namespace {

class FileSource : public ByteSource {
 public:
  explicit FileSource(int fd) : fd_(fd) {}
  ~FileSource() override { ::close(fd_); }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  std::ptrdiff_t Read(char* buffer, std::size_t size) override {
    for (;;) {
      ssize_t got = ::read(fd_, buffer, size);
      if (got >= 0) return got;
      if (errno != EINTR) return -1;
    }
  }

 private:
  int fd_;
};

std::string FolderOf(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  if (slash == std::string::npos) return std::string();
  return path.substr(0, slash == 0 ? 1 : slash);
}

bool HasEnv(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string folders(path);
  std::string::size_type start = 0;
  for (;;) {
    std::string::size_type end = folders.find(':', start);
    std::string folder = folders.substr(start, end - start);
    if (!folder.empty() && ::access(JoinPath(folder, program).c_str(), X_OK) == 0) return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}

std::vector<char*> Argv(std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  return argv;
}

// Runs a dialog tool and waits for its answer; -1 when it could not be run.
int RunAndWait(std::vector<std::string> args) {
  std::vector<char*> argv = Argv(args);
  pid_t pid;
  if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Starts a program in a session of its own and does not wait for it; `quiet` gives it no
// terminal input or output.
bool SpawnDetached(std::vector<std::string> args, bool search_path, bool quiet, std::string* why) {
  std::vector<char*> argv = Argv(args);
  posix_spawnattr_t attr;
  posix_spawn_file_actions_t actions;
  ::posix_spawnattr_init(&attr);
  ::posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  ::posix_spawn_file_actions_init(&actions);
  if (quiet) {
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  pid_t pid;
  int error = search_path ? ::posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ)
                          : ::posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environ);
  ::posix_spawn_file_actions_destroy(&actions);
  ::posix_spawnattr_destroy(&attr);
  if (error != 0) {
    *why = std::strerror(error);
    return false;
  }
  return true;
}

Answer AskAtTerminal(std::string_view title, std::string_view question) {
  const std::string prompt = std::string(title) + ": " + std::string(question) + " (y/n) ";
  // Set apart from the console messages above it, as they are from each other.
  std::fputs("\n", stdout);
  for (;;) {
    std::fputs(prompt.c_str(), stdout);
    std::fflush(stdout);
    std::string line;
    int c;
    while ((c = std::fgetc(stdin)) != EOF && c != '\n') line += static_cast<char>(c);
    if (c == EOF && line.empty()) {
      std::fputs("\n", stdout);
      return Answer::kNo;  // nobody left to answer
    }
    Answer answer = TerminalAnswer(line);
    if (answer != Answer::kNone) return answer;
  }
}

}  // namespace

void PosixPlatform::Print(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

std::string PosixPlatform::SystemDirectory() {
  // The loader's own answer, where it found the C library, and never an environment variable
  // that a caller could point elsewhere.
  void* libc = ::dlopen(LIBC_SO, RTLD_LAZY | RTLD_NOLOAD);
  void* symbol = libc != nullptr ? ::dlsym(libc, "fopen") : nullptr;
  std::string folder;
  Dl_info info;
  if (symbol != nullptr && ::dladdr(symbol, &info) != 0 && info.dli_fname != nullptr) {
    folder = FolderOf(info.dli_fname);
  }
  if (libc != nullptr) ::dlclose(libc);
  return folder;
}

std::unique_ptr<ByteSource> PosixPlatform::OpenForReading(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  return std::make_unique<FileSource>(fd);
}

bool PosixPlatform::AskYesNo(std::string_view title, std::string_view question) {
  QuestionSetting setting;
  setting.has_display = HasEnv("DISPLAY") || HasEnv("WAYLAND_DISPLAY");
  setting.has_zenity = setting.has_display && OnPath("zenity");
  setting.has_kdialog = setting.has_display && OnPath("kdialog");
  setting.stdin_is_terminal = ::isatty(STDIN_FILENO) == 1;
  for (QuestionWay way : QuestionWays(setting)) {
    Answer answer = way == QuestionWay::kTerminal
                        ? AskAtTerminal(title, question)
                        : DialogAnswer(RunAndWait(DialogCommand(way, title, question)));
    if (answer != Answer::kNone) return answer == Answer::kYes;
  }
  return false;
}

bool PosixPlatform::OpenWebPage(const std::string& address, std::string* why) {
  return SpawnDetached({"xdg-open", address}, /*search_path=*/true, /*quiet=*/true, why);
}

bool PosixPlatform::StartProgram(const std::string& path, std::string* why) {
  return SpawnDetached({path}, /*search_path=*/false, /*quiet=*/false, why);
}

}  // namespace twcheck

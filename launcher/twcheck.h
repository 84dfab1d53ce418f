// TWCheck: checks that the runtime library the windowed program cannot run without is in
// the system's library folder with the size it had when the program was built, then starts
// the program. Plain C++ on purpose: it must run where that runtime is missing or broken.
#ifndef ORLAVO_LAUNCHER_TWCHECK_H_
#define ORLAVO_LAUNCHER_TWCHECK_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace twcheck {

// An open file read front to back; closing it is destroying it.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes into `buffer`: the count read, 0 at the end, -1 on a read error.
  virtual std::ptrdiff_t Read(char* buffer, std::size_t size) = 0;
};

// Everything the check needs from the system, so that every path can be driven by a test.
class Platform {
 public:
  virtual ~Platform() = default;
  // Writes to standard output, at once (a dialog or a started program may follow).
  virtual void Print(std::string_view text) = 0;
  // The folder of the system's shared libraries, without a trailing "/"; empty when unknown.
  virtual std::string SystemDirectory() = 0;
  // Opens a file for reading; null when it cannot be opened.
  virtual std::unique_ptr<ByteSource> OpenForReading(const std::string& path) = 0;
  // A Yes/No question: true for Yes.
  virtual bool AskYesNo(std::string_view title, std::string_view question) = 0;
  // Opens a web page in the desktop's browser without waiting; false with `why` on failure.
  virtual bool OpenWebPage(const std::string& address, std::string* why) = 0;
  // Starts a program detached from this process; false with `why` when it could not start.
  virtual bool StartProgram(const std::string& path, std::string* why) = 0;
};

struct Config {
  std::string runtime_file;     // the runtime's file name as the loader knows it
  std::uint64_t expected_size;  // its size in bytes on the build machine
  std::string download_page;    // the web page of the package that holds it
  std::string main_program;     // started relative to the current folder
};

inline constexpr std::string_view kTitle = "TWCheck";
inline constexpr std::size_t kReadBlock = 64 * 1024;

// The folder joined with a file name by one "/"; an unknown (empty) folder gives "/name",
// never a name that the current folder could answer to.
std::string JoinPath(const std::string& folder, const std::string& name);

// Runs the whole check and returns the exit status: 0 only when the main program was started.
int RunTWCheck(const Config& config, Platform& platform);

}  // namespace twcheck

#endif  // ORLAVO_LAUNCHER_TWCHECK_H_

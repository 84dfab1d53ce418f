// The real system behind TWCheck: stdio, the dynamic loader, files, a dialog tool or the
// terminal, xdg-open and posix_spawn.
#ifndef ORLAVO_LAUNCHER_POSIX_PLATFORM_H_
#define ORLAVO_LAUNCHER_POSIX_PLATFORM_H_

#include "launcher/twcheck.h"

namespace twcheck {

class PosixPlatform : public Platform {
 public:
  void Print(std::string_view text) override;
  std::string SystemDirectory() override;
  std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override;
  bool AskYesNo(std::string_view title, std::string_view question) override;
  bool OpenWebPage(const std::string& address, std::string* why) override;
  bool StartProgram(const std::string& path, std::string* why) override;
};

}  // namespace twcheck

#endif  // ORLAVO_LAUNCHER_POSIX_PLATFORM_H_

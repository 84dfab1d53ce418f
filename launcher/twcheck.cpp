#include "launcher/twcheck.h"

#include <vector>

namespace twcheck {
namespace {

struct Count {
  std::uint64_t bytes = 0;
  bool complete = false;  // read to its end without an error
};

Count CountBytes(ByteSource& file) {
  std::vector<char> block(kReadBlock);
  Count count;
  for (;;) {
    std::ptrdiff_t got = file.Read(block.data(), block.size());
    if (got < 0) return count;
    if (got == 0) break;
    count.bytes += static_cast<std::uint64_t>(got);
  }
  count.complete = true;
  return count;
}

std::string Line(std::string_view text) {
  std::string line = "\n";
  line += text;
  line += "\n";
  return line;
}

// Offers the runtime's package page; the check has failed whatever the answer.
int OfferDownload(const Config& config, Platform& platform) {
  const std::string question =
      "Would you like to download the runtime package that provides " + config.runtime_file + "?";
  if (platform.AskYesNo(kTitle, question)) {
    std::string why;
    // The user said Yes and expects a browser: when none opens, say where to go instead.
    if (!platform.OpenWebPage(config.download_page, &why)) {
      platform.Print(Line("Could not open " + config.download_page + ": " + why));
    }
  } else {
    platform.Print(Line("Please install the runtime package that provides " + config.runtime_file +
                        " in order to use Orlavo Professional."));
  }
  return 1;
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

int RunTWCheck(const Config& config, Platform& platform) {
  const std::string& file = config.runtime_file;
  platform.Print("\nThis program will check for the right file size of \nDynamic Link Library (" +
                 file + ")\n");
  const std::string folder = platform.SystemDirectory();
  platform.Print(Line("System directory " + folder));

  Count count;
  {
    std::unique_ptr<ByteSource> source = platform.OpenForReading(JoinPath(folder, file));
    if (!source) {
      platform.Print(Line("File (" + file + "): Not Found"));
      return OfferDownload(config, platform);
    }
    platform.Print(Line("File (" + file + "): Found"));
    platform.Print(Line("Please Wait..."));
    count = CountBytes(*source);
  }  // closed here, before anything is started

  // A read that broke off has not seen the whole file, so it can never pass as the right size.
  if (!count.complete || count.bytes != config.expected_size) {
    platform.Print(
        Line("The size of " + file + " is " + std::to_string(count.bytes) + " bytes: Incorrect"));
    return OfferDownload(config, platform);
  }
  platform.Print(
      Line("Size of " + file + " is " + std::to_string(config.expected_size) + " bytes: Correct"));

  std::string why;
  if (!platform.StartProgram(config.main_program, &why)) {
    platform.Print(Line("Could not start " + config.main_program + ": " + why));
    return 1;
  }
  return 0;
}

}  // namespace twcheck

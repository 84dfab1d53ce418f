#include "launcher/twcheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "launcher/question.h"

namespace twcheck {
namespace {

constexpr std::uint64_t kSize = 1388544;
const Config kConfig{"libRuntime.so.9", kSize, "https://example.org/runtime",
                     "./orlavo-professional"};

// Everything the check does, in order: printed texts as they are, other calls in brackets.
using Log = std::vector<std::string>;

class FakeFile : public ByteSource {
 public:
  FakeFile(std::uint64_t size, std::uint64_t fail_at, std::size_t short_read, Log* log, int* reads)
      : left_(size), fail_at_(fail_at), short_read_(short_read), log_(log), reads_(reads) {}
  ~FakeFile() override { log_->push_back("[close]"); }

  std::ptrdiff_t Read(char* buffer, std::size_t size) override {
    ++*reads_;
    if (served_ >= fail_at_) return -1;
    std::uint64_t n = std::min<std::uint64_t>({size, left_, fail_at_ - served_});
    if (short_read_ != 0) n = std::min<std::uint64_t>(n, short_read_);
    left_ -= n;
    served_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }

 private:
  std::uint64_t left_;
  std::uint64_t served_ = 0;
  std::uint64_t fail_at_;
  std::size_t short_read_;
  Log* log_;
  int* reads_;
};

struct FakePlatform : Platform {
  std::string system_directory = "/usr/lib/x86_64-linux-gnu";
  std::map<std::string, std::uint64_t> files;  // path -> size
  std::uint64_t fail_at = UINT64_MAX;          // a read error after this many bytes
  std::size_t short_read = 0;                  // when set, no read gives more than this
  bool answer_yes = false;
  std::string web_error;    // OpenWebPage fails with it when set
  std::string start_error;  // StartProgram fails with it when set
  Log log;
  int reads = 0;

  void Print(std::string_view text) override { log.emplace_back(text); }
  std::string SystemDirectory() override { return system_directory; }
  std::unique_ptr<ByteSource> OpenForReading(const std::string& path) override {
    log.push_back("[open " + path + "]");
    auto it = files.find(path);
    if (it == files.end()) return nullptr;
    return std::make_unique<FakeFile>(it->second, fail_at, short_read, &log, &reads);
  }
  bool AskYesNo(std::string_view title, std::string_view question) override {
    log.push_back("[ask " + std::string(title) + ": " + std::string(question) + "]");
    return answer_yes;
  }
  bool OpenWebPage(const std::string& address, std::string* why) override {
    log.push_back("[web " + address + "]");
    *why = web_error;
    return web_error.empty();
  }
  bool StartProgram(const std::string& path, std::string* why) override {
    log.push_back("[start " + path + "]");
    *why = start_error;
    return start_error.empty();
  }
};

const std::string kLibrary = "/usr/lib/x86_64-linux-gnu/libRuntime.so.9";
const Log kOpening = {
    "\nThis program will check for the right file size of \nDynamic Link Library "
    "(libRuntime.so.9)\n",
    "\nSystem directory /usr/lib/x86_64-linux-gnu\n",
    "[open " + kLibrary + "]",
};
const Log kFoundAndCounted = {
    "\nFile (libRuntime.so.9): Found\n",
    "\nPlease Wait...\n",
    "[close]",
};
const std::string kAsk =
    "[ask TWCheck: Would you like to download the runtime package that provides "
    "libRuntime.so.9?]";
const std::string kDeclined =
    "\nPlease install the runtime package that provides libRuntime.so.9 in order to use "
    "Orlavo Professional.\n";

Log Joined(std::initializer_list<Log> parts) {
  Log all;
  for (const Log& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(TWCheckTest, RightSizeStartsTheMainProgram) {
  // Reads that give less than asked must add up to the same count as whole blocks do.
  for (std::size_t short_read : {std::size_t{0}, std::size_t{1000}}) {
    FakePlatform platform;
    platform.files[kLibrary] = kSize;
    platform.short_read = short_read;
    EXPECT_EQ(RunTWCheck(kConfig, platform), 0);
    EXPECT_EQ(platform.log, Joined({kOpening,
                                    kFoundAndCounted,
                                    {"\nSize of libRuntime.so.9 is 1388544 bytes: Correct\n",
                                     "[start ./orlavo-professional]"}}));
    if (short_read == 0) {
      EXPECT_LE(platform.reads, static_cast<int>(kSize / kReadBlock) + 2);
    }
  }
}

TEST(TWCheckTest, WrongSizeOffersTheDownloadWhateverTheAnswer) {
  struct Case {
    std::uint64_t size;
    bool yes;
    std::string size_line;
  };
  const Case cases[] = {
      {kSize - 1, true, "\nThe size of libRuntime.so.9 is 1388543 bytes: Incorrect\n"},
      {kSize + 1, false, "\nThe size of libRuntime.so.9 is 1388545 bytes: Incorrect\n"},
      {0, false, "\nThe size of libRuntime.so.9 is 0 bytes: Incorrect\n"},
      {5'000'000'000, true, "\nThe size of libRuntime.so.9 is 5000000000 bytes: Incorrect\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    FakePlatform platform;
    platform.files[kLibrary] = c.size;
    platform.answer_yes = c.yes;
    EXPECT_EQ(RunTWCheck(kConfig, platform), 1);
    const std::string after = c.yes ? "[web https://example.org/runtime]" : kDeclined;
    EXPECT_EQ(platform.log, Joined({kOpening, kFoundAndCounted, {c.size_line, kAsk, after}}));
  }
}

TEST(TWCheckTest, MissingLibraryIsNeverFoundAndAsksAtOnce) {
  for (bool yes : {true, false}) {
    FakePlatform platform;
    platform.files["/usr/lib/x86_64-linux-gnu/libOther.so.9"] = kSize;
    platform.answer_yes = yes;
    EXPECT_EQ(RunTWCheck(kConfig, platform), 1);
    const std::string after = yes ? "[web https://example.org/runtime]" : kDeclined;
    EXPECT_EQ(platform.log,
              Joined({kOpening, {"\nFile (libRuntime.so.9): Not Found\n", kAsk, after}}));
  }
}

TEST(TWCheckTest, FailuresAfterTheCheckAreSaidAndEndWithStatusOne) {
  FakePlatform start;
  start.files[kLibrary] = kSize;
  start.start_error = "No such file or directory";
  EXPECT_EQ(RunTWCheck(kConfig, start), 1);
  EXPECT_EQ(start.log.back(),
            "\nCould not start ./orlavo-professional: No such file or directory\n");
  EXPECT_EQ(start.log.end()[-2], "[start ./orlavo-professional]");

  FakePlatform web;
  web.answer_yes = true;
  web.web_error = "No such file or directory";
  EXPECT_EQ(RunTWCheck(kConfig, web), 1);
  EXPECT_EQ(web.log.back(),
            "\nCould not open https://example.org/runtime: No such file or directory\n");
}

TEST(TWCheckTest, ReadErrorIsNeverTheRightSize) {
  // Broken off exactly where the right size would be: the file was not seen to its end.
  FakePlatform platform;
  platform.files[kLibrary] = kSize + 4096;
  platform.fail_at = kSize;
  EXPECT_EQ(RunTWCheck(kConfig, platform), 1);
  EXPECT_EQ(
      platform.log,
      Joined({kOpening,
              kFoundAndCounted,
              {"\nThe size of libRuntime.so.9 is 1388544 bytes: Incorrect\n", kAsk, kDeclined}}));
}

TEST(TWCheckTest, LongSystemDirectoryIsUsedWhole) {
  FakePlatform platform;
  platform.system_directory = "/opt/" + std::string(300, 'd') + "/lib";
  const std::string path = platform.system_directory + "/libRuntime.so.9";
  platform.files[path] = kSize;
  EXPECT_EQ(RunTWCheck(kConfig, platform), 0);
  EXPECT_EQ(platform.log[1], "\nSystem directory " + platform.system_directory + "\n");
  EXPECT_EQ(platform.log[2], "[open " + path + "]");
}

TEST(TWCheckTest, JoinPath) {
  EXPECT_EQ(JoinPath("/usr/lib", "libX.so"), "/usr/lib/libX.so");
  EXPECT_EQ(JoinPath("/", "libX.so"), "/libX.so");
  EXPECT_EQ(JoinPath("", "libX.so"), "/libX.so");
}

TEST(QuestionTest, WaysFollowWhatIsThere) {
  struct Case {
    QuestionSetting setting;
    std::vector<QuestionWay> ways;
  };
  using W = QuestionWay;
  const Case cases[] = {
      {{true, true, true, true}, {W::kZenity, W::kKdialog, W::kTerminal}},
      {{true, false, true, false}, {W::kKdialog}},
      {{false, true, true, true}, {W::kTerminal}},  // a dialog tool without a display
      {{true, false, false, true}, {W::kTerminal}},
      {{true, false, false, false}, {}},  // nobody to ask: the answer is No
  };
  for (const Case& c : cases) EXPECT_EQ(QuestionWays(c.setting), c.ways);
}

TEST(QuestionTest, DialogCommandsAndAnswers) {
  EXPECT_EQ(DialogCommand(QuestionWay::kZenity, "TWCheck", "Get <it>?"),
            (std::vector<std::string>{"zenity", "--question", "--title=TWCheck", "--text=Get <it>?",
                                      "--no-markup", "--ok-label=Yes", "--cancel-label=No"}));
  EXPECT_EQ(DialogCommand(QuestionWay::kKdialog, "TWCheck", "Get it?"),
            (std::vector<std::string>{"kdialog", "--title", "TWCheck", "--yesno", "Get it?"}));
  EXPECT_EQ(DialogAnswer(0), Answer::kYes);
  EXPECT_EQ(DialogAnswer(1), Answer::kNo);
  EXPECT_EQ(DialogAnswer(-1), Answer::kNone);  // could not be run
  EXPECT_EQ(DialogAnswer(5), Answer::kNone);

  const std::pair<const char*, Answer> typed[] = {
      {"y", Answer::kYes}, {" YES \r", Answer::kYes}, {"n", Answer::kNo},
      {"No", Answer::kNo}, {"", Answer::kNone},       {"yeah", Answer::kNone},
  };
  for (const auto& [line, answer] : typed) EXPECT_EQ(TerminalAnswer(line), answer) << line;
}

}  // namespace
}  // namespace twcheck

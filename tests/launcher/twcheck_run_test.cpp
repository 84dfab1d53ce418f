// The built twcheck on this machine: what it links, what it prints, what it starts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  std::string out;
  int status = -1;
};

Outcome RunCommand(const std::string& command) {
  Outcome run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// twcheck run in `folder` with nobody to answer a question.
Outcome RunTWCheckIn(const fs::path& folder) {
  return RunCommand("cd '" + folder.string() + "' && exec env -u DISPLAY -u WAYLAND_DISPLAY '" +
                    std::string(TWCHECK_BINARY) + "' </dev/null");
}

class TWCheckRunTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "twcheck-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  // A stand-in main program that records its arguments and whether it leads a session.
  void WriteStandIn(fs::perms perms) {
    const fs::path path = folder_ / "orlavo-professional";
    std::ofstream(path) << "#!/bin/sh\n"
                           "read -r pid comm state ppid pgrp sid rest < /proc/$$/stat\n"
                           "echo \"$# $pid $sid\" > started.tmp && mv started.tmp started\n";
    fs::permissions(path, perms);
  }

  std::string WaitForStart() {
    const fs::path marker = folder_ / "started";
    for (int i = 0; i < 100 && !fs::exists(marker); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::ifstream in(marker);
    std::string line;
    std::getline(in, line);
    return line;
  }

  fs::path folder_;
};

const std::string kLibrary = TWCHECK_CHECKED_LIBRARY;
const std::string kSize = std::to_string(TWCHECK_CHECKED_SIZE);

// The system directory is the loader's; it is checked here against the file it must hold.
std::string ExpectedOutput(const std::string& out) {
  const std::string marker = "\nSystem directory ";
  std::size_t at = out.find(marker);
  std::size_t end = out.find('\n', at + marker.size());
  if (at == std::string::npos || end == std::string::npos) return "(no system directory line)";
  const std::string folder = out.substr(at + marker.size(), end - at - marker.size());
  struct stat info;
  EXPECT_EQ(stat((folder + "/" + kLibrary).c_str(), &info), 0) << folder;
  EXPECT_EQ(std::to_string(info.st_size), kSize);
  EXPECT_TRUE(fs::exists(folder + "/libc.so.6")) << folder;
  return "\nThis program will check for the right file size of \nDynamic Link Library (" +
         kLibrary + ")\n\nSystem directory " + folder + "\n\nFile (" + kLibrary +
         "): Found\n\nPlease Wait...\n\nSize of " + kLibrary + " is " + kSize + " bytes: Correct\n";
}

TEST_F(TWCheckRunTest, ChecksTheRealRuntimeAndStartsTheMainProgramDetached) {
  WriteStandIn(fs::perms::owner_all);
  Outcome run = RunTWCheckIn(folder_);
  EXPECT_EQ(run.out, ExpectedOutput(run.out));
  EXPECT_EQ(run.status, 0);

  std::istringstream started(WaitForStart());
  int args = -1;
  long pid = 0, session = -1;
  ASSERT_TRUE(started >> args >> pid >> session) << "the stand-in was not started";
  EXPECT_EQ(args, 0);
  EXPECT_EQ(pid, session) << "not in a session of its own";
}

TEST_F(TWCheckRunTest, MainProgramThatCannotStartIsSaid) {
  struct Case {
    bool stand_in;
    std::string why;
  };
  for (const Case& c :
       {Case{false, "No such file or directory"}, Case{true, "Permission denied"}}) {
    SCOPED_TRACE(c.why);
    if (c.stand_in) WriteStandIn(fs::perms::owner_read | fs::perms::owner_write);
    Outcome run = RunTWCheckIn(folder_);
    EXPECT_EQ(run.out,
              ExpectedOutput(run.out) + "\nCould not start ./orlavo-professional: " + c.why + "\n");
    EXPECT_EQ(run.status, 1);
  }
}

TEST(TWCheckLinkTest, LinksNoQt) {
  Outcome run = RunCommand("ldd '" + std::string(TWCHECK_BINARY) + "'");
  ASSERT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("libc.so.6"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("Qt"), std::string::npos) << run.out;
}

}  // namespace
